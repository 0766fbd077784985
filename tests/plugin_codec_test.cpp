// The codec plug-in through its C interface: every readable format decodes to the picture the
// samples were made from, every writable format reads back, documents, conversions, metadata,
// compressors and hostile input.
#include <gtest/gtest.h>
#include <lcms2.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "core/codec_bitmaps.h"
#include "support/codec_plugin_fixture.h"

namespace tessivo {
namespace {

using testing::CodecPluginLibrary;
using testing::CodecSample;

// Pixels as the toolkit sees them after the codec conversion.
struct Picture {
  std::unique_ptr<platform::Bitmap> bitmap;
  uint32_t At(int32_t x, int32_t y) const {
    uint32_t argb = 0;
    bitmap->GetPixel(x, y, argb);
    return argb;
  }
};

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

int MaxDifference(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift : {0, 8, 16}) d = std::max(d, std::abs(Channel(a, shift) - Channel(b, shift)));
  return d;
}

class CodecPluginTest : public ::testing::Test {
 protected:
  const TvimgplugApi& codec() const { return library_.api(); }

  Picture Decode(tvimg_bitmap* bitmap) {
    Picture picture;
    EXPECT_NE(bitmap, nullptr);
    if (!bitmap) return picture;
    EXPECT_EQ(FromCodecBitmap(codec(), bitmap, picture.bitmap), OK);
    codec().Unload(bitmap);
    return picture;
  }
  Picture Load(const std::string& path, int32_t format) {
    return Decode(codec().Load(format, path.c_str(), 0));
  }
  // Largest channel difference between two pictures over a grid of points.
  static int Difference(const Picture& a, const Picture& b) {
    int worst = 0;
    for (int32_t y = 2; y < 48; y += 7)
      for (int32_t x = 3; x < 64; x += 9) worst = std::max(worst, MaxDifference(a.At(x, y), b.At(x, y)));
    return worst;
  }

  CodecPluginLibrary library_;
};

struct Sample {
  const char* file;
  int32_t format;      // by signature
  const char* source;  // the picture it was made from
  int tolerance;       // largest channel difference allowed; -1: not compared
};

const Sample kSamples[] = {
    {"sample.bmp", TVIMG_BMP, "base.ppm", 0},
    {"sample.jpg", TVIMG_JPEG, "base.ppm", 24},
    {"sample.jng", TVIMG_JNG, "base.ppm", 24},
    {"sample.mng", TVIMG_MNG, "base.ppm", 0},
    {"sample_plain.pbm", TVIMG_PBM, "base1.png", 0},
    {"sample_raw.pbm", TVIMG_PBMRAW, "base1.png", 0},
    {"sample.pcx", TVIMG_PCX, "base16.png", 0},
    {"sample_plain.pgm", TVIMG_PGM, nullptr, -1},
    {"sample_raw.pgm", TVIMG_PGMRAW, nullptr, -1},
    {"sample.png", TVIMG_PNG, "base.ppm", 0},
    {"sample_plain.ppm", TVIMG_PPM, "base.ppm", 0},
    {"sample_raw.ppm", TVIMG_PPMRAW, "base.ppm", 0},
    {"sample.ras", TVIMG_RAS, "base.ppm", 0},
    {"sample.tga", TVIMG_TARGA, "base.ppm", 0},
    {"sample.tif", TVIMG_TIFF, "base.ppm", 0},
    {"sample.wbmp", TVIMG_WBMP, "base1.png", 0},
    {"sample.psd", TVIMG_PSD, "base.ppm", 0},
    {"sample.xbm", TVIMG_XBM, "base1.png", 0},
    {"sample.xpm", TVIMG_XPM, "base16.png", 0},
    {"sample.dds", TVIMG_DDS, "base.ppm", 32},
    {"sample.gif", TVIMG_GIF, "base16.png", 0},
    {"sample.sgi", TVIMG_SGI, "base.ppm", 0},
    {"sample.j2k", TVIMG_J2K, "base.ppm", 1},
    {"sample.jp2", TVIMG_JP2, "base.ppm", 1},
    {"sample.pict", TVIMG_PICT, "base.ppm", 0},
    {"sample.jbg", TVIMG_JBIG, "base1.png", 0},
    {"sample.ico", TVIMG_ICO, nullptr, -1},
    {"sample.pcd", TVIMG_PCD, nullptr, -1},
    {"sample.hdr", TVIMG_HDR, nullptr, -1},
    {"sample.exr", TVIMG_EXR, nullptr, -1},
    {"sample.pfm", TVIMG_PFM, nullptr, -1},
};

TEST_F(CodecPluginTest, EveryReadableFormatIsRecognisedAndDecodesToItsSourcePicture) {
  ASSERT_TRUE(library_.complete());
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(s.file);
    const std::string path = CodecSample(s.file);
    EXPECT_EQ(codec().GetFileType(path.c_str()), s.format);
    Picture picture = Load(path, s.format);
    ASSERT_NE(picture.bitmap, nullptr);
    if (s.tolerance < 0) continue;
    EXPECT_EQ(picture.bitmap->Width(), 64);
    EXPECT_EQ(picture.bitmap->Height(), 48);
    Picture source = Load(CodecSample(s.source), TVIMG_UNKNOWN);
    ASSERT_NE(source.bitmap, nullptr);
    EXPECT_LE(Difference(picture, source), s.tolerance);
  }
}

