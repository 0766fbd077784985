// ICC profiles of images in memory: conversion to an RGB profile checked against Little CMS's
// own tificc, profiles attached, exported byte for byte, seen by exiftool in saved JPEG, PNG
// and TIFF files, removed, and broken, grey or missing profile files refused without change.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/pixel_format.h"
#include "support/io_fixtures.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using platform::Bitmap;
using testing::ReadBytes;
using testing::ScopedTempFolder;
using testing::WriteBytes;

const std::string kProfiles = "/usr/share/color/icc/";
const std::string kAdobe = kProfiles + "compatibleWithAdobeRGB1998.icc";
const std::string kGray = kProfiles + "Gray.icc";

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  EXPECT_NE(pipe, nullptr) << command;
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0) << command << "\n" << out;
  return out;
}

// A registered, native 24-bit image of colour ramps (every level of each channel appears).
int32_t Ramps(cImaging& im, platform::PixelFormat format = platform::kPixelFormat24bppRGB) {
  std::unique_ptr<Bitmap> b;
  EXPECT_EQ(Bitmap::Create(64, 48, platform::kPixelFormat32bppARGB, b), platform::Status::Ok);
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const uint32_t r = (x * 4 + y) & 0xFF, g = (y * 5 + x * 2) & 0xFF, bl = (x * y * 3) & 0xFF;
      b->SetPixel(x, y, 0xFF000000u | r << 16 | g << 8 | bl);
    }
  std::unique_ptr<Bitmap> out;
  EXPECT_EQ(b->CloneArea({0, 0, 64, 48}, format, out), platform::Status::Ok);
  out->SetResolution(150.0f, 150.0f);
  int32_t id = 0;
  RegisterImage(id, std::move(out), "", "", OriginMemory);
  im.SetNativeImage(id);
  return id;
}

uint32_t Pixel(int32_t id, int32_t x, int32_t y) {
  uint32_t v = 0;
  EXPECT_EQ(ResolveImage(id)->GetPixel(x, y, v), platform::Status::Ok);
  return v;
}

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

TEST(Icc, ConvertsToAnRgbProfileAsTificcDoes) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t id = Ramps(im);
  ASSERT_EQ(im.SaveAsTIFF(dir.File("srgb.tif"), CompressionNone), OK);
  Output("tificc -i '*sRGB' -o '" + kAdobe + "' -t 0 '" + dir.File("srgb.tif") + "' '" + dir.File("adobe.tif") + "'");
  const int32_t reference = im.CreateImageFromFile(dir.File("adobe.tif"));
  ASSERT_NE(reference, 0);
  im.SetNativeImage(id);
  const uint32_t original = Pixel(id, 40, 20);
  ASSERT_EQ(im.ICCSetRGBProfile(kAdobe), OK);
  EXPECT_NE(Pixel(id, 40, 20), original);
  EXPECT_EQ(ResolveImage(id)->Format(), platform::kPixelFormat24bppRGB);
  EXPECT_EQ(ResolveImage(id)->HorizontalResolution(), 150.0f);
  int worst = 0;
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const uint32_t ours = Pixel(id, x, y), theirs = Pixel(reference, x, y);
      for (int shift : {0, 8, 16}) worst = std::max(worst, std::abs(Channel(ours, shift) - Channel(theirs, shift)));
    }
  EXPECT_LE(worst, 1);
  // The pixels now belong to the new profile, which the image carries.
  EXPECT_TRUE(im.ICCImageHasProfile());
  ASSERT_EQ(im.ICCExportToFile(dir.File("carried.icc")), OK);
  EXPECT_EQ(ReadBytes(dir.File("carried.icc")), ReadBytes(kAdobe));

  // The other formats: the same colours within a level, in the format the header names.
  struct Case {
    platform::PixelFormat from, to;
  };
  for (const Case& c : {Case{platform::kPixelFormat32bppARGB, platform::kPixelFormat32bppARGB},
                        Case{platform::kPixelFormat48bppRGB, platform::kPixelFormat48bppRGB},
                        Case{platform::kPixelFormat64bppPARGB, platform::kPixelFormat64bppARGB},
                        Case{platform::kPixelFormat32bppPARGB, platform::kPixelFormat32bppARGB},
                        Case{platform::kPixelFormat16bppRGB565, platform::kPixelFormat32bppARGB}}) {
    SCOPED_TRACE(c.from);
    const int32_t other = Ramps(im, c.from);
    ASSERT_EQ(im.ICCSetRGBProfile(kAdobe), OK);
    EXPECT_EQ(ResolveImage(other)->Format(), c.to);
    if (c.from == platform::kPixelFormat16bppRGB565) continue;  // fewer levels to start from
    int worstOther = 0;
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 64; ++x)
        for (int shift : {0, 8, 16})
          worstOther = std::max(worstOther, std::abs(Channel(Pixel(other, x, y), shift) - Channel(Pixel(id, x, y), shift)));
    // 16-bit pixels take Little CMS's 16-bit path, finer than the 8-bit one near black.
    EXPECT_LE(worstOther, platform::IsExtended(c.to) ? 6 : 1);
  }
  // An indexed image converts its palette and keeps its indices.
  const int32_t indexed = Ramps(im, platform::kPixelFormat8bppIndexed);
  const std::vector<uint8_t> indices(ResolveImage(indexed)->Row(0), ResolveImage(indexed)->Row(0) + 64);
  const uint32_t before = ResolveImage(indexed)->GetPalette().entries[200];
  ASSERT_EQ(im.ICCSetRGBProfile(kAdobe), OK);
  EXPECT_EQ(ResolveImage(indexed)->Format(), platform::kPixelFormat8bppIndexed);
  EXPECT_EQ(std::vector<uint8_t>(ResolveImage(indexed)->Row(0), ResolveImage(indexed)->Row(0) + 64), indices);
  EXPECT_NE(ResolveImage(indexed)->GetPalette().entries[200], before);
  im.RemoveAllImage();
}

