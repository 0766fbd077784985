// The PDF writer set against the usual converters on the same inputs, in the same run:
//  - 100 A4 pages of 2480 x 3508 bilevel scans (a G4 TIFF): the writer, reading each page and
//    coding it as CCITT G4, against tiff2pdf (libtiff) and img2pdf, which copy the G4 data;
//  - one 24-megapixel JPEG photograph: embedded without decoding, against img2pdf;
//  - 10,000 lines of text on 200 pages: against Cairo's PDF surface with the same face.
// Prints the time ratios at the end (below 1: the writer is faster).
#include <benchmark/benchmark.h>
#include <cairo-pdf.h>
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pdf/pdf_writer.h"
#include "platform/bitmap.h"
#include "platform/codecs/codecs.h"

namespace {

namespace fs = std::filesystem;
namespace pf = tessivo::platform;

constexpr int kScanPages = 100, kTextLines = 10000, kLinesPerPage = 50;

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path p = fs::temp_directory_path() / ("tessivo-bench-pdf-" + std::to_string(::getpid()));
    fs::create_directories(p);
    return p;
  }();
  return folder;
}

std::string Clsid(pf::RawFormat format) {
  for (const auto& codec : pf::ImageEncoders())
    if (codec.format == format) return codec.clsid;
  return {};
}

// A text-like bilevel page: lines of word-sized black blocks on white, 300 dpi.
std::unique_ptr<pf::Bitmap> ScanPage(int seed) {
  std::unique_ptr<pf::Bitmap> page;
  pf::Bitmap::Create(2480, 3508, pf::kPixelFormat1bppIndexed, page);
  page->SetResolution(300, 300);
  const int32_t stride = (2480 + 7) / 8;
  for (int32_t y = 0; y < 3508; ++y) std::fill_n(page->Row(y), stride, 0xFF);
  unsigned state = 12345u + seed;
  for (int32_t line = 300; line < 3200; line += 60) {
    for (int32_t x = 250; x < 2200;) {
      state = state * 1103515245u + 12345u;
      const int32_t word = 60 + static_cast<int32_t>((state >> 16) % 240);
      for (int32_t y = line; y < line + 32; ++y)
        for (int32_t px = x; px < std::min(x + word, 2230); ++px) page->Row(y)[px / 8] &= ~(0x80 >> (px % 8));
      x += word + 30;
    }
  }
  return page;
}

const std::string& ScanTiff() {
  static const std::string path = [] {
    const std::string p = (Folder() / "scans.tif").string();
    using P = pf::EncoderParameterId;
    std::unique_ptr<pf::MultiFrameEncoder> encoder;
    auto first = ScanPage(0);
    pf::MultiFrameEncoder::Begin(*first, p, Clsid(pf::RawFormat::TIFF),
                                 {{P::SaveFlag, pf::EncoderValueMultiFrame},
                                  {P::Compression, pf::EncoderValueCompressionCCITT4}},
                                 encoder);
    for (int i = 1; i < kScanPages; ++i)
      encoder->AddFrame(*ScanPage(i), {{P::SaveFlag, pf::EncoderValueFrameDimensionPage}});
    encoder->Flush();
    return p;
  }();
  return path;
}

const std::string& PhotoJpeg() {
  static const std::string path = [] {
    const std::string p = (Folder() / "photo.jpg").string();
    std::unique_ptr<pf::Bitmap> photo;
    pf::Bitmap::Create(6000, 4000, pf::kPixelFormat24bppRGB, photo);
    for (int32_t y = 0; y < 4000; ++y) {
      uint8_t* row = photo->Row(y);
      for (int32_t x = 0; x < 6000; ++x) {
        row[3 * x] = static_cast<uint8_t>((x * x + y) >> 7);
        row[3 * x + 1] = static_cast<uint8_t>(y / 16 + x / 32);
        row[3 * x + 2] = static_cast<uint8_t>((x ^ y) & 0xFF);
      }
    }
    pf::EncodeImageFile(*photo, p, Clsid(pf::RawFormat::JPEG), {{pf::EncoderParameterId::Quality, 85}});
    return p;
  }();
  return path;
}

std::string Output(const char* name) {
  const std::string p = (Folder() / name).string();
  std::remove(p.c_str());
  return p;
}

void RunCommand(benchmark::State& state, const std::string& command) {
  for (auto _ : state)
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) state.SkipWithError(command.c_str());
}

