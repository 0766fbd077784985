// Multi-page TIFF and GIF documents through the public methods: creation, page selection and
// edits that survive page changes, insert/delete/swap, saves and merges checked with libtiff's
// tiffinfo and ImageMagick's identify, and the failure paths that must leave files untouched.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/image_registry.h"
#include "support/io_fixtures.h"
#include "support/scripted_host.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

namespace fs = std::filesystem;
using testing::ScopedEnv;
using testing::ScopedTempFolder;

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu,
                   kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

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

int Occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Files a failed or finished write may have left in `folder` besides the expected ones.
std::vector<std::string> PartialFiles(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename().string().find(".partial") != std::string::npos) names.push_back(e.path());
  return names;
}

// A TIFF document of three pages 10, 11 and 12 pixels wide, red, green and blue.
int32_t ThreePageDocument(cImaging& im, bool gif = false) {
  const int32_t a = im.CreateNewImage(10, 4, 24, static_cast<int32_t>(kRed));
  const int32_t b = im.CreateNewImage(11, 4, 24, static_cast<int32_t>(kGreen));
  const int32_t c = im.CreateNewImage(12, 4, 24, static_cast<int32_t>(kBlue));
  const int32_t doc = gif ? im.GifCreateMultiPageFromTessivoImage(a) : im.TiffCreateMultiPageFromTessivoImage(a);
  EXPECT_NE(doc, 0);
  EXPECT_EQ(im.GetNativeImage(), doc);
  EXPECT_EQ(gif ? im.GifAppendPageFromTessivoImage(doc, b) : im.TiffAppendPageFromTessivoImage(doc, b), OK);
  EXPECT_EQ(gif ? im.GifAppendPageFromTessivoImage(doc, c) : im.TiffAppendPageFromTessivoImage(doc, c), OK);
  for (int32_t id : {a, b, c}) im.CloseImage(id);
  im.SetNativeImage(doc);
  return doc;
}

int32_t WidthOfPage(cImaging& im, int32_t doc, int32_t page) {
  EXPECT_EQ(im.TiffSelectPage(doc, page), OK) << page;
  return im.GetWidth();
}

TEST(TiffDocument, EditsSurvivePageChangesSavesAndReloads) {
  ScopedTempFolder dir;
  for (bool codec : {true, false}) {
    SCOPED_TRACE(codec ? "codec plug-in" : "platform decoder");
    cImaging im;
    im.DisableTvimgplugCodecs(!codec);
    const int32_t doc = ThreePageDocument(im);
    EXPECT_TRUE(im.TiffIsMultiPage(doc));
    EXPECT_TRUE(im.TiffIsEditableMultiPage(doc));
    EXPECT_FALSE(im.GifIsMultiPage(doc));
    EXPECT_EQ(im.TiffGetPageCount(doc), 3);
    EXPECT_EQ(im.TiffGetCurrentPage(doc), 1);

    EXPECT_EQ(WidthOfPage(im, doc, 2), 11);
    EXPECT_EQ(im.PixelSetColor(0, 0, static_cast<int32_t>(kWhite)), OK);
    EXPECT_EQ(im.TiffSelectPage(doc, 2), OK) << "selecting the current page again";
    EXPECT_EQ(WidthOfPage(im, doc, 3), 12);
    EXPECT_EQ(im.ConvertTo1Bpp(), OK);  // a rebuild of page 3
    EXPECT_EQ(WidthOfPage(im, doc, 2), 11);
    EXPECT_EQ(static_cast<uint32_t>(im.PixelGetColor(0, 0)), kWhite);
    EXPECT_EQ(static_cast<uint32_t>(im.PixelGetColor(1, 0)), kGreen);

    const std::string path = dir.File(codec ? "codec.tif" : "platform.tif");
    EXPECT_EQ(im.TiffSaveMultiPageToFile(doc, path), OK);
    const std::string info = Output("tiffinfo " + path);
    EXPECT_EQ(Occurrences(info, "Image Width:"), 3) << info;
    EXPECT_EQ(Occurrences(info, "Compression Scheme: LZW"), 3) << info;
    EXPECT_EQ(Occurrences(info, "Bits/Sample: 1"), 1) << "the converted page stays bilevel\n" << info;
    EXPECT_EQ(im.CloseImage(doc), OK);

    const int32_t reloaded = im.TiffCreateMultiPageFromFile(path);
    ASSERT_NE(reloaded, 0);
    EXPECT_TRUE(im.TiffIsEditableMultiPage(reloaded));
    EXPECT_EQ(im.TiffGetPageCount(reloaded), 3);
    EXPECT_EQ(WidthOfPage(im, reloaded, 2), 11);
    EXPECT_EQ(static_cast<uint32_t>(im.PixelGetColor(0, 0)), kWhite);
    EXPECT_EQ(im.GetPixelDepth(), 24);
    EXPECT_EQ(WidthOfPage(im, reloaded, 3), 12);
    EXPECT_EQ(im.GetPixelDepth(), 1);
    EXPECT_EQ(im.CloseImage(reloaded), OK);
  }
  EXPECT_TRUE(dir.TempFiles().empty()) << "page files belong to their documents";
}

