// Text recognition of a 300-dpi A4 page of drawn text (Liberation Sans, 11 points, 60 lines):
// OCRTesseractDoOCR against the tesseract command on the same page saved as PNG. The command
// loads its language data on every run, the toolkit's plug-in once per thread; the toolkit's
// first reading happens before timing. The same page also goes into a searchable PDF:
// SaveAsPDFOCR against `tesseract page.png out pdf`. After the runs the ratios are printed; each
// should stay at or below 1.05 (the text layer costs nothing next to recognition).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "ratio_reporter.h"
#include "tessivo/imaging.h"

namespace {

using namespace tessivo;
namespace fs = std::filesystem;

constexpr const char* kSentence = "Tessivo reads pages of printed text line by line, word by word %d.";

// The page as a PNG file. Images live in a per-thread registry that is gone before static objects
// are destroyed, so the page is drawn by an imaging object of its own scope.
struct Page {
  fs::path folder;
  bool ready = false;

  Page() {
    folder = fs::temp_directory_path() / ("tessivo-bench-ocr-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    cImaging imaging;
    if (imaging.CreateNewImage(2480, 3508, 24, static_cast<int32_t>(0xFFFFFFFFu)) == 0) return;
    imaging.SetHorizontalResolution(300);
    imaging.SetVerticalResolution(300);
    for (int line = 0; line < 60; ++line) {
      char text[128];
      std::snprintf(text, sizeof text, kSentence, line + 1);
      imaging.DrawText(text, 200, 200 + line * 52, 11, static_cast<int32_t>(0xFF000000u), "Arial",
                       FontStyleRegular, true);
    }
    ready = imaging.SaveAsPNG((folder / "page.png").string()) == OK;
  }
  ~Page() {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
};

Page& ThePage() {
  static Page page;
  return page;
}

void TesseractCommand(benchmark::State& state, const char* output) {
  Page& p = ThePage();
  if (!p.ready) return state.SkipWithError("no page");
  const std::string command = "tesseract '" + (p.folder / "page.png").string() + "' '" +
                              (p.folder / "out").string() + "' -l eng " + output + " >/dev/null 2>&1";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) return state.SkipWithError("tesseract failed");
}

// Loads the page into `imaging` and reads it once untimed (the engine loads its language data).
bool ReadyToRead(benchmark::State& state, cImaging& imaging) {
  Page& p = ThePage();
  if (!p.ready) return state.SkipWithError("no page"), false;
  if (imaging.CreateImageFromFile((p.folder / "page.png").string()) == 0)
    return state.SkipWithError("cannot load the page"), false;
  if (imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, "").empty())
    return state.SkipWithError("nothing recognised"), false;
  return true;
}

void Toolkit(benchmark::State& state) {
  cImaging imaging;
  if (!ReadyToRead(state, imaging)) return;
  for (auto _ : state)
    if (imaging.OCRTesseractDoOCR(TesseractDictionaryEnglish, "").empty())
      return state.SkipWithError("nothing recognised");
}

void ToolkitPdf(benchmark::State& state) {
  cImaging imaging;
  if (!ReadyToRead(state, imaging)) return;
  const std::string pdf = (ThePage().folder / "toolkit.pdf").string();
  for (auto _ : state) {
    std::remove(pdf.c_str());  // an existing document is never overwritten
    if (imaging.SaveAsPDFOCR(pdf, TesseractDictionaryEnglish, "").empty())
      return state.SkipWithError("nothing recognised");
  }
}

const tessivo::bench::RatioReporter::Pairs kPairs = {{"Toolkit/A4Page300dpi", "Tesseract/A4Page300dpi"},
                                                     {"ToolkitPdf/A4Page300dpi", "TesseractPdf/A4Page300dpi"}};

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("Tesseract/A4Page300dpi", [](benchmark::State& s) { TesseractCommand(s, "txt"); })
      ->Unit(benchmark::kMillisecond)->Iterations(3);
  benchmark::RegisterBenchmark("Toolkit/A4Page300dpi", Toolkit)->Unit(benchmark::kMillisecond)->Iterations(3);
  benchmark::RegisterBenchmark("TesseractPdf/A4Page300dpi", [](benchmark::State& s) { TesseractCommand(s, "pdf"); })
      ->Unit(benchmark::kMillisecond)->Iterations(3);
  benchmark::RegisterBenchmark("ToolkitPdf/A4Page300dpi", ToolkitPdf)->Unit(benchmark::kMillisecond)->Iterations(3);
  benchmark::Initialize(&argc, argv);
  ThePage();
  tessivo::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("Toolkit time / the tesseract command's time (at most 1.05 wanted):", kPairs, 1.05);
  return 0;
}
