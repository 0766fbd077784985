// Document pages saved and merged by copying their compressed strips: the copy must come out
// as decoding and encoding would have written it (checked with tiffcmp and tiffinfo against a
// save of the decoded pages), changed pages and pages that need another compression must be
// re-encoded, and failures must leave no page file or partial destination behind.
//
// Sources carry a marker after the compressed data of every strip: decoders ignore it, an
// encoder would not write it, so a marker in the output proves the strip was copied.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/image_registry.h"
#include "core/multiframe_tiff.h"
#include "platform/bitmap.h"
#include "platform/codecs/tiff_raw_pages.h"
#include "support/io_fixtures.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

namespace fs = std::filesystem;
using platform::RawTiffPage;
using platform::RawTiffPages;
using testing::ScopedTempFolder;

const std::vector<uint8_t> kMarker = {'T', 'V', 'R', 'C', 0, 0, 0, 0};

std::string Output(const std::string& command, int* exitCode = nullptr) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int status = pclose(pipe);
  if (exitCode) *exitCode = status;
  else EXPECT_EQ(status, 0) << command << "\n" << out;
  return out;
}

// tiffinfo without the directory offsets (strip sizes move them).
std::string Tags(const std::string& path) {
  std::string out;
  std::string info = Output("tiffinfo " + path);
  for (size_t start = 0; start < info.size();) {
    size_t end = info.find('\n', start);
    if (end == std::string::npos) end = info.size();
    const std::string line = info.substr(start, end - start);
    if (line.find("TIFF Directory at offset") == std::string::npos) out += line + "\n";
    start = end + 1;
  }
  return out;
}

void ExpectSameTiff(const std::string& expected, const std::string& actual) {
  int status = -1;
  const std::string diff = Output("tiffcmp " + expected + " " + actual, &status);
  EXPECT_EQ(status, 0) << diff;
  EXPECT_EQ(Tags(expected), Tags(actual));
}

// A 300 dpi page of text-like bars, different per `seed`; bilevel pages are min-is-white when
// asked (palette white first), colour pages RGB.
std::unique_ptr<platform::Bitmap> Page(int seed, platform::PixelFormat format, bool minIsWhite = false) {
  std::unique_ptr<platform::Bitmap> page;
  EXPECT_EQ(platform::Bitmap::Create(203, 61, format, page), platform::Status::Ok);
  if (minIsWhite) {
    platform::Palette p = page->GetPalette();
    p.entries = {0xFFFFFFFFu, 0xFF000000u};
    page->SetPalette(p);
  }
  const bool bilevel = format == platform::kPixelFormat1bppIndexed;
  for (int32_t y = 0; y < page->Height(); ++y) {
    uint8_t* row = page->Row(y);
    for (int32_t x = 0; x < page->Width(); ++x) {
      const bool ink = (y % 10) < 6 && ((x / 9 + y / 10 + seed) % 4) != 0;
      if (!bilevel) {
        page->SetPixel(x, y, ink ? 0xFF000000u : 0xFFFF8000u);
      } else if (ink == minIsWhite) {  // the index of white is 1, or 0 when white comes first
        row[x / 8] = static_cast<uint8_t>(row[x / 8] | (0x80 >> (x % 8)));
      } else {
        row[x / 8] = static_cast<uint8_t>(row[x / 8] & ~(0x80 >> (x % 8)));
      }
    }
  }
  page->SetResolution(300, 300);
  return page;
}

