// Saving: round trips through every platform encoder for every pixel format, the encoder
// parameter rules (JPEG quality, TIFF compression), streams and byte arrays, icons, and the
// codec plug-in's saves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "platform/codecs/property_tags.h"
#include "support/fake_codec.h"
#include "support/io_fixtures.h"
#include "tessivo/imaging.h"
#include "tessivo/streams.h"

namespace tessivo {
namespace {

using namespace tessivo::testing;
namespace pf = platform;

struct Saver {
  const char* name;
  TessivoStatus (*save)(cImaging&, const std::string&);
  bool lossless;
};

const Saver kSavers[] = {
    {"bmp", [](cImaging& im, const std::string& p) { return im.SaveAsBmp(p); }, true},
    {"png", [](cImaging& im, const std::string& p) { return im.SaveAsPNG(p); }, true},
    {"gif", [](cImaging& im, const std::string& p) { return im.SaveAsGIF(p); }, true},
    {"tif", [](cImaging& im, const std::string& p) { return im.SaveAsTIFF(p); }, true},
    {"tif-none", [](cImaging& im, const std::string& p) { return im.SaveAsTIFF(p, CompressionNone); }, true},
    {"tif-rle", [](cImaging& im, const std::string& p) { return im.SaveAsTIFF(p, CompressionRLE); }, true},
    {"jpg", [](cImaging& im, const std::string& p) { return im.SaveAsJPEG(p, 100); }, false},
};

uint32_t Luma(uint32_t argb) {
  return (((argb >> 16) & 0xFF) * 299 + ((argb >> 8) & 0xFF) * 587 + (argb & 0xFF) * 114) / 1000;
}

TEST(SaveRoundTrip, EveryEncoderTakesEveryPixelFormat) {
  ScopedTempFolder dir;
  ScopedNoCodec noCodec;
  cImaging im;
  for (pf::PixelFormat format : pf::kAllPixelFormats) {
    const int32_t source = RegisterPattern(format, 11, 6);
    for (const Saver& saver : kSavers) {
      SCOPED_TRACE(std::string(saver.name) + " from format " + std::to_string(format));
      im.SetNativeImage(source);
      const std::string path = dir.File(std::string("rt.") + saver.name);
      ASSERT_EQ(saver.save(im, path), OK);
      const int32_t loaded = im.CreateImageFromFile(path);
      ASSERT_NE(loaded, 0) << im.GetStat();
      EXPECT_EQ(im.GetWidth(), 11);
      EXPECT_EQ(im.GetHeight(), 6);
      for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 11; ++x) {
          const uint32_t got = PixelOf(loaded, x, y);
          if (saver.lossless) {
            ASSERT_EQ(got, PatternPixel(x, y)) << x << "," << y;
          } else {
            ASSERT_EQ(Luma(got) > 128, PatternPixel(x, y) == 0xFFFFFFFFu) << x << "," << y;
          }
        }
      im.CloseImage(loaded);
    }
    im.CloseImage(source);
  }
}

TEST(SaveRoundTrip, LosslessEncodersKeepColoursAndAlpha) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t id = im.CreateNewImage(16, 16, 32, static_cast<int32_t>(0x80336699u));
  for (int32_t x = 0; x < 16; ++x)
    ResolveImage(id)->SetPixel(x, 3, 0xFF000000u | static_cast<uint32_t>(x * 0x0F0E0D));
  for (const char* file : {"c.png", "c.tif"}) {
    im.SetNativeImage(id);
    const std::string path = dir.File(file);
    ASSERT_EQ(file[2] == 'p' ? im.SaveAsPNG(path) : im.SaveAsTIFF(path), OK);
    const int32_t loaded = im.CreateImageFromFile(path);
    ASSERT_NE(loaded, 0);
    EXPECT_EQ(PixelOf(loaded, 5, 5), 0x80336699u) << file;
    EXPECT_EQ(PixelOf(loaded, 7, 3), 0xFF000000u | 7 * 0x0F0E0D) << file;
  }
}

