#include "host/vsthost/Spectrogram.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

extern char **environ;

namespace vsthost {

std::string FindSox() {
  const char *path = std::getenv("PATH");
  if (path == nullptr) return {};
  std::string dirs = path;
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    std::string dir = dirs.substr(start, end - start);
    if (!dir.empty()) {
      const std::string candidate = dir + "/sox";
      if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    start = end + 1;
  }
  return {};
}

bool WriteSpectrogram(const std::string &sox, const std::string &wav, const std::string &png,
                      const std::string &title) {
  std::vector<std::string> args = {sox, "-V1", wav, "-n", "spectrogram", "-t", title, "-o", png};
  std::vector<char *> argv;
  for (auto &a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawn(&pid, sox.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace vsthost
