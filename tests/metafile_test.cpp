// Windows metafiles rendered through the codec plug-in: sizes, scales, colours, and the files
// that are no placeable metafile.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/image_registry.h"
#include "support/codec_plugin_fixture.h"
#include "support/scripted_host.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using testing::FreshFolder;

void Put16(std::vector<uint8_t>& v, int32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, static_cast<int32_t>(x & 0xFFFF));
  Put16(v, static_cast<int32_t>(x >> 16));
}
void Record(std::vector<uint8_t>& v, uint16_t function, const std::vector<int32_t>& words) {
  Put32(v, static_cast<uint32_t>(3 + words.size()));
  Put16(v, function);
  for (int32_t w : words) Put16(v, w);
}

// A placeable metafile of w x h units: its left half blue, its right half red.
std::vector<uint8_t> TwoColourMetafile(int32_t w, int32_t h, uint16_t unitsPerInch = 1440) {
  std::vector<uint8_t> records;
  Record(records, 0x020B, {0, 0});                    // window origin
  Record(records, 0x020C, {h, w});                    // window extent
  Record(records, 0x02FA, {5, 0, 0, 0, 0});           // a null pen
  Record(records, 0x012D, {0});
  Record(records, 0x02FC, {0, 0x00FF, 0x0000, 0});    // red brush (COLORREF 0x000000FF)
  Record(records, 0x012D, {1});
  Record(records, 0x041B, {h, w, 0, 0});              // rectangle: bottom, right, top, left
  Record(records, 0x02FC, {0, 0x0000, 0x00FF, 0});    // blue brush (COLORREF 0x00FF0000)
  Record(records, 0x012D, {2});
  Record(records, 0x041B, {h, w / 2, 0, 0});
  Record(records, 0x0000, {});                        // end of file
  std::vector<uint8_t> file;
  Put32(file, 0x9AC6CDD7u);
  Put16(file, 0);
  for (int32_t v : {0, 0, w, h}) Put16(file, v);
  Put16(file, unitsPerInch);
  Put32(file, 0);
  uint16_t sum = 0;
  for (size_t i = 0; i < file.size(); i += 2) sum ^= static_cast<uint16_t>(file[i] | file[i + 1] << 8);
  Put16(file, sum);
  Put16(file, 1), Put16(file, 9), Put16(file, 0x0300);
  Put32(file, static_cast<uint32_t>((18 + records.size()) / 2));
  Put16(file, 3), Put32(file, 7), Put16(file, 0);
  file.insert(file.end(), records.begin(), records.end());
  return file;
}

std::string Write(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = folder + "/" + name;
  testing::WriteBytes(path, bytes);
  return path;
}

uint32_t PixelAt(int32_t id, int32_t x, int32_t y) {
  uint32_t p = 0;
  EXPECT_EQ(ResolveImage(id)->GetPixel(x, y, p), platform::Status::Ok);
  return p;
}

TEST(Metafile, PlaceableMetafilesRenderAtTheirSizeTimesTheScale) {
  const std::string folder = FreshFolder("metafiles");
  const std::string path = Write(folder, "halves.wmf", TwoColourMetafile(200, 100));
  cImaging im;
  const int32_t id = im.CreateImageFromMetaFile(path);
  ASSERT_NE(id, 0) << im.GetStat();
  EXPECT_EQ(im.GetNativeImage(), id);
  const platform::Bitmap* image = ResolveImage(id);
  EXPECT_EQ(image->Width(), 200);
  EXPECT_EQ(image->Height(), 100);
  EXPECT_EQ(image->Format(), platform::kPixelFormat32bppARGB);
  EXPECT_EQ(PixelAt(id, 40, 50), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(id, 160, 50), 0xFFFF0000u);

  // Each side times the scale, rounded to the nearest pixel.
  const int32_t half = im.CreateImageFromMetaFile(path, 0.333f);
  ASSERT_NE(half, 0) << im.GetStat();
  EXPECT_EQ(ResolveImage(half)->Width(), 67);
  EXPECT_EQ(ResolveImage(half)->Height(), 33);
  EXPECT_EQ(PixelAt(half, 10, 16), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(half, 60, 16), 0xFFFF0000u);
  const int32_t twice = im.CreateImageFromMetaFile(path, 2);
  ASSERT_NE(twice, 0) << im.GetStat();
  EXPECT_EQ(ResolveImage(twice)->Width(), 400);
  EXPECT_EQ(PixelAt(twice, 390, 190), 0xFFFF0000u);

  // Through the file pipeline the codec renders it at scale 1.
  ASSERT_NE(im.CreateImageFromFile(path), 0) << im.GetStat();
  EXPECT_EQ(im.GetWidth(), 200);
  im.RemoveAllImage();
}

TEST(Metafile, OtherFilesScalesAndAnAbsentPlugInAreStatuses) {
  const std::string folder = FreshFolder("metafiles-bad");
  const std::string path = Write(folder, "halves.wmf", TwoColourMetafile(200, 100));
  cImaging im;
  EXPECT_EQ(im.CreateImageFromMetaFile(folder + "/missing.wmf"), 0);
  EXPECT_EQ(im.GetStat(), FileNotFound);
  EXPECT_EQ(im.CreateImageFromMetaFile(""), 0);
  EXPECT_EQ(im.GetStat(), FileNotFound);
  for (float scale : {0.0f, -1.0f, 0.001f, std::numeric_limits<float>::quiet_NaN(), 1e9f}) {
    EXPECT_EQ(im.CreateImageFromMetaFile(path, scale), 0) << scale;
    EXPECT_EQ(im.GetStat(), InvalidParameter) << scale;
  }
  // An enhanced metafile: a header record (type 1) with the " EMF" signature at offset 40.
  std::vector<uint8_t> emf(108, 0);
  emf[0] = 1, emf[4] = 108;
  std::memcpy(&emf[40], " EMF", 4);
  EXPECT_EQ(im.CreateImageFromMetaFile(Write(folder, "drawing.emf", emf)), 0);
  EXPECT_EQ(im.GetStat(), UnknownImageFormat);
  // A metafile whose records are cut off, and one whose checksum lies.
  std::vector<uint8_t> cut = TwoColourMetafile(200, 100);
  cut.resize(30);
  EXPECT_EQ(im.CreateImageFromMetaFile(Write(folder, "cut.wmf", cut)), 0);
  EXPECT_EQ(im.GetStat(), UnknownImageFormat);
  std::vector<uint8_t> lying = TwoColourMetafile(200, 100);
  lying[20] ^= 0xFF;
  EXPECT_EQ(im.CreateImageFromMetaFile(Write(folder, "lying.wmf", lying)), 0);
  EXPECT_EQ(im.GetStat(), UnknownImageFormat);
  EXPECT_EQ(ResolveImage(im.GetNativeImage()), nullptr);

  const std::string empty = FreshFolder("metafiles-no-plugins");
  testing::ScopedEnv env("TESSIVO_PLUGIN_DIR", empty);
  std::thread([&] {
    cImaging alone;
    EXPECT_EQ(alone.CreateImageFromMetaFile(path), 0);
    EXPECT_EQ(alone.GetStat(), Aborted);
  }).join();
}

}  // namespace
}  // namespace tessivo
