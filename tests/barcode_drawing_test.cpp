#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "barcode/barcode.h"
#include "barcode/barcode_painter.h"
#include "barcode/barcode_symbol.h"
#include "barcode/utf8_code_points.h"
#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "platform/pixel_format.h"
#include "support/io_fixtures.h"
#include "support/test_fonts.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

namespace pf = platform;
using barcode::cBarCode;
using testing::ScopedTempFolder;

constexpr int32_t kBlack = static_cast<int32_t>(0xFF000000u);
constexpr uint32_t kWhite = 0xFFFFFFFFu;

enum class Kind { I25, C39, C128, Ean13 };

TessivoStatus DrawSymbol(cImaging& im, Kind kind, const std::string& code, int32_t left, int32_t top, int32_t height) {
  switch (kind) {
    case Kind::I25: return im.BarCodeDraw25i(code, left, top, height);
    case Kind::C39: return im.BarCodeDraw39(code, left, top, height);
    case Kind::C128: return im.BarCodeDraw128(code, left, top, height);
    case Kind::Ean13: return im.BarCodeDrawEAN13(code, left, top, height);
  }
  return GenericError;
}

int32_t SymbolWidth(cImaging& im, Kind kind, const std::string& code, int32_t height) {
  switch (kind) {
    case Kind::I25: return im.BarCodeGetWidth25i(code, height);
    case Kind::C39: return im.BarCodeGetWidth39(code, height);
    case Kind::C128: return im.BarCodeGetWidth128(code, height);
    case Kind::Ean13: return im.BarCodeGetWidthEAN13(code, height);
  }
  return -1;
}

// A white image of the given bit depth (24, 8 indexed or 1), native.
int32_t WhiteImage(cImaging& im, int32_t w, int32_t h, int depth = 24) {
  const int32_t id = im.CreateNewImage(w, h, 24, static_cast<int32_t>(kWhite));
  EXPECT_NE(id, 0);
  if (depth == 8) {
    EXPECT_EQ(im.ConvertTo8BppGrayScale(), OK);
  } else if (depth == 1) {
    EXPECT_EQ(im.ConvertTo1Bpp(), OK);
  }
  return im.GetNativeImage();
}

// Draws the symbol with a quiet zone of 10 modules on each side and saves it as PNG.
void DrawToPng(Kind kind, const std::string& code, int32_t height, int depth, const std::string& path) {
  cImaging im;
  ASSERT_EQ(im.CreateNewImage(1, 1, 24, static_cast<int32_t>(kWhite)) != 0, true);
  const int32_t width = SymbolWidth(im, kind, code, height);
  ASSERT_GT(width, 0) << code;
  const int32_t margin = 10 * std::max(1, static_cast<int>(std::nearbyint(height / 35.0)));
  im.CloseImage(im.GetNativeImage());
  WhiteImage(im, width + 2 * margin, height + 2 * margin, depth);
  const pf::PixelFormat format = ResolveImage(im.GetNativeImage())->Format();
  ASSERT_EQ(format, depth == 8   ? pf::kPixelFormat8bppIndexed
                    : depth == 1 ? pf::kPixelFormat1bppIndexed
                                 : pf::kPixelFormat24bppRGB);
  ASSERT_EQ(DrawSymbol(im, kind, code, margin, margin, height), OK) << code;
  ASSERT_EQ(im.SaveAsPNG(path), OK);
}

// Every symbol zbarimg finds in the files, in file order.
std::vector<std::string> ZbarRead(const std::vector<std::string>& files) {
  std::string command = "zbarimg -q --raw -Si25.min-length=2";
  for (const std::string& f : files) command += " '" + f + "'";
  std::vector<std::string> lines;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run zbarimg";
    return lines;
  }
  std::string text;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
  const int rc = pclose(pipe);
  EXPECT_NE(rc, -1);
  EXPECT_NE(WEXITSTATUS(rc), 127) << "zbarimg is missing (package zbar-tools)";
  size_t start = 0;
  for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
    lines.push_back(text.substr(start, nl - start));
  return lines;
}

// What a reader gives back for the drawn text.
std::string Decoded(Kind kind, const std::string& code) {
  cImaging im;
  if (kind == Kind::I25) return code.size() % 2 ? "0" + code : code;
  if (kind == Kind::Ean13 && code.size() == 12) return code + im.BarCodeGetChecksumEAN13(code);
  return code;
}