TEST(Icc, AttachesExportsAndRemovesProfiles) {
  ScopedTempFolder dir;
  cImaging im;
  Ramps(im);
  EXPECT_FALSE(im.ICCImageHasProfile());
  EXPECT_EQ(im.ICCExportToFile(dir.File("none.icc")), ProfileNotFound);
  EXPECT_FALSE(testing::FileExists(dir.File("none.icc")));
  EXPECT_EQ(im.ICCRemove(), ProfileNotFound);

  ASSERT_EQ(im.ICCAddFromFile(kAdobe), OK);
  EXPECT_TRUE(im.ICCImageHasProfile());
  // Written over an older file, byte for byte; no partial file is left beside it.
  WriteBytes(dir.File("out.icc"), {'o', 'l', 'd'});
  ASSERT_EQ(im.ICCExportToFile(dir.File("out.icc")), OK);
  EXPECT_EQ(ReadBytes(dir.File("out.icc")), ReadBytes(kAdobe));
  // A destination that cannot be replaced (a folder, a missing folder): GenericError, the
  // folder untouched.
  ASSERT_EQ(std::system(("mkdir '" + dir.File("folder.icc") + "'").c_str()), 0);
  WriteBytes(dir.File("folder.icc") + "/inside", {'k'});
  EXPECT_EQ(im.ICCExportToFile(dir.File("folder.icc")), GenericError);
  EXPECT_EQ(ReadBytes(dir.File("folder.icc") + "/inside"), std::vector<uint8_t>{'k'});
  EXPECT_EQ(im.ICCExportToFile(dir.File("missing/out.icc")), GenericError);
  EXPECT_EQ(Output("ls -A '" + dir.path() + "' | grep -v -x -e out.icc -e folder.icc | wc -l"), "0\n");

  // Saved files carry the profile where each format keeps one.
  const std::string description = Output("exiftool -s3 -ProfileDescription '" + kAdobe + "'");
  ASSERT_FALSE(description.empty());
  ASSERT_EQ(im.SaveAsJPEG(dir.File("p.jpg")), OK);
  ASSERT_EQ(im.SaveAsPNG(dir.File("p.png")), OK);
  ASSERT_EQ(im.SaveAsTIFF(dir.File("p.tif")), OK);
  for (const char* name : {"p.jpg", "p.png", "p.tif"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Output("exiftool -s3 -ProfileDescription '" + dir.File(name) + "'"), description);
  }

  ASSERT_EQ(im.ICCRemove(), OK);
  EXPECT_FALSE(im.ICCImageHasProfile());
  EXPECT_EQ(im.ICCRemove(), ProfileNotFound);
  im.RemoveAllImage();
}

