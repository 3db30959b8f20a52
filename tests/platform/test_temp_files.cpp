#include "platform/TempFiles.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::span<const std::uint8_t> AsBytes(const std::string &s) {
  return {reinterpret_cast<const std::uint8_t *>(s.data()), s.size()};
}

TEST(TempDirectory, FollowsTmpdirWhenItNamesAFolder) {
  TempFolder folder;
  {
    ScopedEnv env("TMPDIR", folder.path().c_str());
    EXPECT_EQ(platform::TempDirectory(), folder.path());
  }
  for (const char *value : {static_cast<const char *>(nullptr), "", "/no/such/folder/anywhere"}) {
    ScopedEnv env("TMPDIR", value);
    EXPECT_EQ(platform::TempDirectory(), fs::path("/tmp")) << (value ? value : "(unset)");
  }
}

TEST(CreateTempFile, NewPrivateEmptyFilesWithUnpredictableNames) {
  TempFolder folder;
  ScopedEnv env("TMPDIR", folder.path().c_str());
  std::set<fs::path> seen;
  for (int i = 0; i < 50; ++i) {
    std::error_code ec;
    const fs::path p = platform::CreateTempFile("FONT", ec);
    ASSERT_FALSE(ec) << ec.message();
    EXPECT_EQ(p.parent_path(), folder.path());
    const std::string name = p.filename().string();
    EXPECT_EQ(name.rfind("FONT", 0), 0u) << name;
    EXPECT_GT(name.size(), 4u + 5u); // a random part follows the prefix
    struct stat st {};
    ASSERT_EQ(::lstat(p.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(seen.insert(p).second) << "name repeated: " << p;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 50);
}

TEST(CreateTempFile, RefusesUnsafePrefixesAndMissingFolders) {
  TempFolder folder;
  for (const char *prefix : {"", "../FONT", "a/b", "FONT X", "FO\nNT", "0123456789012345678901234567890123"}) {
    std::error_code ec;
    EXPECT_TRUE(platform::CreateTempFile(folder.path(), prefix, ec).empty()) << prefix;
    EXPECT_EQ(ec, std::errc::invalid_argument) << prefix;
  }
  EXPECT_TRUE(fs::is_empty(folder.path()));
  EXPECT_TRUE(fs::is_empty(folder.path().parent_path() / folder.path().filename())); // nothing escaped

  std::error_code ec;
  EXPECT_TRUE(platform::CreateTempFile(folder.path() / "missing", "FONT", ec).empty());
  EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
  EXPECT_THROW(platform::CreateTempFile("a/b"), std::system_error);
}

TEST(TempFileBytes, WriteReplacesContentThenRemoveAndExists) {
  TempFolder folder;
  std::error_code ec;
  const fs::path p = platform::CreateTempFile(folder.path(), "FONT", ec);
  ASSERT_FALSE(ec);
  const std::string big(100000, 'x'), small = "font bytes";
  ASSERT_TRUE(platform::WriteFileBytes(p, AsBytes(big), ec)) << ec.message();
  ASSERT_TRUE(platform::WriteFileBytes(p, AsBytes(small), ec)) << ec.message();
  EXPECT_EQ(ReadAll(p), small); // create mode empties the file first
  ASSERT_TRUE(platform::WriteFileBytes(p, {}, ec));
  EXPECT_EQ(fs::file_size(p), 0u);

  EXPECT_TRUE(platform::FileExists(p));
  EXPECT_TRUE(platform::RemoveFile(p));
  EXPECT_FALSE(platform::FileExists(p));
  EXPECT_FALSE(platform::RemoveFile(p));
  EXPECT_FALSE(platform::WriteFileBytes(folder.path() / "no" / "file", AsBytes(small), ec));
  EXPECT_TRUE(ec);
}

TEST(TempFileBytes, NeverWritesThroughASymbolicLink) {
  TempFolder folder;
  const fs::path target = folder.path() / "victim";
  { std::ofstream(target) << "precious"; }
  const fs::path link = folder.path() / "FONTlink";
  fs::create_symlink(target, link);
  std::error_code ec;
  EXPECT_FALSE(platform::WriteFileBytes(link, AsBytes(std::string("evil")), ec));
  EXPECT_TRUE(ec);
  EXPECT_EQ(ReadAll(target), "precious");

  fs::remove(target);
  EXPECT_TRUE(platform::FileExists(link)); // a dangling link still occupies the name
}

} // namespace