TEST(TiffDocument, InsertDeleteAndSwapMoveTheCurrentPageWithItsPage) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t doc = ThreePageDocument(im);
  EXPECT_EQ(WidthOfPage(im, doc, 2), 11);
  const int32_t extra = im.CreateNewImage(20, 4, 8, static_cast<int32_t>(kBlack));
  im.SetNativeImage(doc);

  EXPECT_EQ(im.TiffInsertPageFromTessivoImage(doc, 0, extra), OK) << "position 0 inserts at 1";
  EXPECT_EQ(im.TiffGetPageCount(doc), 4);
  EXPECT_EQ(im.TiffGetCurrentPage(doc), 3);
  EXPECT_EQ(im.GetWidth(), 11) << "the current page is still the same page";
  EXPECT_EQ(im.TiffInsertPageFromTessivoImage(doc, 99, extra), OK) << "past the end appends";
  EXPECT_EQ(im.TiffGetPageCount(doc), 5);
  EXPECT_EQ(im.TiffGetCurrentPage(doc), 3);

  EXPECT_EQ(im.TiffSwapPages(doc, 3, 1), OK);
  EXPECT_EQ(im.TiffGetCurrentPage(doc), 1);
  EXPECT_EQ(im.GetWidth(), 11);
  EXPECT_EQ(WidthOfPage(im, doc, 3), 20);

  // Widths now: 11, 10, 20, 12, 20; page 3 is current.
  EXPECT_EQ(im.TiffDeletePage(doc, 1), OK);  // before the current page
  EXPECT_EQ(im.TiffGetCurrentPage(doc), 2);
  EXPECT_EQ(im.GetWidth(), 20);
  EXPECT_EQ(im.TiffDeletePage(doc, 2), OK);  // the current page: its successor takes its place
  EXPECT_EQ(im.TiffGetCurrentPage(doc), 2);
  EXPECT_EQ(im.GetWidth(), 12);
  EXPECT_EQ(im.TiffDeletePage(doc, 3), OK);  // after it
  EXPECT_EQ(im.TiffGetCurrentPage(doc), 2);
  EXPECT_EQ(im.TiffDeletePage(doc, 2), OK);  // the current and last page: the new last one
  EXPECT_EQ(im.TiffGetCurrentPage(doc), 1);
  EXPECT_EQ(im.GetWidth(), 10);

  // Numbers out of range and the wrong kind of image change nothing.
  for (int32_t page : {0, -1, 2, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(im.TiffSelectPage(doc, page), InvalidParameter) << page;
    EXPECT_EQ(im.TiffDeletePage(doc, page), InvalidParameter) << page;
    EXPECT_EQ(im.TiffSwapPages(doc, 1, page), InvalidParameter) << page;
  }
  EXPECT_EQ(im.TiffGetPageCount(doc), 1);
  EXPECT_EQ(im.GifSelectPage(doc, 1), UnsupportedImageFormat);
  EXPECT_EQ(im.GifDeletePage(doc, 1), UnsupportedImageFormat);
  EXPECT_EQ(im.TiffInsertPageFromTessivoImage(doc, 1, 12345), GenericError);
  EXPECT_EQ(im.TiffDeletePage(12345, 1), GenericError);
  EXPECT_EQ(im.TiffGetPageCount(extra), 0);
  EXPECT_EQ(im.GetStat(), UnsupportedImageFormat);
  EXPECT_EQ(im.TiffInsertPageFromTessivoImage(extra, 1, doc), UnsupportedImageFormat);

  EXPECT_EQ(im.TiffDeletePage(doc, 1), OK) << "the only page";
  EXPECT_EQ(im.TiffGetPageCount(doc), 0);
  EXPECT_EQ(im.TiffGetCurrentPage(doc), 0);
  EXPECT_EQ(im.TiffSelectPage(doc, 1), InvalidParameter);
  EXPECT_EQ(im.TiffAppendPageFromTessivoImage(doc, extra), OK);
  EXPECT_EQ(WidthOfPage(im, doc, 1), 20);
  im.RemoveAllImage();
  EXPECT_TRUE(dir.TempFiles().empty());
}