TEST_F(CodecPluginTest, FormatsWithoutSignatureAreLoadedByName) {
  EXPECT_EQ(codec().GetFileType(CodecSample("sample.g3").c_str()), TVIMG_UNKNOWN);
  EXPECT_EQ(codec().GetFileTypeFromFilename("/x/page.G3"), TVIMG_FAXG3);
  EXPECT_EQ(codec().GetFileTypeFromFilename("/x/a.b/photo.JPEG"), TVIMG_JPEG);
  EXPECT_EQ(codec().GetFileTypeFromFilename("/x/a.tif/noext"), TVIMG_UNKNOWN);
  Picture fax = Load(CodecSample("sample.g3"), TVIMG_FAXG3);
  ASSERT_NE(fax.bitmap, nullptr);
  EXPECT_EQ(fax.bitmap->Format(), platform::kPixelFormat1bppIndexed);
}

TEST_F(CodecPluginTest, KoalaPicturesAreDecodedByThePluginItself) {
  // Every cell uses background 0 (black), screen colours 1 (white) / 2 (red), colour RAM 5.
  std::vector<uint8_t> koala(10003, 0);
  koala[1] = 0x60;
  for (size_t i = 0; i < 8000; ++i) koala[2 + i] = 0x1B;  // codes 0, 1, 2, 3
  for (size_t i = 0; i < 1000; ++i) koala[8002 + i] = 0x12;
  for (size_t i = 0; i < 1000; ++i) koala[9002 + i] = 0x05;
  const std::string path = testing::FreshFolder("koala") + "/pic.koa";
  testing::WriteBytes(path, koala);
  EXPECT_EQ(codec().GetFileType(path.c_str()), TVIMG_KOALA);
  Picture picture = Load(path, TVIMG_KOALA);
  ASSERT_NE(picture.bitmap, nullptr);
  EXPECT_EQ(picture.bitmap->Width(), 320);
  EXPECT_EQ(picture.At(0, 0), 0xFF000000u);
  EXPECT_EQ(picture.At(2, 0), 0xFFFFFFFFu);
  EXPECT_EQ(picture.At(4, 0), 0xFF68372Bu);
  EXPECT_EQ(picture.At(7, 0), 0xFF588D43u);
}

TEST_F(CodecPluginTest, DeepAndFloatImagesAreToneMappedAndGreyStaysGrey) {
  for (const char* file : {"rgb16.tif", "float.tif", "sample.exr", "sample.hdr", "sample.pfm"}) {
    SCOPED_TRACE(file);
    Picture picture = Load(CodecSample(file), TVIMG_UNKNOWN);
    ASSERT_NE(picture.bitmap, nullptr);
    EXPECT_EQ(picture.bitmap->Format(), platform::kPixelFormat24bppRGB);
    // The operator keeps the picture: the red top stays redder than the blue bottom.
    const uint32_t top = picture.At(32, 1), bottom = picture.At(32, 46);
    EXPECT_GT(Channel(top, 16) - Channel(top, 0), Channel(bottom, 16) - Channel(bottom, 0));
  }
  Picture grey = Load(CodecSample("grey16.tif"), TVIMG_TIFF);
  ASSERT_NE(grey.bitmap, nullptr);
  EXPECT_EQ(grey.bitmap->Format(), platform::kPixelFormat8bppIndexed);
  Picture grey8 = Load(CodecSample("sample_raw.pgm"), TVIMG_UNKNOWN);
  EXPECT_LE(Difference(grey, grey8), 1);
}

