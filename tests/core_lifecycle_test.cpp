// cImaging's lifecycle methods: the status rule, the native-image rule, blank images and the
// four ways of cloning.
#include <gtest/gtest.h>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/plugin_library.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

uint32_t PixelOf(int32_t id, int x, int y) {
  uint32_t argb = 0;
  EXPECT_EQ(ResolveImage(id)->GetPixel(x, y, argb), platform::Status::Ok);
  return argb;
}

TEST(Lifecycle, CloseNativeImageWithoutNativeImageReturnsThePreviousStatus) {
  cImaging im;
  EXPECT_EQ(im.CreateNewImage(4, 4, 12), 0);
  ASSERT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.CloseNativeImage(), InvalidParameter);
  EXPECT_EQ(im.GetNativeImage(), 0);
}

TEST(Lifecycle, ClosingImagesFollowsTheStatusRule) {
  cImaging im;
  EXPECT_EQ(im.CloseImage(0), InvalidParameter);
  EXPECT_EQ(im.CloseImage(4242), InvalidParameter);
  int32_t id = im.CreateNewImage(3, 3);
  ASSERT_EQ(im.GetNativeImage(), id);
  EXPECT_EQ(im.CloseNativeImage(), OK);
  EXPECT_EQ(im.GetNativeImage(), 0);
  EXPECT_LT(FindImage(id), 0);

  im.SetNativeImage(777);  // accepted without a check
  EXPECT_EQ(im.GetNativeImage(), 777);
  EXPECT_EQ(im.GetStat(), OK) << "setters leave the status alone";
  EXPECT_EQ(im.GetImageFormat(), "");
}

