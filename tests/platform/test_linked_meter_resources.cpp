// The meter plug-in's table as the meter sees it: its seven pictures as
// rendered, and none of the spin plug-in's resources.
#include "platform/Resources.h"
#include "resources/ResourceNames.h"

#include "FileBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(LinkedMeterResources, SevenPicturesAsRendered) {
  const std::string_view names[] = {resources::kMeterBackground,    resources::kMeterBackgroundOld,
                                    resources::kMeterBobble,        resources::kMeterNeedlesYellow,
                                    resources::kMeterNeedlesOld,    resources::kMeterStyleOld,
                                    resources::kMeterStyleWhite};
  for (std::string_view name : names) {
    SCOPED_TRACE(std::string(name));
    auto found = platform::FindResource(resources::kPictureType, name);
    ASSERT_TRUE(found);
    const auto file = ReadFileBytes(std::string(NIMBREL_ART_DIR) + "/" + std::string(name) + ".png");
    ASSERT_GT(file.size(), 8u);
    EXPECT_TRUE(std::equal(found->begin(), found->end(), file.begin(), file.end()));
  }
}

TEST(LinkedMeterResources, CarriesNoSpinArtworkNorFont) {
  EXPECT_FALSE(platform::FindResource(resources::kPictureType, resources::kSpinBackground));
  EXPECT_FALSE(platform::FindResource(resources::kPictureType, resources::kSpinDialStrip));
  EXPECT_FALSE(platform::FindResource("TTFFONT", 30));
}

} // namespace
