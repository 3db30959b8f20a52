// The embedded display font: a TrueType file, unchanged from Debian's package,
// whose family name is the one the spin editor asks for, with its licence.
#include "Embedded.h"
#include "resources/DisplayFont.h"

#include <stb_truetype.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::span<const std::uint8_t> Font() {
  auto font = platform::FindResourceIn(resources::kTwirlixResources, resources::kDisplayFontResourceType,
                                       resources::kDisplayFontResourceId);
  return font ? *font : std::span<const std::uint8_t>{};
}

// A name-table entry (Windows platform, Unicode BMP, US English) as ASCII.
std::string NameEntry(const stbtt_fontinfo &info, int nameId) {
  int length = 0;
  const char *s = stbtt_GetFontNameString(&info, &length, STBTT_PLATFORM_ID_MICROSOFT, STBTT_MS_EID_UNICODE_BMP,
                                          STBTT_MS_LANG_ENGLISH, nameId);
  std::string out;
  for (int i = 0; s && i + 1 < length; i += 2)
    out += static_cast<char>(s[i] == 0 ? s[i + 1] : '?');
  return out;
}

TEST(DisplayFont, IsTrueTypeAndNamesItsFamily) {
  const auto font = Font();
  ASSERT_FALSE(font.empty());
  // TrueType outlines (version 1.0), not CFF ("OTTO").
  EXPECT_EQ(font[0], 0);
  EXPECT_EQ(font[1], 1);
  EXPECT_EQ(font[2], 0);
  EXPECT_EQ(font[3], 0);
  stbtt_fontinfo info;
  ASSERT_TRUE(stbtt_InitFont(&info, font.data(), stbtt_GetFontOffsetForIndex(font.data(), 0)));
  EXPECT_EQ(NameEntry(info, 1), resources::kDisplayFontFamily);
  EXPECT_EQ(NameEntry(info, 2), "Regular");
  // Every character the editor writes has a glyph.
  for (char c : std::string("abcdefghijklmnopqrstuvwxyz 0123456789.,-Hz"))
    EXPECT_NE(stbtt_FindGlyphIndex(&info, static_cast<unsigned char>(c)), 0) << c;
}

TEST(DisplayFont, ByteIdenticalToDebiansFileAndLicensed) {
  std::ifstream in(NIMBREL_DEBIAN_FONT, std::ios::binary);
  const std::vector<std::uint8_t> debian{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto font = Font();
  ASSERT_FALSE(debian.empty());
  EXPECT_TRUE(std::equal(font.begin(), font.end(), debian.begin(), debian.end()));

  auto licence = platform::FindResourceIn(resources::kTwirlixResources, resources::kDisplayFontLicenseType,
                                          resources::kDisplayFontLicenseName);
  ASSERT_TRUE(licence);
  const std::string text(licence->begin(), licence->end());
  EXPECT_NE(text.find("Clear Sans"), std::string::npos);
  EXPECT_NE(text.find("Apache License"), std::string::npos);
  EXPECT_NE(text.find("TERMS AND CONDITIONS FOR USE, REPRODUCTION, AND DISTRIBUTION"), std::string::npos);
}

} // namespace