TEST_F(CodecPluginTest, TransparencyAndCmykAreReported) {
  tvimg_bitmap* rgba = codec().Load(TVIMG_TIFF, CodecSample("rgba.tif").c_str(), 0);
  ASSERT_NE(rgba, nullptr);
  EXPECT_EQ(codec().GetBPP(rgba), 32u);
  EXPECT_EQ(codec().GetColorType(rgba), TVIMG_RGBALPHA);
  codec().Unload(rgba);
  for (const char* file : {"cmyk.tif", "cmyk.jpg"}) {
    SCOPED_TRACE(file);
    tvimg_bitmap* cmyk = codec().Load(TVIMG_UNKNOWN, CodecSample(file).c_str(), 0);
    ASSERT_NE(cmyk, nullptr);
    EXPECT_EQ(codec().GetColorType(cmyk), TVIMG_CMYK);
    Picture picture = Decode(cmyk);
    Picture source = Load(CodecSample("base.ppm"), TVIMG_UNKNOWN);
    EXPECT_LE(Difference(picture, source), 24);  // CMYK round trip without profiles
  }
  tvimg_bitmap* rgb = codec().Load(TVIMG_JPEG, CodecSample("sample.jpg").c_str(), 0);
  EXPECT_EQ(codec().GetColorType(rgb), TVIMG_RGB);
  codec().Unload(rgb);
}

TEST_F(CodecPluginTest, MultiPageTiffPagesLockOneByOne) {
  tvimg_file* file = codec().OpenFile(CodecSample("pages3.tif").c_str());
  ASSERT_NE(file, nullptr);
  tvimg_multibitmap* document = codec().OpenMultiBitmapFromFile(TVIMG_TIFF, file, 0);
  ASSERT_NE(document, nullptr);
  ASSERT_EQ(codec().GetPageCount(document), 3);
  const uint32_t depths[] = {24, 4, 8};
  for (int32_t page = 0; page < 3; ++page) {
    tvimg_bitmap* locked = codec().LockPage(document, page);
    ASSERT_NE(locked, nullptr);
    EXPECT_EQ(codec().GetBPP(locked), depths[page]);
    codec().UnlockPage(document, locked, 0);
  }
  EXPECT_EQ(codec().LockPage(document, 3), nullptr);
  EXPECT_EQ(codec().LockPage(document, -1), nullptr);
  EXPECT_EQ(codec().CloseMultiBitmap(document, 0), 1);
  codec().CloseFile(file);
}

// A 64 x 48 source for the writers in the depth each format takes.
tvimg_bitmap* SourceFor(const TvimgplugApi& codec, int32_t format) {
  switch (format) {
    case TVIMG_PBM: case TVIMG_PBMRAW: case TVIMG_WBMP: case TVIMG_XBM: case TVIMG_FAXG3:
    case TVIMG_JBIG:
      return codec.Load(TVIMG_PNG, CodecSample("base1.png").c_str(), 0);
    case TVIMG_PGM: case TVIMG_PGMRAW:
      return codec.Load(TVIMG_PGMRAW, CodecSample("sample_raw.pgm").c_str(), 0);
    case TVIMG_XPM: case TVIMG_GIF: case TVIMG_PCX:
      return codec.Load(TVIMG_PNG, CodecSample("base16.png").c_str(), 0);
    default:
      return codec.Load(TVIMG_PPMRAW, CodecSample("base.ppm").c_str(), 0);
  }
}