TEST(BarCodeReading, EverySymbologyReadsBackAtEveryScaleAndBitDepth) {
  ScopedTempFolder folder;
  const std::vector<std::pair<Kind, std::string>> symbols{
      {Kind::I25, "12345"}, {Kind::C39, "CODE-39 $/+%."}, {Kind::C128, "Tv-128"}, {Kind::Ean13, "400638133393"}};
  std::vector<std::string> files, expected;
  for (int depth : {24, 8, 1})
    for (int32_t height : {35, 70, 105})
      for (const auto& [kind, code] : symbols) {
        files.push_back(folder.File("s" + std::to_string(files.size()) + ".png"));
        DrawToPng(kind, code, height, depth, files.back());
        expected.push_back(Decoded(kind, code));
      }
  EXPECT_EQ(ZbarRead(files), expected);
}

TEST(BarCodeReading, RandomTextsDecodeExactly) {
  ScopedTempFolder folder;
  std::mt19937 rng(20261207);
  auto pick = [&](std::string_view alphabet, size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(rng)];
    return s;
  };
  auto length = [&](size_t lo, size_t hi) { return std::uniform_int_distribution<size_t>(lo, hi)(rng); };
  std::string printable;
  for (char c = 33; c <= 126; ++c) printable += c;
  std::vector<std::string> files, expected;
  for (int i = 0; i < 50; ++i) {
    std::vector<std::pair<Kind, std::string>> symbols{
        {Kind::I25, pick("0123456789", length(2, 24))},
        {Kind::C39, pick("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-.$/+%", 1) +
                        pick("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", length(0, 20)) +
                        pick("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-.$/+%", 1)},
        // Blanks inside are data; at the ends they would be trimmed.
        {Kind::C128, pick(printable, 1) + pick(printable + "  ", length(0, 30)) + pick(printable, 1)},
        {Kind::Ean13, pick("123456789", 1) + pick("0123456789", 11)}};
    for (const auto& [kind, code] : symbols) {
      files.push_back(folder.File("r" + std::to_string(files.size()) + ".png"));
      DrawToPng(kind, code, 70, 24, files.back());
      expected.push_back(Decoded(kind, code));
    }
  }
  EXPECT_EQ(ZbarRead(files), expected);
}

TEST(BarCodeChecks, CheckCharactersNeedNoImageAndKeepTheStatus) {
  cImaging im;
  EXPECT_EQ(im.BarCodeDraw128("A", 0, 0, 35), GenericError);  // no native image
  EXPECT_EQ(im.BarCodeGetChecksumEAN13("400638133393"), "1");
  EXPECT_EQ(im.BarCodeGetChecksumEAN13(" 400638133393 "), "1");
  EXPECT_TRUE(im.BarCodeIsValidEAN13("4006381333931"));
  EXPECT_FALSE(im.BarCodeIsValidEAN13("4006381333932"));
  // Thirteen digits: the last one as given.
  EXPECT_EQ(im.BarCodeGetChecksumEAN13("4006381333937"), "7");
  EXPECT_EQ(im.BarCodeGetChecksumEAN13("40063813339"), "");
  EXPECT_EQ(im.BarCodeGetChecksum25i("1234567"), "0");
  EXPECT_EQ(im.BarCodeGetChecksum25i("12345"), "7");  // 3·(5+3+1) + (4+2) = 33
  EXPECT_EQ(im.BarCodeGetChecksum39("CODE39"), "W");
  EXPECT_EQ(im.BarCodeGetChecksum39("%"), "%");
  EXPECT_EQ(im.GetStat(), GenericError);
}

TEST(BarCodeChecks, Ean13CheckDigitIsASingleDigitAndNonDigitsAreRefused) {
  cImaging im;
  // (10 − sum mod 10) mod 10: a sum that is a multiple of ten gives 0, not "10".
  EXPECT_EQ(im.BarCodeGetChecksumEAN13("000000000000"), "0");
  EXPECT_TRUE(im.BarCodeIsValidEAN13("0000000000000"));
  EXPECT_EQ(im.BarCodeGetChecksumEAN13("40063813339X"), "");
  EXPECT_EQ(im.BarCodeGetChecksumEAN13("400638133393X"), "");
  EXPECT_FALSE(im.BarCodeIsValidEAN13("40063813339X1"));
  WhiteImage(im, 200, 60);
  EXPECT_EQ(im.BarCodeDrawEAN13("0000000000000", 0, 0, 35), OK);
  EXPECT_EQ(im.BarCodeGetWidthEAN13("40063813339X", 35), 0);
  EXPECT_EQ(im.GetStat(), InvalidBarCode);
  EXPECT_EQ(im.BarCodeDrawEAN13("40063813339X", 0, 0, 35), InvalidBarCode);
  EXPECT_EQ(im.BarCodeDrawEAN13("4006381333932", 0, 0, 35), InvalidBarCode);
}

