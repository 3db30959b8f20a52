// The spin plug-in's table as a plug-in sees it through FindResource: every
// picture and the font, byte for byte as rendered, and none of the meter's.
#include "platform/Resources.h"
#include "platform/ResourceTable.h"
#include "resources/DisplayFont.h"
#include "resources/ResourceNames.h"

#include "FileBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace resources {
extern const platform::ResourceTable kQuorlinResources;
}

namespace {

const std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t BigEndian32(const std::uint8_t *p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

void ExpectPng(std::span<const std::uint8_t> bytes, std::uint32_t width, std::uint32_t height) {
  ASSERT_GE(bytes.size(), 33u);
  EXPECT_TRUE(std::equal(kPngSignature, kPngSignature + 8, bytes.begin()));
  EXPECT_EQ(std::string(reinterpret_cast<const char *>(bytes.data()) + 12, 4), "IHDR");
  EXPECT_EQ(BigEndian32(bytes.data() + 16), width);
  EXPECT_EQ(BigEndian32(bytes.data() + 20), height);
}

TEST(LinkedSpinResources, PicturesAreTheRenderedFiles) {
  struct Case {
    std::string_view name;
    std::uint32_t width, height;
  } cases[] = {{resources::kSpinBackground, 454, 237}, {resources::kSpinDialStrip, 8001, 127}};
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.name));
    auto found = platform::FindResource(resources::kPictureType, c.name);
    ASSERT_TRUE(found);
    ExpectPng(*found, c.width, c.height);
    const auto file = ReadFileBytes(std::string(NIMBREL_ART_DIR) + "/" + std::string(c.name) + ".png");
    ASSERT_FALSE(file.empty());
    EXPECT_TRUE(std::equal(found->begin(), found->end(), file.begin(), file.end()));
  }
}

TEST(LinkedSpinResources, FontUnderNumericIdentifier) {
  auto font = platform::FindResource(resources::kDisplayFontResourceType, resources::kDisplayFontResourceId);
  ASSERT_TRUE(font);
  const auto file = ReadFileBytes(NIMBREL_DISPLAY_FONT_TTF);
  ASSERT_FALSE(file.empty());
  EXPECT_TRUE(std::equal(font->begin(), font->end(), file.begin(), file.end()));
  EXPECT_TRUE(platform::FindResource(resources::kDisplayFontLicenseType, resources::kDisplayFontLicenseName));
}

TEST(LinkedSpinResources, CarriesNothingOfTheMeter) {
  for (const platform::ResourceEntry &e : resources::kQuorlinResources)
    EXPECT_FALSE(platform::FindResource(e.type, e.name)) << e.name;
  EXPECT_FALSE(platform::FindResource(resources::kPictureType, "Background"));
  EXPECT_FALSE(platform::FindResource("TTFFONT", 31));
}

} // namespace