TEST_F(CodecPluginTest, EveryWritableFormatReadsBack) {
  struct Written {
    int32_t format;
    const char* name;
    int32_t flags;
    int tolerance;
  };
  const Written kWritten[] = {
      {TVIMG_BMP, "w.bmp", 0, 0},         {TVIMG_ICO, "w.ico", 0, 0},
      {TVIMG_JPEG, "w.jpg", 90, 24},      {TVIMG_JNG, "w.jng", 0, 24},
      {TVIMG_MNG, "w.mng", 0, 0},         {TVIMG_PBM, "w.pbm", 0, 0},
      {TVIMG_PBMRAW, "wr.pbm", 0, 0},     {TVIMG_PCX, "w.pcx", 0, 0},
      {TVIMG_PGM, "w.pgm", 0, 0},         {TVIMG_PGMRAW, "wr.pgm", 0, 0},
      {TVIMG_PNG, "w.png", 0, 0},         {TVIMG_PPM, "w.ppm", 0, 0},
      {TVIMG_PPMRAW, "wr.ppm", 0, 0},     {TVIMG_RAS, "w.ras", 0, 0},
      {TVIMG_TARGA, "w.tga", 0, 0},       {TVIMG_TIFF, "w.tif", 0, 0},
      {TVIMG_TIFF, "wj.tif", TVIMG_SAVE_TIFF_JPEG, 24},
      {TVIMG_WBMP, "w.wbmp", 0, 0},       {TVIMG_PSD, "w.psd", 0, 0},
      {TVIMG_XBM, "w.xbm", 0, 0},         {TVIMG_XPM, "w.xpm", 0, 0},
      {TVIMG_DDS, "w.dds", 0, 32},        {TVIMG_GIF, "w.gif", 0, 0},
      {TVIMG_HDR, "w.hdr", 0, 4},         {TVIMG_FAXG3, "w.g3", 0, -1},
      {TVIMG_SGI, "w.sgi", 0, 0},         {TVIMG_EXR, "w.exr", 0, 2},
      {TVIMG_J2K, "w.j2k", 1, 1},         {TVIMG_JP2, "w.jp2", 16, 40},
      {TVIMG_PFM, "w.pfm", 0, 1},         {TVIMG_PICT, "w.pict", 0, 0},
      {TVIMG_JBIG, "w.jbg", 0, 0},
  };
  const std::string folder = testing::FreshFolder("codec-writers");
  for (const Written& w : kWritten) {
    SCOPED_TRACE(w.name);
    tvimg_bitmap* source = SourceFor(codec(), w.format);
    ASSERT_NE(source, nullptr);
    tvimg_bitmap* input = source;
    if (w.format == TVIMG_EXR || w.format == TVIMG_PFM) input = codec().ConvertToRGBF(source);
    const std::string path = folder + "/" + w.name;
    EXPECT_EQ(codec().Save(w.format, input, path.c_str(), w.flags), 1);
    if (input != source) codec().Unload(input);
    tvimg_bitmap* back = codec().Load(w.format, path.c_str(), 0);
    ASSERT_NE(back, nullptr);
    if (w.tolerance >= 0) {
      // Floating-point files are compared clamped, not tone-mapped.
      tvimg_bitmap* comparable = codec().GetImageType(back) == TVIMG_TYPE_BITMAP
                                     ? back
                                     : codec().ConvertTo24Bits(back);
      Picture written = Decode(comparable);
      if (comparable != back) codec().Unload(back);
      Picture original = Decode(source);
      if (w.format == TVIMG_ICO) continue;
      EXPECT_LE(Difference(written, original), w.tolerance);
    } else {
      codec().Unload(back);
      codec().Unload(source);
    }
  }
}

