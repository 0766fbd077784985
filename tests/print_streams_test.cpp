// Printing images as their encoded streams: JPEG files and CCITT pages of TIFF documents are
// carried into the job's PDF byte for byte while they stand for the pixels, and rendered as
// soon as anything (pixels, file) changed. Jobs go through a private CUPS scheduler.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "platform/codecs/tiff_raw_pages.h"
#include "platform/print/pdf_job_writer.h"
#include "support/cups_daemon.h"
#include "support/pdf_checks.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using testing::CupsDaemon;
using testing::RunCommand;
using testing::ShellQuote;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class PrintStreams : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    daemon_ = std::make_unique<CupsDaemon>();
    if (!daemon_->Start(startError_)) daemon_.reset();
  }
  static void TearDownTestSuite() { daemon_.reset(); }
  void SetUp() override {
    ASSERT_TRUE(daemon_) << "the test scheduler did not start: " << startError_;
    dir_ = daemon_->root() + "/streams-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(dir_);
    std::ifstream in(daemon_->root() + "/log/page_log");
    for (std::string l; std::getline(in, l);) completed_ += !l.empty();
  }
  void Make(const std::string& command) { ASSERT_EQ(RunCommand(command).exitCode, 0) << command; }
  // Prints and returns the job's PDF (copied, so later jobs leave it alone).
  std::string PrintJob(bool fit = false) {
    EXPECT_EQ(fit ? im.PrintImageFit() : im.PrintImage(), PrinterOK);
    EXPECT_FALSE(daemon_->WaitForCompletedJobs(++completed_).empty());
    const std::string copy = dir_ + "/job" + std::to_string(completed_) + ".pdf";
    std::filesystem::copy_file(daemon_->OutputOf("tv-pdf"), copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
  }
  // The encodings of the job's images as pdfimages lists them ("jpeg", "ccitt", "image").
  static std::vector<std::string> Encodings(const std::string& pdf) {
    std::vector<std::string> out;
    const std::string list = testing::PdfImagesList(pdf);
    std::regex row(R"(\n\s*\d+\s+\d+\s+image\s+\d+\s+\d+\s+\w+\s+\d+\s+\d+\s+(\w+))");
    for (std::sregex_iterator it(list.begin(), list.end(), row), end; it != end; ++it) out.push_back((*it)[1]);
    return out;
  }

  cImaging im;
  std::string dir_;
  size_t completed_ = 0;
  static std::unique_ptr<CupsDaemon> daemon_;
  static std::string startError_;
};
std::unique_ptr<CupsDaemon> PrintStreams::daemon_;
std::string PrintStreams::startError_;

TEST_F(PrintStreams, JpegStreamIsCarriedOnlyWhileFileAndPixelsAreUnchanged) {
  const std::string jpg = dir_ + "/photo.jpg";
  // Dark on the left half, light on the right: where it lands shows the page renders right.
  Make("convert -size 400x200 xc:'#101010' -fill '#f0f0f0' -draw 'rectangle 200,0 399,199' -quality 90 " +
       ShellQuote(jpg));
  const int32_t id = im.CreateImageFromFile(jpg);
  ASSERT_NE(id, 0);
  std::string pdf = PrintJob(true);
  ASSERT_EQ(Encodings(pdf), std::vector<std::string>{"jpeg"});
  ASSERT_EQ(RunCommand("pdfimages -j " + ShellQuote(pdf) + " " + ShellQuote(dir_ + "/x")).exitCode, 0);
  EXPECT_EQ(Bytes(dir_ + "/x-000.jpg"), Bytes(jpg));
  // Fitted to A4's printable 200 mm from the corner (5 mm, 5 mm), 100 mm high; at 254 dpi one
  // millimetre is 10 pixels.
  EXPECT_LT(testing::RenderedGrey(pdf, 254, 500, 500), 60);
  EXPECT_GT(testing::RenderedGrey(pdf, 254, 1500, 500), 200);

  // A pixel written through the bitmap's memory, unannounced: the job shows it.
  platform::Bitmap* image = ImageRegistry::Current().Resolve(id);
  ASSERT_NE(image, nullptr);
  image->Row(0)[0] ^= 0x40;
  EXPECT_EQ(Encodings(PrintJob(true)), std::vector<std::string>{"image"});
  image->Row(0)[0] ^= 0x40;  // the very pixels of the file again
  EXPECT_EQ(Encodings(PrintJob(true)), std::vector<std::string>{"jpeg"});
  // A filter: the negative prints, not the stale stream.
  ASSERT_EQ(im.FxNegative(), OK);
  pdf = PrintJob(true);
  EXPECT_EQ(Encodings(pdf), std::vector<std::string>{"image"});
  EXPECT_GT(testing::RenderedGrey(pdf, 254, 500, 500), 200);

  // The file rewritten after the load, at its old size: the loaded pixels print.
  ASSERT_NE(im.CreateImageFromFile(jpg), 0);
  {
    std::string bytes = Bytes(jpg);
    bytes[bytes.size() - 3] ^= 0x01;
    std::ofstream(jpg, std::ios::binary | std::ios::trunc) << bytes;
  }
  EXPECT_EQ(Encodings(PrintJob(true)), std::vector<std::string>{"image"});
}

