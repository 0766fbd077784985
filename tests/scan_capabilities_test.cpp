// Capabilities, batches, dialogs and scan-to-PDF jobs through the tvtwain plug-in against SANE's
// test backend, each test with its own SANE configuration.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "support/pdf_checks.h"
#include "support/scripted_host.h"
#include "tessivo/imaging.h"

namespace fs = std::filesystem;
using namespace tessivo;

namespace {

class ScanCaps : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(fs::exists("/usr/bin/scanimage")) << "sane-utils is needed";
    dir_ = fs::temp_directory_path() / ("sane-caps-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    std::ofstream(dir_ / "dll.conf") << "test\n";
    std::ofstream(dir_ / "test.conf") << "number_of_devices 2\nresolution 25.0\n";
    ::setenv("SANE_CONFIG_DIR", dir_.c_str(), 1);
    ::setenv("TESSIVO_PLUGIN_DIR", TESSIVO_BINARY_DIR "/lib", 1);
    ASSERT_TRUE(img_.TwainOpenSource("test:0"));
  }
  void TearDown() override {
    img_.TwainDisableAutoSourceClose(true);
    img_.TwainSetMultiTransfer(false);
    img_.TwainUnloadSourceManager();  // the session is process-wide
    fs::remove_all(dir_);
  }
  // Width and height of the page scanimage makes with `args` at 25 dpi.
  std::pair<int, int> ScanimageSize(const std::string& args) {
    const fs::path out = dir_ / "ref.pnm";
    // scanimage now and then deadlocks in the dynamic loader while unloading its backends at
    // exit, after the page is written: it gets a minute, and a complete page is what counts.
    const std::string cmd = "timeout -k 5 60 scanimage -d test:0 --format=pnm --resolution 25 " + args + " > " +
                            out.string();
    const int rc = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(rc) && (WEXITSTATUS(rc) == 0 || WEXITSTATUS(rc) == 124)) << cmd;
    std::ifstream in(out);
    std::string magic;
    int w = 0, h = 0;
    in >> magic;
    while (in >> std::ws && in.peek() == '#') in.ignore(1 << 20, '\n');
    in >> w >> h;
    return {w, h};
  }
  TwainConditionCode Condition() { return img_.TwainGetLastConditionCode(); }

  fs::path dir_;
  tessivo::testing::ScopedHost host_;
  cImaging img_;
};

