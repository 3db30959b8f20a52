#pragma once
// Runs the built vsthost program in a scratch directory and captures its
// exit code and output.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Fixtures.h"

extern char **environ;

namespace host_test {

struct RunResult {
  int exitCode = -1;
  std::string out, err;
};

inline std::string Slurp(const std::string &path) {
  std::ifstream f(path);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

inline RunResult RunVsthost(const std::vector<std::string> &args, const host_test::ScratchDir &dir) {
  std::vector<std::string> all = {VSTHOST_BINARY};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (auto &a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, dir.Path().c_str());
  pid_t pid = 0;
  RunResult r;
  if (posix_spawn(&pid, all[0].c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  r.out = Slurp(out);
  r.err = Slurp(err);
  return r;
}

} // namespace host_test
