// The spin editor on a real display: Twirlix.so loaded through its entry, its
// editor opened into a parent window on a private Xvfb server, a press on the
// type label made with synthetic pointer events, and a screenshot of the
// editor's window compared with the headless render of the same state.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "gui/Png.h"
#include "host/HostLibrary.h"
#include "twirlix/editor/SpinEditorRequests.h"

extern char **environ;

using namespace std::chrono_literals;

namespace {

const std::string kPluginPath = std::string(NIMBREL_PLUGIN_DIR) + "/Twirlix.so";

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

// Starts a program with its output silenced; `fd3` (if not -1) becomes its fd 3.
pid_t Spawn(const std::vector<std::string> &args, int fd3 = -1) {
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
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class SpinEditorX11 : public ::testing::Test {
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
    while (read(fds[0], &c, 1) == 1 && c != '\n')
      number += c;
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
    if (!skipReason.empty())
      GTEST_SKIP() << skipReason;
    dpy = XOpenDisplay(display.c_str());
    ASSERT_NE(dpy, nullptr);
    parent = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 500, 300, 0, 0, 0);
    XMapWindow(dpy, parent);
    XSync(dpy, False);
  }

  void TearDown() override {
    if (dpy) {
      if (parent)
        XDestroyWindow(dpy, parent);
      XCloseDisplay(dpy);
    }
  }

  std::vector<Window> Children() {
    Window root = 0, up = 0, *kids = nullptr;
    unsigned int count = 0;
    std::vector<Window> out;
    if (XQueryTree(dpy, parent, &root, &up, &kids, &count))
      out.assign(kids, kids + count);
    if (kids)
      XFree(kids);
    return out;
  }

  template <class F> bool IdleUntil(host::Plugin &p, F done) {
    for (int i = 0; i < 400; ++i) {
      p.EditorIdle();
      if (done())
        return true;
      std::this_thread::sleep_for(5ms);
    }
    return false;
  }

  void Click(int x, int y) {
    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), x, y, 0);
    XTestFakeButtonEvent(dpy, 1, True, 0);
    XTestFakeButtonEvent(dpy, 1, False, 0);
    XFlush(dpy);
  }

  Display *dpy = nullptr;
  Window parent = 0;
};

TEST_F(SpinEditorX11, APressOnTheTypeLabelStepsTheTypeAndTheWindowShowsTheHeadlessPicture) {
  auto plugin = host::Plugin::Load(kPluginPath);
  plugin->Open();
  plugin->SetProgram(5); // "Old Spin"
  ASSERT_TRUE(plugin->OpenEditor(reinterpret_cast<void *>(static_cast<std::uintptr_t>(parent))));
  ASSERT_EQ(Children().size(), 1u);
  for (int i = 0; i < 10; ++i) { // let the window map
    plugin->EditorIdle();
    std::this_thread::sleep_for(5ms);
  }
  plugin->Callbacks().Clear();
  Click(62, 24); // the type label: "old one" steps on to "stereo a"
  ASSERT_TRUE(IdleUntil(*plugin, [&] { return plugin->Callbacks().Count(vst2::audioMasterAutomate) >= 1; }));
  EXPECT_EQ(plugin->ParameterDisplay(1), "stereo a");
  nimbrel::twirlix::TSpinLabelState label{};
  ASSERT_EQ(vst2::HeadlessDispatch(plugin->RawEffect(), nimbrel::twirlix::kSpinReadLabel,
                                   nimbrel::twirlix::kSpinLabelType, &label),
            1);
  EXPECT_STREQ(label.caption, "stereo a");
  for (int i = 0; i < 10; ++i) {
    plugin->EditorIdle();
    std::this_thread::sleep_for(10ms);
  }
  XSync(dpy, False);

  const std::string shot = "/tmp/nimbrel-spin-x11-" + std::to_string(getpid()) + ".png";
  const std::string import = FindProgram("import");
  ASSERT_FALSE(import.empty()) << "ImageMagick's import is needed for the screenshot";
  ASSERT_EQ(RunProgram({import, "-display", display, "-window", std::to_string(Children()[0]), "png:" + shot}), 0);
  std::ifstream f(shot, std::ios::binary);
  const std::vector<std::uint8_t> png{std::istreambuf_iterator<char>(f), {}};
  std::remove(shot.c_str());
  const gui::TBitmap32 screen = gui::DecodePng(png);

  // The same state on the headless backend of a second instance.
  auto headless = host::Plugin::Load(kPluginPath);
  headless->Open();
  headless->SetProgram(5);
  ASSERT_TRUE(headless->SelectHeadless());
  ASSERT_TRUE(headless->OpenEditor());
  headless->Click(62, 24);
  const std::optional<host::EditorImage> image = headless->RenderEditor();
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(screen.Width(), image->width);
  ASSERT_EQ(screen.Height(), image->height);
  int differing = 0;
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x)
      if ((screen.Pixel(x, y) & 0xFFFFFF) != (image->pixels[static_cast<std::size_t>(y) * image->width + x] & 0xFFFFFF))
        ++differing;
  EXPECT_EQ(differing, 0);

  plugin->CloseEditor();
  EXPECT_TRUE(Children().empty());
}

} // namespace
