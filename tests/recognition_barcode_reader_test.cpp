// Barcode reading through the real reader plug-in (ZXing): symbols made by zint and by the
// toolkit's own drawing, read back with value, type and corners; the numbered getters'
// bounds; the plug-in missing or too old.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "support/scripted_host.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using testing::ScopedEnv;
using testing::ScopedHost;

constexpr int32_t kWhite = static_cast<int32_t>(0xFFFFFFFFu);

struct DarkBox {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
};

// The bounding box of the dark pixels of the native image.
DarkBox DarkPixels(cImaging& imaging) {
  platform::Bitmap* image = ResolveImage(imaging.GetNativeImage());
  DarkBox box;
  for (int y = 0; y < image->Height(); ++y)
    for (int x = 0; x < image->Width(); ++x) {
      uint32_t argb = 0;
      image->GetPixel(x, y, argb);
      if (((argb >> 8) & 0xFF) < 128) {
        box.left = std::min(box.left, x), box.right = std::max(box.right, x);
        box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
      }
    }
  return box;
}

// A zint symbol as a PNG in the test folder, loaded as the native image.
int32_t LoadZint(cImaging& imaging, const std::string& type, const std::string& data, const std::string& extra) {
  const std::string path = (std::filesystem::temp_directory_path() / ("zint_" + type + "_" + data + ".png")).string();
  const std::string command = std::string(TESSIVO_ZINT) + " --barcode=" + type + " --notext " + extra + " --data='" +
                              data + "' --output='" + path + "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return imaging.CreateImageFromFile(path);
}

void ExpectLinearCorners(cImaging& imaging, const DarkBox& box) {
  EXPECT_NEAR(imaging.Barcode1DReaderGetBarcodeX1(1), box.left, 2);
  EXPECT_NEAR(imaging.Barcode1DReaderGetBarcodeX4(1), box.left, 2);
  EXPECT_NEAR(imaging.Barcode1DReaderGetBarcodeX2(1), box.right, 2);
  EXPECT_NEAR(imaging.Barcode1DReaderGetBarcodeX3(1), box.right, 2);
  for (int32_t y : {imaging.Barcode1DReaderGetBarcodeY1(1), imaging.Barcode1DReaderGetBarcodeY2(1),
                    imaging.Barcode1DReaderGetBarcodeY3(1), imaging.Barcode1DReaderGetBarcodeY4(1)}) {
    EXPECT_GE(y, box.top - 2);
    EXPECT_LE(y, box.bottom + 2);
  }
}

TEST(BarcodeReader, ReadsZintSymbolsWithTypeValueAndCorners) {
  struct Case {
    const char* zintType;
    const char* data;
    Barcode1DReaderType type;
    const char* value;
    bool checksum;
  } cases[] = {
      {"CODE128", "Tessivo-42", Barcode1DReaderCode128, "Tessivo-42", true},
      {"EANX", "400638133393", Barcode1DReaderEAN13, "4006381333931", true},
      {"CODE39", "ABC123", Barcode1DReaderCode39, "ABC123", false},
      {"CODE93", "HELLO93", Barcode1DReaderCODE93, "HELLO93", true},
      {"UPCA", "03600029145", Barcode1DReaderUPCA, "036000291452", true},
  };
  for (const char* scale : {"2", "4"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.zintType) + " scale " + scale);
      cImaging imaging;
      ASSERT_NE(LoadZint(imaging, c.zintType, c.data, std::string("--scale=") + scale), 0);
      ASSERT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestSpeed), OK);
      ASSERT_EQ(imaging.Barcode1DReaderGetBarcodeCount(), 1);
      EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeType(1), c.type);
      EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeValue(1), c.value);
      EXPECT_EQ(imaging.Barcode1DReaderBarcodeHasChecksum(1), c.checksum);
      EXPECT_NEAR(imaging.Barcode1DReaderGetBarcodeSkewAngle(1), 0.0, 1.0);
      ExpectLinearCorners(imaging, DarkPixels(imaging));
    }
  }
}