// Writes `pages` as one TIFF with `compression`, then puts the marker after every strip.
void WriteMarkedDocument(const std::string& path, std::vector<std::unique_ptr<platform::Bitmap>> pages,
                         int32_t compression) {
  const std::string plain = path + ".plain";
  {
    std::unique_ptr<MultiPageTiffWriter> writer;
    for (size_t i = 0; i < pages.size(); ++i)
      ASSERT_EQ(i == 0 ? MultiPageTiffWriter::Begin(*pages[i], plain, compression, writer)
                       : writer->AddPage(*pages[i]), OK);
    ASSERT_EQ(writer->Finish(), OK);
  }
  std::unique_ptr<RawTiffPages> source = RawTiffPages::Open(plain);
  ASSERT_NE(source, nullptr);
  std::unique_ptr<MultiPageTiffWriter> writer;
  for (uint32_t i = 0; i < source->Count(); ++i) {
    RawTiffPage page;
    ASSERT_TRUE(source->Read(i, page)) << i;
    for (auto& strip : page.strips) strip.insert(strip.end(), kMarker.begin(), kMarker.end());
    bool copied = false;
    ASSERT_EQ(i == 0 ? MultiPageTiffWriter::BeginRaw(page, path, compression, writer, copied)
                     : writer->AddRawPage(page, copied), OK);
    ASSERT_TRUE(copied) << i;
  }
  ASSERT_EQ(writer->Finish(), OK);
  fs::remove(plain);
}

std::vector<std::unique_ptr<platform::Bitmap>> Pages(std::initializer_list<int> seeds,
                                                     platform::PixelFormat format = platform::kPixelFormat1bppIndexed,
                                                     bool minIsWhite = false) {
  std::vector<std::unique_ptr<platform::Bitmap>> pages;
  for (int seed : seeds) pages.push_back(Page(seed, format, minIsWhite));
  return pages;
}

// For every page of `path`: whether its strips carry the marker (false for pages that do not
// qualify for copying at all).
std::vector<bool> CopiedPages(const std::string& path) {
  std::vector<bool> copied;
  std::unique_ptr<RawTiffPages> pages = RawTiffPages::Open(path);
  EXPECT_NE(pages, nullptr) << path;
  for (uint32_t i = 0; pages && i < pages->Count(); ++i) {
    RawTiffPage page;
    bool marked = pages->Read(i, page) && !page.strips.empty();
    for (const auto& strip : page.strips)
      marked = marked && strip.size() > kMarker.size() &&
               std::equal(kMarker.begin(), kMarker.end(), strip.end() - static_cast<std::ptrdiff_t>(kMarker.size()));
    copied.push_back(marked);
  }
  return copied;
}

// What decoding every page of `sources` and encoding it with `compression` gives: the pages as
// a read-only document shows them, through the same decoder.
void DecodedSave(const std::vector<std::string>& sources, const std::string& out, int32_t compression,
                 bool codec) {
  cImaging im;
  im.DisableTvimgplugCodecs(!codec);
  im.TiffOpenMultiPageAsReadOnly(true);
  std::unique_ptr<MultiPageTiffWriter> writer;
  for (const std::string& source : sources) {
    const int32_t doc = im.CreateImageFromFile(source);
    ASSERT_NE(doc, 0) << source;
    for (int32_t page = 1; page <= im.TiffGetPageCount(doc); ++page) {
      ASSERT_EQ(im.TiffSelectPage(doc, page), OK);
      std::unique_ptr<platform::Bitmap> copy;
      ASSERT_EQ(ResolveImage(doc)->Clone(copy), platform::Status::Ok);
      ASSERT_EQ(writer ? writer->AddPage(*copy) : MultiPageTiffWriter::Begin(*copy, out, compression, writer), OK);
    }
    im.CloseImage(doc);
  }
  ASSERT_EQ(writer->Finish(), OK);
}

