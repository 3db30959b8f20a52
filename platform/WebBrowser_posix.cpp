// The system opener on Linux and other free desktops: xdg-open.
//
// xdg-open is started directly through posix_spawnp (no shell parses the
// address), with standard input from and output to /dev/null, in a process
// group of its own (a Ctrl-C meant for the host does not reach the browser)
// and with default signal handling. The call never waits for it: xdg-open may
// stay alive as long as the browser it started. Children are reaped without
// blocking on the next request and when the library is unloaded; a child still
// running then is left to the host process. No thread is started, so nothing
// of ours can run after the library has been unloaded.
#include "platform/WebBrowser.h"

#include <array>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform {
namespace {

class ChildReaper {
public:
  ~ChildReaper() { ReapFinished(); }

  // Reaps the finished children; returns whether a free slot is left.
  bool ReapFinished() {
    bool freeSlot = false;
    for (pid_t &pid : pids_) {
      if (pid > 0) {
        const pid_t r = ::waitpid(pid, nullptr, WNOHANG);
        if (r == pid || r < 0) // finished, or already reaped by the host
          pid = 0;
      }
      freeSlot = freeSlot || pid == 0;
    }
    return freeSlot;
  }

  void Remember(pid_t child) {
    for (pid_t &pid : pids_) {
      if (pid == 0) {
        pid = child;
        return;
      }
    }
  }

  std::mutex mutex;

private:
  // Requests come from a person clicking, so a handful of slots is plenty; when
  // all are busy with live children a further request is refused.
  std::array<pid_t, 16> pids_{};
};

ChildReaper &Reaper() {
  static ChildReaper reaper;
  return reaper;
}

} // namespace

bool SystemOpenWebAddress(std::string_view url) {
  if (!IsOpenableWebAddress(url))
    return false;
  ChildReaper &reaper = Reaper();
  std::lock_guard<std::mutex> lock(reaper.mutex);
  if (!reaper.ReapFinished())
    return false;

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0)
    return false;
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);

  posix_spawnattr_t attr;
  if (posix_spawnattr_init(&attr) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return false;
  }
  sigset_t noSignals, defaultSignals;
  sigemptyset(&noSignals);
  sigemptyset(&defaultSignals);
  for (int sig : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD, SIGUSR1, SIGUSR2, SIGALRM})
    sigaddset(&defaultSignals, sig);
  posix_spawnattr_setsigmask(&attr, &noSignals);
  posix_spawnattr_setsigdefault(&attr, &defaultSignals);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

  std::string program = "xdg-open";
  std::string address(url);
  char *argv[] = {program.data(), address.data(), nullptr};
  pid_t child = 0;
  const int rc = posix_spawnp(&child, program.c_str(), &actions, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0)
    return false;
  reaper.Remember(child);
  return true;
}

} // namespace platform