TEST(BarcodeReader, ReadsOwnDrawingsAtSeveralSizesAndSmallRotations) {
  for (int32_t height : {40, 90}) {
    for (float angle : {0.0f, 4.0f, -6.0f}) {
      SCOPED_TRACE("height " + std::to_string(height) + " angle " + std::to_string(angle));
      cImaging imaging;
      ASSERT_NE(imaging.CreateNewImage(900, 400, 24, kWhite), 0);
      ASSERT_EQ(imaging.BarCodeDraw128("Page-0815", 60, 60, height), OK);
      ASSERT_EQ(imaging.BarCodeDraw39("TV39", 60, 250, height, true), OK);
      if (angle != 0) ASSERT_EQ(imaging.RotateAngleBackColor(angle, kWhite), OK);
      ASSERT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestQuality), OK);
      ASSERT_EQ(imaging.Barcode1DReaderGetBarcodeCount(), 2);
      int code128 = imaging.Barcode1DReaderGetBarcodeType(1) == Barcode1DReaderCode128 ? 1 : 2;
      int code39 = 3 - code128;
      EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeValue(code128), "Page-0815");
      EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeType(code39), Barcode1DReaderCode39);
      EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeValue(code39), "TV39T");  // with its check character
      EXPECT_TRUE(imaging.Barcode1DReaderBarcodeHasChecksum(code39));
      if (angle == 0) {
        EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeSkewAngle(code128), 0.0);
        const int32_t width = imaging.BarCodeGetWidth128("Page-0815", height);
        EXPECT_NEAR(imaging.Barcode1DReaderGetBarcodeX1(code128), 60, 2);
        EXPECT_NEAR(imaging.Barcode1DReaderGetBarcodeX2(code128), 60 + width - 1, 2);
        EXPECT_GE(imaging.Barcode1DReaderGetBarcodeY1(code128), 58);
        EXPECT_LE(imaging.Barcode1DReaderGetBarcodeY4(code128), 60 + height + 2);
      }
    }
  }
}

TEST(BarcodeReader, DataMatrixGivesValueCornersRowsAndColumns) {
  struct Case {
    const char* data;
    const char* options;
    int rows, columns;
  } cases[] = {
      {"123", "--scale=4 --vers=1 --whitesp=4 --vwhitesp=4", 10, 10},
      {"Tessivo DataMatrix 0123456789", "--scale=3 --vers=6 --whitesp=4 --vwhitesp=4", 20, 20},
      // Several data regions: the inner finders and clock tracks must not be taken for the border.
      {"Four regions of data, one symbol", "--scale=3 --vers=13 --whitesp=4 --vwhitesp=4", 44, 44},
      {"Sixteen regions", "--scale=2 --vers=18 --whitesp=4 --vwhitesp=4", 80, 80},
      // Rectangles, upright and turned: rows and columns stay the symbol's own.
      {"Rect 12x26", "--scale=4 --vers=27 --whitesp=4 --vwhitesp=4", 12, 26},
      {"Rect 16x48 turned", "--scale=3 --vers=30 --whitesp=4 --vwhitesp=4 --rotate=90", 16, 48},
      {"AB12", "--scale=5 --vers=25 --whitesp=4 --vwhitesp=4 --rotate=180", 8, 18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    cImaging imaging;
    ASSERT_NE(LoadZint(imaging, "DATAMATRIX", c.data, c.options), 0);
    ASSERT_EQ(imaging.BarcodeDataMatrixReaderDoScan(BarcodeDataMatrixReaderScanModeBestQuality), OK);
    ASSERT_EQ(imaging.BarcodeDataMatrixReaderGetBarcodeCount(), 1);
    EXPECT_EQ(imaging.BarcodeDataMatrixReaderGetBarcodeValue(1), c.data);
    EXPECT_EQ(imaging.BarcodeDataMatrixReaderGetBarcodeRows(1), c.rows);
    EXPECT_EQ(imaging.BarcodeDataMatrixReaderGetBarcodeColumns(1), c.columns);
    const DarkBox box = DarkPixels(imaging);
    const int32_t xs[] = {imaging.BarcodeDataMatrixReaderGetBarcodeX1(1), imaging.BarcodeDataMatrixReaderGetBarcodeX2(1),
                          imaging.BarcodeDataMatrixReaderGetBarcodeX3(1), imaging.BarcodeDataMatrixReaderGetBarcodeX4(1)};
    const int32_t ys[] = {imaging.BarcodeDataMatrixReaderGetBarcodeY1(1), imaging.BarcodeDataMatrixReaderGetBarcodeY2(1),
                          imaging.BarcodeDataMatrixReaderGetBarcodeY3(1), imaging.BarcodeDataMatrixReaderGetBarcodeY4(1)};
    for (int i = 0; i < 4; ++i) {
      EXPECT_TRUE(std::abs(xs[i] - box.left) <= 2 || std::abs(xs[i] - box.right) <= 2) << "corner " << i + 1;
      EXPECT_TRUE(std::abs(ys[i] - box.top) <= 2 || std::abs(ys[i] - box.bottom) <= 2) << "corner " << i + 1;
    }
    // The DataMatrix reader does not report linear symbols, nor the other way round.
    ASSERT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestQuality), OK);
    EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeCount(), 0);
  }
}