TEST(TiffDocument, BilevelCompressionsBecomeLzwWhenAnyPageIsDeeper) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t bilevel = im.CreateNewImage(16, 8, 1, static_cast<int32_t>(kWhite));
  const int32_t doc = im.TiffCreateMultiPageFromTessivoImage(bilevel);
  EXPECT_EQ(im.TiffAppendPageFromTessivoImage(doc, bilevel), OK);
  EXPECT_EQ(im.TiffSaveMultiPageToFile(doc, dir.File("g4.tif"), CompressionCCITT4), OK);
  std::string info = Output("tiffinfo " + dir.File("g4.tif"));
  EXPECT_EQ(Occurrences(info, "CCITT Group 4"), 2) << info;

  const int32_t colour = im.CreateNewImage(16, 8, 24, static_cast<int32_t>(kRed));
  EXPECT_EQ(im.TiffInsertPageFromTessivoImage(doc, 2, colour), OK);
  EXPECT_EQ(im.TiffSaveMultiPageToFile(doc, dir.File("mixed.tif"), CompressionCCITT4), OK);
  info = Output("tiffinfo " + dir.File("mixed.tif"));
  EXPECT_EQ(Occurrences(info, "Compression Scheme: LZW"), 3) << info;
  EXPECT_EQ(im.TiffSaveMultiPageToFile(colour, dir.File("x.tif")), UnsupportedImageFormat);
  EXPECT_FALSE(testing::FileExists(dir.File("x.tif")));
}

// The loop count field of a GIF file (NETSCAPE2.0 application extension), or -1.
int LoopCountInFile(const std::string& path) {
  const std::string bytes = Contents(path);
  const size_t at = bytes.find("NETSCAPE2.0");
  if (at == std::string::npos || at + 15 > bytes.size()) return -1;
  return static_cast<uint8_t>(bytes[at + 13]) | static_cast<uint8_t>(bytes[at + 14]) << 8;
}

TEST(GifDocument, FrameAttributesAreKeptEditedAndWritten) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t doc = ThreePageDocument(im, true);
  EXPECT_TRUE(im.GifIsEditableMultiPage(doc));
  EXPECT_EQ(im.GifGetFrameCount(), 3);
  EXPECT_EQ(im.GifGetPageTime(doc, 2), 25) << "inserted pages wait 25";
  EXPECT_EQ(im.GifSetPageTime(doc, 1, 7), OK);
  EXPECT_EQ(im.GifSetPageDisposal(doc, 2, 2), OK);
  EXPECT_EQ(im.GifSetLoopCount(doc, 65536), OK);
  EXPECT_EQ(im.GifGetLoopCount(doc), 65536);
  EXPECT_EQ(im.GifSetPageTime(doc, 4, 7), InvalidParameter);
  EXPECT_EQ(im.GifSetPageTime(doc, 1, 0), InvalidParameter);
  EXPECT_EQ(im.GifSetPageDisposal(doc, 1, 4), InvalidParameter);
  EXPECT_EQ(im.GifSetLoopCount(doc, 65537), InvalidParameter);
  EXPECT_EQ(im.GifSetLoopCount(doc, -1), InvalidParameter);
  EXPECT_EQ(im.GifGetFrameDelay(), SafeArray<int32_t>::FromVector({7, 25, 25}));
  EXPECT_EQ(im.GifSelectFrame(3), OK);
  EXPECT_EQ(im.GetWidth(), 12);
  EXPECT_EQ(im.GetPixelDepth(), 8) << "GIF pages are indexed";
  EXPECT_EQ(im.ConvertTo24BppRGB(), OK);  // saved, it is reduced to 256 colours again
  EXPECT_EQ(im.PixelSetColor(1, 1, static_cast<int32_t>(kWhite)), OK);

  const std::string path = dir.File("anim.gif");
  EXPECT_EQ(im.GifSaveMultiPageToFile(doc, path), OK);
  EXPECT_EQ(Output("identify -format \"%T %D %w\\n\" " + path), "7 Undefined 10\n25 Background 11\n25 Undefined 12\n");
  EXPECT_EQ(LoopCountInFile(path), 65535) << "65536 does not fit the file's 16 bits";

  im.GifOpenMultiPageAsReadOnly(true);
  const int32_t reloaded = im.CreateImageFromFile(path);
  ASSERT_NE(reloaded, 0);
  EXPECT_FALSE(im.GifIsEditableMultiPage(reloaded));
  EXPECT_EQ(im.GifGetPageCount(reloaded), 3);
  EXPECT_EQ(im.GifGetFrameDelay(), SafeArray<int32_t>::FromVector({7, 25, 25}));
  EXPECT_EQ(im.GifSelectPage(reloaded, 3), OK);
  EXPECT_EQ(static_cast<uint32_t>(im.PixelGetColor(1, 1)), kWhite);
  EXPECT_EQ(static_cast<uint32_t>(im.PixelGetColor(0, 0)), kBlue);
  EXPECT_EQ(im.GifSaveMultiPageToFile(reloaded, dir.File("ro.gif")), UnsupportedImageFormat);
  EXPECT_EQ(im.GifSaveMultiPageToFile(4242, dir.File("ro.gif")), InvalidParameter);
  EXPECT_EQ(im.GifGetLoopCount(4242), 0);

  // The current frame is indexed: its palette entry of the colour becomes transparent.
  EXPECT_EQ(im.GifSetTransparency(static_cast<int32_t>(kBlue)), OK);
  EXPECT_EQ(im.PixelGetColor(0, 0) >> 24 & 0xFF, 0);
  const int32_t direct = im.CreateNewImage(4, 4, 32, static_cast<int32_t>(kRed));
  EXPECT_EQ(im.GifSetTransparency(static_cast<int32_t>(kRed)), OK);
  EXPECT_EQ(im.PixelGetColor(0, 0) >> 24 & 0xFF, 0);
  im.CloseImage(direct);
  cImaging none;
  EXPECT_EQ(none.GifSetTransparency(), GenericError);
}

