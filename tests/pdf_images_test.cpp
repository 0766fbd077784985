#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>

#include "core/codec_plugin.h"
#include "core/image_registry.h"
#include "pdf/pdf_writer.h"
#include "platform/bitmap.h"
#include "platform/codecs/codecs.h"
#include "support/io_fixtures.h"
#include "support/pdf_checks.h"

namespace tessivo {
namespace {
using namespace std::string_literals;

using platform::Bitmap;
using testing::PdfIsValid;
using testing::ReadText;
using testing::ScopedTempFolder;

std::unique_ptr<Bitmap> MakeBitmap(int32_t width, int32_t height, platform::PixelFormat format,
                                   std::vector<uint32_t> palette = {}) {
  std::unique_ptr<Bitmap> bitmap;
  EXPECT_EQ(Bitmap::Create(width, height, format, bitmap), platform::Status::Ok);
  if (!palette.empty()) {
    platform::Palette p;
    p.entries = palette;
    EXPECT_EQ(bitmap->SetPalette(p), platform::Status::Ok);
  }
  return bitmap;
}

// A page-sized 1-bit scan: black (index 0) in the left half of the top rows, white elsewhere.
std::unique_ptr<Bitmap> Scan(int32_t width, int32_t height, bool blackFirst) {
  auto scan = MakeBitmap(width, height, platform::kPixelFormat1bppIndexed,
                         blackFirst ? std::vector<uint32_t>{0xFF000000, 0xFFFFFFFF}
                                    : std::vector<uint32_t>{0xFFFFFFFF, 0xFF000000});
  const uint8_t black = blackFirst ? 0x00 : 0xFF, white = blackFirst ? 0xFF : 0x00;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = scan->Row(y);
    for (int32_t x = 0; x < (width + 7) / 8; ++x) row[x] = (y < height / 4 && x < width / 16) ? black : white;
  }
  return scan;
}

// Writes one page holding image `image` over the whole page and returns the file's bytes.
std::string OnePage(const std::string& path, const Bitmap& image, bool compress = true) {
  cPDF writer;
  writer.SetCompressData(compress);
  EXPECT_TRUE(writer.NewPdf(path));
  EXPECT_EQ(writer.PdfAddBitmap(image), 1);
  writer.SetPaperWidth(static_cast<float>(image.Width()) * 72 / 300);
  writer.SetPaperHeight(static_cast<float>(image.Height()) * 72 / 300);
  writer.DrawImg(1, 0, 0, writer.PaperWidth(), writer.PaperHeight());
  EXPECT_TRUE(writer.ClosePdfFile());
  EXPECT_TRUE(PdfIsValid(path));
  return ReadText(path);
}

class CodecPluginAbsent {
 public:
  CodecPluginAbsent() : previous_(InstallCodecPlugin(nullptr)) {}
  ~CodecPluginAbsent() { InstallCodecPlugin(previous_); }