TEST(BarCodeGeometry, WidthsFollowTheModuleCountsAndHeight) {
  cImaging im;
  EXPECT_EQ(im.BarCodeGetWidth128("A", 35), 0);
  EXPECT_EQ(im.GetStat(), GenericError);  // widths need a native image
  WhiteImage(im, 10, 10);
  EXPECT_EQ(im.BarCodeGetWidth128("A", 35), 46);  // start, data, check, stop
  EXPECT_EQ(im.BarCodeGetWidth128("", 35), 35);
  EXPECT_EQ(im.BarCodeGetWidthEAN13("400638133393", 70), 190);
  EXPECT_EQ(im.BarCodeGetWidthEAN13("400638133393", 35), 95);
  EXPECT_EQ(im.BarCodeGetWidthEAN13("400638133393", 100), 285);
  EXPECT_EQ(im.BarCodeGetWidthEAN13("400638133393", 17), 95);  // 17/35 rounds to 0, raised to 1
  // 2 of 5: start 4 + 7 per digit (2 wide, 3 narrow) + stop 5; "12345" is padded to six digits.
  EXPECT_EQ(im.BarCodeGetWidth25i("12345", 35), 4 + 6 * 7 + 5);
  EXPECT_EQ(im.BarCodeGetWidth25i("12345", 35, true), 4 + 6 * 7 + 5);
  EXPECT_EQ(im.BarCodeGetWidth25i("1234", 35, true), 4 + 6 * 7 + 5);
  // Code 39: 13 per character with its gap, start 13, stop 12.
  EXPECT_EQ(im.BarCodeGetWidth39("CODE39", 35), 13 + 6 * 13 + 12);
  EXPECT_EQ(im.BarCodeGetWidth39("CODE39", 35, true), 13 + 7 * 13 + 12);
  EXPECT_EQ(im.GetStat(), OK);
  // One character per code point: "é" is one blank, as wide as "a".
  EXPECT_EQ(im.BarCodeGetWidth39("é", 35), im.BarCodeGetWidth39("a", 35));
  EXPECT_EQ(cBarCode::Code39_Binaire(barcode::DecodeUtf8("abc")), cBarCode::Code39_Binaire(U"   "));
  EXPECT_EQ(cBarCode::Code39_Binaire(barcode::DecodeUtf8("*")), cBarCode::Code39_Binaire(U" "));
  EXPECT_EQ(im.BarCodeGetWidth39(std::string(39, 'A'), 35), 13 + 39 * 13 + 12);
  EXPECT_EQ(im.BarCodeGetWidth39(std::string(40, 'A'), 35), 0);
  EXPECT_EQ(im.GetStat(), InvalidBarCode);
  EXPECT_EQ(im.BarCodeGetWidth25i("12a4", 35), 0);
  EXPECT_EQ(im.BarCodeGetWidth25i("  ", 35), 0);
}

// The first row of the image as '1' (drawn) and '0' (white).
std::string Row(cImaging& im, int32_t y) {
  const pf::Bitmap& b = *ResolveImage(im.GetNativeImage());
  std::string row;
  for (int32_t x = 0; x < b.Width(); ++x) {
    uint32_t argb = 0;
    b.GetPixel(x, y, argb);
    row += argb == kWhite ? '0' : '1';
  }
  return row;
}

