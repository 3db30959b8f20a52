// vsthost: our command-line VST 2 host.
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "host/vsthost/Commands.h"

namespace {

// <directory of this executable>/../plugins
std::string DefaultPluginDir() {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "plugins";
  return (self.parent_path().parent_path() / "plugins").string();
}

} // namespace

int main(int argc, char **argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  vsthost::Options options;
  try {
    options = vsthost::ParseCommandLine(args);
  } catch (const vsthost::UsageError &e) {
    std::cerr << "vsthost: " << e.what() << '\n' << vsthost::UsageText();
    return 2;
  }
  try {
    switch (options.command) {
    case vsthost::Command::Help:
      std::cout << vsthost::UsageText();
      return 0;
    case vsthost::Command::Info:
      return vsthost::RunInfo(options, std::cout);
    case vsthost::Command::Render:
      return vsthost::RunRender(options, std::cout);
    case vsthost::Command::Snapshot:
      return vsthost::RunSnapshot(options, std::cout);
    case vsthost::Command::Demo:
      return vsthost::RunDemo(options.pluginDir.empty() ? DefaultPluginDir() : options.pluginDir, "out", std::cout);
    }
  } catch (const std::exception &e) {
    std::cerr << "vsthost: " << e.what() << '\n';
    return 1;
  }
  return 1;
}