 private:
  const TvimgplugApi* previous_;
};

TEST(PdfImages, BlackOnWhiteScansBecomeGroup4ThatRendersTheRightWayRound) {
  ASSERT_NE(CodecPlugin(), nullptr) << "the codec plug-in is part of the build";
  ScopedTempFolder folder;
  auto scan = Scan(2480, 64, true);
  for (bool pluginPresent : {true, false}) {
    std::unique_ptr<CodecPluginAbsent> absent;
    if (!pluginPresent) absent = std::make_unique<CodecPluginAbsent>();
    const std::string path = folder.File(pluginPresent ? "g4-plugin.pdf" : "g4-libtiff.pdf");
    const std::string pdf = OnePage(path, *scan);
    EXPECT_NE(pdf.find("/Filter/CCITTFaxDecode/DecodeParms<</K -1/Columns 2480>>/Name/Img1"
                       "/BitsPerComponent 1/ColorSpace/DeviceGray/Decode [ 1 0 ]/Width 2480/Height 64"),
              std::string::npos) << path;
    EXPECT_TRUE(std::regex_search(testing::PdfImagesList(path),
                                  std::regex(R"(image +2480 +64 +gray +1 +1 +ccitt)")));
    // 2480 px over 595.2 pt: rendered at 300 dpi the pixels map one to one.
    EXPECT_LT(testing::RenderedGrey(path, 300, 10, 2), 64) << path;   // black corner
    EXPECT_GT(testing::RenderedGrey(path, 300, 2000, 40), 192) << path;  // white paper
  }
}

TEST(PdfImages, UncompressedAndWhiteFirstScansSwapTheDecodeArray) {
  ScopedTempFolder folder;
  auto scan = Scan(64, 32, true);
  std::string raw = OnePage(folder.File("raw.pdf"), *scan, false);
  EXPECT_NE(raw.find("<</Subtype/Image/Length 256/Name/Img1/BitsPerComponent 1/ColorSpace/DeviceGray/"
                     "Decode [ 0 1 ]/Width 64/Height 32/Type/XObject>>stream"),
            std::string::npos);
  EXPECT_LT(testing::RenderedGrey(folder.File("raw.pdf"), 300, 1, 1), 64);

  auto inverted = Scan(64, 32, false);
  std::string g4 = OnePage(folder.File("white-first.pdf"), *inverted);
  EXPECT_NE(g4.find("/DeviceGray/Decode [ 0 1 ]"), std::string::npos);
  EXPECT_LT(testing::RenderedGrey(folder.File("white-first.pdf"), 300, 1, 1), 64);
  EXPECT_GT(testing::RenderedGrey(folder.File("white-first.pdf"), 300, 40, 20), 192);
  std::string plain = OnePage(folder.File("white-first-raw.pdf"), *inverted, false);
  EXPECT_NE(plain.find("/DeviceGray/Decode [ 1 0 ]"), std::string::npos);
  EXPECT_LT(testing::RenderedGrey(folder.File("white-first-raw.pdf"), 300, 1, 1), 64);
}

TEST(PdfImages, IndexedImagesGetFullColourTables) {
  ScopedTempFolder folder;
  auto redBlue = MakeBitmap(16, 8, platform::kPixelFormat1bppIndexed, {0xFFFF0000, 0xFF0000FF});
  std::string one = OnePage(folder.File("red-blue.pdf"), *redBlue);
  EXPECT_NE(one.find("/BitsPerComponent 1/ColorSpace [/Indexed/DeviceRGB 1 6 0 R]/Width 16/Height 8"),
            std::string::npos);
  EXPECT_NE(one.find("6 0 obj\r\n<</Length 6>>stream\r\n\xFF\0\0\0\0\xFF\r\nendstream"s), std::string::npos);

  auto three = MakeBitmap(10, 10, platform::kPixelFormat4bppIndexed, {0xFF102030, 0xFF405060, 0xFF708090});
  std::string four = OnePage(folder.File("four.pdf"), *three);
  EXPECT_NE(four.find("/Filter/FlateDecode/Name/Img1/BitsPerComponent 4/ColorSpace [/Indexed/DeviceRGB 15 6 0 R]"),
            std::string::npos);
  std::string table = "\x10\x20\x30\x40\x50\x60\x70\x80\x90"s + std::string(39, '\0');
  EXPECT_NE(four.find("<</Length 48>>stream\r\n" + table + "\r\n"), std::string::npos);
  EXPECT_TRUE(std::regex_search(testing::PdfImagesList(folder.File("four.pdf")),
                                std::regex(R"(image +10 +10 +index +1 +4 +image)")));
}

TEST(PdfImages, DirectColourIsJpegOrRawRgbWithoutAlpha) {
  ScopedTempFolder folder;
  auto argb = MakeBitmap(8, 4, platform::kPixelFormat32bppARGB);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 8; ++x) argb->SetPixel(x, y, 0x80FF8000);
  std::string jpeg = OnePage(folder.File("argb.pdf"), *argb);
  EXPECT_NE(jpeg.find("/Filter/DCTDecode/Name/Img1/BitsPerComponent 8/ColorSpace/DeviceRGB/Width 8/Height 4"),
            std::string::npos);
  EXPECT_TRUE(std::regex_search(testing::PdfImagesList(folder.File("argb.pdf")),
                                std::regex(R"(image +8 +4 +rgb +3 +8 +jpeg)")));
  std::string raw = OnePage(folder.File("argb-raw.pdf"), *argb, false);
  std::string pixels;
  for (int i = 0; i < 32; ++i) pixels += "\xFF\x80\x00"s;
  EXPECT_NE(raw.find("<</Subtype/Image/Length 96/Name/Img1/BitsPerComponent 8/ColorSpace/DeviceRGB/Width 8/Height 4"
                     "/Type/XObject>>stream\r\n" + pixels + "\r\nendstream"),
            std::string::npos);
}