TEST(BarCodeGeometry, BarsCoverExactlyTheirModulesAndRows) {
  for (Kind kind : {Kind::I25, Kind::C39, Kind::C128, Kind::Ean13}) {
    const std::string code = kind == Kind::Ean13 ? "4006381333931" : kind == Kind::C39 ? "AB" : "1234";
    const std::u32string text = barcode::DecodeUtf8(code);
    const std::string modules = kind == Kind::I25    ? cBarCode::Code25i_Binaire(text)
                                : kind == Kind::C39  ? cBarCode::Code39_Binaire(text)
                                : kind == Kind::C128 ? cBarCode::c128_Binaire(text)
                                                     : cBarCode::EAN13_Binaire(text);
    std::string expected(3, '0');
    for (char c : modules)
      if (c == '0' || c == '1') expected += std::string(2, c);  // height 70: 2-px modules
    cImaging im;
    WhiteImage(im, static_cast<int32_t>(expected.size()) + 5, 80);
    expected.resize(expected.size() + 5, '0');
    ASSERT_EQ(DrawSymbol(im, kind, code, 3, 4, 70), OK);
    EXPECT_EQ(Row(im, 3), std::string(expected.size(), '0'));
    EXPECT_EQ(Row(im, 4), expected);
    EXPECT_EQ(Row(im, 73), expected);
    EXPECT_EQ(Row(im, 74), std::string(expected.size(), '0'));
  }
}

TEST(BarCodeFaults, RefusedInputIsAStatusAndDrawsNothing) {
  cImaging im;
  WhiteImage(im, 120, 50);
  const std::string blank = Row(im, 10);
  // Code 128 outside 32..126 ("È" is code 200): a status of its own, not the previous one.
  ASSERT_EQ(im.BarCodeDraw128("A", 0, 0, 35), OK);
  im.ClearImage(static_cast<int32_t>(kWhite));
  EXPECT_EQ(im.BarCodeDraw128("AÈ", 0, 0, 35), InvalidBarCode);
  EXPECT_EQ(im.GetStat(), InvalidBarCode);
  EXPECT_EQ(im.BarCodeGetWidth128("A\tB", 35), 0);
  EXPECT_EQ(im.GetStat(), InvalidBarCode);
  // A bar height below 1.
  for (int32_t height : {0, -5, std::numeric_limits<int32_t>::min()}) {
    EXPECT_EQ(im.BarCodeDraw39("A", 0, 0, height), InvalidParameter);
    EXPECT_EQ(im.BarCodeGetWidth39("A", height), 0);
    EXPECT_EQ(im.GetStat(), InvalidParameter);
  }
  EXPECT_EQ(im.BarCodeDraw25i("1x", 0, 0, 35), InvalidBarCode);
  EXPECT_EQ(im.BarCodeDraw39("", 0, 0, 35), InvalidBarCode);
  EXPECT_EQ(Row(im, 10), blank);
  EXPECT_EQ(Row(im, 0), blank);
}

TEST(BarCodeFaults, HugeScalesAndPositionsStayExact) {
  cImaging im;
  WhiteImage(im, 40, 10);
  // Modules of 61 million pixels: wider than a Long, yet drawable.
  const int32_t tallest = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(im.BarCodeGetWidth128("A", tallest), 0);
  EXPECT_EQ(im.GetStat(), ValueOverflow);
  EXPECT_EQ(im.BarCodeGetWidthEAN13("400638133393", 70000000), 95 * 2000000);
  EXPECT_EQ(im.GetStat(), OK);
  // Positions past the Long range do not wrap around onto the image.
  ASSERT_EQ(im.BarCodeDraw128("A", tallest - 10, 0, tallest), OK);
  ASSERT_EQ(im.BarCodeDraw128("A", std::numeric_limits<int32_t>::min(), 0, 35000), OK);
  EXPECT_EQ(Row(im, 0), std::string(40, '0'));
  // Start B is a 2-module bar: from just left of the image it covers every column.
  ASSERT_EQ(im.BarCodeDraw128("A", -5, 2, tallest), OK);
  EXPECT_EQ(Row(im, 1), std::string(40, '0'));
  EXPECT_EQ(Row(im, 9), std::string(40, '1'));
  // Code 128's weighted sum past the 32-bit range (7,000 characters): the check value is
  // the one the full sum gives.
  for (size_t n = 7000; n < 7200; ++n) {
    uint64_t sum = 104;
    for (uint64_t i = 1; i <= n; ++i) sum += i * 94;  // '~' is value 94
    const uint64_t check = sum % 103;
    if (check > 94) continue;
    const std::string one = cBarCode::c128_Binaire(std::u32string(1, static_cast<char32_t>(32 + check)));
    const std::string many = cBarCode::c128_Binaire(std::u32string(n, U'~'));
    ASSERT_EQ(many.size(), 11 * (n + 2) + 13);
    EXPECT_EQ(many.substr(11 * (n + 1), 11), one.substr(11, 11)) << n;
    break;
  }
}

