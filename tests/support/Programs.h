#pragma once
// Running the helper programs the display tests need (the X server, the
// screenshot tool): found on PATH, started with their output silenced.
#include <string>
#include <sys/types.h>
#include <vector>

namespace x11test {

// The full path of `name` in the first PATH folder that has it executable
// ("/usr/bin:/bin" when PATH is unset); empty when there is none.
std::string FindProgram(const char *name);

// Starts args[0] (a full path) with args; stdout and stderr go to /dev/null
// and `fd3`, when not -1, becomes the program's file descriptor 3. Returns
// its pid, or -1 when it could not be started.
pid_t Spawn(const std::vector<std::string> &args, int fd3 = -1);

// Runs args[0] to its end: its exit status, or -1 when it did not start or
// did not exit normally.
int RunProgram(const std::vector<std::string> &args);

} // namespace x11test