// A symbol on a whole 300-dpi page is seen at several scales; the reader must report it once
// and never take the process down comparing the sightings.
TEST(BarcodeReader, ASymbolOnAFullPageIsReadOnceInBothModes) {
  for (auto mode : {Barcode1DReaderScanModeBestSpeed, Barcode1DReaderScanModeBestQuality}) {
    cImaging imaging;
    ASSERT_NE(imaging.CreateNewImage(2480, 3508, 24, kWhite), 0);
    ASSERT_EQ(imaging.BarCodeDrawEAN13("590123412345", 300, 2100, 160), OK);
    ASSERT_EQ(imaging.BarCodeDraw39("CODE39 PAGE", 300, 900, 160), OK);
    ASSERT_EQ(imaging.Barcode1DReaderDoScan(mode), OK);
    ASSERT_EQ(imaging.Barcode1DReaderGetBarcodeCount(), 2);
    std::vector<std::string> values{imaging.Barcode1DReaderGetBarcodeValue(1), imaging.Barcode1DReaderGetBarcodeValue(2)};
    std::sort(values.begin(), values.end());
    EXPECT_EQ(values, (std::vector<std::string>{"5901234123457", "CODE39 PAGE"}));
  }
}

// A filter run on a small image while the whole image is the region must not narrow later scans
// of a larger one to that small image's size.
TEST(BarcodeReader, AWholeImageRegionFollowsTheImageScanned) {
  cImaging imaging;
  ASSERT_NE(imaging.CreateNewImage(40, 30, 24, kWhite), 0);
  ASSERT_EQ(imaging.SetROI(5, 5, 10, 10), OK);
  ASSERT_EQ(imaging.ResetROI(), OK);
  ASSERT_EQ(imaging.FxNegative(), OK);
  ASSERT_NE(imaging.CreateNewImage(900, 400, 24, kWhite), 0);
  ASSERT_EQ(imaging.BarCodeDraw39("WHOLE PAGE", 300, 200, 120), OK);
  ASSERT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestSpeed), OK);
  ASSERT_EQ(imaging.Barcode1DReaderGetBarcodeCount(), 1);
  EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeValue(1), "WHOLE PAGE");
}