TEST(RawPageFiles, UnchangedPagesAreCopiedAsTheDecodedSaveWouldWriteThem) {
  ScopedTempFolder dir;
  const std::string g4 = dir.File("g4.tif"), white = dir.File("white.tif"), rgb = dir.File("rgb.tif");
  WriteMarkedDocument(g4, Pages({0, 1, 2}), CompressionCCITT4);
  WriteMarkedDocument(white, Pages({3, 4}, platform::kPixelFormat1bppIndexed, true), CompressionCCITT3);
  WriteMarkedDocument(rgb, Pages({5, 6}, platform::kPixelFormat24bppRGB), CompressionLZW);
  struct Case { std::string source; int32_t compression; bool copiedByCodec; };
  for (const Case& c : {Case{g4, CompressionCCITT4, true}, Case{white, CompressionCCITT3, false},
                        Case{rgb, CompressionLZW, true}}) {
    for (bool codec : {true, false}) {
      SCOPED_TRACE(c.source + (codec ? " codec plug-in" : " platform decoder"));
      cImaging im;
      im.DisableTvimgplugCodecs(!codec);
      const int32_t doc = im.CreateImageFromFile(c.source);
      ASSERT_TRUE(im.TiffIsEditableMultiPage(doc));
      for (int32_t page = im.TiffGetPageCount(doc); page >= 1; --page) ASSERT_EQ(im.TiffSelectPage(doc, page), OK);
      const std::string saved = dir.File("saved.tif"), expected = dir.File("expected.tif");
      ASSERT_EQ(im.TiffSaveMultiPageToFile(doc, saved, static_cast<TifCompression>(c.compression)), OK);
      DecodedSave({c.source}, expected, c.compression, codec);
      ExpectSameTiff(expected, saved);
      // The codec plug-in reads min-is-white pages as min-is-black: those are re-encoded.
      const bool copied = codec ? c.copiedByCodec : true;
      EXPECT_EQ(CopiedPages(saved), std::vector<bool>(CopiedPages(c.source).size(), copied));
      im.CloseImage(doc);
    }
  }
  EXPECT_TRUE(dir.TempFiles().empty()) << "page files belong to their documents";
}

TEST(RawPageFiles, PagesNumberedAndWithoutResolutionAreCopiedToo) {
  // Fax documents from other tools number their pages and often state no resolution.
  ScopedTempFolder dir;
  const std::string source = dir.File("numbered.tif");
  ASSERT_EQ(std::system(("convert -size 300x200 xc:white -fill black -draw 'rectangle 20,20 280,60' -monochrome "
                         "-duplicate 2 -compress group4 -strip " + source).c_str()), 0);
  ASSERT_NE(Output("tiffinfo " + source).find("Page Number"), std::string::npos);
  ASSERT_EQ(Output("tiffinfo " + source).find("Resolution"), std::string::npos);
  std::unique_ptr<RawTiffPages> raw = RawTiffPages::Open(source);
  ASSERT_NE(raw, nullptr);
  for (uint32_t i = 0; i < raw->Count(); ++i) {
    RawTiffPage page;
    ASSERT_TRUE(raw->Read(i, page)) << i;
    EXPECT_EQ(page.dpiX, platform::kDefaultDpi);
  }
  cImaging im;
  im.DisableTvimgplugCodecs(true);
  const int32_t doc = im.CreateImageFromFile(source);
  ASSERT_TRUE(im.TiffIsEditableMultiPage(doc));
  ASSERT_EQ(im.TiffSelectPage(doc, 2), OK);
  EXPECT_EQ(im.GetHorizontalResolution(), platform::kDefaultDpi);
  const std::string saved = dir.File("saved.tif"), expected = dir.File("expected.tif");
  ASSERT_EQ(im.TiffSaveMultiPageToFile(doc, saved, CompressionCCITT4), OK);
  DecodedSave({source}, expected, CompressionCCITT4, false);
  ExpectSameTiff(expected, saved);
  im.CloseImage(doc);
}