TEST_F(ScanCaps, OfferedValuesFollowTheDevice) {
  SafeArray<int32_t> types;
  EXPECT_EQ(img_.TwainGetAvailablePixelTypes(types), 3);  // Gray at 1 bit is black and white
  EXPECT_EQ(types.storage(), (std::vector<int32_t>{TWPT_BW, TWPT_GRAY, TWPT_RGB}));
  EXPECT_TRUE(img_.TwainIsPixelTypeAvailable(TWPT_RGB));
  EXPECT_FALSE(img_.TwainIsPixelTypeAvailable(TWPT_CMYK));
  EXPECT_EQ(img_.TwainGetAvailablePixelTypeNo(4), 0);

  SafeArray<int32_t> depths;
  EXPECT_EQ(img_.TwainGetAvailableBitDepths(depths), 2);
  EXPECT_EQ(depths.storage(), (std::vector<int32_t>{8, 16}));
  ASSERT_TRUE(img_.TwainSetCurrentPixelType(TWPT_RGB));
  EXPECT_EQ(img_.TwainGetAvailableBitDepthNo(2), 48);
  ASSERT_TRUE(img_.TwainSetCurrentPixelType(TWPT_BW));
  EXPECT_EQ(img_.TwainGetAvailableBitDepthsCount(), 1);

  // 1..1200 dpi in steps of 1, listed value by value.
  EXPECT_EQ(img_.TwainGetAvailableXResolutionsCount(), 1200);
  EXPECT_EQ(img_.TwainGetAvailableCapValuesCount(ICAP_YRESOLUTION), 1200);
  EXPECT_DOUBLE_EQ(img_.TwainGetAvailableXResolutionNo(1), 1);
  EXPECT_DOUBLE_EQ(img_.TwainGetAvailableXResolutionNo(1200), 1200);
  EXPECT_DOUBLE_EQ(img_.TwainGetAvailableXResolutionNo(1201), 0);
  EXPECT_DOUBLE_EQ(img_.TwainGetAvailableYResolutionNo(0), 0);
  double lo = 0, hi = 0, step = 0;
  ASSERT_TRUE(img_.TwainGetCapRangeNumeric(ICAP_XRESOLUTION, lo, hi, step));
  EXPECT_EQ(std::vector<double>({lo, hi, step}), std::vector<double>({1, 1200, 1}));
  EXPECT_FALSE(img_.TwainGetCapRangeNumeric(ICAP_PIXELTYPE, lo, hi, step));  // a list
  EXPECT_EQ(img_.TwainGetCapItemType(ICAP_XRESOLUTION), TWTY_FIX32);
  EXPECT_EQ(img_.TwainGetCapItemType(CAP_FEEDERENABLED), TWTY_BOOL);

  SafeArray<int32_t> mechanisms;
  EXPECT_EQ(img_.TwainGetAvailableCapValuesCount(ICAP_XFERMECH), 2);
  EXPECT_FALSE(img_.TwainIsFileTransferModeAvailable());
  EXPECT_EQ(img_.TwainGetAvailableCompressionCount(), 1);
  EXPECT_EQ(img_.TwainGetCurrentCompression(), TWCP_NONE);
  EXPECT_FALSE(img_.TwainSetCurrentCompression(TWCP_JPEG));
  EXPECT_EQ(Condition(), TWCC_BADVALUE);

  // 200 x 200 mm: A6 and smaller fit, A5 does not.
  EXPECT_NEAR(img_.TwainGetPhysicalWidth(), 200 / 25.4, 1e-3);
  EXPECT_NEAR(img_.TwainGetPhysicalHeight(), 200 / 25.4, 1e-3);
  SafeArray<int32_t> sizes;
  const int32_t n = img_.TwainGetAvailablePaperSize(sizes);
  ASSERT_GT(n, 2);
  EXPECT_EQ(img_.TwainGetAvailablePaperSizeNo(1), TWSS_NONE);
  const std::vector<int32_t>& s = sizes.storage();
  EXPECT_NE(std::find(s.begin(), s.end(), TWSS_A6), s.end());
  EXPECT_EQ(std::find(s.begin(), s.end(), TWSS_A5), s.end());
  EXPECT_EQ(std::find(s.begin(), s.end(), TWSS_A4), s.end());
}

TEST_F(ScanCaps, CapabilitiesWithoutADeviceCounterpartAreRefused) {
  EXPECT_EQ(img_.TwainGetAvailableBrightnessCount(), 0);
  EXPECT_EQ(Condition(), TWCC_CAPUNSUPPORTED);
  EXPECT_FALSE(img_.TwainSetCurrentBrightness(100));
  EXPECT_EQ(Condition(), TWCC_CAPUNSUPPORTED);
  EXPECT_DOUBLE_EQ(img_.TwainGetCurrentContrast(), 0);
  EXPECT_FALSE(img_.TwainSetCurrentThreshold(128));
  for (bool available : {img_.TwainIsAutomaticDeskewAvailable(), img_.TwainIsAutoScanAvailable(),
                         img_.TwainIsBarcodeDetectionAvailable(), img_.TwainIsAutoSizeAvailable(),
                         img_.TwainIsAutomaticRotationAvailable(), img_.TwainHasCameraPreviewUI()})
    EXPECT_FALSE(available);
  EXPECT_FALSE(img_.TwainSetAutomaticDeskew(true));
  EXPECT_EQ(Condition(), TWCC_CAPUNSUPPORTED);
  EXPECT_FALSE(img_.TwainSetAutoFeed(true));
  EXPECT_EQ(img_.TwainGetAvailableImageFileFormatCount(), 0);
  EXPECT_FALSE(img_.TwainEnableDuplex(true));
  EXPECT_EQ(Condition(), TWCC_CAPUNSUPPORTED);
  EXPECT_EQ(img_.TwainGetDuplexMode(), 0);
  EXPECT_FALSE(img_.TwainIsDuplexEnabled());
  EXPECT_EQ(img_.TwainBarCodeGetCount(), 0);
  EXPECT_EQ(img_.TwainBarCodeGetValue(1), "");
  EXPECT_EQ(img_.TwainBarCodeGetXPos(0), 0);
  // Nothing answers once the source is closed.
  ASSERT_TRUE(img_.TwainCloseSource());
  EXPECT_EQ(img_.TwainGetAvailablePixelTypesCount(), 0);
  EXPECT_EQ(Condition(), TWCC_SEQERROR);
}

