#include "platform/Locale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

TEST(DecimalSeparator, FollowsTheCurrentLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
  EXPECT_EQ(platform::DecimalSeparator(), ".");
  // A locale with a comma, where the machine has one.
  bool tried = false;
  for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      EXPECT_EQ(platform::DecimalSeparator(), ",") << name;
      tried = true;
      break;
    }
  }
  std::setlocale(LC_ALL, saved.c_str());
  if (!tried)
    GTEST_SKIP() << "no locale with a decimal comma is installed; checked \"C\" only";
}

} // namespace
