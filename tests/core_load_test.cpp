// Loading: the file pipeline (paths, routes, statuses), the byte/string/stream/raw loaders,
// temporary files, and multi-page files becoming documents.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/codec_decode.h"
#include "core/documents.h"
#include "core/image_handles.h"
#include "core/image_registry.h"
#include "core/imaging_state.h"
#include "core/load_pipeline.h"
#include "core/temp_files.h"
#include "platform/codecs/codecs.h"
#include "platform/codecs/property_tags.h"
#include "support/fake_codec.h"
#include "support/io_fixtures.h"
#include "support/scripted_host.h"
#include "tessivo/imaging.h"
#include "tessivo/streams.h"

namespace tessivo {
namespace {

using namespace tessivo::testing;
namespace pf = platform;

// Saves a pattern image of `format` as `file` with the given saver and returns the path.
template <typename Save>
std::string SavedPattern(cImaging& im, const ScopedTempFolder& dir, const std::string& file,
                         Save save, pf::PixelFormat format = pf::kPixelFormat24bppRGB) {
  int32_t id = RegisterPattern(format, 9, 6);
  im.SetNativeImage(id);
  std::string path = dir.File(file);
  EXPECT_EQ(save(path), OK) << file;
  im.CloseImage(id);
  return path;
}

std::string ThreePageTiff(const ScopedTempFolder& dir) {
  std::unique_ptr<pf::Bitmap> pages[3];
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(pf::Bitmap::Create(4 + i, 3, i == 1 ? pf::kPixelFormat1bppIndexed : pf::kPixelFormat24bppRGB, pages[i]),
              pf::Status::Ok);
  const pf::ImageCodecInfo* tiff = nullptr;
  for (const auto& e : pf::ImageEncoders())
    if (e.format == pf::RawFormat::TIFF) tiff = &e;
  std::string path = dir.File("three.tif");
  std::unique_ptr<pf::MultiFrameEncoder> encoder;
  EXPECT_EQ(pf::MultiFrameEncoder::Begin(*pages[0], path, tiff->clsid,
                                         {{pf::EncoderParameterId::SaveFlag, pf::EncoderValueMultiFrame}},
                                         encoder),
            pf::Status::Ok);
  EXPECT_EQ(encoder->AddFrame(*pages[1]), pf::Status::Ok);
  EXPECT_EQ(encoder->AddFrame(*pages[2]), pf::Status::Ok);
  EXPECT_EQ(encoder->Flush(), pf::Status::Ok);
  return path;
}

TEST(LoadPipeline, NormalisesPaths) {
  EXPECT_EQ(NormalisePath("  /a/b.png  "), "/a/b.png");
  EXPECT_EQ(NormalisePath("////srv//share///x.tif"), "//srv/share/x.tif");
  EXPECT_EQ(NormalisePath("/data//scans//a.tif"), "/data/scans/a.tif");
  EXPECT_EQ(NormalisePath("///"), "///") << "3 characters or fewer are only trimmed";
  EXPECT_EQ(NormalisePath("a\\b"), "a\\b");
}

TEST(TempFiles, FolderAndNamingRule) {
  ScopedTempFolder dir;
  EXPECT_EQ(TempFolder(), dir.path()) << "\"tmp\" comes before TMPDIR";
  std::string a = NewTempFile(), b = NewTempFile();
  ASSERT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(std::filesystem::path(a).parent_path().string(), dir.path());
  EXPECT_EQ(dir.TempFiles().size(), 2u) << "names are digits only, without extension";
  {
    ScopedEnv noTmp("tmp", "");
    ScopedEnv temp("temp", dir.path() + "/t");
    EXPECT_EQ(TempFolder(), dir.path() + "/t");
  }
  ScopedEnv missing("tmp", dir.path() + "/no/such/folder");
  EXPECT_EQ(NewTempFile(), "") << "a folder that cannot hold files gives no name";
}

TEST(LoadFile, MissingBlankAndNonRegularPathsGiveFileNotFound) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t before = ImageRegistry::Current().Count();
  for (const std::string& path : {std::string(""), std::string("   "), dir.File("missing.png"), dir.path()}) {
    EXPECT_EQ(im.CreateImageFromFile(path), 0) << path;
    EXPECT_EQ(im.GetStat(), FileNotFound) << path;
  }
  EXPECT_EQ(ImageRegistry::Current().Count(), before);
  EXPECT_EQ(im.GetNativeImage(), 0);
}

TEST(LoadFile, AnEmptyPathAsksTheHostsDialog) {
  ScopedTempFolder dir;
  cImaging im;
  std::string png = SavedPattern(im, dir, "a.png", [&](const std::string& p) { return im.SaveAsPNG(p); });
  ScopedHost host;
  host->dialogAnswer = "  " + png;
  const int32_t id = im.CreateImageFromFile("");
  EXPECT_EQ(im.GetStat(), OK);
  EXPECT_EQ(im.GetNativeImage(), id);
  EXPECT_EQ(ImageRegistry::Current().Entry(id)->filePath, png);
  host->dialogAnswer.reset();
  EXPECT_EQ(im.CreateImageFromFile(""), 0);
  EXPECT_EQ(im.GetStat(), FileNotFound) << "a cancelled dialog";
}

TEST(LoadFile, PlatformDecodedFilesAreFileImages) {
  ScopedTempFolder dir;
  ScopedNoCodec noCodec;
  cImaging im;
  std::string png = SavedPattern(im, dir, "a.png", [&](const std::string& p) { return im.SaveAsPNG(p); },
                                 pf::kPixelFormat8bppIndexed);
  const int32_t id = im.CreateImageFromFile(png);
  ASSERT_NE(id, 0);
  const ImageEntry* e = ImageRegistry::Current().Entry(id);
  EXPECT_EQ(e->origin, OriginFile);
  EXPECT_EQ(e->formatName, "PNG");
  EXPECT_EQ(e->bitDepth, 8);
  EXPECT_EQ(PixelOf(id, 1, 1), PatternPixel(1, 1));
  EXPECT_EQ(im.CreateImageFromFileICM(png) != 0, true) << "ICM goes to the platform first";
}

TEST(LoadFile, DamagedFilesOfEveryFormatGiveAStatus) {
  ScopedTempFolder dir;
  ScopedNoCodec noCodec;  // the platform decoders' answers, without the real plug-in
  cImaging im;
  std::vector<std::string> files = {
      SavedPattern(im, dir, "a.bmp", [&](const std::string& p) { return im.SaveAsBmp(p); }),
      SavedPattern(im, dir, "a.png", [&](const std::string& p) { return im.SaveAsPNG(p); }),
      SavedPattern(im, dir, "a.jpg", [&](const std::string& p) { return im.SaveAsJPEG(p); }),
      SavedPattern(im, dir, "a.gif", [&](const std::string& p) { return im.SaveAsGIF(p); }),
      SavedPattern(im, dir, "a.tif", [&](const std::string& p) { return im.SaveAsTIFF(p); }),
      SavedPattern(im, dir, "a.ico", [&](const std::string& p) { return im.SaveAsICO(p); }),
      ThreePageTiff(dir), dir.File("a.gif2")};
  WriteBytes(files.back(), MultiFrameGif({10, 10, 10}));
  const int32_t before = ImageRegistry::Current().Count();
  for (const std::string& good : files) {
    const std::vector<uint8_t> bytes = ReadBytes(good);
    ASSERT_GT(bytes.size(), 40u) << good;
    std::vector<std::vector<uint8_t>> damaged = {
        {bytes.begin(), bytes.begin() + 20},                       // header only
        {bytes.begin(), bytes.begin() + bytes.size() / 2}};        // truncated
    std::vector<uint8_t> scrambled = bytes;
    for (size_t i = 8; i < scrambled.size(); i += 3) scrambled[i] ^= 0x5A;
    damaged.push_back(scrambled);
    for (size_t k = 0; k < damaged.size(); ++k) {
      const std::string path = dir.File("damaged");
      WriteBytes(path, damaged[k]);
      for (bool disable : {false, true}) {
        im.DisableTvimgplugCodecs(disable);
        const int32_t id = im.CreateImageFromFile(path);
        const TessivoStatus status = im.GetStat();
        if (id != 0) {
          // A decoder may recover what it can of a damaged file, but only with OK.
          EXPECT_EQ(status, OK);
          im.CloseImage(id);
          EXPECT_NE(k, 0u) << good << ": 20 bytes cannot hold an image";
        } else if (!disable) {
          EXPECT_EQ(status, Aborted) << "the absent plug-in's answer stays the status";
        } else {
          EXPECT_NE(status, OK);
          EXPECT_NE(status, Aborted) << "the platform decoder's own status";
        }
      }
    }
  }
  EXPECT_EQ(ImageRegistry::Current().Count(), before);
  EXPECT_TRUE(dir.TempFiles().empty()) << "page files of failed documents are gone";
}

TEST(LoadBytes, TheTemporaryFileLivesAsLongAsTheImage) {
  ScopedTempFolder dir;
  ScopedNoCodec noCodec;
  cImaging im;
  im.DisableTvimgplugCodecs(true);  // not applied to byte arrays
  std::string png = SavedPattern(im, dir, "a.png", [&](const std::string& p) { return im.SaveAsPNG(p); });
  SafeArray<uint8_t> bytes = SafeArray<uint8_t>::FromVector(ReadBytes(png), 1);
  const int32_t id = im.CreateImageFromByteArray(bytes);
  ASSERT_NE(id, 0);
  EXPECT_EQ(im.GetNativeImage(), id);
  ASSERT_EQ(dir.TempFiles().size(), 1u);
  EXPECT_TRUE(ImageRegistry::Current().Entry(id)->deleteFileOnClose);
  EXPECT_EQ(im.CloseImage(id), OK);
  EXPECT_TRUE(dir.TempFiles().empty());

  SafeArray<uint8_t> junk = SafeArray<uint8_t>::FromVector({1, 2, 3, 4, 5, 6, 7, 8});
  EXPECT_EQ(im.CreateImageFromByteArrayICM(junk), 0);
  EXPECT_EQ(im.GetStat(), Aborted) << "the codec route is always tried for bytes";
  EXPECT_TRUE(dir.TempFiles().empty()) << "deleted at once on failure";
  EXPECT_EQ(im.CreateImageFromByteArray(SafeArray<uint8_t>()), 0);
}

TEST(LoadBytes, MemoryAndStringLoaders) {
  ScopedTempFolder dir;
  cImaging im;
  std::string png = SavedPattern(im, dir, "a.png", [&](const std::string& p) { return im.SaveAsPNG(p); });
  std::vector<uint8_t> bytes = ReadBytes(png);
  EXPECT_EQ(im.CreateImageFromMemory(reinterpret_cast<intptr_t>(bytes.data()), 0), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.CreateImageFromMemory(0, 10), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  const int32_t fromMemory =
      im.CreateImageFromMemory(reinterpret_cast<intptr_t>(bytes.data()), static_cast<int32_t>(bytes.size()));
  EXPECT_NE(fromMemory, 0);
  EXPECT_EQ(PixelOf(fromMemory, 2, 1), PatternPixel(2, 1));

  EXPECT_EQ(im.CreateImageFromString(""), 0);
  EXPECT_EQ(im.GetStat(), GenericError);
  EXPECT_EQ(im.CreateImageFromString("\xC3\xA9"), 0) << "one character is one byte";
  EXPECT_EQ(im.GetStat(), ProfileNotFound);

  // Every byte value survives the trip through a string.
  im.SetNativeImage(fromMemory);
  std::string text = im.SaveAsString("png");
  ASSERT_EQ(im.GetStat(), OK);
  const int32_t fromString = im.CreateImageFromString(text);
  ASSERT_NE(fromString, 0);
  EXPECT_EQ(PixelOf(fromString, 3, 3), PatternPixel(3, 3));
  EXPECT_EQ(im.CreateImageFromStringICM(text) != 0, true);
}

TEST(LoadStream, DecodesFromTheStreamAsAMemoryImage) {
  ScopedTempFolder dir;
  cImaging im;
  EXPECT_EQ(im.CreateImageFromStream(0), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.CreateImageFromStream(987654), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);

  std::string gif = dir.File("anim.gif");
  WriteBytes(gif, MultiFrameGif({0, 0}));
  const int32_t stream = StreamOpenFile(gif);
  ASSERT_NE(stream, 0);
  im.State().gifOpenReadOnly = true;  // streams always give editable documents
  const int32_t id = im.CreateImageFromStreamICM(stream);
  ASSERT_NE(id, 0) << im.GetStat();
  const ImageEntry* e = ImageRegistry::Current().Entry(id);
  EXPECT_TRUE(e->multiPageGif);
  EXPECT_EQ(e->readOnly, 0);
  EXPECT_EQ(e->origin, OriginMemory);
  EXPECT_TRUE(StreamRelease(stream));
  EXPECT_FALSE(StreamRelease(stream));
}

TEST(LoadRaw, RawBitsReadTheCallersMemory) {
  cImaging im;
  std::vector<uint8_t> pixels(8 * 2, 0);  // 2 x 2 at 32 bpp, stride 8
  EXPECT_EQ(im.CreateImageFromRawBits(2, 2, 8, PixelFormat32bppARGB, 0), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.CreateImageFromRawBits(2, 2, 4, PixelFormat32bppARGB,
                                      reinterpret_cast<intptr_t>(pixels.data())), 0)
      << "a stride shorter than a row";
  const int32_t id = im.CreateImageFromRawBits(2, 2, 8, PixelFormat32bppARGB,
                                               reinterpret_cast<intptr_t>(pixels.data()));
  ASSERT_NE(id, 0);
  EXPECT_EQ(ImageRegistry::Current().Entry(id)->origin, OriginThumbnail);
  pixels[8 + 4 + 3] = 0xFF;  // alpha of (1, 1)
  pixels[8 + 4 + 2] = 0x80;  // red
  EXPECT_EQ(PixelOf(id, 1, 1), 0xFF800000u);
  im.CloseImage(id);
}

TEST(LoadRaw, PlatformImageHandlesAreLookedUpNeverDereferenced) {
  cImaging im;
  EXPECT_EQ(im.CreateImageFromGdiPlusImage(0), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  std::vector<uint8_t> stack(64);
  EXPECT_EQ(im.CreateImageFromGdiPlusImage(reinterpret_cast<intptr_t>(stack.data())), 0);
  EXPECT_EQ(im.GetStat(), InvalidParameter);

  const int32_t source = RegisterPattern(pf::kPixelFormat24bppRGB);
  const intptr_t handle = IssueImageHandle(ImageRegistry::Current().Entry(source)->image);
  EXPECT_EQ(IssueImageHandle(ImageRegistry::Current().Entry(source)->image), handle);
  const int32_t id = im.CreateImageFromGdiPlusImage(handle);
  ASSERT_NE(id, 0);
  EXPECT_EQ(im.GetNativeImage(), id);
  EXPECT_EQ(ImageRegistry::Current().Entry(id)->origin, OriginMemory);
  im.CloseImage(source);
  EXPECT_EQ(PixelOf(id, 0, 1), PatternPixel(0, 1)) << "the bitmap is shared, not freed twice";
  im.CloseImage(id);
  EXPECT_EQ(im.CreateImageFromGdiPlusImage(handle), 0) << "a released bitmap's handle is stale";
}

TEST(MultiPage, AnEditableTiffDocumentNoLongerNeedsItsSource) {
  ScopedTempFolder dir;
  cImaging im;
  const std::string tiff = ThreePageTiff(dir);
  const int32_t id = im.CreateImageFromFile(tiff);
  ASSERT_NE(id, 0) << im.GetStat();
  std::filesystem::remove(tiff);
  ImageRegistry& registry = ImageRegistry::Current();
  const ImageEntry* doc = registry.Entry(id);
  EXPECT_TRUE(doc->multiPageTiff);
  EXPECT_EQ(doc->readOnly, 0);
  EXPECT_EQ(doc->image, nullptr);
  EXPECT_EQ(doc->pageCount, 3);
  EXPECT_EQ(doc->currentPage, 0);
  EXPECT_EQ(doc->pageBitDepths, (std::vector<int32_t>{24, 1, 24}));
  EXPECT_EQ(doc->filePath, tiff);
  const std::vector<std::string> pageFiles = doc->pageFiles;
  for (const std::string& f : pageFiles) EXPECT_TRUE(FileExists(f)) << f;
  EXPECT_EQ(im.GetWidth(), 4);

  EXPECT_EQ(SelectPage(id, 2, DocumentFormat::Tiff, false), OK);
  EXPECT_EQ(im.GetWidth(), 6);
  EXPECT_EQ(registry.Entry(id)->pageIds[0], 0) << "one page loaded at a time";
  const int32_t page2 = registry.Entry(id)->pageIds[2];
  EXPECT_EQ(SelectPage(id, 2, DocumentFormat::Tiff, false), OK);
  EXPECT_EQ(registry.Entry(id)->pageIds[2], page2) << "selecting the current page reloads nothing";

  EXPECT_EQ(SelectPage(id, 3, DocumentFormat::Tiff, false), InvalidParameter);
  EXPECT_EQ(SelectPage(id, -1, DocumentFormat::Tiff, false), InvalidParameter);
  EXPECT_EQ(SelectPage(id, 0, DocumentFormat::Gif, false), UnsupportedImageFormat);
  EXPECT_EQ(SelectPage(12345, 0, DocumentFormat::Tiff, false), GenericError);

  EXPECT_EQ(im.CloseImage(id), OK);
  for (const std::string& f : pageFiles) EXPECT_FALSE(FileExists(f)) << f;
  EXPECT_LT(FindImage(page2), 0);
  EXPECT_TRUE(dir.TempFiles().empty());
}

TEST(MultiPage, AChangedPageIsStoredBackWhenLeft) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t id = im.CreateImageFromFile(ThreePageTiff(dir));
  ASSERT_NE(id, 0);
  const std::string before = ImageRegistry::Current().Entry(id)->pageFiles[0];
  EXPECT_EQ(im.ClearImage(static_cast<int32_t>(0xFF00FF00u)), OK);
  EXPECT_EQ(SelectPage(id, 1, DocumentFormat::Tiff, false), OK);
  const std::string after = ImageRegistry::Current().Entry(id)->pageFiles[0];
  EXPECT_NE(after, before);
  EXPECT_FALSE(FileExists(before));
  EXPECT_EQ(SelectPage(id, 0, DocumentFormat::Tiff, false), OK);
  EXPECT_EQ(PixelOf(ResolvePageID(id), 3, 2), 0xFF00FF00u);
}

TEST(MultiPage, ReadOnlyTiffPagesAreTheDecodersFrames) {
  ScopedTempFolder dir;
  ScopedNoCodec noCodec;  // TIFF goes to the platform decoder
  cImaging im;
  im.State().tiffOpenReadOnly = true;
  const int32_t id = im.CreateImageFromFile(ThreePageTiff(dir));
  ASSERT_NE(id, 0);
  const ImageEntry* doc = ImageRegistry::Current().Entry(id);
  EXPECT_EQ(doc->origin, OriginFile);
  EXPECT_NE(doc->readOnly, 0);
  EXPECT_NE(doc->image, nullptr);
  EXPECT_EQ(ResolvePageID(id), id);
  EXPECT_TRUE(dir.TempFiles().empty()) << "no page files";
  EXPECT_EQ(SelectPage(id, 1, DocumentFormat::Tiff, false), OK);
  EXPECT_EQ(im.GetWidth(), 5);
  EXPECT_EQ(im.GetPixelFormat(), PixelFormat1bppIndexed);
}

TEST(MultiPage, GifFramesKeepTheirDelaysAndZeroBecomes25) {
  ScopedTempFolder dir;
  cImaging im;
  const std::string gif = dir.File("anim.gif");
  WriteBytes(gif, MultiFrameGif({0, 40, 7}));
  for (bool readOnly : {false, true}) {
    im.State().gifOpenReadOnly = readOnly;
    const int32_t id = im.CreateImageFromFile(gif);
    ASSERT_NE(id, 0) << im.GetStat();
    const ImageEntry* doc = ImageRegistry::Current().Entry(id);
    EXPECT_TRUE(doc->multiPageGif);
    EXPECT_EQ(doc->pageCount, 3);
    EXPECT_EQ(doc->frameDelays, (std::vector<int32_t>{25, 40, 7}));
    EXPECT_EQ(doc->frameDisposals, (std::vector<int32_t>{-1, -1, -1}));
    EXPECT_EQ(SelectPage(id, 1, DocumentFormat::Gif, false), OK);
    EXPECT_EQ(PixelOf(ResolvePageID(id), 0, 0), 0xFFFFFFFFu) << "frame 1 starts white";
    pf::PropertyItem delays;
    ASSERT_EQ(ResolveImage(id)->GetProperty(pf::kPropertyTagFrameDelay, delays), pf::Status::Ok);
    ASSERT_EQ(delays.value.size(), 12u);
    EXPECT_EQ(delays.value[0], 25) << "the document's delays are written onto the page";
    im.CloseImage(id);
  }
  EXPECT_TRUE(dir.TempFiles().empty());
}

// The codec route, with an in-process stand-in for the plug-in.
TEST(CodecRoute, AbsentPlugInAnswersAbortedAndThePlatformTakesOver) {
  ScopedTempFolder dir;
  ScopedNoCodec noCodec;
  cImaging im;
  std::string jpg = SavedPattern(im, dir, "a.jpg", [&](const std::string& p) { return im.SaveAsJPEG(p); });
  int32_t id = 0;
  EXPECT_EQ(CodecDecodeFile(jpg, false, false, false, id), Aborted);
  EXPECT_EQ(id, 0);
  EXPECT_NE(im.CreateImageFromFile(jpg), 0);
  EXPECT_EQ(ImageRegistry::Current().Entry(im.GetNativeImage())->origin, OriginFile);
}

TEST(CodecRoute, ThePlugInDecodesWhatThePlatformLeavesToIt) {
  ScopedTempFolder dir;
  ScopedFakeCodec fake;
  cImaging im;
  FakePage page;
  page.width = 3;
  page.height = 2;
  page.bpp = 8;
  page.colorType = TVIMG_PALETTE;
  page.palette = {0, 0, 255, 0, 0, 255, 0, 0};     // red, green
  page.rowsTopDown = {0, 1, 1, 0, 0, 0};  // packed rows, top first
  page.dpmX = page.dpmY = 11811;                    // 300 dpi
  uint8_t seventyTwo[8] = {72, 0, 0, 0, 1, 0, 0, 0};
  page.metadata = {{pf::kPropertyTagXResolution, 5, {seventyTwo, seventyTwo + 8}},
                   {pf::kPropertyTagYResolution, 5, {seventyTwo, seventyTwo + 8}},
                   {pf::kPropertyTagArtist, 2, {'T', 0}}};
  const std::string tga = dir.File("a.tga");
  WriteFakeFile(tga, TVIMG_TARGA, {page});
  const int32_t id = im.CreateImageFromFile(tga);
  ASSERT_NE(id, 0) << im.GetStat();
  const ImageEntry* e = ImageRegistry::Current().Entry(id);
  EXPECT_EQ(e->formatName, "TARGA");
  EXPECT_EQ(e->image->Format(), pf::kPixelFormat8bppIndexed);
  EXPECT_EQ(PixelOf(id, 0, 0), 0xFFFF0000u) << "rows arrive bottom-up and are turned";
  EXPECT_EQ(PixelOf(id, 1, 0), 0xFF00FF00u);
  EXPECT_EQ(PixelOf(id, 1, 1), 0xFFFF0000u);
  EXPECT_FLOAT_EQ(e->image->HorizontalResolution(), 300) << "a 72 x 72 EXIF default loses";
  pf::PropertyItem artist;
  EXPECT_EQ(e->image->GetProperty(pf::kPropertyTagArtist, artist), pf::Status::Ok);
  EXPECT_EQ(FakeLog().liveBitmaps, 0) << "the codec bitmap is unloaded once copied";

  // A 1-bit min-is-white page keeps its look with black as index 0.
  FakePage bilevel;
  bilevel.width = 8;
  bilevel.height = 1;
  bilevel.bpp = 1;
  bilevel.colorType = TVIMG_MINISWHITE;
  bilevel.palette = {255, 255, 255, 0, 0, 0, 0, 0};
  bilevel.rowsTopDown = {0x0F};  // white, then black
  WriteFakeFile(dir.File("b.tga"), TVIMG_TARGA, {bilevel});
  const int32_t mono = im.CreateImageFromFile(dir.File("b.tga"));
  ASSERT_NE(mono, 0);
  EXPECT_EQ(PixelOf(mono, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(PixelOf(mono, 7, 0), 0xFF000000u);
  EXPECT_EQ(ResolveImage(mono)->GetPalette().entries[0], 0xFF000000u);
}

TEST(CodecRoute, RoutesFollowTheOptions) {
  ScopedTempFolder dir;
  ScopedFakeCodec fake;
  cImaging im;
  FakePage page;
  page.width = page.height = 1;
  page.rowsTopDown = {1, 2, 3};
  const std::string fakeJpeg = dir.File("photo.jpg");
  WriteFakeFile(fakeJpeg, TVIMG_JPEG, {page});
  EXPECT_NE(im.CreateImageFromFile(fakeJpeg), 0) << "decoded by the plug-in";
  EXPECT_EQ(im.GetImageFormat(), "JPEG");
  im.DisableTvimgplugCodecs(true);
  EXPECT_EQ(im.CreateImageFromFile(fakeJpeg), 0) << "the platform cannot read it";
  EXPECT_EQ(im.GetStat(), UnknownImageFormat);
  im.DisableTvimgplugCodecs(false);
  EXPECT_EQ(im.CreateImageFromFileICM(fakeJpeg) != 0, true) << "the plug-in after the platform";

  const std::string png = SavedPattern(im, dir, "a.png", [&](const std::string& p) { return im.SaveAsPNG(p); });
  const int loads = FakeLog().loads;
  EXPECT_NE(im.CreateImageFromFile(png), 0);
  EXPECT_EQ(FakeLog().loads, loads) << "PNG, BMP and GIF never go to the plug-in";
  EXPECT_EQ(im.GetImageFormat(), "PNG");
}

TEST(CodecRoute, MultiPageTiffDocumentsOfThePlugIn) {
  ScopedTempFolder dir;
  ScopedFakeCodec fake;
  cImaging im;
  std::vector<FakePage> pages(3);
  for (size_t i = 0; i < pages.size(); ++i) {
    pages[i].width = static_cast<uint32_t>(2 + i);
    pages[i].height = 1;
    pages[i].rowsTopDown.assign(3 * pages[i].width, static_cast<uint8_t>(40 * i));
  }
  const std::string tiff = dir.File("codec.tif");
  WriteFakeFile(tiff, TVIMG_TIFF, pages);

  const int32_t editable = im.CreateImageFromFile(tiff);
  ASSERT_NE(editable, 0) << im.GetStat();
  EXPECT_EQ(ImageRegistry::Current().Entry(editable)->origin, OriginMemory);
  EXPECT_EQ(dir.TempFiles().size(), 3u);
  EXPECT_EQ(FakeLog().openDocuments, 0);
  EXPECT_EQ(FakeLog().openFiles, 0);
  EXPECT_EQ(SelectPage(editable, 2, DocumentFormat::Tiff, false), OK);
  EXPECT_EQ(im.GetWidth(), 4);
  EXPECT_EQ(PixelOf(ResolvePageID(editable), 0, 0), 0xFF505050u);
  im.CloseImage(editable);

  im.State().tiffOpenReadOnly = true;
  const int32_t readOnly = im.CreateImageFromFile(tiff);
  ASSERT_NE(readOnly, 0) << im.GetStat();
  const ImageEntry* doc = ImageRegistry::Current().Entry(readOnly);
  EXPECT_EQ(doc->origin, OriginCodecBitmap);
  EXPECT_NE(doc->codecBitmap, 0);
  EXPECT_EQ(FakeLog().openDocuments, 1);
  EXPECT_EQ(SelectPage(readOnly, 1, DocumentFormat::Tiff, false), OK);
  EXPECT_EQ(im.GetWidth(), 3);
  EXPECT_EQ(FakeLog().lockedPages, 0) << "pages are copied out and unlocked at once";
  im.CloseImage(readOnly);
  EXPECT_EQ(FakeLog().openDocuments, 0);
  EXPECT_EQ(FakeLog().openFiles, 0);
  EXPECT_TRUE(dir.TempFiles().empty());
}

}  // namespace
}  // namespace tessivo
