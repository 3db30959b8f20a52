#include "tests/support/XvfbSession.h"

#include <X11/Xlib.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "gui/Png.h"
#include "tests/support/Programs.h"

namespace x11test {

namespace {

// Reads the line Xvfb writes on its -displayfd descriptor: the display number.
// An empty answer means the server ended (or closed the pipe) without one.
std::string ReadDisplayNumber(int fd) {
  std::string number;
  char c = 0;
  for (;;) {
    const ssize_t n = read(fd, &c, 1);
    if (n < 0 && errno == EINTR)
      continue;
    if (n != 1 || c == '\n')
      break;
    number += c;
  }
  return number;
}

} // namespace

XvfbSession::XvfbSession() { Start(); }

void XvfbSession::Start() {
  const std::string xvfb = FindProgram("Xvfb");
  if (xvfb.empty()) {
    state_ = State::kNotInstalled;
    problem_ = "Xvfb is not installed";
    return;
  }
  int fds[2];
  if (pipe(fds) != 0) {
    problem_ = "no pipe for Xvfb's display number";
    return;
  }
  server_ = Spawn({xvfb, "-displayfd", "3", "-screen", "0", "640x480x24", "-nolisten", "tcp", "-noreset"}, fds[1]);
  close(fds[1]); // only the server holds the writing end now: its exit ends the read
  const std::string number = server_ > 0 ? ReadDisplayNumber(fds[0]) : std::string();
  close(fds[0]);
  if (server_ <= 0) {
    problem_ = "Xvfb could not be started";
    return;
  }
  if (number.empty()) {
    problem_ = "Xvfb reported no display";
    return;
  }
  display_ = ":" + number;
  for (int i = 0; i < 200; ++i) {
    if (Display *d = XOpenDisplay(display_.c_str())) {
      XCloseDisplay(d);
      setenv("DISPLAY", display_.c_str(), 1);
      state_ = State::kRunning;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  problem_ = "Xvfb did not come up on " + display_;
}

XvfbSession::~XvfbSession() {
  if (server_ <= 0)
    return;
  kill(server_, SIGTERM);
  while (waitpid(server_, nullptr, 0) < 0 && errno == EINTR) {
  }
}

gui::TBitmap32 XvfbSession::Screenshot(unsigned long window, std::string &problem) const {
  const std::string import = FindProgram("import");
  if (import.empty()) {
    problem = "ImageMagick's import is needed for the screenshot";
    return {};
  }
  // One file per shot: processes and shots never share a name.
  static std::atomic<int> shots{0};
  const std::filesystem::path shot = std::filesystem::temp_directory_path() /
                                     ("nimbrel-x11-shot-" + std::to_string(getpid()) + "-" +
                                      std::to_string(shots.fetch_add(1)) + ".png");
  const int status = RunProgram({import, "-display", display_, "-window", std::to_string(window), "png:" + shot.string()});
  std::vector<std::uint8_t> png;
  {
    std::ifstream f(shot, std::ios::binary);
    png.assign(std::istreambuf_iterator<char>(f), {});
  }
  std::error_code ignored;
  std::filesystem::remove(shot, ignored);
  if (status != 0) {
    problem = "import ended with status " + std::to_string(status);
    return {};
  }
  try {
    return gui::DecodePng(png);
  } catch (const gui::EPngError &e) {
    problem = std::string("the screenshot is no readable PNG: ") + e.what();
    return {};
  }
}

} // namespace x11test