TEST(RawPageFiles, ChangedPagesAndOtherCompressionsAreEncoded) {
  ScopedTempFolder dir;
  const std::string g4 = dir.File("g4.tif");
  WriteMarkedDocument(g4, Pages({0, 1, 2}), CompressionCCITT4);
  cImaging im;
  const int32_t doc = im.CreateImageFromFile(g4);
  ASSERT_EQ(im.TiffSelectPage(doc, 2), OK);
  const uint32_t before = static_cast<uint32_t>(im.PixelGetColor(0, 0));
  ASSERT_EQ(im.FxNegative(), OK);
  ASSERT_EQ(im.TiffSelectPage(doc, 3), OK);
  ASSERT_EQ(im.TiffSaveMultiPageToFile(doc, dir.File("edited.tif"), CompressionCCITT4), OK);
  EXPECT_EQ(CopiedPages(dir.File("edited.tif")), (std::vector<bool>{true, false, true}));
  const int32_t reloaded = im.CreateImageFromFile(dir.File("edited.tif"));
  ASSERT_EQ(im.TiffSelectPage(reloaded, 2), OK);
  EXPECT_NE(static_cast<uint32_t>(im.PixelGetColor(0, 0)), before) << "the edit is saved";

  // Another compression than the pages have: every page is encoded, as decoding would.
  ASSERT_EQ(im.TiffSaveMultiPageToFile(doc, dir.File("lzw.tif"), CompressionLZW), OK);
  EXPECT_EQ(CopiedPages(dir.File("lzw.tif")), (std::vector<bool>{false, false, false}));
  EXPECT_NE(Output("tiffinfo " + dir.File("lzw.tif")).find("LZW"), std::string::npos);

  // A colour page makes every bilevel compression LZW, copied pages included.
  const int32_t colour = im.CreateNewImage(20, 10, 24, static_cast<int32_t>(0xFFFF0000u));
  ASSERT_EQ(im.TiffAppendPageFromTessivoImage(doc, colour), OK);
  ASSERT_EQ(im.TiffSaveMultiPageToFile(doc, dir.File("mixed.tif"), CompressionCCITT4), OK);
  const std::string info = Output("tiffinfo " + dir.File("mixed.tif"));
  EXPECT_EQ(info.find("CCITT"), std::string::npos) << info;
  EXPECT_EQ(CopiedPages(dir.File("mixed.tif")), (std::vector<bool>{false, false, false, false}));
  im.RemoveAllImage();
  EXPECT_TRUE(dir.TempFiles().empty());
}

TEST(RawPageFiles, MergesCopyThePagesThatHaveTheWantedCompression) {
  ScopedTempFolder dir;
  const std::string g4 = dir.File("g4.tif"), lzw = dir.File("lzw.tif"), rgb = dir.File("rgb.tif");
  WriteMarkedDocument(g4, Pages({0, 1}), CompressionCCITT4);
  WriteMarkedDocument(lzw, Pages({2, 3}), CompressionLZW);
  WriteMarkedDocument(rgb, Pages({4, 5}, platform::kPixelFormat24bppRGB), CompressionLZW);
  cImaging im;
  const std::string merged = dir.File("merged.tif"), expected = dir.File("expected.tif");
  ASSERT_EQ(im.TiffMergeFileList(g4 + "," + lzw, merged, CompressionCCITT4), OK);
  EXPECT_EQ(CopiedPages(merged), (std::vector<bool>{true, true, false, false}));
  DecodedSave({g4, lzw}, expected, CompressionCCITT4, true);
  ExpectSameTiff(expected, merged);

  // With a colour source, CCITT becomes LZW: the LZW pages are copied, the G4 ones encoded.
  ASSERT_EQ(im.TiffMergeFileList(g4 + "," + lzw + "," + rgb, merged, CompressionCCITT4), OK);
  EXPECT_EQ(CopiedPages(merged), (std::vector<bool>{false, false, true, true, true, true}));
  DecodedSave({g4, lzw, rgb}, expected, CompressionLZW, true);
  ExpectSameTiff(expected, merged);

  ASSERT_EQ(im.TiffMerge2Files(merged, g4, merged, CompressionLZW), OK) << "into one of its sources";
  EXPECT_EQ(CopiedPages(merged), (std::vector<bool>{false, false, true, true, true, true, false, false}));
  im.RemoveAllImage();
  EXPECT_TRUE(dir.TempFiles().empty());
}

