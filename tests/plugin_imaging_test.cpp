// The toolkit with the real codec plug-in, and without it: the codec route of the file pipeline,
// codec documents, codec saves, CMYK files, IPTC records and colour profiles of files.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "core/documents.h"
#include "core/image_registry.h"
#include "core/load_pipeline.h"
#include "support/codec_plugin_fixture.h"
#include "support/io_fixtures.h"
#include "support/pixel_images.h"
#include "support/scripted_host.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using testing::CodecSample;
using testing::FreshFolder;

const ImageEntry& EntryOf(int32_t id) { return *ImageRegistry::Current().Entry(id); }

// Runs `body` on a new thread that finds no plug-in: plug-ins are looked for once per thread,
// so the thread sees TESSIVO_PLUGIN_DIR pointing at an empty folder.
void WithoutPlugin(const std::function<void()>& body) {
  const std::string empty = FreshFolder("no-plugins");
  testing::ScopedEnv env("TESSIVO_PLUGIN_DIR", empty);
  std::thread([&] { body(); }).join();
}

std::string CopyOf(const std::string& sample, const std::string& folder) {
  const std::string path = folder + "/" + sample;
  std::filesystem::copy_file(CodecSample(sample), path, std::filesystem::copy_options::overwrite_existing);
  return path;
}

TEST(PluginRoute, CodecFormatsAreNamedByTheCodecAndJpegFollowsTheSwitch) {
  cImaging im;
  const std::pair<const char*, const char*> kNamed[] = {
      {"sample.tga", "TARGA"}, {"sample.pcx", "PCX"}, {"sample.j2k", "J2K"},
      {"sample.psd", "PSD"},   {"sample.xpm", "XPM"}, {"sample_raw.ppm", "PPMRAW"}};
  for (const auto& [file, name] : kNamed) {
    SCOPED_TRACE(file);
    ASSERT_NE(im.CreateImageFromFile(CodecSample(file)), 0) << im.GetStat();
    EXPECT_EQ(im.GetImageFormat(), name);
    EXPECT_EQ(im.GetWidth(), 64);
  }
  // BMP, PNG and GIF never go to the plug-in: the platform decodes them from the file.
  for (const char* file : {"sample.bmp", "sample.png", "sample.gif"}) {
    ASSERT_NE(im.CreateImageFromFile(CodecSample(file)), 0);
    EXPECT_EQ(EntryOf(im.GetNativeImage()).origin, OriginFile) << file;
  }
  ASSERT_NE(im.CreateImageFromFile(CodecSample("sample.jpg")), 0);
  EXPECT_NE(EntryOf(im.GetNativeImage()).origin, OriginFile) << "decoded by the plug-in";
  im.DisableTvimgplugCodecs(true);
  ASSERT_NE(im.CreateImageFromFile(CodecSample("sample.jpg")), 0);
  EXPECT_EQ(EntryOf(im.GetNativeImage()).origin, OriginFile) << "decoded by the platform";
  EXPECT_EQ(im.CreateImageFromFile(CodecSample("sample.tga")), 0) << "no other decoder for TGA";
}

TEST(PluginRoute, DeepImagesArriveInStandardFormats) {
  cImaging im;
  const std::pair<const char*, PixelFormats> kExpected[] = {
      {"rgb16.tif", PixelFormat24bppRGB},   {"float.tif", PixelFormat24bppRGB},
      {"sample.exr", PixelFormat24bppRGB},  {"grey16.tif", PixelFormat8bppIndexed},
      {"rgba.tif", PixelFormat32bppARGB},   {"ccitt4.tif", PixelFormat1bppIndexed}};
  for (const auto& [file, format] : kExpected) {
    ASSERT_NE(im.CreateImageFromFile(CodecSample(file)), 0) << file;
    EXPECT_EQ(im.GetPixelFormat(), format) << file;
  }
}