TEST(SaveTiff, BilevelCompressionsApplyToOneBitImagesOnly) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t colour = RegisterPattern(pf::kPixelFormat24bppRGB);
  const int32_t mono = RegisterPattern(pf::kPixelFormat1bppIndexed);
  const int32_t grey = RegisterPattern(pf::kPixelFormat8bppIndexed);
  struct Case {
    int32_t id;
    TifCompression asked;
    int32_t written;  // TIFF Compression tag: 1 none, 2 CCITT RLE, 3 G3, 4 G4, 5 LZW
  } cases[] = {{colour, CompressionCCITT4, 5}, {colour, CompressionCCITT3, 5}, {grey, CompressionRLE, 5},
               {mono, CompressionCCITT4, 4},   {mono, CompressionCCITT3, 3},  {mono, CompressionRLE, 2},
               {colour, CompressionNone, 1},   {colour, CompressionLZW, 5}};
  for (const Case& c : cases) {
    im.SetNativeImage(c.id);
    const std::string path = dir.File("c.tif");
    ASSERT_EQ(im.SaveAsTIFF(path, c.asked), OK);
    EXPECT_EQ(TiffCompressionOf(ReadBytes(path)), c.written) << "asked " << c.asked;
    const int32_t loaded = im.CreateImageFromFile(path);
    ASSERT_NE(loaded, 0);
    EXPECT_EQ(PixelOf(loaded, 2, 1), PatternPixel(2, 1));
    im.CloseImage(loaded);
  }
}

TEST(SaveJpeg, QualityIsCappedAndNegativeMeansTheDefault) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t id = im.CreateNewImage(32, 24, 24, static_cast<int32_t>(0xFF4080C0u));
  for (int32_t x = 0; x < 32; ++x) ResolveImage(id)->SetPixel(x, x % 24, 0xFFFFFF00u);
  auto bytesAt = [&](int32_t quality) {
    im.SetNativeImage(id);
    EXPECT_EQ(im.SaveAsJPEG(dir.File("q.jpg"), quality), OK);
    return ReadBytes(dir.File("q.jpg"));
  };
  EXPECT_EQ(bytesAt(150), bytesAt(100));
  EXPECT_EQ(bytesAt(-1), bytesAt(75));
  EXPECT_NE(bytesAt(20), bytesAt(75));
}

TEST(SaveJpeg, MetadataSurvivesARoundTrip) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t id = im.CreateNewImage(8, 8, 24);
  pf::Bitmap* image = ResolveImage(id);
  const std::vector<uint8_t> artist = {'T', 'e', 's', 's', 'i', 'v', 'o', 0};
  const std::vector<uint8_t> exposure = {1, 0, 0, 0, 125, 0, 0, 0};
  image->SetProperty({pf::kPropertyTagArtist, pf::PropertyTagTypeASCII, artist});
  image->SetProperty({pf::kPropertyTagExifExposureTime, pf::PropertyTagTypeRational, exposure});
  image->SetProperty({34858, pf::PropertyTagTypeSShort, {2, 0}});
  ASSERT_EQ(im.SaveAsJPEG(dir.File("m.jpg")), OK);
  pf::PropertyItem item;
  EXPECT_EQ(image->GetProperty(34858, item), pf::Status::PropertyNotFound)
      << "the time-zone offset is removed before encoding";

  const int32_t loaded = im.CreateImageFromFile(dir.File("m.jpg"));
  ASSERT_NE(loaded, 0);
  ASSERT_EQ(ResolveImage(loaded)->GetProperty(pf::kPropertyTagArtist, item), pf::Status::Ok);
  EXPECT_EQ(item.value, artist);
  ASSERT_EQ(ResolveImage(loaded)->GetProperty(pf::kPropertyTagExifExposureTime, item), pf::Status::Ok);
  EXPECT_EQ(item.value, exposure);
}

TEST(SaveJpeg, TinyResolutionsAreScaledUpBeforeEncoding) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t id = im.CreateNewImage(4, 4, 24);
  ResolveImage(id)->SetResolution(0.2f, 0.4f);
  ASSERT_EQ(im.SaveAsJPEG(dir.File("r.jpg")), OK);
  EXPECT_NEAR(im.GetHorizontalResolution(), 0.5, 1e-5) << "factor 2.5";
  EXPECT_NEAR(im.GetVerticalResolution(), 1.0, 1e-5);
}