TEST(Icc, RefusesMissingBrokenAndGreyProfilesChangingNothing) {
  ScopedTempFolder dir;
  const std::vector<uint8_t> adobe = ReadBytes(kAdobe);
  WriteBytes(dir.File("empty.icc"), {});
  WriteBytes(dir.File("one.icc"), {0x00});
  WriteBytes(dir.File("text.icc"), std::vector<uint8_t>(300, 'a'));
  WriteBytes(dir.File("truncated.icc"), std::vector<uint8_t>(adobe.begin(), adobe.begin() + 400));
  std::vector<uint8_t> padded = adobe;
  padded.resize(adobe.size() + 16, 0);
  WriteBytes(dir.File("padded.icc"), padded);

  cImaging im;
  const int32_t id = Ramps(im);
  const uint32_t before = Pixel(id, 10, 10);
  for (auto [file, status] : std::vector<std::pair<std::string, TessivoStatus>>{
           {dir.File("absent.icc"), FileNotFound},       {dir.File("empty.icc"), FileNotFound},
           {dir.File("one.icc"), FileNotFound},          {dir.File("text.icc"), InvalidParameter},
           {dir.File("truncated.icc"), InvalidParameter}, {dir.File("padded.icc"), InvalidParameter},
           {dir.path(), FileNotFound}}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(im.ICCSetRGBProfile(file), status);
    EXPECT_EQ(im.ICCAddFromFile(file), status);
    EXPECT_FALSE(im.ICCImageHasProfile());
  }
  // A grey profile is a profile (it may be attached) but not one to convert RGB pixels to.
  EXPECT_EQ(im.ICCSetRGBProfile(kGray), InvalidParameter);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(Pixel(id, 10, 10), before);
  EXPECT_EQ(ResolveImage(id)->Format(), platform::kPixelFormat24bppRGB);
  EXPECT_EQ(im.ICCAddFromFile(kGray), OK);
  EXPECT_TRUE(im.ICCImageHasProfile());

  cImaging none;
  EXPECT_FALSE(none.ICCImageHasProfile());
  EXPECT_EQ(none.GetStat(), GenericError);
  EXPECT_EQ(none.ICCRemove(), GenericError);
  EXPECT_EQ(none.ICCExportToFile(dir.File("x.icc")), GenericError);
  EXPECT_EQ(none.ICCAddFromFile(kAdobe), GenericError);
  EXPECT_EQ(none.ICCSetRGBProfile(kAdobe), GenericError);
  none.SetNativeImage(987654321);
  EXPECT_FALSE(none.ICCImageHasProfile());
  EXPECT_EQ(none.GetStat(), InvalidParameter);
  EXPECT_EQ(none.ICCSetRGBProfile(kAdobe), InvalidParameter);
  im.RemoveAllImage();
}

TEST(Icc, ChangesOnADocumentPageAreMarkedForWritingBack) {
  cImaging im;
  const int32_t page = Ramps(im);
  int32_t doc = 0;
  const int32_t slot = RegisterImage(doc, nullptr, "TIFF", "", OriginMemory);
  ImageEntry& e = ImageRegistry::Current().Slot(slot);
  e.multiPageTiff = true;
  e.pageCount = 1;
  e.pageIds = {page};
  e.pageFiles = {""};
  e.pageBitDepths = {24};
  e.currentPage = 0;
  im.SetNativeImage(doc);
  for (auto change : {+[](cImaging& i) { return i.ICCAddFromFile(kAdobe); }, +[](cImaging& i) { return i.ICCRemove(); },
                      +[](cImaging& i) { return i.ICCSetRGBProfile(kAdobe); }}) {
    ImageRegistry::Current().Entry(page)->pageModified = false;
    ASSERT_EQ(change(im), OK);
    EXPECT_TRUE(ImageRegistry::Current().Entry(page)->pageModified);
  }
  platform::PropertyItem item;
  EXPECT_EQ(ResolveImage(page)->GetProperty(34675, item), platform::Status::Ok);
  im.RemoveAllImage();
}

}  // namespace
}  // namespace tessivo