// Bilevel pages decoded by the plug-in keep its bottom-up rows under the image; every edit and
// save must see the same pixels as on a page the platform decoded into its own memory.
TEST(PluginRoute, BilevelPagesReadInPlaceEditLikePlatformPages) {
  const std::string folder = FreshFolder("bilevel-in-place");
  // A min-is-black G4 page of odd width (min-is-white pages are inverted into a copy instead).
  const std::string page = folder + "/page.tif";
  {
    cImaging im;
    ASSERT_NE(im.CreateNewImage(61, 37, 24, static_cast<int32_t>(0xFFFFFFFFu)), 0);
    ASSERT_EQ(im.DrawFillRectangle(3, 4, 20, 9, static_cast<int32_t>(0xFF000000u)), OK);
    ASSERT_EQ(im.DrawFillEllipse(30, 10, 25, 20, static_cast<int32_t>(0xFF000000u)), OK);
    ASSERT_EQ(im.ConvertTo1Bpp(), OK);
    ASSERT_EQ(im.SaveAsTIFF(page, CompressionCCITT4), OK);
  }
  std::vector<uint32_t> edited[2], saved[2];
  for (int platform = 0; platform < 2; ++platform) {
    cImaging im;
    im.DisableTvimgplugCodecs(platform == 1);
    ASSERT_NE(im.CreateImageFromFile(page), 0);
    EXPECT_EQ(EntryOf(im.GetNativeImage()).origin, platform == 1 ? OriginFile : OriginCodecBitmap);
    ASSERT_EQ(im.GetPixelFormat(), PixelFormat1bppIndexed);
    ASSERT_EQ(im.FxNegative(), OK);
    ASSERT_EQ(im.Rotate(Rotate90FlipX), OK);
    ASSERT_EQ(im.Crop(3, 5, im.GetWidth() - 7, im.GetHeight() - 9), OK);
    edited[platform] = testing::Pixels(im);
    const std::string g4 = folder + "/edited" + std::to_string(platform) + ".tif";
    ASSERT_EQ(im.SaveAsTIFF(g4, CompressionCCITT4), OK);
    im.DisableTvimgplugCodecs(true);
    ASSERT_NE(im.CreateImageFromFile(g4), 0);
    saved[platform] = testing::Pixels(im);
  }
  EXPECT_FALSE(edited[0].empty());
  EXPECT_EQ(edited[0], edited[1]);
  EXPECT_EQ(saved[0], saved[1]);
}

TEST(PluginRoute, MultiPageTiffBecomesACodecDocumentEitherWay) {
  const std::string folder = FreshFolder("codec-docs");
  cImaging im;  // starts the platform session on this thread
  // Read-only: the codec document stays open; pages are locked from it on selection.
  LoadOptions readOnly;
  readOnly.tiffReadOnly = true;
  int32_t id = 0;
  ASSERT_EQ(LoadImageFile(CodecSample("pages3.tif"), readOnly, id), OK);
  EXPECT_TRUE(EntryOf(id).multiPageTiff);
  EXPECT_EQ(EntryOf(id).pageCount, 3);
  EXPECT_EQ(EntryOf(id).origin, OriginCodecBitmap);
  EXPECT_NE(EntryOf(id).readOnly, 0);
  ASSERT_NE(ResolveImage(id), nullptr);
  EXPECT_EQ(ResolveImage(id)->Format(), platform::kPixelFormat24bppRGB);
  ASSERT_EQ(SelectPage(id, 1, DocumentFormat::Tiff, false), OK);
  EXPECT_EQ(ResolveImage(id)->Format(), platform::kPixelFormat4bppIndexed);
  ASSERT_EQ(SelectPage(id, 2, DocumentFormat::Tiff, false), OK);
  EXPECT_EQ(ResolveImage(id)->Format(), platform::kPixelFormat8bppIndexed);
  EXPECT_EQ(ReleaseImageEntry(id), OK);

  // Editable: every page in a file of its own, so the source can go at once.
  const std::string source = CopyOf("jpegpages.tif", folder);
  ASSERT_EQ(LoadImageFile(source, LoadOptions{}, id), OK);
  std::filesystem::remove(source);
  EXPECT_EQ(EntryOf(id).readOnly, 0);
  EXPECT_EQ(EntryOf(id).pageCount, 2);
  const std::vector<std::string> pages = EntryOf(id).pageFiles;
  for (const std::string& page : pages) EXPECT_TRUE(std::filesystem::exists(page));
  ASSERT_EQ(SelectPage(id, 1, DocumentFormat::Tiff, false), OK);
  EXPECT_EQ(ResolveImage(id)->Width(), 64);
  EXPECT_EQ(ReleaseImageEntry(id), OK);
  for (const std::string& page : pages) EXPECT_FALSE(std::filesystem::exists(page));
}

