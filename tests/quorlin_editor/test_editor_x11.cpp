// The meter editor of the built plug-in on X11, under a private Xvfb server:
// opened into a parent window made here, a real pointer press (XTest) on the
// RMS area reaches the module, the timer runs off the host's idle calls on
// the wall clock, and a screenshot of the editor's window (ImageMagick's
// import) equals the headless render of the same state.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "gui/Png.h"
#include "tests/quorlin_editor/MeterEditorFixture.h"

extern char **environ;

using namespace meted;
using namespace std::chrono_literals;

namespace {

std::string FindProgram(const char *name) {
  for (const char *dir : {"/usr/bin", "/bin", "/usr/local/bin"}) {
    const std::string full = std::string(dir) + "/" + name;
    if (access(full.c_str(), X_OK) == 0) return full;
  }
  return {};
}

// Starts a program with its output silenced; `fd3` (if not -1) becomes its
// file descriptor 3.
pid_t Spawn(const std::vector<std::string> &args, int fd3 = -1) {
  std::vector<char *> argv;
  for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t io;
  posix_spawn_file_actions_init(&io);
  posix_spawn_file_actions_addopen(&io, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&io, 2, "/dev/null", O_WRONLY, 0);
  if (fd3 >= 0) posix_spawn_file_actions_adddup2(&io, fd3, 3);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &io, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&io);
  return pid;
}

int RunProgram(const std::vector<std::string> &args) {
  const pid_t pid = Spawn(args);
  if (pid < 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class QuorlinEditorX11 : public ::testing::Test {
protected:
  static inline pid_t server = -1;
  static inline std::string display;
  static inline std::string skipReason;

  static void SetUpTestSuite() {
    const std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty()) {
      skipReason = "Xvfb is not installed";
      return;
    }
    // Xvfb picks a free display and reports its number on fd 3.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    server = Spawn({xvfb, "-displayfd", "3", "-screen", "0", "640x480x24", "-nolisten", "tcp", "-noreset"}, fds[1]);
    close(fds[1]);
    ASSERT_GT(server, 0);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb reported no display";
    display = ":" + number;
    for (int i = 0; i < 200; ++i) {
      if (Display *d = XOpenDisplay(display.c_str())) {
        XCloseDisplay(d);
        setenv("DISPLAY", display.c_str(), 1);
        return;
      }
      std::this_thread::sleep_for(50ms);
    }
    FAIL() << "Xvfb did not come up on " << display;
  }

  static void TearDownTestSuite() {
    if (server > 0) {
      kill(server, SIGTERM);
      waitpid(server, nullptr, 0);
      server = -1;
    }
  }

  void SetUp() override {
    if (!skipReason.empty()) GTEST_SKIP() << skipReason;
    dpy = XOpenDisplay(display.c_str());
    ASSERT_NE(dpy, nullptr);
    parent = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, kW, kH, 0, 0, 0);
    XMapWindow(dpy, parent);
    XSync(dpy, False);
  }

  void TearDown() override {
    if (dpy) {
      if (parent) XDestroyWindow(dpy, parent);
      XCloseDisplay(dpy);
    }
  }

  std::vector<Window> Children() {
    Window root = 0, up = 0, *kids = nullptr;
    unsigned int count = 0;
    std::vector<Window> out;
    if (XQueryTree(dpy, parent, &root, &up, &kids, &count)) out.assign(kids, kids + count);
    if (kids) XFree(kids);
    return out;
  }

  // Host idle calls every 5 ms until `done` or two seconds pass.
  template <class F> bool IdleUntil(host::Plugin &p, F done) {
    for (int i = 0; i < 400; ++i) {
      p.EditorIdle();
      if (done()) return true;
      std::this_thread::sleep_for(5ms);
    }
    return false;
  }
  void IdleFor(host::Plugin &p, std::chrono::milliseconds span) {
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end) {
      p.EditorIdle();
      std::this_thread::sleep_for(5ms);
    }
  }

  Pixels Screenshot(Window w) {
    const std::string shot = "/tmp/meted-x11-" + std::to_string(getpid()) + ".png";
    const std::string import = FindProgram("import");
    if (import.empty()) {
      ADD_FAILURE() << "ImageMagick's import is needed for the screenshot";
      return {};
    }
    EXPECT_EQ(RunProgram({import, "-display", display, "-window", std::to_string(w), "png:" + shot}), 0);
    std::ifstream f(shot, std::ios::binary);
    const std::vector<std::uint8_t> png{std::istreambuf_iterator<char>(f), {}};
    std::remove(shot.c_str());
    const gui::TBitmap32 screen = gui::DecodePng(png);
    EXPECT_EQ(screen.Width(), kW);
    EXPECT_EQ(screen.Height(), kH);
    if (screen.Width() != kW || screen.Height() != kH) return {};
    return Pixels(screen.Bits(), screen.Bits() + static_cast<std::size_t>(kW) * kH);
  }

  Display *dpy = nullptr;
  Window parent = 0;
};

int CountRgbDifferences(const Pixels &a, const Pixels &b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += (a[i] & 0xFFFFFFu) != (b[i] & 0xFFFFFFu);
  return n;
}

} // namespace

TEST_F(QuorlinEditorX11, PressOnRmsArrivesAndTheWindowShowsTheHeadlessRender) {
  auto plugin = LoadMeter();
  plugin->Open();
  plugin->SetSampleRate(44100.0f);
  plugin->Resume();
  ASSERT_TRUE(plugin->OpenEditor(reinterpret_cast<void *>(static_cast<std::uintptr_t>(parent))));
  ASSERT_TRUE(IdleUntil(*plugin, [&] { return Children().size() == 1; }));
  IdleFor(*plugin, 50ms); // mapped and painted

  // A right-button press and release on the RMS area, through the X server.
  XTestFakeMotionEvent(dpy, DefaultScreen(dpy), kRmsX, kRmsY, 0);
  XTestFakeButtonEvent(dpy, 3, True, 0);
  XTestFakeButtonEvent(dpy, 3, False, 0);
  XFlush(dpy);
  ASSERT_TRUE(IdleUntil(*plugin, [&] { return plugin->Parameter(0) == 1.0f; }));
  EXPECT_EQ(plugin->Callbacks().Count(vst2::audioMasterAutomate), 1u);

  // Levels for the timer to show, on the wall clock.
  MeterSession twin; // the same plug-in, headless, driven alike
  host::ChannelBuffers in(2, 1), out(2, 1);
  in.Channel(0)[0] = 0.5f;
  in.Channel(1)[0] = 2.0f;
  plugin->ProcessReplacing(in, out, 1);
  IdleFor(*plugin, 120ms);
  XSync(dpy, False);
  const Pixels screen = Screenshot(Children().at(0));

  twin.Press(vst2::kButtonRight, kRmsX, kRmsY);
  twin.Release(vst2::kButtonRight, kRmsX, kRmsY);
  twin.Feed(0.5f, 2.0f);
  twin.Tick();
  const Pixels headless = twin.Render();
  ASSERT_EQ(PictureOracle::Instance().ReadNeedle(headless, Look::A, true), 4); // 0.5 x g, smoothed
  EXPECT_EQ(CountRgbDifferences(screen, headless), 0);

  plugin->CloseEditor();
  EXPECT_TRUE(Children().empty());
}
