// Image information: sizes, resolutions with their EXIF rationals, pixel format tables, colour
// space, the CMYK probe, clearing and lossless JPEG transforms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/image_registry.h"
#include "core/resolution.h"
#include "platform/codecs/property_tags.h"
#include "support/fake_codec.h"
#include "support/io_fixtures.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using namespace tessivo::testing;
namespace pf = platform;

std::pair<uint32_t, uint32_t> RationalOf(int32_t id, uint32_t tag) {
  pf::PropertyItem item;
  if (ResolveImage(id)->GetProperty(tag, item) != pf::Status::Ok || item.value.size() != 8 ||
      item.type != pf::PropertyTagTypeRational)
    return {0, 0};
  uint32_t n, d;
  std::memcpy(&n, item.value.data(), 4);
  std::memcpy(&d, item.value.data() + 4, 4);
  return {n, d};
}

TEST(Info, SizesInPixelsAndMillimetres) {
  cImaging im;
  const int32_t id = im.CreateNewImage(2480, 10, 1);
  ResolveImage(id)->SetResolution(300, 254);
  EXPECT_EQ(im.GetWidth(), 2480);
  EXPECT_EQ(im.GetHeight(), 10);
  EXPECT_FLOAT_EQ(im.GetWidthMM(), 209.97333f);
  EXPECT_FLOAT_EQ(im.GetHeightMM(), 1.0f);
  EXPECT_FLOAT_EQ(im.GetHorizontalResolution(), 300);
  EXPECT_EQ(im.GetStat(), OK);
}

TEST(Info, ResolutionSettersWriteExifRationals) {
  cImaging im;
  const int32_t id = im.CreateNewImage(8, 8, 24);
  EXPECT_EQ(im.SetHorizontalResolution(72.5f), OK);
  EXPECT_EQ(RationalOf(id, pf::kPropertyTagXResolution), std::make_pair(725u, 10u));
  EXPECT_EQ(RationalOf(id, pf::kPropertyTagYResolution), std::make_pair(96u, 1u));
  EXPECT_FLOAT_EQ(im.GetVerticalResolution(), 96);
  EXPECT_FLOAT_EQ(im.GetHorizontalResolution(), 72.5f);
  EXPECT_EQ(im.SetVerticalResolution(0.1f), OK);
  EXPECT_EQ(RationalOf(id, pf::kPropertyTagYResolution), std::make_pair(1u, 10u));
  EXPECT_EQ(RationalOf(id, pf::kPropertyTagXResolution), std::make_pair(725u, 10u));

  EXPECT_EQ(im.SetHorizontalResolution(-3), InvalidParameter) << "the platform's answer decides";
  EXPECT_FLOAT_EQ(im.GetHorizontalResolution(), 72.5f);
  EXPECT_EQ(im.SetHorizontalResolution(NAN), InvalidParameter);

  EXPECT_EQ(DecimalPlaces(96), 0);
  EXPECT_EQ(DecimalPlaces(72.5f), 1);
  EXPECT_EQ(DecimalPlaces(299.99f), 2);
  EXPECT_EQ(DecimalPlaces(INFINITY), -1) << "no endless search";
  EXPECT_EQ(DecimalPlaces(1e-12f), -1);
}

TEST(Info, NoNativeImage) {
  cImaging im;
  EXPECT_EQ(im.SetHorizontalResolution(100), GenericError);
  EXPECT_EQ(im.ClearImage(0), GenericError);
  EXPECT_EQ(im.GetWidth(), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  im.SetNativeImage(5555);
  EXPECT_EQ(im.SetVerticalResolution(100), InvalidParameter);
  EXPECT_EQ(im.GetPixelFormatString(), "");
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.ClearImage(0), InvalidParameter);
  EXPECT_FLOAT_EQ(im.GetWidthMM(), 0);
  EXPECT_FALSE(im.IsPixelFormatIndexed());
}

TEST(Info, PixelFormatTables) {
  cImaging im;
  struct Row {
    PixelFormats format;
    const char* name;
    int32_t depth;
    bool indexed, alpha;
  } rows[] = {{PixelFormat1bppIndexed, "1bppIndexed", 1, true, false},
              {PixelFormat4bppIndexed, "4bppIndexed", 4, true, false},
              {PixelFormat8bppIndexed, "8bppIndexed", 8, true, false},
              {PixelFormat16bppGrayScale, "16bppGrayScale", 16, false, false},
              {PixelFormat16bppRGB555, "16bppRGB555", 16, false, false},
              {PixelFormat16bppRGB565, "16bppRGB565", 16, false, false},
              {PixelFormat16bppARGB1555, "16bppARGB1555", 16, false, true},
              {PixelFormat24bppRGB, "24bppRGB", 24, false, false},
              {PixelFormat32bppRGB, "32bppRGB", 32, false, false},
              {PixelFormat32bppARGB, "32bppARGB", 32, false, true},
              {PixelFormat32bppPARGB, "32bppPARGB", 32, false, true},
              {PixelFormat48bppRGB, "48bppRGB", 48, false, false},
              {PixelFormat64bppARGB, "64bppARGB", 64, false, true},
              {PixelFormat64bpppARGB, "64bppPARGB", 64, false, true}};
  for (const Row& r : rows) {
    im.SetNativeImage(RegisterPattern(r.format, 2, 2));
    EXPECT_EQ(im.GetPixelFormat(), r.format);
    EXPECT_EQ(im.GetPixelFormatString(), r.name);
    EXPECT_EQ(im.GetPixelDepth(), r.depth) << r.name;
    EXPECT_EQ(im.IsPixelFormatIndexed(), r.indexed) << r.name;
    EXPECT_EQ(im.IsPixelFormatHasAlpha(), r.alpha) << r.name;
  }
  EXPECT_EQ(im.GetColorChannelFlagsC(), 0);
  EXPECT_EQ(im.GetColorChannelFlagsK(), 3);
}