TEST_F(ScanCaps, NumericValuesOutsideTheirItemTypeAreRefusedNotWrapped) {
  ASSERT_TRUE(img_.TwainSetCurrentPixelType(TWPT_GRAY));
  // 65538 would wrap to 2 (RGB) in a 16-bit container.
  EXPECT_FALSE(img_.TwainSetCapCurrentNumeric(ICAP_PIXELTYPE, TWTY_UINT16, 65538));
  EXPECT_EQ(Condition(), TWCC_BADVALUE);
  EXPECT_EQ(img_.TwainGetCurrentPixelType(), TWPT_GRAY);
  EXPECT_FALSE(img_.TwainSetCapCurrentNumeric(ICAP_XRESOLUTION, TWTY_FIX32, 70000));
  EXPECT_FALSE(img_.TwainSetCapCurrentNumeric(ICAP_XRESOLUTION, TWTY_INT8, 300));
  EXPECT_FALSE(img_.TwainSetCapCurrentNumeric(ICAP_XRESOLUTION, TWTY_STR32, 300));
  EXPECT_DOUBLE_EQ(img_.TwainGetCurrentResolution(), 25);
  EXPECT_TRUE(img_.TwainSetCapCurrentNumeric(ICAP_XRESOLUTION, TWTY_FIX32, 300));
  double dpi = 0;
  ASSERT_TRUE(img_.TwainGetCapCurrentNumeric(ICAP_YRESOLUTION, dpi));
  EXPECT_DOUBLE_EQ(dpi, 300);
  // Reset goes back to what the source had when it was opened.
  ASSERT_TRUE(img_.TwainSetCurrentPixelType(TWPT_RGB));
  EXPECT_TRUE(img_.TwainResetCap(ICAP_XRESOLUTION));
  EXPECT_TRUE(img_.TwainResetCap(ICAP_PIXELTYPE));
  EXPECT_DOUBLE_EQ(img_.TwainGetCurrentResolution(), 25);
  EXPECT_EQ(img_.TwainGetCurrentPixelType(), TWPT_GRAY);
  EXPECT_FALSE(img_.TwainResetCap(ICAP_AUTOMATICDESKEW));
  EXPECT_FALSE(img_.TwainSetXferCount(0));
  EXPECT_TRUE(img_.TwainSetXferCount(3));
  double count = 0;
  EXPECT_TRUE(img_.TwainGetCapCurrentNumeric(CAP_XFERCOUNT, count));
  EXPECT_EQ(count, 3);
}

TEST_F(ScanCaps, StringCapabilities) {
  EXPECT_TRUE(img_.TwainSetCapCurrentString(CAP_AUTHOR, TWTY_STR255, "Ann Example"));
  std::string author;
  ASSERT_TRUE(img_.TwainGetCapCurrentString(CAP_AUTHOR, author));
  EXPECT_EQ(author, "Ann Example");
  EXPECT_EQ(img_.TwainGetAvailableCapValuesCount(CAP_AUTHOR), 1);
  EXPECT_EQ(img_.TwainGetAvailableCapValueNoString(CAP_AUTHOR, 1), "Ann Example");
  EXPECT_EQ(img_.TwainGetAvailableCapValueNoString(CAP_AUTHOR, 2), "");
  EXPECT_FALSE(img_.TwainSetCapCurrentString(CAP_CAPTION, TWTY_STR32, std::string(33, 'x')));
  EXPECT_EQ(Condition(), TWCC_BADVALUE);
  EXPECT_FALSE(img_.TwainSetCapCurrentNumeric(CAP_AUTHOR, TWTY_UINT16, 1));
  std::string stamp;
  EXPECT_FALSE(img_.TwainGetCapCurrentString(CAP_TIMEDATE, stamp));  // nothing scanned yet
  ASSERT_NE(img_.TwainAcquireToTessivoImage(), 0);
  ASSERT_TRUE(img_.TwainGetCapCurrentString(CAP_TIMEDATE, stamp));
  EXPECT_EQ(stamp.size(), 23u) << stamp;  // YYYY/MM/DD HH:mm:SS.sss
}

