#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/pnm_writer.h"

namespace tessivo {
namespace {

std::string Header(const std::vector<uint8_t>& file, size_t bytes) {
  return std::string(file.begin(), file.begin() + static_cast<long>(bytes));
}

TEST(PnmWriter, WritesHeadersWithoutCommentsForEveryMagic) {
  const std::vector<PaletteRecord> palette = {{0, 0, 0, 255}, {255, 255, 255, 255}};
  std::vector<uint8_t> out;
  for (int32_t size : {1, 10, 100, 1000}) {
    const std::vector<uint8_t> pixels(static_cast<size_t>(((size * 24 + 31) / 32) * 4 * 2), 0);
    ASSERT_TRUE(EncodePNM(size, 2, pixels, 24, {}, 0, kPnmIndexedAsGraymap, out));
    const std::string header = "P6\n" + std::to_string(size) + " 2\n255\n";
    EXPECT_EQ(Header(out, header.size()), header);
    EXPECT_EQ(out.size(), header.size() + 3 * static_cast<size_t>(size) * 2);
  }
  const std::vector<uint8_t> indices(8, 0);
  ASSERT_TRUE(EncodePNM(3, 2, indices, 1, palette, 2, kPnmIndexedAsGraymap, out));
  EXPECT_EQ(Header(out, 7), "P4\n3 2\n");
  EXPECT_EQ(out.size(), 7u + 2);
  ASSERT_TRUE(EncodePNM(3, 2, indices, 8, palette, 2, kPnmIndexedAsGraymap, out));
  EXPECT_EQ(Header(out, 11), "P5\n3 2\n255\n");
  ASSERT_TRUE(EncodePNM(3, 2, indices, 8, palette, 2, 0, out));  // without option 512: pixmap
  EXPECT_EQ(Header(out, 11), "P6\n3 2\n255\n");
}

TEST(PnmWriter, BitmapRowsSetOneBitsForIndexZeroAndPadToBytes) {
  // Width 9: two bytes per row; the spare low bits stay 0.
  std::vector<uint8_t> indices(2 * 12, 1);
  indices[0] = indices[8] = 0;              // row 0: pixels 0 and 8
  indices[12 + 3] = 0;                      // row 1: pixel 3
  std::vector<uint8_t> out;
  ASSERT_TRUE(EncodePNM(9, 2, indices, 1, {{0, 0, 0, 255}, {255, 255, 255, 255}}, 2, 512, out));
  const std::vector<uint8_t> raster(out.begin() + 7, out.end());
  EXPECT_EQ(raster, (std::vector<uint8_t>{0x80, 0x80, 0x10, 0x00}));
}

TEST(PnmWriter, GraymapTakesTheGreenOfTheRecordAndPixmapReordersBytes) {
  const std::vector<PaletteRecord> palette = {{10, 20, 30, 255}, {40, 50, 60, 255}};
  const std::vector<uint8_t> indices = {1, 0, 1, 0};  // one row, stride 4
  std::vector<uint8_t> out;
  ASSERT_TRUE(EncodePNM(3, 1, indices, 8, palette, 2, 512, out));
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 11, out.end()), (std::vector<uint8_t>{50, 20, 50}));
  ASSERT_TRUE(EncodePNM(2, 1, indices, 8, palette, 2, 0, out));
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 11, out.end()), (std::vector<uint8_t>{40, 50, 60, 10, 20, 30}));

  const std::vector<uint8_t> bgr = {1, 2, 3, 4, 5, 6, 0, 0};  // two pixels, stride 8
  ASSERT_TRUE(EncodePNM(2, 1, bgr, 24, {}, 0, 512, out));
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 11, out.end()), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
}

TEST(PnmWriter, RejectsShortBuffersAndUnwritablePaths) {
  std::vector<uint8_t> out;
  EXPECT_FALSE(EncodePNM(5, 2, std::vector<uint8_t>(16 + 15, 0), 24, {}, 0, 512, out));
  EXPECT_FALSE(EncodePNM(0, 2, std::vector<uint8_t>(64, 0), 24, {}, 0, 512, out));
  EXPECT_FALSE(WritePNM("/nonexistent-dir/x.pnm", 1, 1, std::vector<uint8_t>(4, 0), 24, {}, 0, 512));
}

}  // namespace
}  // namespace tessivo