TEST_F(PrintStreams, CmykAndOrientedJpegsAreRendered) {
  const std::string cmyk = dir_ + "/cmyk.jpg", turned = dir_ + "/turned.jpg";
  Make("convert -size 64x48 gradient:red-blue -colorspace CMYK " + ShellQuote(cmyk));
  Make("convert -size 64x48 gradient:red-blue " + ShellQuote(turned) + " && exiftool -q -overwrite_original -n "
       "-Orientation=6 " + ShellQuote(turned));
  for (const std::string& file : {cmyk, turned}) {
    ASSERT_NE(im.CreateImageFromFile(file), 0) << file;
    EXPECT_EQ(Encodings(PrintJob()), std::vector<std::string>{"image"}) << file;
  }
}

TEST_F(PrintStreams, UnchangedFaxPagesPrintFromTheirStrips) {
  // Three A4 pages at 300 dpi with a black bar at a different height on each; group 4 and
  // two-dimensional group 3 pages, min-is-white as fax files are.
  std::string pages;
  for (int i = 0; i < 3; ++i) {
    const std::string page = dir_ + "/p" + std::to_string(i) + ".tif";
    const int top = 300 + 1000 * i;
    Make("convert -size 2480x3508 xc:white -fill black -draw 'rectangle 200," + std::to_string(top) + " 2280," +
         std::to_string(top + 300) + "' -monochrome -density 300 -units PixelsPerInch -compress group4 " +
         ShellQuote(page) + " && tiffset -u 297 " + ShellQuote(page));
    pages += " " + ShellQuote(page);
  }
  const std::string doc = dir_ + "/doc.tif", g3 = dir_ + "/g3.tif";
  Make("tiffcp -c g4" + pages + " " + ShellQuote(doc) + " && tiffcp -c g3:2d " + ShellQuote(doc) + " " + ShellQuote(g3));
  for (const std::string& file : {doc, g3}) {
    const int32_t id = im.CreateImageFromFile(file);
    ASSERT_NE(id, 0);
    ASSERT_EQ(im.TiffGetPageCount(id), 3);
    ASSERT_EQ(im.PrintSetFromToPage(1, 3), OK);
    const std::string pdf = PrintJob();
    EXPECT_EQ(Encodings(pdf), (std::vector<std::string>{"ccitt", "ccitt", "ccitt"})) << file;
    // The strips are the file's own bytes.
    auto raw = platform::RawTiffPages::Open(file);
    ASSERT_TRUE(raw);
    ASSERT_EQ(RunCommand("pdfimages -all " + ShellQuote(pdf) + " " + ShellQuote(dir_ + "/f")).exitCode, 0);
    for (uint32_t p = 0; p < 3; ++p) {
      platform::RawTiffPage page;
      ASSERT_TRUE(raw->Read(p, page));
      std::string strips;
      for (const auto& s : page.strips) strips.append(s.begin(), s.end());
      EXPECT_EQ(Bytes(dir_ + "/f-00" + std::to_string(p) + ".ccitt"), strips) << file << " page " << p;
    }
    // Page 2's bar is 100 mm down at natural size (300 dpi): black there, white above it.
    const std::string second = dir_ + "/second.pdf";
    const int qpdf = RunCommand("qpdf " + ShellQuote(pdf) + " --pages . 2 -- " + ShellQuote(second)).exitCode;
    ASSERT_TRUE(qpdf == 0 || qpdf == 3) << qpdf;  // 3: done, with warnings
    EXPECT_LT(testing::RenderedGrey(second, 254, 1000, 1150), 60);
    EXPECT_GT(testing::RenderedGrey(second, 254, 1000, 1000), 200);
    EXPECT_EQ(im.GetWidth(), 2480);
    im.PrintSetFromToPage(0, 0);
  }

  // A changed current page prints as it is now, the others still from their strips; the
  // document still shows that page, changes and all.
  const int32_t id = im.CreateImageFromFile(doc);
  ASSERT_NE(id, 0);
  ASSERT_EQ(im.FxNegative(), OK);
  ASSERT_EQ(im.PrintSetFromToPage(1, 3), OK);
  const std::string pdf = PrintJob();
  const std::vector<std::string> encodings = Encodings(pdf);
  ASSERT_EQ(encodings.size(), 3u);
  EXPECT_NE(encodings[0], "ccitt");
  EXPECT_EQ(encodings[1], "ccitt");
  EXPECT_LT(testing::RenderedGrey(pdf, 254, 1000, 100), 60);  // the negative: black paper
}