TEST_F(ScanCaps, LayoutAndPaperSizeShapeTheScan) {
  ASSERT_TRUE(img_.TwainSetPaperSize(TWSS_A6));
  EXPECT_EQ(img_.TwainGetPaperSize(), TWSS_A6);
  double l = -1, t = -1, r = 0, b = 0;
  ASSERT_TRUE(img_.TwainGetImageLayout(l, t, r, b));
  EXPECT_NEAR(r, 105 / 25.4, 0.03);
  EXPECT_NEAR(b, 148 / 25.4, 0.03);
  int32_t id = img_.TwainAcquireToTessivoImage();
  ASSERT_NE(id, 0);
  auto a6 = ScanimageSize("-l 0 -t 0 -x 105 -y 148");
  EXPECT_EQ(ResolveImage(id)->Width(), a6.first);
  EXPECT_EQ(ResolveImage(id)->Height(), a6.second);
  EXPECT_FALSE(img_.TwainSetPaperSize(TWSS_A4));
  EXPECT_EQ(Condition(), TWCC_BADVALUE);

  ASSERT_TRUE(img_.TwainSetImageLayout(1, 0.5, 3, 4));
  EXPECT_EQ(img_.TwainGetPaperSize(), TWSS_NONE);
  ASSERT_TRUE(img_.TwainGetImageLayout(l, t, r, b));
  EXPECT_NEAR(l, 1, 0.03);
  EXPECT_NEAR(t, 0.5, 0.03);
  id = img_.TwainAcquireToTessivoImage();
  ASSERT_NE(id, 0);
  auto area = ScanimageSize("-l 25 -t 13 -x 51 -y 89");  // the same area snapped to whole mm
  EXPECT_EQ(ResolveImage(id)->Width(), area.first);
  EXPECT_EQ(ResolveImage(id)->Height(), area.second);
  EXPECT_FALSE(img_.TwainSetImageLayout(0, 0, 9, 1));  // wider than the device
  EXPECT_FALSE(img_.TwainSetImageLayout(3, 0, 1, 1));  // inverted
  EXPECT_FALSE(img_.TwainSetImageLayout(NAN, 0, 1, 1));
  ASSERT_TRUE(img_.TwainResetImageLayout());
  ASSERT_TRUE(img_.TwainGetImageLayout(l, t, r, b));
  EXPECT_EQ(std::vector<double>({l, t}), std::vector<double>({0, 0}));
  EXPECT_NEAR(r, 200 / 25.4, 1e-3);
}

TEST_F(ScanCaps, FeederBatchRunsUntilTheFeederIsEmpty) {
  EXPECT_TRUE(img_.TwainHasFeeder());
  EXPECT_TRUE(img_.TwainHasFlatBed());
  EXPECT_FALSE(img_.TwainIsFeederSelected());  // probing put the flatbed back
  EXPECT_FALSE(img_.TwainIsFeederLoaded());
  ASSERT_TRUE(img_.TwainSelectFeeder(true));
  EXPECT_TRUE(img_.TwainIsFeederSelected());
  EXPECT_TRUE(img_.TwainIsFeederLoaded());
  ASSERT_TRUE(img_.TwainSetMultiTransfer(true));
  ASSERT_TRUE(img_.TwainSetXferCount(-1));
  for (int page = 1; page <= 10; ++page) {
    ASSERT_NE(img_.TwainAcquireToTessivoImage(), 0) << "page " << page;
    EXPECT_EQ(img_.TwainGetState(), TWAIN_TRANSFERRING);
    ASSERT_TRUE(img_.TwainEndXfer());
    EXPECT_EQ(img_.TwainGetState(), TWAIN_TRANSFER_READY);
  }
  EXPECT_EQ(img_.TwainAcquireToTessivoImage(), 0);
  EXPECT_EQ(img_.GetStat(), TwainTransferError);
  EXPECT_EQ(Condition(), TWCC_NOMEDIA);
  EXPECT_FALSE(img_.TwainIsFeederLoaded());
  EXPECT_EQ(img_.TwainGetState(), TWAIN_SOURCE_OPEN);
}

