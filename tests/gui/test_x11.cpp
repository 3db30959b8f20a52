// The X11 backend under a private Xvfb server: a child window inside a parent
// made here, attached through the editor-window adapter; synthetic pointer
// events (XTest) arrive as presses on controls with capture; a screenshot of
// the window (ImageMagick's import) shows the headless render's pixels; timers
// run off idle calls; failures to attach are clean.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "gui/FormEditorWindow.h"
#include "gui/Image32.h"
#include "gui/Label.h"
#include "gui/Png.h"
#include "gui/Timer.h"
#include "vst2/HeadlessEditor.h"

extern char **environ;

using namespace gui;
using namespace std::chrono_literals;

namespace {

std::string FindProgram(const char *name) {
  const char *path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = dirs.find(':', start);
    const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::string full = dir + "/" + name;
    if (!dir.empty() && access(full.c_str(), X_OK) == 0) return full;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return {};
}

// Start a program with its output silenced; `fd3` (if not -1) becomes its
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

// A form with a picture of distinct pixels, a label and a press target.
struct ProbeForm : TForm {
  TImage32 picture{this};
  TLabel label{this};
  TImage32 target{this};
  std::vector<std::string> events;
  ProbeForm() {
    SetClientSize(160, 100);
    SetColor(0xFF203040);
    picture.SetBounds(0, 0, 160, 60);
    TBitmap32 pic(160, 60);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 160; ++x) pic.SetPixel(x, y, Color32(x, y * 4, (x * y) & 255));
    picture.SetBitmap(pic);
    label.SetBounds(5, 65, 0, 0);
    label.SetTransparent(true);
    TFont f;
    f.Height = 12;
    f.Color = 0xFFFFFFFF;
    label.SetFont(f);
    label.SetCaption("Probe 123");
    target.SetBounds(100, 70, 40, 20);
    target.SetBitmap(TBitmap32(40, 20, 0xFFFF8000));
    target.OnMouseDown = [this](TControl &, TMouseButton b, TShiftState, int x, int y) {
      events.push_back("down " + std::to_string(static_cast<int>(b)) + " " + std::to_string(x) + "," +
                       std::to_string(y));
    };
    target.OnMouseUp = [this](TControl &, TMouseButton, TShiftState, int x, int y) {
      events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    };
    target.OnClick = [this](TControl &) { events.push_back("click"); };
  }
};

class X11Editor : public ::testing::Test {
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
    // Xvfb picks a free display itself and reports its number on fd 3, so
    // that test processes started together never share a server.
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
    parent = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 200, 120, 0, 0, 0);
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

  // Idle until `done` or two seconds pass.
  template <class F> bool IdleUntil(vst2::IEditorWindow &w, F done) {
    for (int i = 0; i < 400; ++i) {
      w.Idle();
      if (done()) return true;
      std::this_thread::sleep_for(5ms);
    }
    return false;
  }

  void Pointer(int x, int y) {
    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), x, y, 0);
    XFlush(dpy);
  }
  void Button(bool press) {
    XTestFakeButtonEvent(dpy, 1, press ? True : False, 0);
    XFlush(dpy);
  }

  Display *dpy = nullptr;
  Window parent = 0;
};

} // namespace

TEST_F(X11Editor, ScreenshotShowsTheHeadlessRender) {
  auto owned = std::make_unique<ProbeForm>();
  TFormEditorWindow window(std::move(owned));
  ASSERT_TRUE(window.AttachToParent(reinterpret_cast<void *>(static_cast<std::uintptr_t>(parent)), false));
  ASSERT_EQ(Children().size(), 1u);
  for (int i = 0; i < 10; ++i) {
    window.Idle();
    std::this_thread::sleep_for(10ms);
  }
  XSync(dpy, False);
  const std::string shot = "/tmp/nimbrel-gui-x11-" + std::to_string(getpid()) + ".png";
  const std::string import = FindProgram("import");
  ASSERT_FALSE(import.empty()) << "ImageMagick's import is needed for the screenshot";
  ASSERT_EQ(RunProgram({import, "-display", display, "-window", std::to_string(Children()[0]), "png:" + shot}), 0);
  std::ifstream f(shot, std::ios::binary);
  const std::vector<std::uint8_t> png{std::istreambuf_iterator<char>(f), {}};
  std::remove(shot.c_str());
  const TBitmap32 screen = DecodePng(png);

  TFormEditorWindow headless(std::make_unique<ProbeForm>());
  ASSERT_TRUE(headless.AttachToParent(nullptr, true));
  std::vector<std::uint32_t> pixels(160 * 100);
  vst2::HeadlessImage image{pixels.data(), 160, 100};
  ASSERT_EQ(headless.HeadlessRequest(vst2::kHeadlessRender, 0, &image), 1);
  ASSERT_EQ(screen.Width(), 160);
  ASSERT_EQ(screen.Height(), 100);
  int differing = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 160; ++x)
      if ((screen.Pixel(x, y) & 0xFFFFFF) != (pixels[static_cast<std::size_t>(y) * 160 + x] & 0xFFFFFF)) ++differing;
  EXPECT_EQ(differing, 0);
}

