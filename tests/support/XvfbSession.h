#pragma once
// A private X server for the display tests: Xvfb started on a display number
// it picks itself (-displayfd), so that test processes started together never
// share a server; kept across resets (-noreset) so that the last client
// closing does not reset it between tests; stopped by its own pid.
//
// While it runs, DISPLAY names it, because the editors under test open their
// connection from DISPLAY as they do inside a host.
#include <string>
#include <sys/types.h>

#include "gui/Bitmap32.h"

namespace x11test {

class XvfbSession {
public:
  enum class State {
    kRunning,
    kNotInstalled, // no Xvfb on PATH: the tests skip rather than fail
    kFailed,       // installed, but it did not come up: Problem() says why
  };

  XvfbSession(); // starts the server and waits (up to 10 s) until it accepts clients
  ~XvfbSession(); // SIGTERM to the server's pid, then reaps it
  XvfbSession(const XvfbSession &) = delete;
  XvfbSession &operator=(const XvfbSession &) = delete;

  State CurrentState() const { return state_; }
  const std::string &Problem() const { return problem_; }
  const std::string &DisplayName() const { return display_; } // ":<n>"

  // The pixels of `window` as the server shows them, taken with ImageMagick's
  // import through a temporary PNG file. Empty, with `problem` set, when the
  // tool is missing, fails, or writes no readable picture.
  gui::TBitmap32 Screenshot(unsigned long window, std::string &problem) const;

private:
  void Start();
  State state_ = State::kFailed;
  std::string problem_;
  std::string display_;
  pid_t server_ = -1;
};

} // namespace x11test