TEST_F(CodecPluginTest, FormatsWithoutWriterRefuseToSave) {
  tvimg_bitmap* source = SourceFor(codec(), TVIMG_PNG);
  const std::string folder = testing::FreshFolder("codec-nowriter");
  for (int32_t format : {int32_t{TVIMG_KOALA}, int32_t{TVIMG_LBM}, int32_t{TVIMG_CUT}, int32_t{TVIMG_RAW}, int32_t{TVIMG_UNKNOWN}, 99}) {
    const std::string path = folder + "/x" + std::to_string(format);
    EXPECT_EQ(codec().Save(format, source, path.c_str(), 0), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
  }
  EXPECT_EQ(codec().Save(TVIMG_PNG, source, (folder + "/missing/dir/x.png").c_str(), 0), 0);
  codec().Unload(source);
}

TEST_F(CodecPluginTest, AnimatedGifDocumentKeepsDelaysDisposalAndLoopCount) {
  const std::string path = testing::FreshFolder("codec-gif") + "/anim.gif";
  tvimg_multibitmap* document = codec().CreateMultiBitmap(TVIMG_GIF, path.c_str());
  ASSERT_NE(document, nullptr);
  for (int i = 0; i < 3; ++i) {
    tvimg_bitmap* frame = SourceFor(codec(), TVIMG_GIF);
    EXPECT_EQ(codec().SetFrameDelay(frame, 100 + 100 * i), 1);
    EXPECT_EQ(codec().SetFrameDisposal(frame, 2), 1);
    if (i == 0) {
      EXPECT_EQ(codec().SetLoopCount(frame, 3), 1);
    }
    EXPECT_EQ(codec().AppendPage(document, frame), 1);
    codec().Unload(frame);
  }
  EXPECT_EQ(codec().SetFrameDisposal(nullptr, 2), 0);
  ASSERT_EQ(codec().CloseMultiBitmap(document, 0), 1);
  const std::vector<uint8_t> gif = testing::ReadBytes(path);
  ASSERT_GT(gif.size(), 13u);
  // Graphic control extensions (21 F9 04 flags delay-lo delay-hi): delays 10, 20, 30, disposal 2.
  std::vector<int> delays;
  for (size_t i = 0; i + 6 < gif.size(); ++i)
    if (gif[i] == 0x21 && gif[i + 1] == 0xF9 && gif[i + 2] == 4) {
      delays.push_back(gif[i + 4] | gif[i + 5] << 8);
      EXPECT_EQ((gif[i + 3] >> 2) & 7, 2);
    }
  EXPECT_EQ(delays, (std::vector<int>{10, 20, 30}));
  const char netscape[] = "NETSCAPE2.0";
  auto at = std::search(gif.begin(), gif.end(), netscape, netscape + 11);
  ASSERT_NE(at, gif.end());
  EXPECT_EQ(at[13] | at[14] << 8, 3);  // 03 01 count-lo count-hi after the name
}

}  // namespace