TEST(Lifecycle, CreateNewImageDepthsAndFills) {
  cImaging im;
  int32_t def = im.CreateNewImage(5, 4);
  ASSERT_NE(def, 0);
  EXPECT_EQ(im.GetStat(), OK);
  EXPECT_EQ(ResolveImage(def)->Format(), platform::kPixelFormat32bppARGB);
  EXPECT_EQ(PixelOf(def, 4, 3), 0xFF000000u) << "32 bpp is filled with opaque black";
  EXPECT_EQ(ImageRegistry::Current().Entry(def)->origin, OriginThumbnail);
  EXPECT_EQ(ImageRegistry::Current().Entry(def)->bitDepth, 32);

  int32_t translucent = im.CreateNewImage(2, 2, 32, 0x80112233);
  EXPECT_EQ(PixelOf(translucent, 1, 1), 0x80112233u);

  int32_t red8 = im.CreateNewImage(3, 3, 8, static_cast<int32_t>(0xFFFF0000u));
  EXPECT_EQ(im.GetNativeImage(), red8);
  EXPECT_EQ(PixelOf(red8, 2, 2), 0xFFFF0000u) << "indexed images take the nearest palette entry";

  int32_t white1 = im.CreateNewImage(9, 2, 1, static_cast<int32_t>(0xFFFFFFFFu));
  EXPECT_EQ(PixelOf(white1, 8, 1), 0xFFFFFFFFu);

  const int16_t depths[] = {1, 4, 8, 16, 24, 32, 48, 64};
  const platform::PixelFormat formats[] = {
      platform::kPixelFormat1bppIndexed, platform::kPixelFormat4bppIndexed,
      platform::kPixelFormat8bppIndexed, platform::kPixelFormat16bppRGB555,
      platform::kPixelFormat24bppRGB,    platform::kPixelFormat32bppARGB,
      platform::kPixelFormat48bppRGB,    platform::kPixelFormat64bppARGB};
  for (int i = 0; i < 8; ++i) {
    int32_t id = im.CreateNewImage(3, 2, depths[i]);
    ASSERT_NE(id, 0) << depths[i];
    EXPECT_EQ(ResolveImage(id)->Format(), formats[i]);
    EXPECT_EQ(PixelOf(id, 2, 1), 0xFF000000u) << depths[i];
  }

  int32_t before = im.GetNativeImage();
  EXPECT_EQ(im.CreateNewImage(3, 3, 12), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.GetNativeImage(), before);
  EXPECT_EQ(im.CreateNewImage(0, 3), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
}

TEST(Lifecycle, DeepCopyIsIndependentOfItsSourceAndKeepsPaletteResolutionAndTags) {
  cImaging im;
  int32_t src = im.CreateNewImage(4, 3, 8, static_cast<int32_t>(0xFF0000FFu));
  platform::Bitmap* source = ResolveImage(src);
  source->SetResolution(150, 75);
  source->SetProperty({0x0110, 2, {'X', 0}});

  int32_t copy = im.CreateClonedImageI(src);
  ASSERT_NE(copy, 0);
  EXPECT_EQ(im.GetStat(), OK);
  EXPECT_EQ(im.GetNativeImage(), src) << "clones do not become native";
  platform::Bitmap* dup = ResolveImage(copy);
  EXPECT_EQ(dup->Format(), platform::kPixelFormat8bppIndexed);
  EXPECT_EQ(dup->GetPalette().entries, source->GetPalette().entries);
  EXPECT_EQ(dup->HorizontalResolution(), 150.0f);
  EXPECT_EQ(dup->Properties().size(), 1u);
  EXPECT_EQ(ImageRegistry::Current().Entry(copy)->origin, OriginOwnedBuffer);

  dup->Scan0()[0] = 0;  // palette index 0 is black
  EXPECT_EQ(PixelOf(copy, 0, 0), 0xFF000000u);
  EXPECT_EQ(PixelOf(src, 0, 0), 0xFF0000FFu);
  ASSERT_EQ(im.CloseImage(src), OK);
  EXPECT_EQ(PixelOf(copy, 1, 1), 0xFF0000FFu);
  EXPECT_EQ(im.CloseImage(copy), OK);
}

TEST(Lifecycle, ArgbCopyAreaCopyAndPlainClone) {
  cImaging im;
  int32_t src = im.CreateNewImage(6, 4, 24, static_cast<int32_t>(0xFF102030u));
  int32_t argb = im.CreateClonedImageARGB(src);
  ASSERT_NE(argb, 0);
  EXPECT_EQ(ResolveImage(argb)->Format(), platform::kPixelFormat32bppARGB);
  EXPECT_EQ(PixelOf(argb, 5, 3), 0xFF102030u);

  EXPECT_EQ(im.CreateClonedImageArea(0, 0, 0, 1, 1), 0);
  EXPECT_EQ(im.GetStat(), GenericError);
  EXPECT_EQ(im.CreateClonedImageArea(src, 4, 2, 5, 5), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  int32_t area = im.CreateClonedImageArea(src, 1, 1, 3, 2);
  ASSERT_NE(area, 0);
  EXPECT_EQ(ResolveImage(area)->Width(), 3);
  EXPECT_EQ(ResolveImage(area)->Format(), platform::kPixelFormat24bppRGB);

  EXPECT_EQ(im.CreateClonedImage(999), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  int32_t clone = im.CreateClonedImage(src);
  ASSERT_NE(clone, 0);
  EXPECT_EQ(im.GetStat(), OK);
  EXPECT_EQ(PixelOf(clone, 0, 0), 0xFF102030u);
  EXPECT_EQ(im.GetNativeImage(), src);
}

TEST(Lifecycle, VersionQueriesAndValidationLeaveTheStatusAlone) {
  cImaging im;
  im.CreateNewImage(1, 1, 12);
  EXPECT_DOUBLE_EQ(im.GetVersion(), 5.9901307);
  EXPECT_GE(platform::VersionValue(im.GetGdiplusVersion()), 6.0);
  EXPECT_EQ(im.ForceImageValidation(31337), InvalidParameter);
  int32_t id = im.CreateNewImage(1, 1);
  im.CreateNewImage(1, 1, 12);
  EXPECT_EQ(im.ForceImageValidation(id), OK);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
}

}  // namespace
}  // namespace tessivo