TEST(ReadOnlyDocument, ARebuiltPageDoesNotLoseTheOtherFrames) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t doc = ThreePageDocument(im);
  EXPECT_EQ(im.TiffSaveMultiPageToFile(doc, dir.File("three.tif")), OK);
  im.CloseImage(doc);

  im.DisableTvimgplugCodecs(true);
  im.TiffOpenMultiPageAsReadOnly(true);
  const int32_t ro = im.CreateImageFromFile(dir.File("three.tif"));
  ASSERT_NE(ro, 0);
  EXPECT_TRUE(im.TiffIsMultiPage(ro));
  EXPECT_FALSE(im.TiffIsEditableMultiPage(ro));
  EXPECT_EQ(WidthOfPage(im, ro, 2), 11);
  EXPECT_EQ(im.ConvertTo1Bpp(), OK);
  EXPECT_EQ(im.GetPixelDepth(), 1);
  EXPECT_EQ(im.TiffGetPageCount(ro), 3);
  EXPECT_EQ(WidthOfPage(im, ro, 3), 12);
  EXPECT_EQ(im.GetPixelDepth(), 24);
  EXPECT_EQ(WidthOfPage(im, ro, 1), 10);
  EXPECT_EQ(WidthOfPage(im, ro, 2), 11);
  EXPECT_EQ(im.GetPixelDepth(), 24) << "edits of read-only pages last while the page is current";
  EXPECT_EQ(im.TiffDeletePage(ro, 1), UnsupportedImageFormat);
  EXPECT_EQ(im.CloseImage(ro), OK);
}

TEST(DocumentFiles, FailuresLeaveTheDestinationAndNoPartialFile) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t doc = ThreePageDocument(im);
  const std::string destination = dir.File("keep.tif");
  testing::WriteBytes(destination, {'o', 'l', 'd'});

  EXPECT_NE(im.TiffSaveMultiPageToFile(doc, dir.File("no/such/folder/x.tif")), OK);
  EXPECT_NE(im.GifSaveMultiPageToFile(ThreePageDocument(im, true), dir.File("no/such/x.gif")), OK);
  im.SetNativeImage(doc);
  EXPECT_EQ(im.TiffMerge2Files(dir.File("missing.png"), destination, destination), FileNotFound);
  EXPECT_EQ(Contents(destination), "old");

  // A page file removed behind the document's back fails the save part-way.
  ImageEntry* entry = ImageRegistry::Current().Entry(doc);
  ASSERT_NE(entry, nullptr);
  fs::remove(entry->pageFiles[2]);
  EXPECT_NE(im.TiffSaveMultiPageToFile(doc, destination), OK);
  EXPECT_EQ(Contents(destination), "old");
  EXPECT_TRUE(PartialFiles(dir.path()).empty());

  // A changed page whose store fails stays loaded and current, with its edit.
  EXPECT_EQ(WidthOfPage(im, doc, 2), 11);
  EXPECT_EQ(im.PixelSetColor(0, 0, static_cast<int32_t>(kWhite)), OK);
  {
    ScopedEnv broken("tmp", dir.File("gone"));
    EXPECT_NE(im.TiffSelectPage(doc, 1), OK);
    EXPECT_EQ(im.TiffGetCurrentPage(doc), 2);
    EXPECT_EQ(static_cast<uint32_t>(im.PixelGetColor(0, 0)), kWhite);
  }
  EXPECT_EQ(WidthOfPage(im, doc, 1), 10);
  EXPECT_EQ(WidthOfPage(im, doc, 2), 11);
  EXPECT_EQ(static_cast<uint32_t>(im.PixelGetColor(0, 0)), kWhite);
  im.RemoveAllImage();
  EXPECT_TRUE(dir.TempFiles().empty());
}