TEST(BarCodeEncoders, PatternTablesHaveTheirWidths) {
  // Every Code 128 value is 11 modules wide; each Code 39 character 12 plus its gap.
  for (char32_t c = 32; c <= 126; ++c) {
    EXPECT_EQ(cBarCode::c128_Binaire(std::u32string(1, c)).size(), 46u);
    EXPECT_EQ(cBarCode::Code39_Binaire(std::u32string(1, c)).size(), 38u);
  }
  EXPECT_EQ(cBarCode::c128_Binaire(U"\u00C8"), "");
  EXPECT_EQ(cBarCode::EAN13_Binaire(U"4006381333931").substr(0, 4), "101-");
  EXPECT_EQ(barcode::DecodeUtf8("a\xC3\xA9\xFF"), U"a\u00E9\uFFFD");
  EXPECT_EQ(barcode::DecodeUtf8("\xC0\xAF"), U"\uFFFD\uFFFD");  // overlong "/"
}

// Rows from `fromRow` down, as bytes.
std::string RowsFrom(int32_t id, int32_t fromRow) {
  const pf::Bitmap& b = *ResolveImage(id);
  std::string bytes;
  for (int32_t y = fromRow; y < b.Height(); ++y)
    bytes.append(reinterpret_cast<const char*>(b.Row(y)), static_cast<size_t>(b.Stride()));
  return bytes;
}

TEST(BarCodeDigits, Ean13DigitsAreDrawnUnderShortenedDataBars) {
  testing::WithTestFonts([] {
    ScopedTempFolder folder;
    cImaging im;
    constexpr int32_t left = 40, top = 20, height = 70;  // module 2, step 7
    const int32_t id = WhiteImage(im, 190 + 2 * left, top + height + 40);
    ASSERT_EQ(im.BarCodeDrawEAN13("400638133393", left, top, height, 10), OK);
    uint32_t argb = 0;
    auto at = [&](int32_t x, int32_t y) {
      ResolveImage(id)->GetPixel(x, y, argb);
      return argb;
    };
    EXPECT_EQ(at(left, top + height - 1), 0xFF000000u) << "the start guard keeps the full height";
    EXPECT_EQ(at(left + 94 * 2, top + height - 1), 0xFF000000u) << "so does the end guard";
    // The first data bar (L code of 0, "0001101", after the three guard modules) is module 6,
    // 7 px shorter.
    EXPECT_EQ(at(left + 6 * 2, top + height - 8), 0xFF000000u);
    EXPECT_NE(at(left + 6 * 2, top + height - 7), 0xFF000000u);

    // Below the bars the image holds exactly the three texts of the digits.
    cImaging ref;
    const int32_t expected = WhiteImage(ref, 190 + 2 * left, top + height + 40);
    const int32_t y = top + 63;
    ASSERT_EQ(ref.DrawText("4", left - 18, y, 10, kBlack, "Arial", FontStyleRegular, true), OK);
    ASSERT_EQ(ref.DrawText("006381", left + 4, y, 10, kBlack, "Arial", FontStyleRegular, true), OK);
    ASSERT_EQ(ref.DrawText("333931", left + 96, y, 10, kBlack, "Arial", FontStyleRegular, true), OK);
    EXPECT_NE(RowsFrom(expected, top + height), RowsFrom(expected, top + height + 39)) << "the digits show";
    EXPECT_EQ(RowsFrom(id, top + height), RowsFrom(expected, top + height));

    const std::string file = folder.File("ean13.png");
    ASSERT_EQ(im.SaveAsPNG(file), OK);
    EXPECT_EQ(ZbarRead({file}), std::vector<std::string>{"4006381333931"});
  });
}