TEST_F(X11Editor, ClickArrivesAsPressOnTheControlWithCapture) {
  auto owned = std::make_unique<ProbeForm>();
  ProbeForm &form = *owned;
  TFormEditorWindow window(std::move(owned));
  ASSERT_TRUE(window.AttachToParent(reinterpret_cast<void *>(static_cast<std::uintptr_t>(parent)), false));
  for (int i = 0; i < 10; ++i) { // let the window map
    window.Idle();
    std::this_thread::sleep_for(5ms);
  }
  Pointer(110, 75);
  Button(true);
  Button(false);
  ASSERT_TRUE(IdleUntil(window, [&] { return form.events.size() >= 3; }));
  EXPECT_EQ(form.events, (std::vector<std::string>{"down 0 10,5", "up 10,5", "click"}));
  // Press on the target, leave the window while holding, release far away.
  form.events.clear();
  Pointer(105, 72);
  Button(true);
  Pointer(400, 300);
  Button(false);
  ASSERT_TRUE(IdleUntil(window, [&] { return form.events.size() >= 2; }));
  EXPECT_EQ(form.events, (std::vector<std::string>{"down 0 5,2", "up 300,230"}));
}

TEST_F(X11Editor, TimersRunOffIdleCallsWithoutBursting) {
  auto owned = std::make_unique<ProbeForm>();
  ProbeForm &form = *owned;
  TTimer timer(&form);
  timer.SetInterval(50);
  int ticks = 0;
  timer.OnTimer = [&](TTimer &) { ++ticks; };
  {
    TFormEditorWindow window(std::move(owned));
    ASSERT_TRUE(window.AttachToParent(reinterpret_cast<void *>(static_cast<std::uintptr_t>(parent)), false));
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < 330ms) {
      window.Idle();
      std::this_thread::sleep_for(2ms);
    }
    EXPECT_GE(ticks, 4); // about 6 at 50 ms
    EXPECT_LE(ticks, 7);
    const int before = ticks;
    std::this_thread::sleep_for(400ms); // a long gap: one tick, not eight
    window.Idle();
    EXPECT_EQ(ticks, before + 1);
    window.Idle();
    EXPECT_EQ(ticks, before + 1);
    timer.SetHost(nullptr); // the form goes with the window
  }
  // Closing destroyed the child window.
  EXPECT_TRUE(Children().empty());
}

TEST_F(X11Editor, AttachFailsCleanly) {
  TFormEditorWindow window(std::make_unique<ProbeForm>());
  EXPECT_FALSE(window.AttachToParent(reinterpret_cast<void *>(std::uintptr_t{0x7ffffff0}), false)); // not a window
  EXPECT_FALSE(window.AttachToParent(nullptr, false));
  EXPECT_EQ(window.Backend(), nullptr);
  {
    const std::string saved = display;
    setenv("DISPLAY", ":999", 1); // no server there
    EXPECT_FALSE(window.AttachToParent(reinterpret_cast<void *>(static_cast<std::uintptr_t>(parent)), false));
    setenv("DISPLAY", saved.c_str(), 1);
  }
  EXPECT_TRUE(Children().empty());
  // The host destroys its window before closing the editor: nothing may crash.
  ASSERT_TRUE(window.AttachToParent(reinterpret_cast<void *>(static_cast<std::uintptr_t>(parent)), false));
  XDestroyWindow(dpy, parent);
  XSync(dpy, False);
  parent = 0;
  for (int i = 0; i < 5; ++i) {
    window.RequestRepaint();
    window.Idle();
  }
}