TEST(PluginRoute, CmykFilesAreRecognised) {
  cImaging im;
  EXPECT_TRUE(im.IsCMYKFile(CodecSample("cmyk.tif")));
  EXPECT_TRUE(im.IsCMYKFile(CodecSample("cmyk.jpg")));
  EXPECT_FALSE(im.IsCMYKFile(CodecSample("sample.jpg")));
  EXPECT_FALSE(im.IsCMYKFile(CodecSample("base.ppm")));
  ASSERT_NE(im.CreateImageFromFile(CodecSample("cmyk.jpg")), 0);
  EXPECT_EQ(im.GetImageColorSpace(), ImageColorSpaceCMYK);
}

TEST(PluginSaves, CodecFormatsAreWrittenAndReadBack) {
  const std::string folder = FreshFolder("codec-saves");
  cImaging im;
  ASSERT_NE(im.CreateImageFromFile(CodecSample("sample.png")), 0);  // 24 bpp
  struct Save {
    const char* file;
    std::function<TessivoStatus(const std::string&)> save;
    const char* format;
  };
  const Save kSaves[] = {
      {"a.tga", [&](const std::string& p) { return im.SaveAsTGA(p); }, "TARGA"},
      {"a.xpm", [&](const std::string& p) { return im.SaveAsXPM(p); }, "XPM"},
      {"a.ppm", [&](const std::string& p) { return im.SaveAsPBM(p); }, "PPM"},
      {"a.j2k", [&](const std::string& p) { return im.SaveAsJ2K(p); }, "J2K"},
      {"a.jp2", [&](const std::string& p) { return im.SaveAsJP2(p, 1); }, "JP2"},
      {"a.exr", [&](const std::string& p) { return im.SaveAsEXR(p, ExrCompressionZip); }, "EXR"},
      {"a.tif", [&](const std::string& p) { return im.SaveAsTIFFjpgEx(p, 90); }, "TIFF"},
  };
  const int32_t source = im.GetNativeImage();
  for (const Save& s : kSaves) {
    SCOPED_TRACE(s.file);
    im.SetNativeImage(source);
    const std::string path = folder + "/" + s.file;
    ASSERT_EQ(s.save(path), OK);
    ASSERT_NE(im.CreateImageFromFile(path), 0) << im.GetStat();
    EXPECT_EQ(im.GetImageFormat(), s.format);
    EXPECT_EQ(im.GetWidth(), 64);
  }
  // A format the image's pixels do not fit writes nothing.
  im.SetNativeImage(source);
  EXPECT_EQ(im.SaveAsWBMP(folder + "/no.wbmp"), UnsupportedPixelFormat);
  EXPECT_FALSE(std::filesystem::exists(folder + "/no.wbmp"));
}

TEST(PluginIptc, RecordsOfAJpegAreListedAndFormatted) {
  const std::string path = FreshFolder("codec-iptc") + "/iptc.jpg";
  testing::WriteBytes(path, JpegWithIptc(testing::ReadBytes(CodecSample("sample.jpg"))));
  cImaging im;
  EXPECT_EQ(im.IPTCTagCount(), 0);  // no native image
  EXPECT_EQ(im.GetStat(), OK);
  EXPECT_EQ(im.IPTCTagGetID(1), 0);
  EXPECT_EQ(im.GetStat(), PropertyNotFound);

  ASSERT_NE(im.CreateImageFromFile(path), 0);
  ASSERT_EQ(im.IPTCTagCount(), 4);
  EXPECT_EQ(im.IPTCTagGetID(1), 0x0200);
  EXPECT_EQ(im.IPTCTagGetType(1), TagTypeShort);
  EXPECT_EQ(im.IPTCTagGetValueString(1), "4");
  EXPECT_EQ(im.IPTCTagGetID(2), 0x0278);
  EXPECT_EQ(im.IPTCTagGetType(2), TagTypeASCII);
  EXPECT_EQ(im.IPTCTagGetLength(2), 9);
  EXPECT_EQ(im.IPTCTagGetValueString(2), "A caption");
  EXPECT_EQ(im.GetStat(), OK);
  SafeArray<uint8_t> bytes;
  EXPECT_EQ(im.IPTCTagGetValueBytes(4, bytes), "two");
  EXPECT_EQ(bytes.storage(), (std::vector<uint8_t>{'t', 'w', 'o'}));
  for (int32_t outside : {0, 5, -1}) {
    EXPECT_EQ(im.IPTCTagGetValueString(outside), "");
    EXPECT_EQ(im.GetStat(), PropertyNotFound);
  }
  // Images the plug-in did not decode have no records.
  ASSERT_NE(im.CreateImageFromFile(CodecSample("sample.png")), 0);
  EXPECT_EQ(im.IPTCTagCount(), 0);
  EXPECT_EQ(im.GetStat(), OK);
}

