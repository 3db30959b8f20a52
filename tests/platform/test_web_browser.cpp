// No browser starts here: requests reach a recording opener, and the system
// opener is exercised with a stand-in xdg-open found first on PATH.
#include "platform/WebBrowser.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct RecordingOpener {
  std::vector<std::string> calls;
  bool answer = true;
  platform::UrlOpener Function() {
    return [this](std::string_view url) {
      calls.emplace_back(url);
      return answer;
    };
  }
};

TEST(OpenWebAddress, HandsCheckedAddressesToTheInstalledOpener) {
  RecordingOpener opener;
  platform::ScopedUrlOpener scoped(opener.Function());
  EXPECT_TRUE(platform::OpenWebAddress("https://www.nimbrelaudio.com/"));
  EXPECT_TRUE(platform::OpenWebAddress("HTTP://example.org/a?b=c&d=%20"));
  opener.answer = false;
  EXPECT_FALSE(platform::OpenWebAddress("https://x.org"));
  EXPECT_EQ(opener.calls,
            (std::vector<std::string>{"https://www.nimbrelaudio.com/", "HTTP://example.org/a?b=c&d=%20", "https://x.org"}));
}

TEST(OpenWebAddress, RefusesAnythingButPlainWebAddresses) {
  RecordingOpener opener;
  platform::ScopedUrlOpener scoped(opener.Function());
  const std::string cases[] = {"",
                               "www.nimbrelaudio.com",
                               "file:///etc/passwd",
                               "javascript:alert(1)",
                               "--help",
                               "/usr/bin/xterm",
                               "http://",
                               "https://a b.com",
                               "https://a.com/\n--x",
                               std::string("https://a.com/\0x", 16),
                               "https://caf\xC3\xA9.com",
                               "https://a.com/" + std::string(3000, 'a')};
  for (const std::string &url : cases)
    EXPECT_FALSE(platform::OpenWebAddress(url)) << url;
  EXPECT_TRUE(opener.calls.empty());
}

TEST(OpenWebAddress, SetUrlOpenerReturnsThePreviousOne) {
  RecordingOpener first, second;
  platform::ScopedUrlOpener scoped(first.Function());
  platform::UrlOpener previous = platform::SetUrlOpener(second.Function());
  ASSERT_TRUE(previous);
  platform::OpenWebAddress("https://b.org");
  platform::SetUrlOpener(std::move(previous));
  platform::OpenWebAddress("https://a.org");
  EXPECT_EQ(first.calls, std::vector<std::string>{"https://a.org"});
  EXPECT_EQ(second.calls, std::vector<std::string>{"https://b.org"});
}

bool WaitFor(const fs::path &p) {
  for (int i = 0; i < 500 && !fs::exists(p); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return fs::exists(p);
}

TEST(SystemOpener, StartsXdgOpenWithTheAddressAloneAndDoesNotWait) {
  TempFolder folder;
  const fs::path dir = folder.path();
  // The stand-in records its arguments and what it can see of stdout, then
  // stays alive until the test releases it.
  {
    std::ofstream script(dir / "xdg-open");
    script << "#!/bin/sh\n"
           << "o=$(readlink /proc/$$/fd/1)\n"
           << "printf '%s\\n' \"$#\" \"$1\" \"$o\" > '" << (dir / "args.tmp").string() << "'\n"
           << "mv '" << (dir / "args.tmp").string() << "' '" << (dir / "args").string() << "'\n"
           << "i=0; while [ ! -e '" << (dir / "release").string() << "' ] && [ $i -lt 1000 ]; do sleep 0.01; i=$((i+1)); done\n"
           << "echo done > '" << (dir / "done").string() << "'\n";
  }
  fs::permissions(dir / "xdg-open", fs::perms::owner_all);
  const std::string path = dir.string() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
  ScopedEnv env("PATH", path.c_str());

  const std::string url = "https://www.nimbrelaudio.com/?a=1&b=$(touch%20x);x";
  ASSERT_TRUE(platform::SystemOpenWebAddress(url));
  // Returned while the stand-in is still running: nothing waited for it.
  EXPECT_FALSE(fs::exists(dir / "done"));
  ASSERT_TRUE(WaitFor(dir / "args"));
  std::ifstream in(dir / "args");
  std::string count, arg, out;
  std::getline(in, count);
  std::getline(in, arg);
  std::getline(in, out);
  EXPECT_EQ(count, "1");
  EXPECT_EQ(arg, url); // passed as one argument, untouched by any shell
  EXPECT_EQ(out, "/dev/null");
  EXPECT_FALSE(fs::exists(dir / "x"));
  { std::ofstream(dir / "release") << "go"; }
  EXPECT_TRUE(WaitFor(dir / "done"));

  EXPECT_FALSE(platform::SystemOpenWebAddress("file:///etc/passwd"));
}

TEST(SystemOpener, ReportsAMissingHandler) {
  TempFolder folder; // an empty PATH entry: no xdg-open anywhere
  ScopedEnv env("PATH", folder.path().c_str());
  EXPECT_FALSE(platform::SystemOpenWebAddress("https://www.nimbrelaudio.com/"));
}

} // namespace