TEST(PdfImages, GreyRampsAreJpegOnlyWithTheCodecPlugin) {
  ScopedTempFolder folder;
  std::vector<uint32_t> ramp;
  for (uint32_t i = 0; i < 256; ++i) ramp.push_back(0xFF000000 | i << 16 | i << 8 | i);
  auto grey = MakeBitmap(16, 16, platform::kPixelFormat8bppIndexed, ramp);
  std::string withPlugin = OnePage(folder.File("grey-jpeg.pdf"), *grey);
  EXPECT_NE(withPlugin.find("/Filter/DCTDecode/Name/Img1/BitsPerComponent 8/ColorSpace [/Indexed/DeviceRGB 255 6 0 R]"),
            std::string::npos);
  CodecPluginAbsent absent;
  std::string without = OnePage(folder.File("grey-raw.pdf"), *grey);
  EXPECT_NE(without.find("<</Subtype/Image/Length 256/Name/Img1/BitsPerComponent 8/ColorSpace [/Indexed/DeviceRGB 255 6 0 R]"),
            std::string::npos);
  EXPECT_NE(without.find("<</Length 768>>stream"), std::string::npos);
}

TEST(PdfImages, FilesAndRegistryImagesAndTheirRecords) {
  ScopedTempFolder folder;
  auto picture = MakeBitmap(40, 30, platform::kPixelFormat24bppRGB);
  picture->SetResolution(299.7f, 150.2f);
  const std::string png = folder.File("picture.png");
  ASSERT_EQ(platform::EncodeImageFile(*picture, png, "{557CF406-1A04-11D3-9A73-0000F81EF32E}"), platform::Status::Ok);
  const std::string jpg = folder.File("picture.jpg");
  ASSERT_EQ(platform::EncodeImageFile(*picture, jpg, "{557CF401-1A04-11D3-9A73-0000F81EF32E}"), platform::Status::Ok);

  const std::string path = folder.File("files.pdf");
  cPDF writer;
  EXPECT_EQ(writer.PdfAddImageFile(png), 0);  // no document open yet
  ASSERT_TRUE(writer.NewPdf(path));
  EXPECT_EQ(writer.PdfAddImageFile(png), 1);
  EXPECT_EQ(writer.PdfAddImageFile(png), 2);
  EXPECT_EQ(writer.PdfAddImageFile(jpg), 3);
  EXPECT_EQ(writer.PdfAddImageFile(folder.File("missing.png")), 0);
  EXPECT_EQ(writer.PdfAddImageId(0), 0);
  int32_t id = 0;
  ImageRegistry::Current().Register(id, std::shared_ptr<Bitmap>(std::move(picture)), "", "", OriginMemory);
  EXPECT_EQ(writer.PdfAddImageId(id), 4);
  ImageRegistry::Current().Release(id);
  EXPECT_EQ(writer.ImageCount(), 4.0f);
  EXPECT_EQ(writer.ImageWidth(1), 40);
  EXPECT_EQ(writer.ImageHeight(2), 30);
  EXPECT_EQ(writer.ImageResX(1), 300);
  EXPECT_EQ(writer.ImageResY(4), 150);
  EXPECT_EQ(writer.ImageWidth(5), 0);
  EXPECT_EQ(writer.ImageResX(0), 0);
  writer.DrawImg(1, 0, 0, 595.2f, 842);
  writer.DrawImg(3, 10, 20.5f, 100, 75);
  writer.DrawImg(9, 0, 0, 1, 1);  // no such image: nothing drawn
  writer.SetCompressData(false);
  ASSERT_TRUE(writer.ClosePdfFile());
  const std::string pdf = ReadText(path);
  EXPECT_NE(pdf.find("q\n595.20 0 0 842.00 0.00 0.00 cm\n/Img1 Do\nQ\n\r\nq\n100.00 0 0 75.00 10.00 20.50 cm\n/Img3 Do\nQ\n\r\n"
                     "\r\nendstream"),
            std::string::npos);
  EXPECT_EQ(pdf.find("/Img9"), std::string::npos);
  // The JPEG file is embedded byte for byte.
  EXPECT_NE(pdf.find("/Filter/DCTDecode/Name/Img3/BitsPerComponent 8/ColorSpace/DeviceRGB/Width 40/Height 30"
                     "/Type/XObject>>stream\r\n" + ReadText(jpg) + "\r\nendstream"),
            std::string::npos);
  EXPECT_NE(pdf.find("/XObject <</Img1 5 0 R\r/Img2 6 0 R\r/Img3 7 0 R\r/Img4 8 0 R\r>>"), std::string::npos);
  EXPECT_NE(pdf.find("/ProcSet [/PDF/Text/ImageB/ImageC/ImageI ]"), std::string::npos);
  EXPECT_TRUE(PdfIsValid(path));
  EXPECT_EQ(std::regex_search(testing::PdfImagesList(path), std::regex(R"(image +40 +30 +rgb +3 +8 +jpeg)")), true);
}

}  // namespace
}  // namespace tessivo