std::vector<uint8_t> SrgbProfile() {
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(srgb, nullptr, &size);
  std::vector<uint8_t> bytes(size);
  cmsSaveProfileToMem(srgb, bytes.data(), &size);
  cmsCloseProfile(srgb);
  return bytes;
}

TEST(PluginIcc, ProfilesOfFilesAreAddedAndRemoved) {
  const std::string folder = FreshFolder("codec-icc-files");
  testing::WriteBytes(folder + "/srgb.icc", SrgbProfile());
  testing::WriteBytes(folder + "/empty.icc", {});
  testing::WriteBytes(folder + "/junk.icc", std::vector<uint8_t>(300, 1));
  const std::string jpg = CopyOf("sample.jpg", folder);
  cImaging im;
  ASSERT_EQ(im.ICCAddProfileToFile(jpg, folder + "/srgb.icc"), OK);
  ASSERT_NE(im.CreateImageFromFile(jpg), 0);
  platform::PropertyItem icc;
  EXPECT_EQ(ResolveImage(im.GetNativeImage())->GetProperty(0x8773, icc), platform::Status::Ok);
  EXPECT_EQ(icc.value, SrgbProfile());
  ASSERT_EQ(im.ICCRemoveProfileToFile(jpg), OK);
  ASSERT_NE(im.CreateImageFromFile(jpg), 0);
  EXPECT_NE(ResolveImage(im.GetNativeImage())->GetProperty(0x8773, icc), platform::Status::Ok);

  EXPECT_EQ(im.ICCAddProfileToFile(folder + "/missing.jpg", folder + "/srgb.icc"), FileNotFound);
  EXPECT_EQ(im.ICCAddProfileToFile(jpg, folder + "/empty.icc"), FileNotFound);
  EXPECT_EQ(im.ICCAddProfileToFile(jpg, folder + "/missing.icc"), FileNotFound);
  EXPECT_EQ(im.ICCAddProfileToFile(jpg, folder + "/junk.icc"), GenericError);
  EXPECT_EQ(im.ICCRemoveProfileToFile(folder + "/missing.jpg"), FileNotFound);
  EXPECT_EQ(im.GetStat(), FileNotFound);
}

TEST(PluginAbsent, EveryCodecRouteReportsTheMissingPlugin) {
  const std::string folder = FreshFolder("codec-absent");
  const std::string jpg = CopyOf("sample.jpg", folder);
  testing::WriteBytes(folder + "/srgb.icc", SrgbProfile());
  WithoutPlugin([&] {
    cImaging im;
    // Decoding: JPEG and TIFF fall to the platform; formats only the plug-in reads fail.
    ASSERT_NE(im.CreateImageFromFile(jpg), 0);
    EXPECT_EQ(EntryOf(im.GetNativeImage()).origin, OriginFile);
    EXPECT_EQ(im.CreateImageFromFile(CodecSample("sample.tga")), 0);
    EXPECT_EQ(im.GetStat(), Aborted);
    EXPECT_FALSE(im.IsCMYKFile(CodecSample("cmyk.tif")));
    // IPTC and profiles of files need the plug-in.
    EXPECT_EQ(im.IPTCTagCount(), 0);
    EXPECT_EQ(im.GetStat(), TvimgplugDllRequired);
    EXPECT_EQ(im.IPTCTagGetID(1), 0);
    EXPECT_EQ(im.GetStat(), TvimgplugDllRequired);
    EXPECT_EQ(im.IPTCTagGetValueString(1), "");
    EXPECT_EQ(im.ICCAddProfileToFile(jpg, folder + "/srgb.icc"), TvimgplugDllRequired);
    EXPECT_EQ(im.ICCRemoveProfileToFile(jpg), TvimgplugDllRequired);
    // Codec saves write nothing.
    EXPECT_EQ(im.SaveAsTGA(folder + "/x.tga"), TvimgplugDllRequired);
    EXPECT_EQ(im.SaveAsJ2K(folder + "/x.j2k"), TvimgplugDllRequired);
    EXPECT_FALSE(std::filesystem::exists(folder + "/x.tga"));
  });
}

}  // namespace
}  // namespace tessivo