// A JPEG with Photoshop IPTC records: caption (2:120), keywords (2:25) twice, record version.
std::vector<uint8_t> JpegWithIptc(const std::vector<uint8_t>& jpeg) {
  std::vector<uint8_t> iim;
  auto dataset = [&](uint8_t record, uint8_t number, const std::string& value) {
    iim.insert(iim.end(), {0x1C, record, number, static_cast<uint8_t>(value.size() >> 8),
                           static_cast<uint8_t>(value.size())});
    iim.insert(iim.end(), value.begin(), value.end());
  };
  dataset(2, 0, std::string("\x00\x04", 2));
  dataset(2, 120, "A caption");
  dataset(2, 25, "one");
  dataset(2, 25, "two");
  std::vector<uint8_t> resources = {'8', 'B', 'I', 'M', 0x04, 0x04, 0, 0};
  resources.push_back(static_cast<uint8_t>(iim.size() >> 24));
  resources.push_back(static_cast<uint8_t>(iim.size() >> 16));
  resources.push_back(static_cast<uint8_t>(iim.size() >> 8));
  resources.push_back(static_cast<uint8_t>(iim.size()));
  resources.insert(resources.end(), iim.begin(), iim.end());
  if (iim.size() & 1) resources.push_back(0);
  std::string header("Photoshop 3.0\0", 14);
  std::vector<uint8_t> segment = {0xFF, 0xED};
  const size_t length = 2 + header.size() + resources.size();
  segment.push_back(static_cast<uint8_t>(length >> 8));
  segment.push_back(static_cast<uint8_t>(length));
  segment.insert(segment.end(), header.begin(), header.end());
  segment.insert(segment.end(), resources.begin(), resources.end());
  std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
  out.insert(out.end(), segment.begin(), segment.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

namespace {

TEST_F(CodecPluginTest, IptcRecordsOfAJpegBecomeMetadataItems) {
  const std::string path = testing::FreshFolder("codec-iptc") + "/iptc.jpg";
  testing::WriteBytes(path, JpegWithIptc(testing::ReadBytes(CodecSample("sample.jpg"))));
  tvimg_bitmap* bitmap = codec().Load(TVIMG_JPEG, path.c_str(), 0);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_EQ(codec().GetMetadataCount(TVIMG_METADATA_IPTC, bitmap), 4u);
  uint32_t id = 0, length = 0;
  uint16_t type = 0;
  const uint8_t* value = nullptr;
  ASSERT_EQ(codec().GetMetadataItem(TVIMG_METADATA_IPTC, bitmap, 0, &id, &type, &value, &length), 1);
  EXPECT_EQ(id, 0x0200u);
  EXPECT_EQ(type, 3);
  ASSERT_EQ(length, 2u);
  EXPECT_EQ(value[0] | value[1] << 8, 4);
  ASSERT_EQ(codec().GetMetadataItem(TVIMG_METADATA_IPTC, bitmap, 1, &id, &type, &value, &length), 1);
  EXPECT_EQ(id, 0x0278u);
  EXPECT_EQ(type, 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(value), length), "A caption");
  EXPECT_EQ(codec().GetMetadataItem(TVIMG_METADATA_IPTC, bitmap, 4, &id, &type, &value, &length), 0);
  codec().Unload(bitmap);
}

TEST_F(CodecPluginTest, IccProfilesOfFilesAreAddedAndRemovedInPlace) {
  const std::string folder = testing::FreshFolder("codec-icc");
  // A real sRGB profile: PNG writers check what they embed.
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsUInt32Number bytes = 0;
  cmsSaveProfileToMem(srgb, nullptr, &bytes);
  std::vector<uint8_t> profile(bytes);
  cmsSaveProfileToMem(srgb, profile.data(), &bytes);
  cmsCloseProfile(srgb);
  testing::WriteBytes(folder + "/p.icc", profile);
  for (const char* name : {"sample.jpg", "pages3.tif", "sample.png"}) {
    SCOPED_TRACE(name);
    const std::string path = folder + "/" + name;
    std::filesystem::copy_file(CodecSample(name), path);
    ASSERT_EQ(codec().AddIccProfileToFile(path.c_str(), (folder + "/p.icc").c_str()), 1);
    tvimg_bitmap* with = codec().Load(TVIMG_UNKNOWN, path.c_str(), 0);
    ASSERT_NE(with, nullptr);
    bool found = false;
    for (uint32_t i = 0; i < codec().GetMetadataCount(TVIMG_METADATA_EXIF, with); ++i) {
      uint32_t id = 0, length = 0;
      uint16_t type = 0;
      const uint8_t* value = nullptr;
      codec().GetMetadataItem(TVIMG_METADATA_EXIF, with, i, &id, &type, &value, &length);
      if (id == 0x8773) found = length == profile.size() && std::memcmp(value, profile.data(), length) == 0;
    }
    EXPECT_TRUE(found);
    codec().Unload(with);
    ASSERT_EQ(codec().RemoveIccProfileFromFile(path.c_str()), 1);
    tvimg_bitmap* without = codec().Load(TVIMG_UNKNOWN, path.c_str(), 0);
    ASSERT_NE(without, nullptr);
    for (uint32_t i = 0; i < codec().GetMetadataCount(TVIMG_METADATA_EXIF, without); ++i) {
      uint32_t id = 0;
      codec().GetMetadataItem(TVIMG_METADATA_EXIF, without, i, &id, nullptr, nullptr, nullptr);
      EXPECT_NE(id, 0x8773u);
    }
    codec().Unload(without);
  }
  testing::WriteBytes(folder + "/bad.icc", std::vector<uint8_t>(200, 7));
  EXPECT_EQ(codec().AddIccProfileToFile((folder + "/sample.jpg").c_str(), (folder + "/bad.icc").c_str()), 0);
}

TEST_F(CodecPluginTest, CompressorsProduceDecodableStreams) {
  std::vector<uint8_t> text(5000);
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<uint8_t>(i % 17);
  uint8_t* out = nullptr;
  uint32_t outLength = 0;
  ASSERT_EQ(codec().Compress(text.data(), static_cast<uint32_t>(text.size()), 9, &out, &outLength), 0);
  std::vector<uint8_t> back(text.size());
  uLongf backLength = back.size();
  EXPECT_EQ(uncompress(back.data(), &backLength, out, outLength), Z_OK);
  EXPECT_EQ(back, text);
  codec().FreeBuffer(out);

  // 1-bit rows (0 = black): a black frame around white. Wrapped into a TIFF by hand, the Group 4
  // data must decode to the same rows.
  const int32_t width = 40, height = 30, rowBytes = 8;
  std::vector<uint8_t> rows(static_cast<size_t>(rowBytes) * height, 0xFF);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      if (x < 3 || y < 3 || x >= width - 3 || y >= height - 3)
        rows[y * rowBytes + x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
  ASSERT_EQ(codec().CompressCCITT4(rows.data(), width, height, rowBytes, &out, &outLength), 0);
  std::vector<uint8_t> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 8, 0};
  auto entry = [&](uint16_t tag, uint16_t type, uint32_t value) {
    const uint8_t e[12] = {static_cast<uint8_t>(tag), static_cast<uint8_t>(tag >> 8),
                           static_cast<uint8_t>(type), 0, 1, 0, 0, 0,
                           static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                           static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    tiff.insert(tiff.end(), e, e + 12);
  };
  const uint32_t dataAt = 10 + 8 * 12 + 4;
  entry(256, 4, width);
  entry(257, 4, height);
  entry(258, 3, 1);
  entry(259, 3, 4);
  entry(262, 3, 0);  // min-is-white, as the encoder coded black runs
  entry(273, 4, dataAt);
  entry(278, 4, height);
  entry(279, 4, outLength);
  tiff.insert(tiff.end(), {0, 0, 0, 0});
  tiff.insert(tiff.end(), out, out + outLength);
  codec().FreeBuffer(out);
  const std::string path = testing::FreshFolder("codec-g4") + "/g4.tif";
  testing::WriteBytes(path, tiff);
  Picture picture = Load(path, TVIMG_TIFF);
  ASSERT_NE(picture.bitmap, nullptr);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const bool black = (rows[y * rowBytes + x / 8] & (0x80 >> (x % 8))) == 0;
      ASSERT_EQ(picture.At(x, y), black ? 0xFF000000u : 0xFFFFFFFFu) << x << "," << y;
    }
  EXPECT_NE(codec().CompressCCITT4(rows.data(), width, height, 2, &out, &outLength), 0);
}

TEST_F(CodecPluginTest, HostileFilesFailWithoutHarm) {
  const std::string folder = testing::FreshFolder("codec-hostile");
  // Truncated copies of every sample decode to something or to nothing, never crash.
  for (const Sample& s : kSamples) {
    const std::vector<uint8_t> bytes = testing::ReadBytes(CodecSample(s.file));
    for (size_t keep : {size_t{16}, bytes.size() / 2}) {
      const std::string path = folder + "/cut-" + s.file;
      testing::WriteBytes(path, std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::min(keep, bytes.size())));
      tvimg_bitmap* b = codec().Load(s.format, path.c_str(), 0);
      codec().Unload(b);
    }
  }
  // Headers that claim huge pictures are refused before any allocation.
  const std::string pnm = folder + "/huge.ppm";
  const std::string header = "P6\n200000 200000\n255\n";
  testing::WriteBytes(pnm, std::vector<uint8_t>(header.begin(), header.end()));
  EXPECT_EQ(codec().Load(TVIMG_PPMRAW, pnm.c_str(), 0), nullptr);
  std::vector<uint8_t> tga(18 + 16, 0);
  tga[2] = 2;
  tga[12] = tga[13] = tga[14] = tga[15] = 0xFF;
  tga[16] = 24;
  testing::WriteBytes(folder + "/huge.tga", tga);
  EXPECT_EQ(codec().Load(TVIMG_TARGA, (folder + "/huge.tga").c_str(), 0), nullptr);
  EXPECT_EQ(codec().Load(TVIMG_PNG, (folder + "/missing.png").c_str(), 0), nullptr);
  // Handles the plug-in never gave out are ignored.
  tvimg_bitmap* bogus = reinterpret_cast<tvimg_bitmap*>(&tga);
  EXPECT_EQ(codec().GetWidth(bogus), 0u);
  codec().Unload(bogus);
}

}  // namespace
}  // namespace tessivo
