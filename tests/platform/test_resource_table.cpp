// Lookup rules over a small table: names as on Win32 (case-insensitive,
// numeric identifiers as "#n"), and bad names giving nothing.
#include "platform/ResourceTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::uint8_t kA[] = {1, 2, 3};
const std::uint8_t kB[] = {4, 5};
const std::uint8_t kC[] = {6};
const platform::ResourceEntry kEntries[] = {
    {"RCDATA", "Picture", kA, sizeof kA},
    {"TTFFONT", "#30", kB, sizeof kB},
    {"TEXT", "Picture", kC, sizeof kC}, // same name, other type
};
const platform::ResourceTable kTable(kEntries);

std::vector<std::uint8_t> Bytes(std::optional<std::span<const std::uint8_t>> r) {
  return r ? std::vector<std::uint8_t>(r->begin(), r->end()) : std::vector<std::uint8_t>{};
}

TEST(ResourceTable, FindsByTypeAndNameIgnoringAsciiCase) {
  EXPECT_EQ(Bytes(platform::FindResourceIn(kTable, "RCDATA", "Picture")), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(Bytes(platform::FindResourceIn(kTable, "rcdata", "PICTURE")), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(Bytes(platform::FindResourceIn(kTable, "Text", "picture")), (std::vector<std::uint8_t>{6}));
}

TEST(ResourceTable, NumericIdentifierIsHashName) {
  EXPECT_EQ(Bytes(platform::FindResourceIn(kTable, "TTFFONT", 30)), (std::vector<std::uint8_t>{4, 5}));
  EXPECT_EQ(Bytes(platform::FindResourceIn(kTable, "TTFFONT", "#30")), (std::vector<std::uint8_t>{4, 5}));
  EXPECT_EQ(platform::NumericResourceName(30), "#30");
}

TEST(ResourceTable, MissingOrMalformedNamesGiveNothing) {
  const std::string longName(10000, 'A');
  struct Case {
    std::string type, name;
  } cases[] = {{"RCDATA", "Pictur"}, {"RCDATA", "Pictures"}, {"RCDATA", "#30"}, {"TTFFONT", "30"},
               {"", "Picture"},      {"RCDATA", ""},         {longName, "Picture"}, {"RCDATA", longName},
               {std::string("RCDATA\0", 7), "Picture"}};
  for (const Case &c : cases)
    EXPECT_FALSE(platform::FindResourceIn(kTable, c.type, c.name)) << c.type.size() << " " << c.name;
  for (int id : {0, -30, 31, 29, 30 + 65536, 0x7FFFFFFF, -0x7FFFFFFF - 1})
    EXPECT_FALSE(platform::FindResourceIn(kTable, "TTFFONT", id)) << id;
  EXPECT_FALSE(platform::FindResourceIn(platform::ResourceTable{}, "RCDATA", "Picture"));
}

} // namespace