TEST(BarcodeReader, DataMatrixSizeSurvivesSmallRotations) {
  for (float angle : {-8.f, 3.f, 11.f}) {
    SCOPED_TRACE(angle);
    cImaging imaging;
    ASSERT_NE(LoadZint(imaging, "DATAMATRIX", "Turned on the page", "--scale=4 --vers=11 --whitesp=6 --vwhitesp=6"), 0);
    ASSERT_EQ(imaging.RotateAngleBackColor(angle, kWhite), OK);
    ASSERT_EQ(imaging.BarcodeDataMatrixReaderDoScan(BarcodeDataMatrixReaderScanModeBestQuality), OK);
    ASSERT_EQ(imaging.BarcodeDataMatrixReaderGetBarcodeCount(), 1);
    EXPECT_EQ(imaging.BarcodeDataMatrixReaderGetBarcodeRows(1), 36);
    EXPECT_EQ(imaging.BarcodeDataMatrixReaderGetBarcodeColumns(1), 36);
  }
}

TEST(BarcodeReader, RegionOfInterestLimitsTheScanAndCornersStayInImagePixels) {
  cImaging imaging;
  ASSERT_NE(imaging.CreateNewImage(900, 500, 24, kWhite), 0);
  ASSERT_EQ(imaging.BarCodeDraw128("LEFT", 40, 40, 60), OK);
  ASSERT_EQ(imaging.BarCodeDraw128("RIGHT", 500, 300, 60), OK);
  ASSERT_EQ(imaging.SetROI(450, 250, 450, 250), OK);
  ASSERT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestSpeed), OK);
  ASSERT_EQ(imaging.Barcode1DReaderGetBarcodeCount(), 1);
  EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeValue(1), "RIGHT");
  EXPECT_NEAR(imaging.Barcode1DReaderGetBarcodeX1(1), 500, 2);
  // A region wholly outside the image finds nothing.
  ASSERT_EQ(imaging.SetROI(5000, 5000, 10, 10), OK);
  EXPECT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestSpeed), OK);
  EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeCount(), 0);
}

TEST(BarcodeReader, NumbersOutsideTheResultsGiveNeutralValuesAndKeepTheStatus) {
  cImaging imaging;
  ASSERT_NE(imaging.CreateNewImage(600, 200, 24, kWhite), 0);
  ASSERT_EQ(imaging.BarCodeDraw128("ONE", 30, 30, 80), OK);
  ASSERT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestSpeed), OK);
  ASSERT_EQ(imaging.Barcode1DReaderGetBarcodeCount(), 1);
  imaging.SetROI(1, 1, 1, 1);  // any status, to see that the getters leave it alone
  const TessivoStatus before = imaging.GetStat();
  for (int32_t n : {0, -1, 2, INT_MIN, INT_MAX}) {
    EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeValue(n), "");
    EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeType(n), Barcode1DReaderNone);
    EXPECT_FALSE(imaging.Barcode1DReaderBarcodeHasChecksum(n));
    EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeSkewAngle(n), 0.0);
    EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeX3(n), 0);
    EXPECT_EQ(imaging.BarcodeDataMatrixReaderGetBarcodeRows(n), 0);
    EXPECT_EQ(imaging.BarcodeDataMatrixReaderGetBarcodeY2(n), 0);
  }
  EXPECT_EQ(imaging.GetStat(), before);
  imaging.Barcode1DReaderClear();
  EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeCount(), 0);
  EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeValue(1), "");
  // Scanning again after a clear makes a new scanner.
  imaging.SetROI(0, 0, 600, 200);
  ASSERT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestSpeed), OK);
  EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeValue(1), "ONE");
}