TEST(BarCodeDigits, AFontThatCannotBeMadeDrawsNoBarsEither) {
  testing::WithTestFonts([] {
    cImaging im;
    const int32_t id = WhiteImage(im, 300, 150);
    const std::string before = RowsFrom(id, 0);
    im.FontSetUnit(UnitDisplay);
    EXPECT_EQ(im.BarCodeDrawEAN13("400638133393", 20, 20, 70, 10), InvalidParameter);
    im.FontSetUnit(UnitPixel);
    EXPECT_EQ(im.BarCodeDrawEAN13("400638133393", 20, 20, 70, 1 << 30), ValueOverflow);
    EXPECT_EQ(im.BarCodeDrawEAN13("40063813339X", 20, 20, 70, 10), InvalidBarCode);
    EXPECT_EQ(RowsFrom(id, 0), before);
    // Digits far off the image are no failure.
    EXPECT_EQ(im.BarCodeDrawEAN13("400638133393", std::numeric_limits<int32_t>::max() - 10, 20, 70, 10), OK);
    EXPECT_EQ(im.BarCodeDrawEAN13("400638133393", 20, 20, 70, 0), OK);
    EXPECT_EQ(im.GetStat(), OK);
  });
}

}  // namespace
}  // namespace tessivo

namespace tessivo {
namespace {

// Bars written straight into 24-bit and 32-bit pixels must be exactly the bars the rasteriser
// fills, wherever the symbol lies: inside, cut by every edge, with the height steps of EAN-13.
TEST(BarCodeGeometry, InPlaceBarsMatchTheRasterisedBarsPixelForPixel) {
  const barcode::Symbol symbol = barcode::PrepareSymbol(barcode::Symbology::Ean13, "400638133393", false);
  ASSERT_EQ(symbol.status, OK);
  struct Where {
    int64_t left, top;
    int32_t height, step;
  } places[] = {{10, 10, 70, 0}, {-37, -20, 70, 7}, {150, 40, 90, 9}, {5, 60, 200, 0}, {2, 5, 35, 4}};
  for (pf::PixelFormat format : {pf::kPixelFormat24bppRGB, pf::kPixelFormat32bppARGB, pf::kPixelFormat32bppPARGB}) {
    for (const Where& w : places) {
      SCOPED_TRACE(std::to_string(format) + " at " + std::to_string(w.left) + "," + std::to_string(w.top));
      std::unique_ptr<pf::Bitmap> a, b2;
      ASSERT_EQ(pf::Bitmap::Create(230, 120, format, a), pf::Status::Ok);
      ASSERT_EQ(pf::Bitmap::Create(230, 120, format, b2), pf::Status::Ok);
      pf::Bitmap &rasterised = *a, &inPlace = *b2;
      for (pf::Bitmap* b : {&rasterised, &inPlace})
        for (int32_t y = 0; y < b->Height(); ++y)
          for (int32_t x = 0; x < b->Width(); ++x)  // plain above row 50 and left of column 100, varied elsewhere
            b->SetPixel(x, y, y < 50 || x < 100 ? 0xFFF0F0F0u : 0xFF000000u | uint32_t(x * 7 + y * 13));
      barcode::SymbolPlacement at;
      at.left = w.left, at.top = w.top, at.barHeight = w.height, at.heightStep = w.step;
      at.moduleWidth = barcode::ModuleWidth(w.height);
      at.argb = 0xFF2040C0u;
      pf::Graphics g(rasterised);
      ASSERT_EQ(barcode::PaintModules(g, symbol.modules, at, rasterised.Width(), rasterised.Height()), pf::Status::Ok);
      ASSERT_TRUE(barcode::PaintModulesInPlace(inPlace, symbol.modules, at));
      for (int32_t y = 0; y < inPlace.Height(); ++y)
        ASSERT_EQ(std::memcmp(rasterised.Row(y), inPlace.Row(y), static_cast<size_t>(inPlace.Stride())), 0) << "row " << y;
    }
  }
  // Colours that are not opaque, and other formats, are left to the rasteriser untouched.
  std::unique_ptr<pf::Bitmap> deep, colour;
  ASSERT_EQ(pf::Bitmap::Create(40, 40, pf::kPixelFormat48bppRGB, deep), pf::Status::Ok);
  ASSERT_EQ(pf::Bitmap::Create(40, 40, pf::kPixelFormat24bppRGB, colour), pf::Status::Ok);
  barcode::SymbolPlacement at;
  EXPECT_FALSE(barcode::PaintModulesInPlace(*deep, symbol.modules, at));
  at.argb = 0x80000000u;
  EXPECT_FALSE(barcode::PaintModulesInPlace(*colour, symbol.modules, at));
  for (int32_t y = 0; y < colour->Height(); ++y)
    for (int32_t x = 0; x < colour->Width() * 3; ++x) ASSERT_EQ(colour->Row(y)[x], 0);
}

}  // namespace
}  // namespace tessivo