TEST(TiffMerge, SingleImagesAndDocumentsIntoOneFileThatMayBeASource) {
  ScopedTempFolder dir;
  cImaging im;
  const int32_t doc = ThreePageDocument(im);
  const std::string three = dir.File("three.tif");
  EXPECT_EQ(im.TiffSaveMultiPageToFile(doc, three), OK);
  const int32_t single = im.CreateNewImage(30, 5, 8, static_cast<int32_t>(kBlack));
  EXPECT_EQ(im.SaveAsPNG(dir.File("single.png")), OK);

  EXPECT_EQ(im.TiffMerge2Files(dir.File("single.png"), three, three), OK) << "into one of its sources";
  std::string info = Output("tiffinfo " + three);
  EXPECT_EQ(Occurrences(info, "Image Width:"), 4) << info;
  EXPECT_EQ(info.find("Image Width: 30"), info.find("Image Width:")) << "the PNG comes first";

  EXPECT_EQ(im.TiffMergeFileList(dir.File("single.png") + "," + three, dir.File("list.tif"),
                                 CompressionCCITT4), OK);
  info = Output("tiffinfo " + dir.File("list.tif"));
  EXPECT_EQ(Occurrences(info, "Compression Scheme: LZW"), 5) << info;

  SafeArray<std::string> paths = SafeArray<std::string>::FromVector({three, "", dir.File("missing")});
  EXPECT_EQ(im.TiffMergeFiles(paths, dir.File("array.tif")), OK) << "the list ends at the first empty path";
  EXPECT_EQ(Occurrences(Output("tiffinfo " + dir.File("array.tif")), "Image Width:"), 4);
  EXPECT_EQ(im.TiffMergeFiles(SafeArray<std::string>(), dir.File("none.tif")), GenericError);
  EXPECT_FALSE(testing::FileExists(dir.File("none.tif")));
  im.RemoveAllImage();
  EXPECT_TRUE(dir.TempFiles().empty());
  EXPECT_TRUE(PartialFiles(dir.path()).empty());
}

TEST(NativeMultiPage, TheTargetStaysOpenUntilClosed) {
  ScopedTempFolder dir;
  cImaging im;
  EXPECT_EQ(im.TiffAddToNativeMultiPage(1), GenericError) << "no open target";
  const int32_t page2 = im.CreateNewImage(7, 3, 24, static_cast<int32_t>(kRed));
  const int32_t first = im.CreateNewImage(5, 3, 1, static_cast<int32_t>(kWhite));
  const std::string path = dir.File("native.tif");
  EXPECT_EQ(im.TiffSaveAsNativeMultiPage(path, CompressionCCITT4), OK);
  EXPECT_EQ(im.TiffAddToNativeMultiPage(page2), OK) << "a colour page after a CCITT first page";
  EXPECT_EQ(im.TiffAddToNativeMultiPage(98765), InvalidParameter);
  EXPECT_EQ(im.CloseImage(first), Aborted);
  EXPECT_EQ(im.CloseNativeImage(), Aborted);
  EXPECT_EQ(im.TiffCloseNativeMultiPage(), OK);
  EXPECT_EQ(im.GetNativeImage(), 0);
  EXPECT_EQ(im.CloseImage(first), InvalidParameter) << "released by the close";
  const std::string info = Output("tiffinfo " + path);
  EXPECT_EQ(Occurrences(info, "Image Width:"), 2) << info;
  EXPECT_EQ(Occurrences(info, "CCITT Group 4"), 1) << info;
  EXPECT_EQ(Occurrences(info, "LZW"), 1) << info;
  EXPECT_TRUE(PartialFiles(dir.path()).empty());
}

}  // namespace
}  // namespace tessivo
