#include "tests/support/Programs.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace x11test {

std::string FindProgram(const char *name) {
  const char *path = std::getenv("PATH");
  const std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = dirs.find(':', start);
    const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::string full = dir + "/" + name;
    if (!dir.empty() && access(full.c_str(), X_OK) == 0)
      return full;
    if (end == std::string::npos)
      break;
    start = end + 1;
  }
  return {};
}

pid_t Spawn(const std::vector<std::string> &args, int fd3) {
  if (args.empty())
    return -1;
  std::vector<char *> argv;
  for (const std::string &a : args)
    argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t io;
  posix_spawn_file_actions_init(&io);
  posix_spawn_file_actions_addopen(&io, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&io, 2, "/dev/null", O_WRONLY, 0);
  if (fd3 >= 0)
    posix_spawn_file_actions_adddup2(&io, fd3, 3);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &io, nullptr, argv.data(), environ) != 0)
    pid = -1;
  posix_spawn_file_actions_destroy(&io);
  return pid;
}

int RunProgram(const std::vector<std::string> &args) {
  const pid_t pid = Spawn(args);
  if (pid < 0)
    return -1;
  int status = 0;
  pid_t waited;
  while ((waited = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
  }
  if (waited != pid)
    return -1; // not reaped: no status to report, and certainly no success
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace x11test