TEST_F(ScanCaps, BatchStatesAndAutomaticClose) {
  EXPECT_FALSE(img_.TwainEndXfer());
  EXPECT_EQ(Condition(), TWCC_SEQERROR);
  EXPECT_FALSE(img_.TwainDisableSource());
  ASSERT_TRUE(img_.TwainSetMultiTransfer(true));
  ASSERT_TRUE(img_.TwainSetXferCount(2));
  ASSERT_NE(img_.TwainAcquireToTessivoImage(), 0);
  EXPECT_FALSE(img_.TwainSetCurrentResolution(50));  // not while the batch runs
  EXPECT_FALSE(img_.TwainSetMultiTransfer(false));
  ASSERT_TRUE(img_.TwainEndXfer());
  ASSERT_NE(img_.TwainAcquireToTessivoImage(), 0);
  ASSERT_TRUE(img_.TwainEndXfer());  // the last of two
  EXPECT_EQ(img_.TwainGetState(), TWAIN_SOURCE_OPEN);
  ASSERT_NE(img_.TwainAcquireToTessivoImage(), 0);
  EXPECT_TRUE(img_.TwainEndAllXfers());
  EXPECT_EQ(img_.TwainGetState(), TWAIN_SOURCE_OPEN);
  ASSERT_NE(img_.TwainAcquireToTessivoImage(), 0);
  EXPECT_TRUE(img_.TwainDisableSource());
  EXPECT_EQ(img_.TwainGetState(), TWAIN_SOURCE_OPEN);

  ASSERT_TRUE(img_.TwainSetMultiTransfer(false));
  ASSERT_TRUE(img_.TwainDisableAutoSourceClose(false));
  ASSERT_NE(img_.TwainAcquireToTessivoImage(), 0);
  EXPECT_EQ(img_.TwainGetState(), TWAIN_SM_OPEN);  // closed after its transfer
  EXPECT_EQ(img_.TwainAcquireToTessivoImage(), 0);
}

TEST_F(ScanCaps, DialogsGoThroughTheHost) {
  ASSERT_TRUE(img_.TwainCloseSource());
  EXPECT_FALSE(img_.TwainShowSetupDialogSource());
  EXPECT_EQ(Condition(), TWCC_SEQERROR);
  EXPECT_FALSE(img_.TwainSelectSource());  // the host cancels
  EXPECT_EQ(img_.TwainGetLastResultCode(), TWRC_CANCEL);
  EXPECT_EQ(host_->scanSourcesShown, (std::vector<std::string>{"test:0", "test:1"}));
  host_->scanSourceChoice = 1;
  ASSERT_TRUE(img_.TwainSelectSource());
  EXPECT_EQ(img_.TwainGetDefaultSourceName(), "test:1");
  ASSERT_TRUE(img_.TwainOpenDefaultSource());
  EXPECT_EQ(img_.TwainGetCurrentSourceName(), "test:1");
  EXPECT_FALSE(img_.TwainShowSetupDialogSource());
  EXPECT_EQ(host_->setupShownFor, "test:1");
  host_->setupAnswer = true;
  EXPECT_TRUE(img_.TwainShowSetupDialogSource());
  host_->scanSourceChoice = 7;  // not on the list
  EXPECT_FALSE(img_.TwainSelectSource());
}

