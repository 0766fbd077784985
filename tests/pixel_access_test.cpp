// Pixel access: array shapes and the reallocation rule, memory-order reads, the pixel formats
// exchanged, single pixels, row layout and the region of interest.
#include <gtest/gtest.h>

#include <cstring>

#include "support/pixel_images.h"

namespace tessivo {
namespace {

using namespace tessivo::testing;

TEST(PixelArrays, TwoDimensionalArrayFromNothing) {
  cImaging im;
  MakeImage(im, 4, 3, NoisePixels(12));
  SafeArray<int32_t> a;
  ASSERT_EQ(im.GetPixelArray2D(a, 1, 1, 3, 2), OK);
  ASSERT_EQ(a.dims(), 2);
  EXPECT_EQ(a.LBound(1), 0);
  EXPECT_EQ(a.UBound(1), 2);
  EXPECT_EQ(a.UBound(2), 1);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(a(x, y), im.PixelGetColor(1 + x, 1 + y));
}

TEST(PixelArrays, ReallocationRule) {
  cImaging im;
  const std::vector<uint32_t> px = NoisePixels(6);
  MakeImage(im, 3, 2, px);

  // Exactly the needed size: reallocated (the bounds are redrawn from 0).
  SafeArray<int32_t> exact({ArrayBound{-1, 6}});
  ASSERT_EQ(im.GetPixelArray1D(exact, 0, 0, 3, 2), OK);
  EXPECT_EQ(exact.LBound(), 0);
  EXPECT_EQ(exact.UBound(), 5);

  // Larger: kept and filled from its first element; the rest is left alone.
  SafeArray<int32_t> larger({ArrayBound{0, 9}});
  larger(8) = 77;
  ASSERT_EQ(im.GetPixelArray1D(larger, 0, 0, 3, 2), OK);
  EXPECT_EQ(larger.UBound(), 8);
  EXPECT_EQ(static_cast<uint32_t>(larger(5)), px[5]);
  EXPECT_EQ(larger(6), 0);
  EXPECT_EQ(larger(8), 77);

  // A wider 2-D array keeps its shape and is filled W values per row regardless of its rows.
  SafeArray<int32_t> wide({ArrayBound{0, 5}, ArrayBound{0, 3}});
  ASSERT_EQ(im.GetPixelArray2D(wide, 0, 0, 3, 2), OK);
  EXPECT_EQ(wide.Count(1), 5);
  EXPECT_EQ(static_cast<uint32_t>(wide(3, 0)), px[3]) << "second row starts right after the first";

  // High upper bounds with high lower bounds hold too few elements: reallocated, not overrun.
  SafeArray<int32_t> offset({ArrayBound{100, 2}});
  ASSERT_EQ(im.GetPixelArray1D(offset, 0, 0, 3, 2), OK);
  EXPECT_EQ(offset.size(), 6u);

  // Another number of dimensions: reallocated to the family's shape.
  SafeArray<uint8_t> channels({ArrayBound{0, 100}});
  ASSERT_EQ(im.GetPixelArrayARGB(channels, 0, 0, 3, 2), OK);
  ASSERT_EQ(channels.dims(), 3);
  EXPECT_EQ(channels.UBound(1), 3);
  EXPECT_EQ(channels.UBound(2), 2);
  EXPECT_EQ(channels.UBound(3), 1);
  EXPECT_EQ(channels(2, 1, 1), (px[4] >> 16) & 0xFF) << "channel 2 is red";
}

TEST(PixelArrays, ByteLayoutsAndFormats) {
  cImaging im;
  const std::vector<uint32_t> px = NoisePixels(10);
  MakeImage(im, 5, 2, px);
  SafeArray<uint8_t> rgb;
  ASSERT_EQ(im.GetPixelArrayBytesRGB(rgb, 0, 0, 5, 2), OK);
  ASSERT_EQ(rgb.size(), 30u) << "rows of 15 bytes, no filler";
  EXPECT_EQ(rgb(15), px[5] & 0xFF);
  EXPECT_EQ(rgb(16), (px[5] >> 8) & 0xFF);
  EXPECT_EQ(rgb(17), (px[5] >> 16) & 0xFF);

  SafeArray<uint8_t> argb;
  ASSERT_EQ(im.GetPixelArrayBytesARGB(argb, 1, 0, 2, 2), OK);
  ASSERT_EQ(argb.size(), 16u);
  uint32_t second;
  std::memcpy(&second, argb.data() + 8, 4);
  EXPECT_EQ(second, px[6]);

  // Writing back the 24-bit bytes changes the colours and keeps the image's alpha opaque.
  for (size_t i = 0; i < rgb.size(); ++i) rgb.data()[i] = static_cast<uint8_t>(i);
  ASSERT_EQ(im.SetPixelArrayBytesRGB(rgb, 0, 0, 5, 2), OK);
  EXPECT_EQ(static_cast<uint32_t>(im.PixelGetColor(1, 0)), 0xFF050403u);

  // A 3-D channel array is read in memory order.
  SafeArray<uint8_t> cube({ArrayBound{0, 4}, ArrayBound{0, 1}, ArrayBound{0, 1}});
  cube(0, 0, 0) = 1;
  cube(1, 0, 0) = 2;
  cube(2, 0, 0) = 3;
  cube(3, 0, 0) = 4;
  ASSERT_EQ(im.SetPixelArrayARGB(cube, 4, 1, 1, 1), OK);
  EXPECT_EQ(static_cast<uint32_t>(im.PixelGetColor(4, 1)), 0x04030201u);
}

TEST(PixelArrays, IndexedAccessNeedsEightBits) {
  cImaging im;
  MakeImage(im, 4, 2, NoisePixels(8), 24);
  SafeArray<uint8_t> untouched({ArrayBound{0, 1}});
  untouched(0) = 9;
  EXPECT_EQ(im.GetPixelArray8bpp1D(untouched, 0, 0, 4, 2), UnsupportedPixelFormat);
  EXPECT_EQ(untouched.size(), 1u);
  EXPECT_EQ(untouched(0), 9);

  im.CreateNewImage(4, 2, 8);
  SafeArray<uint8_t> indices = SafeArray<uint8_t>::FromVector({1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_EQ(im.SetPixelArray8bpp1D(indices, 0, 0, 4, 2), OK);
  SafeArray<uint8_t> back;
  ASSERT_EQ(im.GetPixelArray8bpp1D(back, 0, 0, 4, 2), OK);
  EXPECT_EQ(back.storage(), indices.storage());
}

TEST(PixelArrays, BadRectanglesAndShortArrays) {
  cImaging im;
  SafeArray<int32_t> a;
  EXPECT_EQ(im.GetPixelArray1D(a, 0, 0, 1, 1), GenericError) << "no native image";
  MakeImage(im, 3, 3, NoisePixels(9));
  EXPECT_EQ(im.GetPixelArray1D(a, 2, 2, 2, 2), InvalidParameter);
  EXPECT_EQ(im.GetPixelArray1D(a, 0, 0, 0, 3), InvalidParameter);
  EXPECT_EQ(im.GetPixelArray1D(a, 0, 0, 1 << 20, 1 << 20), InvalidParameter);
  EXPECT_FALSE(a.allocated()) << "a refused rectangle leaves the array alone";

  const std::vector<uint32_t> before = Pixels(im);
  SafeArray<int32_t> shortArray({ArrayBound{0, 8}});
  EXPECT_EQ(im.SetPixelArray(shortArray, 0, 0, 3, 3), InvalidParameter);
  SafeArray<uint8_t> none;
  EXPECT_EQ(im.SetPixelArrayBytesARGB(none, 0, 0, 1, 1), InvalidParameter);
  EXPECT_EQ(Pixels(im), before);

  im.SetNativeImage(123456);
  EXPECT_EQ(im.PixelGetColor(0, 0), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.PixelSetColor(0, 0, 0), InvalidParameter);
}

TEST(SinglePixels, GetSetAndRowLayout) {
  cImaging im;
  const int32_t id = im.CreateNewImage(5, 2, 24);
  ASSERT_EQ(im.PixelSetColor(4, 1, static_cast<int32_t>(0xFF102030u)), OK);
  EXPECT_EQ(static_cast<uint32_t>(im.PixelGetColor(4, 1)), 0xFF102030u);
  EXPECT_EQ(im.PixelSetColor(5, 0, 0), InvalidParameter);
  EXPECT_EQ(im.GetImageStride(), 16) << "15 bytes padded to 16";
  const intptr_t bits = im.GetImageBits();
  ASSERT_NE(bits, 0);
  const uint8_t* row1 = reinterpret_cast<const uint8_t*>(bits) + 16;
  EXPECT_EQ(row1[12], 0x30);
  EXPECT_EQ(row1[13], 0x20);
  EXPECT_EQ(row1[14], 0x10);
  EXPECT_TRUE(ImageRegistry::Current().Entry(id)->pageModified) << "a set pixel is a change";

  cImaging none;
  EXPECT_EQ(none.GetImageBits(), 0);
  EXPECT_EQ(none.GetStat(), GenericError);
}

TEST(RegionOfInterest, SetKeepResetAndConfine) {
  cImaging im;
  const std::vector<uint32_t> px = NoisePixels(36);
  MakeImage(im, 6, 6, px);
  EXPECT_EQ(im.SetROI(1, 1, 4, 3), OK) << "a setter returns the last status";
  im.SetROI(0, 0, 0, 0);  // all zero: nothing changes
  ASSERT_EQ(im.FxNegative(), OK);
  const std::vector<uint32_t> after = Pixels(im);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x < 5 && y >= 1 && y < 4;
      EXPECT_EQ(after[y * 6 + x], inside ? px[y * 6 + x] ^ 0x00FFFFFFu : px[y * 6 + x]) << x << "," << y;
    }
  im.FiltersToImage();
  ASSERT_EQ(im.FxNegative(), OK);
  const std::vector<uint32_t> again = Pixels(im);
  EXPECT_EQ(again[0], px[0] ^ 0x00FFFFFFu) << "after a reset the whole image is filtered";
  EXPECT_EQ(again[7], px[7]);

  im.FiltersToZone(4, 4, 5, 5);  // stored unclipped: the lock refuses it
  EXPECT_EQ(im.FxBlur(), InvalidParameter);
  im.SetROI(2, 2, -3, 4);
  EXPECT_EQ(im.FxBlur(), OK) << "an empty zone is OK and changes nothing";
  EXPECT_EQ(Pixels(im), again);
}

}  // namespace
}  // namespace tessivo
