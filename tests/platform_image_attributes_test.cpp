#include <gtest/gtest.h>

#include <vector>

#include "platform/graphics/image_attributes.h"

namespace tessivo::platform {
namespace {

TEST(ImageAttributes, KeyComparesColourChannelsOnlyAndRemapComesFirst) {
  ImageAttributes a;
  EXPECT_TRUE(a.Empty());
  a.SetColorKey(0xFF102030u, 0x00405060u);  // alpha of the bounds plays no part
  EXPECT_EQ(a.Apply(0x80203040u), 0x00203040u);
  EXPECT_EQ(a.Apply(0xFF102030u), 0x00102030u);  // bounds are inclusive
  EXPECT_EQ(a.Apply(0xFF0F2030u), 0xFF0F2030u);  // red below the range
  EXPECT_EQ(a.Apply(0xFF405061u), 0xFF405061u);  // blue above it

  const ColorRemapPair pairs[] = {{0xFFFFFFFFu, 0xFF304050u}, {0xFFFFFFFFu, 0xFF000000u},
                                  {0xFF000000u, 0x80FF0000u}};
  a.SetRemapTable(pairs);
  EXPECT_EQ(a.Apply(0xFFFFFFFFu), 0x00304050u);  // first pair wins, then keyed out
  EXPECT_EQ(a.Apply(0xFF000000u), 0x80FF0000u);
  EXPECT_EQ(a.Apply(0xFE000000u), 0xFE000000u);  // remapping needs the exact ARGB value

  std::vector<uint32_t> row = {0xFF000000u, 0xFF000000u, 0xFF203040u, 0xFF000000u};
  a.ApplyInPlace(row);
  EXPECT_EQ(row, (std::vector<uint32_t>{0x80FF0000u, 0x80FF0000u, 0x00203040u, 0x80FF0000u}));
}

}  // namespace
}  // namespace tessivo::platform