void ScansTessivo(benchmark::State& state) {
  const std::string input = ScanTiff();
  for (auto _ : state) {
    tessivo::cPDF writer;
    writer.NewPdf(Output("scans-tessivo.pdf"));
    std::unique_ptr<pf::Bitmap> tiff;
    pf::DecodeImageFile(input, false, tiff);
    for (uint32_t page = 0; page < tiff->FrameCount(pf::FrameDimension::Page); ++page) {
      tiff->SelectActiveFrame(pf::FrameDimension::Page, page);
      writer.SetPaperWidth(2480 * 72.0f / 300);
      writer.SetPaperHeight(3508 * 72.0f / 300);
      writer.BeginPage();
      const int32_t n = writer.PdfAddBitmap(*tiff);
      writer.DrawImg(n, 0, 0, 2480 * 72.0f / 300, 3508 * 72.0f / 300);
    }
    if (!writer.ClosePdfFile()) state.SkipWithError("writer failed");
  }
}

void JpegTessivo(benchmark::State& state) {
  const std::string input = PhotoJpeg();
  for (auto _ : state) {
    tessivo::cPDF writer;
    writer.NewPdf(Output("photo-tessivo.pdf"));
    writer.SetPaperWidth(6000 * 72.0f / 300);
    writer.SetPaperHeight(4000 * 72.0f / 300);
    writer.BeginPage();
    const int32_t n = writer.PdfAddImageFile(input);
    writer.DrawImg(n, 0, 0, 6000 * 72.0f / 300, 4000 * 72.0f / 300);
    if (!writer.ClosePdfFile()) state.SkipWithError("writer failed");
  }
}

std::string Line(int i) { return "Line " + std::to_string(i) + " of the quarterly report, with figures 12,345.67"; }

void TextTessivo(benchmark::State& state) {
  for (auto _ : state) {
    tessivo::cPDF writer;
    writer.NewPdf(Output("text-tessivo.pdf"));
    const int32_t font = writer.LoadFont("Arial");
    for (int i = 0; i < kTextLines; ++i) {
      if (i % kLinesPerPage == 0) writer.BeginPage();
      writer.DrawText(56, 800 - 15.0f * (i % kLinesPerPage), Line(i), font, 11);
    }
    if (!writer.ClosePdfFile()) state.SkipWithError("writer failed");
  }
}

void TextCairo(benchmark::State& state) {
  for (auto _ : state) {
    cairo_surface_t* surface = cairo_pdf_surface_create(Output("text-cairo.pdf").c_str(), 595.2, 842);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 11);
    for (int i = 0; i < kTextLines; ++i) {
      if (i > 0 && i % kLinesPerPage == 0) cairo_show_page(cr);
      cairo_move_to(cr, 56, 42 + 15.0 * (i % kLinesPerPage));
      cairo_show_text(cr, Line(i).c_str());
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
}

void Register() {
  auto add = [](const char* name, auto fn) {
    benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
  };
  add("Scans100G4/tessivo", ScansTessivo);
  add("Scans100G4/tiff2pdf", [](benchmark::State& s) {
    RunCommand(s, "tiff2pdf -o " + Output("scans-tiff2pdf.pdf") + " " + ScanTiff());
  });
  add("Scans100G4/img2pdf", [](benchmark::State& s) {
    RunCommand(s, "img2pdf -o " + Output("scans-img2pdf.pdf") + " " + ScanTiff());
  });
  add("Jpeg24MP/tessivo", JpegTessivo);
  add("Jpeg24MP/img2pdf", [](benchmark::State& s) {
    RunCommand(s, "img2pdf -o " + Output("photo-img2pdf.pdf") + " " + PhotoJpeg());
  });
  add("Text10000/tessivo", TextTessivo);
  add("Text10000/cairo", TextCairo);
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (!r.error_occurred) seconds_[r.run_name.function_name] = r.GetAdjustedRealTime();
  }
  void PrintRatio(const std::string& work, const std::string& other, double target) const {
    auto ours = seconds_.find(work + "/tessivo"), theirs = seconds_.find(work + "/" + other);
    if (ours == seconds_.end() || theirs == seconds_.end() || theirs->second <= 0) return;
    std::printf("  %-12s vs %-9s %6.3f  (target at most %.2f)\n", work.c_str(), other.c_str(),
                ours->second / theirs->second, target);
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  Register();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nTime ratios, Tessivo / other (below 1: Tessivo faster)\n");
  reporter.PrintRatio("Scans100G4", "tiff2pdf", 1.0);
  reporter.PrintRatio("Scans100G4", "img2pdf", 1.0);
  reporter.PrintRatio("Jpeg24MP", "img2pdf", 1.05);
  reporter.PrintRatio("Text10000", "cairo", 1.0);
  std::error_code ignored;
  fs::remove_all(Folder(), ignored);
  return 0;
}