TEST_F(ScanCaps, LogRecordsEventsWhileStarted) {
  const fs::path log = dir_ / "scan.log";
  EXPECT_FALSE(img_.TwainLogStart(""));
  EXPECT_FALSE(img_.TwainLogStart((dir_ / "absent" / "x.log").string()));
  EXPECT_FALSE(img_.TwainLogStop());
  ASSERT_TRUE(img_.TwainLogStart(log.string()));
  EXPECT_TRUE(img_.TwainSetApplicationInfo(2, 1, TWLG_ENG, TWCY_ANDORRA, "2.1", "Example Ltd",
                                           "Tools", "Scanner Demo"));
  ASSERT_NE(img_.TwainAcquireToTessivoImage(), 0);
  EXPECT_FALSE(img_.TwainSetCurrentPixelType(TWPT_CMYK));
  ASSERT_TRUE(img_.TwainLogStop());
  const std::string text = tessivo::testing::ReadText(log.string());
  EXPECT_NE(text.find("Scanner Demo"), std::string::npos) << text;
  EXPECT_NE(text.find("page transferred"), std::string::npos) << text;
  EXPECT_NE(text.find("condition code 10"), std::string::npos) << text;
  const auto size = fs::file_size(log);
  ASSERT_NE(img_.TwainAcquireToTessivoImage(), 0);
  EXPECT_EQ(fs::file_size(log), size);
  EXPECT_TRUE(img_.TwainSetIndicators(false));
  double shown = 1;
  ASSERT_TRUE(img_.TwainGetCapCurrentNumeric(CAP_INDICATORS, shown));
  EXPECT_EQ(shown, 0);
}

TEST_F(ScanCaps, ScannedPagesBecomeAPdfDocument) {
  const fs::path pdf = dir_ / "scan.pdf";
  EXPECT_EQ(img_.TwainPdfStop(), TwainPdfMustBeCreatedFirst);
  EXPECT_EQ(img_.TwainAddTessivoImageToPdf(1), TwainPdfMustBeCreatedFirst);
  ASSERT_EQ(img_.TwainPdfStart(pdf.string(), "Scanned"), OK);
  EXPECT_EQ(img_.TwainAddTessivoImageToPdf(0), InvalidParameter);
  EXPECT_EQ(img_.TwainAddTessivoImageToPdf(987654), PdfErrorAddingImage);
  ASSERT_TRUE(img_.TwainSetCurrentPixelType(TWPT_RGB));
  const int32_t first = img_.TwainAcquireToTessivoImage();
  ASSERT_TRUE(img_.TwainSetPaperSize(TWSS_A7));
  ASSERT_TRUE(img_.TwainSetCurrentPixelType(TWPT_GRAY));
  const int32_t second = img_.TwainAcquireToTessivoImage();
  ASSERT_NE(first, 0);
  ASSERT_NE(second, 0);
  EXPECT_EQ(img_.TwainAddTessivoImageToPdf(first), OK);
  EXPECT_EQ(img_.TwainAddTessivoImageToPdf(second), OK);
  EXPECT_EQ(img_.TwainPdfStop(), OK);
  EXPECT_EQ(img_.TwainPdfStop(), TwainPdfMustBeCreatedFirst);
  EXPECT_TRUE(tessivo::testing::PdfIsValid(pdf.string()));
  EXPECT_TRUE(std::regex_search(tessivo::testing::PdfInfo(pdf.string()), std::regex("Pages: +2")));
  // pdfimages -list: page, number, type, width, height, colour ... one row per image.
  const std::string images = tessivo::testing::PdfImagesList(pdf.string());
  int page = 0;
  for (int32_t id : {first, second}) {
    const platform::Bitmap* b = ResolveImage(id);
    ++page;
    const std::string row = "\\s+" + std::to_string(page) + "\\s+\\d+\\s+image\\s+" +
                            std::to_string(b->Width()) + "\\s+" + std::to_string(b->Height()) +
                            "\\s+" + (page == 1 ? "rgb" : "(gray|index)");
    EXPECT_TRUE(std::regex_search(images, std::regex(row))) << row << "\n" << images;
  }

  // The file exists now: a new job there is refused and the document stays.
  EXPECT_EQ(img_.TwainPdfStart(pdf.string()), CanNotCreateFile);
  EXPECT_TRUE(tessivo::testing::PdfIsValid(pdf.string()));
  // A job without pages leaves no file, nor does one dropped by a new start.
  const fs::path empty = dir_ / "empty.pdf", dropped = dir_ / "dropped.pdf";
  ASSERT_EQ(img_.TwainPdfStartEx(dropped.string()), OK);
  ASSERT_EQ(img_.TwainAddTessivoImageToPdf(first), OK);
  ASSERT_EQ(img_.TwainPdfStartEx(empty.string()), OK);
  EXPECT_EQ(img_.TwainPdfStop(), OK);
  EXPECT_FALSE(fs::exists(empty));
  EXPECT_FALSE(fs::exists(dropped));
}

}  // namespace
