// Printing through a private CUPS scheduler against lp(1) on the same queue: a 24-megapixel
// photograph fitted to A4, and a 20-page bilevel G4 TIFF, each timed from the call until the
// scheduler has accepted the job. lp sends a PDF that img2pdf made beforehand from the same
// file (the conversion is not timed). After the runs the ratios are printed; each should stay
// at or below 1.20.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/cups_daemon.h"
#include "ratio_reporter.h"
#include "tessivo/imaging.h"

namespace {

using namespace tessivo;
namespace fs = std::filesystem;

struct Fixture {
  tessivo::testing::CupsDaemon daemon;
  fs::path folder;
  bool ready = false;

  Fixture() {
    folder = fs::temp_directory_path() / ("tessivo-bench-print-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::string error;
    if (!daemon.Start(error)) {
      std::fprintf(stderr, "bench_print: the scheduler did not start: %s\n", error.c_str());
      return;
    }
    const std::string f = folder.string();
    // A photograph-like picture (smooth gradients and fine detail) and twenty A4 pages at 300 dpi.
    const std::string make =
        "convert -size 6000x4000 gradient:'#204060'-'#e0c080' \\( -size 6000x4000 pattern:checkerboard \\) "
        "-compose overlay -composite -quality 90 '" + f + "/photo.jpg' && "
        "convert -size 2480x3508 xc:white -fill black -draw 'rectangle 200,200 2280,420' "
        "-draw 'rectangle 200,600 1800,3300' -monochrome -duplicate 19 -compress group4 '" + f + "/pages.tif' && "
        "img2pdf -o '" + f + "/photo.pdf' '" + f + "/photo.jpg' && img2pdf -o '" + f + "/pages.pdf' '" + f +
        "/pages.tif'";
    if (std::system(make.c_str()) != 0) {
      std::fprintf(stderr, "bench_print: could not make the inputs\n");
      return;
    }
    ready = true;
  }
  ~Fixture() {
    daemon.Stop();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
};

Fixture& Spooler() {
  static Fixture fixture;
  return fixture;
}

void Lp(benchmark::State& state, const char* file) {
  Fixture& s = Spooler();
  if (!s.ready) return state.SkipWithError("no scheduler or inputs");
  const std::string command = "lp -d tv-pdf '" + (s.folder / file).string() + "'";
  for (auto _ : state)
    if (s.daemon.Run(command) != 0) return state.SkipWithError("lp failed");
}

// Prints `file`, every page of it as lp does: a document of `pages` pages gets the range.
void Toolkit(benchmark::State& state, const char* file, bool fit, int32_t pages) {
  Fixture& s = Spooler();
  if (!s.ready) return state.SkipWithError("no scheduler or inputs");
  cImaging im;
  const int32_t id = im.CreateImageFromFile((s.folder / file).string());
  if (id == 0) return state.SkipWithError("cannot load the input");
  if (pages > 1 && (im.TiffGetPageCount(id) != pages || im.PrintSetFromToPage(1, pages) != OK))
    return state.SkipWithError("the input is not a document of all its pages");
  if (!im.PrintSetActivePrinter("tv-pdf")) return state.SkipWithError("no test queue");
  for (auto _ : state)
    if ((fit ? im.PrintImageFit() : im.PrintImage()) != PrinterOK) return state.SkipWithError("print failed");
}

const tessivo::bench::RatioReporter::Pairs kPairs = {
    {"Toolkit/Photo24MPFitA4", "Lp/Photo24MPFitA4"},
    {"Toolkit/Tiff20PagesG4", "Lp/Tiff20PagesG4"},
};


}  // namespace

int main(int argc, char** argv) {
  auto add = [](const char* name, auto fn) {
    benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->Iterations(5);
  };
  add("Lp/Photo24MPFitA4", [](benchmark::State& s) { Lp(s, "photo.pdf"); });
  add("Toolkit/Photo24MPFitA4", [](benchmark::State& s) { Toolkit(s, "photo.jpg", true, 1); });
  add("Lp/Tiff20PagesG4", [](benchmark::State& s) { Lp(s, "pages.pdf"); });
  add("Toolkit/Tiff20PagesG4", [](benchmark::State& s) { Toolkit(s, "pages.tif", false, 20); });
  benchmark::Initialize(&argc, argv);
  Spooler();
  tessivo::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("Toolkit time / lp's time (at most 1.20 wanted):", kPairs, 1.2);
  return 0;
}