TEST(BarcodeReader, BlankTinyAndEveryPixelFormatAreScannedSafely) {
  for (int16_t depth : {1, 4, 8, 16, 24, 32, 48, 64}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    cImaging imaging;
    ASSERT_NE(imaging.CreateNewImage(1, 1, depth, kWhite), 0);
    EXPECT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestQuality), OK);
    EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeCount(), 0);
    EXPECT_EQ(imaging.BarcodeDataMatrixReaderDoScan(BarcodeDataMatrixReaderScanModeBestQuality), OK);
    EXPECT_EQ(imaging.BarcodeDataMatrixReaderGetBarcodeCount(), 0);
  }
  cImaging imaging;
  ASSERT_NE(imaging.CreateNewImage(700, 200, 24, kWhite), 0);
  ASSERT_EQ(imaging.BarCodeDraw128("FORMATS", 40, 40, 100), OK);
  for (auto convert : {&cImaging::ConvertTo8BppGrayScale, &cImaging::ConvertTo1Bpp, &cImaging::ConvertTo32BppARGB,
                       &cImaging::ConvertTo48BppRGB}) {
    ASSERT_EQ((imaging.*convert)(), OK);
    ASSERT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestSpeed), OK);
    ASSERT_EQ(imaging.Barcode1DReaderGetBarcodeCount(), 1);
    EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeValue(1), "FORMATS");
  }
}

TEST(BarcodeReader, HostileArgumentsGiveStatuses) {
  cImaging imaging;
  EXPECT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestSpeed), InvalidParameter);  // no image
  EXPECT_EQ(imaging.BarcodeDataMatrixReaderDoScan(BarcodeDataMatrixReaderScanModeBestSpeed), InvalidParameter);
  ASSERT_NE(imaging.CreateNewImage(300, 100, 24, kWhite), 0);
  ASSERT_EQ(imaging.BarCodeDraw128("KEEP", 10, 10, 60), OK);
  ASSERT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestSpeed), OK);
  EXPECT_EQ(imaging.Barcode1DReaderDoScan(static_cast<Barcode1DReaderScanMode>(7)), InvalidParameter);
  EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeValue(1), "KEEP");  // a refused scan keeps the results
  EXPECT_EQ(imaging.BarcodeDataMatrixReaderDoScan(static_cast<BarcodeDataMatrixReaderScanMode>(-1)), InvalidParameter);
  imaging.SetROI(-100, -100, INT_MAX, INT_MAX);  // refused or clipped: never outside the image
  EXPECT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestSpeed), OK);
  EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeValue(1), "KEEP");
}

TEST(BarcodeReaderPlugin, MissingOrTooOldReadersGiveTheirStatusesAndMessages) {
  const std::filesystem::path empty = std::filesystem::temp_directory_path() / "no-plugins";
  std::filesystem::create_directories(empty);
  for (const std::string& dir : {empty.string(), std::string(TESSIVO_OLD_READER_DIR)}) {
    SCOPED_TRACE(dir);
    ScopedEnv env("TESSIVO_PLUGIN_DIR", dir);
    ScopedHost host;
    cImaging imaging;
    ASSERT_NE(imaging.CreateNewImage(300, 100, 24, kWhite), 0);
    EXPECT_EQ(imaging.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestSpeed), BarcodeReader1DPluginNotLoaded);
    EXPECT_EQ(imaging.BarcodeDataMatrixReaderDoScan(BarcodeDataMatrixReaderScanModeBestSpeed),
              BarcodeReaderDataMatrixPluginNotLoaded);
    EXPECT_EQ(imaging.GetStat(), BarcodeReaderDataMatrixPluginNotLoaded);
    EXPECT_EQ(imaging.Barcode1DReaderGetBarcodeCount(), 0);
    ASSERT_EQ(host->messages.size(), 2u);
    const bool missing = dir == empty.string();
    EXPECT_EQ(host->messages[0].title, "Error");
    EXPECT_EQ(host->messages[0].icon, platform::MessageIcon::Critical);
    EXPECT_EQ(host->messages[0].text, missing ? "Can't found tvbarcode.1dreader.dll file."
                                              : "Bad tvbarcode.1dreader.dll version.");
    EXPECT_EQ(host->messages[1].text, missing ? "Can't found tvbarcode.dmreader.dll file."
                                              : "Bad tvbarcode.dmreader.dll version.");
  }
}

}  // namespace
}  // namespace tessivo