TEST(RawPageFiles, FailuresLeaveNoPageFileAndNoPartialDestination) {
  ScopedTempFolder dir;
  const std::string g4 = dir.File("g4.tif"), destination = dir.File("keep.tif");
  WriteMarkedDocument(g4, Pages({0, 1, 2}), CompressionCCITT4);
  testing::WriteBytes(destination, {'o', 'l', 'd'});
  testing::WriteBytes(dir.File("broken.tif"), {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0});
  auto partials = [&] {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir.path()))
      n += e.path().filename().string().find(".partial") != std::string::npos;
    return n;
  };
  cImaging im;
  EXPECT_NE(im.TiffMerge2Files(g4, dir.File("broken.tif"), destination, CompressionCCITT4), OK);
  EXPECT_NE(im.TiffMerge2Files(g4, g4, dir.File("no/folder/x.tif"), CompressionCCITT4), OK);

  const int32_t doc = im.CreateImageFromFile(g4);
  ASSERT_NE(doc, 0);
  EXPECT_NE(im.TiffSaveMultiPageToFile(doc, dir.File("no/folder/x.tif"), CompressionCCITT4), OK);
  // A copyable page file damaged behind the document's back fails the save part-way.
  ImageEntry* entry = ImageRegistry::Current().Entry(doc);
  ASSERT_NE(entry, nullptr);
  testing::WriteBytes(entry->pageFiles[2], {'I', 'I', 42, 0});
  EXPECT_NE(im.TiffSaveMultiPageToFile(doc, destination, CompressionCCITT4), OK);
  EXPECT_EQ(testing::ReadBytes(destination), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(partials(), 0);
  im.RemoveAllImage();
  EXPECT_TRUE(dir.TempFiles().empty());
}

TEST(RawPageFiles, ForgedStripCountsAreLeftToTheDecoder) {
  ScopedTempFolder dir;
  RawTiffPage page;
  page.width = 16;
  page.height = 4;
  page.compression = 5;  // LZW (libtiff repairs the counts of uncompressed single strips)
  page.photometric = 1;  // min-is-black
  page.rowsPerStrip = 4;
  page.dpiX = page.dpiY = 300;
  page.strips = {std::vector<uint8_t>(8, 0xF0)};
  const std::string path = dir.File("forged.tif");
  ASSERT_EQ(platform::WriteRawTiffFile(page, path), platform::Status::Ok);
  RawTiffPage read;
  ASSERT_TRUE(platform::ReadRawTiffFile(path, read));
  EXPECT_EQ(read.strips, page.strips);

  // The strip claims nearly 2 GB of a file of some hundred bytes.
  std::vector<uint8_t> bytes = testing::ReadBytes(path);
  const uint32_t ifd = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | static_cast<uint32_t>(bytes[7]) << 24;
  const uint16_t count = static_cast<uint16_t>(bytes[ifd] | bytes[ifd + 1] << 8);
  bool patched = false;
  for (uint32_t e = ifd + 2; e < ifd + 2 + 12u * count; e += 12) {
    if ((bytes[e] | bytes[e + 1] << 8) != 279) continue;
    bytes[e + 2] = 4;  // LONG
    bytes[e + 3] = 0;
    bytes[e + 8] = 0xF0, bytes[e + 9] = 0xFF, bytes[e + 10] = 0xFF, bytes[e + 11] = 0x7F;
    patched = true;
  }
  ASSERT_TRUE(patched);
  testing::WriteBytes(path, bytes);
  EXPECT_FALSE(platform::ReadRawTiffFile(path, read));
  cImaging im;
  const int32_t id = im.CreateImageFromFile(path);  // whatever the decoder says, no crash
  if (id != 0) im.CloseImage(id);
}

}  // namespace
}  // namespace tessivo