TEST(SaveMemory, StreamsFindTheirEncoderByFormatName) {
  cImaging im;
  im.SetNativeImage(RegisterPattern(pf::kPixelFormat24bppRGB));
  auto streamBytes = [&](const std::string& format, int32_t parameter) {
    int32_t stream = 0;
    EXPECT_EQ(im.SaveAsStream(stream, format, parameter), OK) << format;
    SafeArray<uint8_t> bytes;
    EXPECT_TRUE(StreamGetBytes(stream, bytes));
    StreamRelease(stream);
    return bytes.storage();
  };
  std::vector<uint8_t> jpeg = streamBytes(" JPG ", 0);
  ASSERT_GE(jpeg.size(), 3u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  std::vector<uint8_t> unknown = streamBytes("nosuchformat", 0);
  EXPECT_EQ(std::string(unknown.begin(), unknown.begin() + 2), "BM") << "unknown formats write BMP";
  EXPECT_EQ(TiffCompressionOf(streamBytes("TIFF", CompressionCCITT4)), 5);

  // A saved stream is handed over ready to be read back.
  int32_t stream = 0;
  ASSERT_EQ(im.SaveAsStream(stream, "png"), OK);
  const int32_t loaded = im.CreateImageFromStream(stream);
  ASSERT_NE(loaded, 0);
  EXPECT_EQ(PixelOf(loaded, 3, 1), PatternPixel(3, 1));

  // Late bound, the stream handle comes back through the by-reference argument.
  std::vector<Variant> save{Variant(int32_t{0}), Variant("png")};
  ASSERT_TRUE(im.Invoke("SaveAsStream", save).ok());
  std::vector<Variant> load{save[0]};
  InvokeResult reloaded = im.Invoke("CreateImageFromStream", load);
  ASSERT_TRUE(reloaded.ok()) << reloaded.message;
  EXPECT_NE(reloaded.value.ToDouble(), 0.0);
  EXPECT_EQ(im.GetStat(), OK);
}

TEST(SaveMemory, ByteArrayParameters) {
  cImaging im;
  im.SetNativeImage(im.CreateNewImage(20, 20, 24, static_cast<int32_t>(0xFF808040u)));
  ResolveImage(im.GetNativeImage())->SetPixel(3, 3, 0xFFFFFFFFu);
  auto bytesOf = [&](const std::string& format, int32_t parameter) {
    SafeArray<uint8_t> bytes;
    int32_t length = -1;
    EXPECT_EQ(im.SaveAsByteArray(bytes, length, format, parameter), OK);
    EXPECT_EQ(length, static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(bytes.LBound(), 0);
    return bytes.storage();
  };
  EXPECT_EQ(bytesOf("jpeg", 0), bytesOf("jpeg", 75)) << "parameter 0: quality 75";
  EXPECT_EQ(bytesOf("jpg", -5), bytesOf("jpeg", 75)) << "a parameter below 1: quality 75";
  EXPECT_NE(bytesOf("jpeg", 10), bytesOf("jpeg", 75));
  EXPECT_EQ(bytesOf("tif", 0), bytesOf("tif", CompressionLZW)) << "the encoder's default";
  EXPECT_EQ(TiffCompressionOf(bytesOf("tif", CompressionNone)), 1);
}

TEST(SaveFailures, NoNativeImageAndAbsentPlugIn) {
  ScopedTempFolder dir;
  ScopedNoCodec noCodec;
  cImaging im;
  EXPECT_EQ(im.SaveAsPNG(dir.File("x.png")), GenericError);
  EXPECT_EQ(im.SaveAsString("png"), "");
  EXPECT_EQ(im.GetStat(), GenericError);
  im.SetNativeImage(4242);
  EXPECT_EQ(im.SaveAsJPEG(dir.File("x.jpg")), InvalidParameter);
  im.SetNativeImage(RegisterPattern(pf::kPixelFormat1bppIndexed));
  const std::string out = dir.File("x.out");
  for (TessivoStatus status :
       {im.SaveAsTIFFjpg(out), im.SaveAsTIFFjpgEx(out, 50), im.SaveAsWBMP(out), im.SaveAsXPM(out),
        im.SaveAsTGA(out), im.SaveAsPBM(out), im.SaveAsJ2K(out), im.SaveAsJP2(out, 8), im.SaveAsEXR(out)})
    EXPECT_EQ(status, TvimgplugDllRequired);
  EXPECT_FALSE(FileExists(out));
  EXPECT_EQ(im.SaveAsPNG(dir.File("no/such/folder/x.png")) == OK, false);
  EXPECT_FALSE(FileExists(dir.File("no/such/folder/x.png")));
}

TEST(SaveIcon, WithoutThePlugInTheToolkitWritesA32By32IconWithMask) {
  ScopedTempFolder dir;
  ScopedNoCodec noCodec;
  cImaging im;
  const int32_t id = im.CreateNewImage(64, 48, 24, static_cast<int32_t>(0xFFFFFFFFu));
  for (int32_t y = 16; y < 32; ++y)
    for (int32_t x = 0; x < 64; ++x) ResolveImage(id)->SetPixel(x, y, 0xFFFF0000u);
  ASSERT_EQ(im.SaveAsICO(dir.File("a.ico"), true, static_cast<int32_t>(0xFFFFFFFFu)), OK);
  const std::vector<uint8_t> file = ReadBytes(dir.File("a.ico"));
  ASSERT_EQ(file.size(), 6u + 16 + 40 + 32 * 32 * 4 + 32 * 4);
  const int32_t icon = im.CreateImageFromFile(dir.File("a.ico"));
  ASSERT_NE(icon, 0) << im.GetStat();
  EXPECT_EQ(im.GetWidth(), 32);
  EXPECT_EQ(im.GetHeight(), 32);
  EXPECT_EQ(PixelOf(icon, 16, 16) >> 24, 0xFFu) << "the red band stays";
  EXPECT_EQ(PixelOf(icon, 16, 16) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(PixelOf(icon, 16, 1) >> 24, 0u) << "white is transparent";

  im.SetNativeImage(id);
  ASSERT_EQ(im.SaveAsICO(dir.File("b.ico")), OK);
  const int32_t opaque = im.CreateImageFromFile(dir.File("b.ico"));
  EXPECT_EQ(PixelOf(opaque, 16, 1), 0xFFFFFFFFu) << "not transparent unless asked";
}

TEST(CodecSave, SavesGoThroughThePlugInWithTheirRules) {
  ScopedTempFolder dir;
  ScopedFakeCodec fake;
  cImaging im;
  const std::string out = dir.File("x.out");
  im.SetNativeImage(RegisterPattern(pf::kPixelFormat24bppRGB, 9, 3));
  EXPECT_EQ(im.SaveAsWBMP(out), UnsupportedPixelFormat);
  EXPECT_FALSE(FileExists(out));
  EXPECT_EQ(im.SaveAsTIFFjpgEx(out, 150), OK);
  EXPECT_EQ(FakeLog().tiffJpegQuality, 100);
  EXPECT_EQ(FakeLog().lastSaveFormat, TVIMG_TIFF);
  EXPECT_EQ(FakeLog().lastSaveFlags, TVIMG_SAVE_TIFF_JPEG);
  EXPECT_EQ(im.SaveAsJ2K(out), OK);
  EXPECT_EQ(FakeLog().lastSaveFlags, 16);
  EXPECT_EQ(im.SaveAsEXR(out, ExrCompressionPiz), OK);
  EXPECT_EQ(FakeLog().lastSaved.imageType, TVIMG_TYPE_RGBF);
  EXPECT_EQ(FakeLog().lastSaveFlags, ExrCompressionPiz);

  im.SetNativeImage(RegisterPattern(pf::kPixelFormat1bppIndexed, 9, 3));
  EXPECT_EQ(im.SaveAsWBMP(out), OK);
  EXPECT_EQ(FakeLog().lastSaveFormat, TVIMG_WBMP);
  const FakePage& saved = FakeLog().lastSaved;
  ASSERT_EQ(saved.bpp, 1u);
  EXPECT_EQ(saved.rowsTopDown[0] >> 7, 1) << "top row first: (0, 0) is white";
  EXPECT_EQ(saved.rowsTopDown[2] & 0x40, 0) << "(1, 1) is black";
  EXPECT_EQ(im.SaveAsTIFFjpg(out), UnsupportedPixelFormat) << "8 or 24 bits only";
  EXPECT_EQ(im.SaveAsICO(out), OK);
  EXPECT_EQ(FakeLog().lastSaveFormat, TVIMG_ICO);
  EXPECT_EQ(FakeLog().lastSaved.width, 32u);
  EXPECT_EQ(FakeLog().lastSaved.bpp, 32u);
  EXPECT_EQ(FakeLog().liveBitmaps, 0);
}

TEST(CodecSave, GreyRampJpegsAreWrittenByThePlugIn) {
  ScopedTempFolder dir;
  ScopedFakeCodec fake;
  cImaging im;
  const int32_t grey = RegisterPattern(pf::kPixelFormat8bppIndexed);
  pf::Palette ramp;
  for (uint32_t i = 0; i < 256; ++i) ramp.entries.push_back(0xFF000000u | i * 0x010101u);
  ResolveImage(grey)->SetPalette(ramp);
  im.SetNativeImage(grey);
  ASSERT_EQ(im.SaveAsJPEG(dir.File("g.jpg"), 60), OK);
  EXPECT_EQ(FakeLog().lastSaveFormat, TVIMG_JPEG);
  EXPECT_EQ(FakeLog().lastSaveFlags, 60);

  SafeArray<uint8_t> bytes;
  int32_t length = 0;
  ASSERT_EQ(im.SaveAsByteArray(bytes, length, "JPG"), OK);
  EXPECT_EQ(std::string(bytes.storage().begin(), bytes.storage().begin() + 4), "FAKE");
  EXPECT_EQ(FakeLog().saves, 2);
  EXPECT_TRUE(dir.TempFiles().empty());

  im.DisableTvimgplugCodecs(true);
  ASSERT_EQ(im.SaveAsJPEG(dir.File("g.jpg")), OK);
  EXPECT_EQ(ReadBytes(dir.File("g.jpg"))[0], 0xFF) << "the platform encoder";
  EXPECT_EQ(FakeLog().saves, 2);
}

}  // namespace
}  // namespace tessivo