TEST(Info, ColourSpaceTakesTheHighestFlag) {
  cImaging im;
  const int32_t id = im.CreateNewImage(2, 2, 24);
  pf::Bitmap* image = ResolveImage(id);
  image->SetFlags(0);
  EXPECT_EQ(im.GetImageColorSpace(), ImageColorSpaceUnknown);
  image->SetFlags(pf::ImageFlagsColorSpaceRGB | pf::ImageFlagsColorSpaceGRAY | pf::ImageFlagsHasAlpha);
  EXPECT_EQ(im.GetImageColorSpace(), ImageColorSpaceGRAY);
  image->SetFlags(pf::ImageFlagsColorSpaceCMYK | pf::ImageFlagsColorSpaceYCCK);
  EXPECT_EQ(im.GetImageColorSpace(), ImageColorSpaceYCCK);
}

TEST(Info, CmykProbeNeedsThePlugInAndLeavesTheStatus) {
  ScopedTempFolder dir;
  cImaging im;
  FakePage cmyk;
  cmyk.width = cmyk.height = 1;
  cmyk.bpp = 32;
  cmyk.colorType = TVIMG_CMYK;
  cmyk.rowsTopDown = {0, 0, 0, 0};
  WriteFakeFile(dir.File("c.tif"), TVIMG_TIFF, {cmyk});
  EXPECT_EQ(im.CreateImageFromFile(dir.File("missing")), 0);
  {
    ScopedNoCodec noCodec;
    EXPECT_FALSE(im.IsCMYKFile(dir.File("c.tif")));
  }
  ScopedFakeCodec fake;
  EXPECT_TRUE(im.IsCMYKFile("  " + dir.File("c.tif")));
  cmyk.colorType = TVIMG_RGBALPHA;
  WriteFakeFile(dir.File("c.tif"), TVIMG_TIFF, {cmyk});
  EXPECT_FALSE(im.IsCMYKFile(dir.File("c.tif")));
  EXPECT_FALSE(im.IsCMYKFile(dir.File("missing")));
  EXPECT_EQ(im.GetStat(), FileNotFound) << "the probe leaves the status alone";
  EXPECT_EQ(FakeLog().liveBitmaps, 0);
}

TEST(Info, ClearImageFillsInTheImagesOwnFormat) {
  cImaging im;
  const int32_t argb = im.CreateNewImage(3, 3, 32);
  EXPECT_EQ(im.ClearImage(static_cast<int32_t>(0x40102030u)), OK);
  EXPECT_EQ(PixelOf(argb, 2, 2), 0x40102030u);
  const int32_t mono = im.CreateNewImage(9, 2, 1);
  EXPECT_EQ(im.ClearImage(static_cast<int32_t>(0xFFF0F0F0u)), OK);
  EXPECT_EQ(PixelOf(mono, 8, 1), 0xFFFFFFFFu) << "the nearest palette entry";
}

TEST(Info, TransformJpegRotatesWithoutDecoding) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t id = im.CreateNewImage(32, 16, 24, static_cast<int32_t>(0xFF0000FFu));
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 8; ++x) ResolveImage(id)->SetPixel(x, y, 0xFFFFFFFFu);
  ASSERT_EQ(im.SaveAsJPEG(dir.File("in.jpg"), 95), OK);
  EXPECT_EQ(im.TransformJPEG(dir.File("in.jpg"), dir.File("out.jpg"), JPEGTransformRotate90), OK);
  const int32_t rotated = im.CreateImageFromFile(dir.File("out.jpg"));
  ASSERT_NE(rotated, 0);
  EXPECT_EQ(im.GetWidth(), 16);
  EXPECT_EQ(im.GetHeight(), 32);
  EXPECT_GT((PixelOf(rotated, 8, 2) >> 16) & 0xFF, 0xE0u) << "the white band is now at the top";
  EXPECT_LT((PixelOf(rotated, 8, 29) >> 16) & 0xFF, 0x40u) << "blue below it";
  EXPECT_EQ(im.TransformJPEG(dir.File("missing.jpg"), dir.File("o.jpg"), JPEGTransformFlipVertical),
            FileNotFound);
  EXPECT_EQ(im.TransformJPEG(dir.File("in.jpg"), dir.File("o.jpg"), static_cast<JPEGTransformations>(3)),
            InvalidParameter);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
}

}  // namespace
}  // namespace tessivo
