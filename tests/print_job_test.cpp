// Printing through a private CUPS scheduler whose queues write each job's PDF to a file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <regex>
#include <string>

#include "support/cups_daemon.h"
#include "support/pdf_checks.h"
#include "support/scripted_host.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using testing::CupsDaemon;

class PrintJobs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    daemon_ = std::make_unique<CupsDaemon>();
    if (!daemon_->Start(startError_)) daemon_.reset();
  }
  static void TearDownTestSuite() { daemon_.reset(); }
  void SetUp() override {
    ASSERT_TRUE(daemon_) << "the test scheduler did not start: " << startError_;
    completedBefore_ = CompletedJobs();
  }

  static size_t CompletedJobs() {
    std::ifstream in(daemon_->root() + "/log/page_log");
    size_t n = 0;
    for (std::string l; std::getline(in, l);) n += !l.empty();
    return n;
  }
  // The page-log line of the next completed job: queue|job|copies|name|media|sides|colour.
  std::string NextJob() { return daemon_->WaitForCompletedJobs(++completedBefore_); }
  static std::string Info(const std::string& queue) { return testing::PdfInfo(daemon_->OutputOf(queue)); }
  // The first page's size in millimetres.
  static std::pair<double, double> PageMm(const std::string& info) {
    std::smatch m;
    if (!std::regex_search(info, m, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"))) return {0, 0};
    return {std::stod(m[1]) * 25.4 / 72, std::stod(m[2]) * 25.4 / 72};
  }
  static int Pages(const std::string& info) {
    std::smatch m;
    return std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(m[1]) : -1;
  }

  cImaging im;
  size_t completedBefore_ = 0;
  static std::unique_ptr<CupsDaemon> daemon_;
  static std::string startError_;
};
std::unique_ptr<CupsDaemon> PrintJobs::daemon_;
std::string PrintJobs::startError_;

TEST_F(PrintJobs, PrintersAreTheSpoolersDestinations) {
  EXPECT_EQ(im.PrintGetPrintersCount(), 2);
  EXPECT_EQ(im.PrintGetPrinterName(1), "tv-pdf");
  EXPECT_EQ(im.PrintGetPrinterName(2), "tv-pdf-tight");
  EXPECT_EQ(im.PrintGetPrinterName(3), "");
  EXPECT_EQ(im.PrintGetPrinterName(0), "");
  EXPECT_EQ(im.PrintGetActivePrinter(), "tv-pdf");  // the default destination
  // An exact name wins over a longer one it begins; a lower-case prefix selects the first match.
  EXPECT_TRUE(im.PrintSetActivePrinter("  TV-PDF "));
  EXPECT_EQ(im.PrintGetActivePrinter(), "tv-pdf");
  EXPECT_TRUE(im.PrintSetActivePrinter("tv-pdf-t"));
  EXPECT_EQ(im.PrintGetActivePrinter(), "tv-pdf-tight");
  EXPECT_FALSE(im.PrintSetActivePrinter("nothing-like-it"));
  EXPECT_FALSE(im.PrintSetActivePrinter(""));
  EXPECT_EQ(im.PrintGetActivePrinter(), "tv-pdf-tight");
}

TEST_F(PrintJobs, PaperMarginsAndSettingsComeFromTheDestination) {
  EXPECT_EQ(im.PrintGetPaperSize(), 9);  // A4
  EXPECT_NEAR(im.PrintGetPaperWidth(), 210, 0.05);
  EXPECT_NEAR(im.PrintGetPaperHeight(), 297, 0.05);
  float left = -1, top = -1;
  im.PrintGetMargins(left, top);
  EXPECT_NEAR(left, 5, 0.05);
  EXPECT_NEAR(top, 5, 0.05);
  im.PrintSetStdPaperSize(1);  // Letter, with its own margins
  EXPECT_EQ(im.PrintGetPaperSize(), 1);
  EXPECT_NEAR(im.PrintGetPaperWidth(), 215.9, 0.05);
  im.PrintGetMargins(left, top);
  EXPECT_NEAR(left, 6.35, 0.05);
  EXPECT_NEAR(top, 12.7, 0.05);
  im.PrintSetStdPaperSize(8);  // A3: not in this printer's media database
  EXPECT_EQ(im.PrintGetPaperSize(), 1);
  im.PrintSetUserPaperSize(100.5f, 150.0f);
  EXPECT_EQ(im.PrintGetPaperSize(), 256);
  EXPECT_NEAR(im.PrintGetPaperWidth(), 100.5, 0.02);  // whole twips
  im.PrintSetUserPaperSize(-3, 10);
  EXPECT_NEAR(im.PrintGetPaperWidth(), 100.5, 0.02);
  im.PrintSetStdPaperSize(9);

  im.PrintSetOrientation(2);
  EXPECT_EQ(im.PrintGetOrientation(), 2);
  EXPECT_NEAR(im.PrintGetPaperWidth(), 297, 0.05);
  im.PrintSetOrientation(7);
  EXPECT_EQ(im.PrintGetOrientation(), 2);
  EXPECT_EQ(im.PrintGetColorMode(), 2);
  im.PrintSetColorMode(3);
  EXPECT_EQ(im.PrintGetColorMode(), 2);
  im.PrintSetColorMode(1);
  EXPECT_EQ(im.PrintGetColorMode(), 1);
  im.PrintSetCopies(0);
  EXPECT_EQ(im.PrintGetCopies(), 1);
  im.PrintSetQuality(PrintQualityDraft);
  EXPECT_EQ(im.PrintGetQuality(), PrintQualityDraft);
  im.PrintSetQuality(static_cast<PrintQuality>(-9));
  EXPECT_EQ(im.PrintGetQuality(), PrintQualityDraft);
  EXPECT_FALSE(im.PrintSetPaperBin(4));  // the test printer has no trays to choose
  im.PrintSetImageAlignment(static_cast<ViewerImageAlignment>(12));
  EXPECT_EQ(im.PrintGetImageAlignment(), 3);
  EXPECT_EQ(im.PrintGetDocumentName(), "Print Process");
  EXPECT_EQ(im.GetStat(), OK);  // getters and setters leave the status alone
}

TEST_F(PrintJobs, NaturalSizeAtTheImagesResolution) {
  ASSERT_NE(im.CreateNewImage(2480, 3508, 24, static_cast<int32_t>(0xFF000000u)), 0);
  ASSERT_EQ(im.SetHorizontalResolution(300), OK);
  ASSERT_EQ(im.SetVerticalResolution(300), OK);
  im.PrintSetDocumentName("Natural size");
  im.PrintSetCopies(2);
  EXPECT_EQ(im.PrintImageBySize(0, 0, 0, 0), PrinterOK);
  EXPECT_EQ(im.PrintGetStat(), PrinterOK);
  const std::string job = NextJob();
  EXPECT_NE(job.find("tv-pdf|"), std::string::npos) << job;
  EXPECT_NE(job.find("|2|Natural size|iso_a4_210x297mm|one-sided|color"), std::string::npos) << job;
  const std::string info = Info("tv-pdf");
  EXPECT_EQ(Pages(info), 1);
  // The sheet in whole twips: 210 x 297 mm within a hundredth.
  EXPECT_NEAR(PageMm(info).first, 210, 0.05) << info;
  EXPECT_NEAR(PageMm(info).second, 297, 0.05);
  // 2480 pixels over 210 mm is 300 pixels per inch.
  const std::string images = testing::PdfImagesList(daemon_->OutputOf("tv-pdf"));
  EXPECT_TRUE(std::regex_search(images, std::regex(R"(2480\s+3508\s+\w+.*\s300\s+300\s)"))) << images;
}

TEST_F(PrintJobs, FittedImageIsCentredInThePrintableArea) {
  ASSERT_NE(im.CreateNewImage(400, 200, 24, static_cast<int32_t>(0xFF000000u)), 0);
  im.PrintSetImageAlignment(ImageAlignmentMiddleCenter);
  EXPECT_EQ(im.PrintImageFit(), PrinterOK);
  ASSERT_FALSE(NextJob().empty());
  // 200 x 100 mm at (5, 98): rendered at 254 dpi one millimetre is 10 pixels.
  const std::string out = daemon_->OutputOf("tv-pdf");
  EXPECT_GT(testing::RenderedGrey(out, 254, 45, 1500), 200);
  EXPECT_LT(testing::RenderedGrey(out, 254, 55, 1500), 50);
  EXPECT_LT(testing::RenderedGrey(out, 254, 2045, 1500), 50);
  EXPECT_GT(testing::RenderedGrey(out, 254, 2055, 1500), 200);
  EXPECT_GT(testing::RenderedGrey(out, 254, 1000, 975), 200);
  EXPECT_LT(testing::RenderedGrey(out, 254, 1000, 985), 50);
  EXPECT_LT(testing::RenderedGrey(out, 254, 1000, 1975), 50);
  EXPECT_GT(testing::RenderedGrey(out, 254, 1000, 1985), 200);
}

TEST_F(PrintJobs, PageRangeOfAMultiPageTiff) {
  const std::string dir = daemon_->root() + "/pages";
  std::filesystem::create_directories(dir);
  std::string files;
  for (int i = 1; i <= 5; ++i) {
    ASSERT_NE(im.CreateNewImage(100 + i, 100, 24, static_cast<int32_t>(0xFF202020u)), 0);
    const std::string f = dir + "/p" + std::to_string(i) + ".tif";
    ASSERT_EQ(im.SaveAsTIFF(f), OK);
    files += " '" + f + "'";
  }
  ASSERT_EQ(std::system(("tiffcp" + files + " '" + dir + "/doc.tif'").c_str()), 0);
  ASSERT_NE(im.CreateImageFromFile(dir + "/doc.tif"), 0);

  EXPECT_EQ(im.PrintSetFromToPage(3, 2), InvalidParameter);
  EXPECT_EQ(im.PrintSetFromToPage(-1, 4), InvalidParameter);
  EXPECT_EQ(im.PrintSetFromToPage(2, 9), OK);  // stops at the last page
  EXPECT_EQ(im.PrintImage(), PrinterOK);
  ASSERT_FALSE(NextJob().empty());
  EXPECT_EQ(Pages(Info("tv-pdf")), 4);
  EXPECT_EQ(im.GetWidth(), 101);  // the document shows the page it showed before

  EXPECT_EQ(im.PrintSetFromToPage(0, 0), OK);  // the current page only
  EXPECT_EQ(im.PrintImage(), PrinterOK);
  ASSERT_FALSE(NextJob().empty());
  EXPECT_EQ(Pages(Info("tv-pdf")), 1);
}

TEST_F(PrintJobs, LandscapeSheetsAndJobAttributes) {
  ASSERT_NE(im.CreateNewImage(300, 200, 24, static_cast<int32_t>(0xFF000000u)), 0);
  im.PrintSetOrientation(2);
  im.PrintSetDuplexMode(3);
  im.PrintSetColorMode(1);
  EXPECT_EQ(im.PrintImage(), PrinterOK);
  const std::string job = NextJob();
  EXPECT_NE(job.find("|Print Process|iso_a4_210x297mm|two-sided-short-edge|monochrome"), std::string::npos) << job;
  const std::string info = Info("tv-pdf");
  EXPECT_NEAR(PageMm(info).first, 297, 0.05) << info;
  EXPECT_NEAR(PageMm(info).second, 210, 0.05);
}

TEST_F(PrintJobs, RefusedRequestsAndBrokenPrinters) {
  EXPECT_EQ(im.PrintImage(), PrinterUnexpectedError);  // no native image
  EXPECT_EQ(im.GetStat(), GenericError);
  EXPECT_FALSE(im.PrintImage2Printer("tv-pdf"));
  ASSERT_NE(im.CreateNewImage(50, 50, 24, static_cast<int32_t>(0xFF000000u)), 0);
  EXPECT_EQ(im.PrintImageBySize(-1, 0, 10, 10), PrinterUnexpectedError);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  EXPECT_EQ(im.PrintImageBySize(0, 0, 10, std::numeric_limits<float>::quiet_NaN()), PrinterUnexpectedError);
  // Margins wider than half the sheet: nothing to fit into, and no job is sent.
  ASSERT_TRUE(im.PrintSetActivePrinter("tv-pdf-tight"));
  EXPECT_EQ(im.PrintImageFit(), PrinterUnexpectedError);
  EXPECT_EQ(im.GetStat(), InvalidParameter);
  // ...but printing at a given size needs no printable area.
  EXPECT_TRUE(im.PrintImageBySize2Printer("tv-pdf-tight", 0, 0, 20, 20));
  EXPECT_EQ(im.PrintGetStat(), PrinterOK);
  ASSERT_FALSE(NextJob().empty());

  // A stopped queue gets no job; once started again it prints.
  ASSERT_EQ(daemon_->Run("cupsdisable tv-pdf"), 0);
  EXPECT_TRUE(im.PrintImage2Printer("tv-pdf"));
  EXPECT_EQ(im.PrintGetStat(), PrinterUnexpectedError);
  ASSERT_EQ(daemon_->Run("cupsenable tv-pdf"), 0);
  EXPECT_EQ(im.PrintImage(), PrinterOK);
  ASSERT_FALSE(NextJob().empty());
  // A queue refusing jobs, and one removed while selected.
  ASSERT_EQ(daemon_->Run("cupsreject tv-pdf"), 0);
  EXPECT_EQ(im.PrintImage(), PrinterUnexpectedError);
  ASSERT_EQ(daemon_->Run("cupsaccept tv-pdf"), 0);
  ASSERT_TRUE(im.PrintSetActivePrinter("tv-pdf-tight"));
  ASSERT_EQ(daemon_->Run("lpadmin -x tv-pdf-tight"), 0);
  EXPECT_EQ(im.PrintImageBySize(0, 0, 20, 20), PrinterUnexpectedError);
  EXPECT_EQ(im.PrintGetPrintersCount(), 1);
  ASSERT_EQ(daemon_->Run("lpadmin -p tv-pdf-tight -E -v file:" + daemon_->root() + "/out/tv-pdf-tight.pdf -P " +
                         daemon_->root() + "/ppd-tight.ppd -o media-default=iso_a4_210x297mm"),
            0);
  // No job was left queued by any of the failures.
  EXPECT_EQ(daemon_->Run("sh -c 'test -z \"$(lpstat -o)\"'"), 0);
}

TEST_F(PrintJobs, DialogAppliesTheUsersChoice) {
  ASSERT_NE(im.CreateNewImage(100, 100, 24, static_cast<int32_t>(0xFF000000u)), 0);
  {
    // Headless: the dialog is cancelled and nothing prints.
    EXPECT_FALSE(im.PrintImageDialog());
  }
  testing::ScopedHost host;
  host->printDialog = [](platform::PrintDialogSettings& s) {
    s.copies = 3;
    s.orientation = 2;
    return true;
  };
  EXPECT_TRUE(im.PrintImageDialogFit());
  ASSERT_TRUE(host->dialogShown);
  EXPECT_EQ(host->dialogShown->printer, "tv-pdf");
  EXPECT_EQ(host->dialogShown->printers.size(), 2u);
  const std::string job = NextJob();
  EXPECT_NE(job.find("|3|Print Process|"), std::string::npos) << job;
  EXPECT_EQ(im.PrintGetCopies(), 3);  // kept for later jobs
  EXPECT_EQ(im.PrintGetOrientation(), 2);
  host->printDialog = nullptr;
  EXPECT_FALSE(im.PrintImageDialogBySize(0, 0, 10, 10));
}

}  // namespace
}  // namespace tessivo