// A turned frame puts the image's top edge on the left, for decoded pixels and streams alike.
TEST(PdfJobWriterTurn, TurnedFramesPutTheTopEdgeOnTheLeft) {
  const std::string dir = ::testing::TempDir() + "/tessivo-turn-" + std::to_string(::getpid());
  std::filesystem::create_directories(dir);
  const std::string jpg = dir + "/wide.jpg";
  ASSERT_EQ(RunCommand("convert -size 300x200 xc:white -fill black -draw 'rectangle 0,0 59,59' -quality 95 " +
                       ShellQuote(jpg)).exitCode, 0);
  std::unique_ptr<platform::Bitmap> pixels;
  ASSERT_EQ(platform::Bitmap::Create(300, 200, platform::kPixelFormat24bppRGB, pixels), platform::Status::Ok);
  for (int32_t y = 0; y < 200; ++y)
    for (int32_t x = 0; x < 300; ++x)
      for (int c = 0; c < 3; ++c) pixels->Row(y)[3 * x + c] = x < 60 && y < 60 ? 0 : 255;
  platform::EncodedImage stream;
  stream.width = 300;
  stream.height = 200;
  const std::string bytes = Bytes(jpg);
  stream.parts.push_back(std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end()));
  ASSERT_TRUE(platform::PdfJobWriter::CarriesAsIs(stream));
  for (const bool encoded : {false, true}) {
    platform::PdfJobWriter writer;
    ASSERT_EQ(writer.BeginPage(210, 297), platform::Status::Ok);
    // 100 x 150 mm at (10, 10): the image's 200 rows across, its 300 columns down.
    const platform::ImageFrame frame{10, 10, 100, 150, true, false};
    ASSERT_EQ(encoded ? writer.DrawEncoded(stream, frame) : writer.DrawImage(*pixels, frame), platform::Status::Ok);
    std::vector<std::string> pieces;
    ASSERT_EQ(writer.Finish(pieces), platform::Status::Ok);
    const std::string pdf = dir + "/turned.pdf";
    {
      std::ofstream out(pdf, std::ios::binary);
      for (const auto& piece : pieces) out << piece;
    }
    // The 60-pixel corner is 30 mm square at the frame's bottom-left (254 dpi: 10 pixels a mm).
    EXPECT_LT(testing::RenderedGrey(pdf, 254, 250, 1450), 60) << encoded;
    EXPECT_GT(testing::RenderedGrey(pdf, 254, 250, 250), 200) << encoded;
    EXPECT_GT(testing::RenderedGrey(pdf, 254, 950, 1450), 200) << encoded;
    EXPECT_GT(testing::RenderedGrey(pdf, 254, 950, 250), 200) << encoded;
  }
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

}  // namespace
}  // namespace tessivo
