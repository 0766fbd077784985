#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "core/image_registry.h"
#include "formats/pnm_writer.h"
#include "platform/bitmap.h"
#include "tessivo/imaging.h"

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

TEST(PnmWriter, RejectsShortBuffersAndUnwritablePaths) {
  std::vector<uint8_t> out;
  EXPECT_FALSE(EncodePNM(5, 2, std::vector<uint8_t>(16 + 15, 0), 24, {}, 0, 512, out));
  EXPECT_FALSE(EncodePNM(0, 2, std::vector<uint8_t>(64, 0), 24, {}, 0, 512, out));
  EXPECT_FALSE(WritePNM("/nonexistent-dir/x.pnm", 1, 1, std::vector<uint8_t>(4, 0), 24, {}, 0, 512));
}

// Saves the native image and returns the file.
std::vector<uint8_t> SavedPnm(cImaging& im) {
  const char* dir = std::getenv("TMPDIR");
  // One file per test and process: ctest runs tests in parallel processes.
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string path = std::string(dir ? dir : "/tmp") + "/saved-" + test->test_suite_name() + "-" +
                           test->name() + "-" + std::to_string(getpid()) + ".pnm";
  EXPECT_EQ(im.SaveAsPNM(path), OK);
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  std::remove(path.c_str());
  return bytes;
}

std::vector<uint8_t> Raster(const std::vector<uint8_t>& file, size_t headerBytes) {
  return std::vector<uint8_t>(file.begin() + static_cast<long>(headerBytes), file.end());
}

TEST(SaveAsPNM, NeedsANativeImage) {
  cImaging im;
  EXPECT_EQ(im.SaveAsPNM("x.pnm"), GenericError);
  im.SetNativeImage(4242);
  EXPECT_EQ(im.SaveAsPNM("x.pnm"), InvalidParameter);
  im.CreateNewImage(2, 2, 24);
  EXPECT_EQ(im.SaveAsPNM("/nonexistent-dir/x.pnm"), GenericError);
}

TEST(SaveAsPNM, DirectColourImagesBecomePixmaps) {
  for (int16_t depth : {24, 32}) {
    cImaging im;
    const int32_t id = im.CreateNewImage(2, 2, depth);
    platform::Bitmap* bitmap = ResolveImage(id);
    bitmap->SetPixel(0, 0, 0xFF102030u);
    bitmap->SetPixel(1, 1, 0xFFA0B0C0u);
    const std::vector<uint8_t> file = SavedPnm(im);
    EXPECT_EQ(Header(file, 11), "P6\n2 2\n255\n");
    EXPECT_EQ(Raster(file, 11), (std::vector<uint8_t>{0x10, 0x20, 0x30, 0, 0, 0, 0, 0, 0, 0xA0, 0xB0, 0xC0}));
  }
}

TEST(SaveAsPNM, IndexedImagesBecomeGraymapsOfTheGreenComponent) {
  cImaging im;
  const int32_t id = im.CreateNewImage(3, 1, 8);
  ASSERT_EQ(im.ColorPaletteSet(SafeArray<int32_t>::FromVector({static_cast<int32_t>(0xFF0A141Eu), static_cast<int32_t>(0xFFC8640Au)})), OK);
  ResolveImage(id)->Row(0)[1] = 1;
  std::vector<uint8_t> file = SavedPnm(im);
  EXPECT_EQ(Header(file, 11), "P5\n3 1\n255\n");
  EXPECT_EQ(Raster(file, 11), (std::vector<uint8_t>{20, 100, 20}));

  // A 4-bit image goes through an 8-bit quantized copy; the grey is still the green.
  const int32_t four = im.CreateNewImage(3, 1, 4);
  ResolveImage(four)->Row(0)[0] = 0x9A;  // (0,0,255) and (0,255,0) of the VGA palette
  file = SavedPnm(im);
  EXPECT_EQ(Header(file, 11), "P5\n3 1\n255\n");
  EXPECT_EQ(Raster(file, 11), (std::vector<uint8_t>{0, 255, 0}));
  EXPECT_EQ(ResolveImage(four)->Format(), platform::kPixelFormat4bppIndexed);
}

TEST(SaveAsPNM, BitmapsSetOneBitsForTheDarkerColour) {
  cImaging im;
  // Black and white: black pixels are 1 bits; width 9 gives two bytes per row.
  const int32_t id = im.CreateNewImage(9, 2, 1, static_cast<int32_t>(0xFFFFFFFFu));
  ResolveImage(id)->Row(0)[0] = 0x7F;  // pixel 0 black
  ResolveImage(id)->Row(1)[1] = 0x7F;  // pixel 9... only 9 wide: pixel 8 black in row 1
  std::vector<uint8_t> file = SavedPnm(im);
  EXPECT_EQ(Header(file, 7), "P4\n9 2\n");
  EXPECT_EQ(Raster(file, 7), (std::vector<uint8_t>{0x80, 0x00, 0x00, 0x80}));

  // A blank white page stays white (no 1 bits), though white is the only colour present.
  im.CreateNewImage(9, 2, 1, static_cast<int32_t>(0xFFFFFFFFu));
  file = SavedPnm(im);
  EXPECT_EQ(Raster(file, 7), (std::vector<uint8_t>{0, 0, 0, 0}));

  // Two colours neither black nor white: the darker one is ink, whatever its palette position.
  const int32_t tinted = im.CreateNewImage(3, 1, 1, static_cast<int32_t>(0xFFFFFFFFu));
  ASSERT_EQ(im.ColorPaletteSet(SafeArray<int32_t>::FromVector({static_cast<int32_t>(0xFFE0E0A0u), static_cast<int32_t>(0xFF402000u)})), OK);
  ResolveImage(tinted)->Row(0)[0] = 0x40;  // pixel 1 uses entry 1, the dark brown
  file = SavedPnm(im);
  EXPECT_EQ(Raster(file, 7), (std::vector<uint8_t>{0x40}));
}

}  // namespace
}  // namespace tessivo
