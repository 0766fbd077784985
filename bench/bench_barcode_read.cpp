// Reading the linear barcodes of a 300-dpi A4 page (2480 x 3508, five symbols drawn by the
// toolkit: Code 128, Code 39, Interleaved 2 of 5, EAN-13 and a turned Code 128):
//   Barcode1DReaderDoScan in both scan modes  <-> ZXing::ReadBarcodes on the same 24-bit rows with
//   the same hints (the plug-in should add nothing to ZXing's own time)
//   CreateImageFromFile + DoScan of the page's PNG  <-> zbarimg on the same file (a whole run of
//   the command, as a user would time it)
// After the runs the ratios are printed: at or below 1.10 against ZXing, below 1 against zbar.
#include <ZXing/ReadBarcode.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/image_registry.h"
#include "ratio_reporter.h"
#include "tessivo/imaging.h"

namespace {

using namespace tessivo;
namespace fs = std::filesystem;

constexpr int32_t kWhite = static_cast<int32_t>(0xFFFFFFFFu);
constexpr int kSymbols = 5;

struct Page {
  cImaging imaging;
  std::string png;
  bool ready = false;

  Page() {
    png = (fs::temp_directory_path() / ("tessivo-bench-barcode-read-" + std::to_string(::getpid()) + ".png")).string();
    if (imaging.CreateNewImage(2480, 3508, 24, kWhite) == 0) return;
    imaging.SetHorizontalResolution(300);
    imaging.SetVerticalResolution(300);
    bool drawn = imaging.BarCodeDraw128("TESSIVO-128-0042", 300, 300, 160) == OK &&
                 imaging.BarCodeDraw39("CODE39 PAGE", 300, 900, 160) == OK &&
                 imaging.BarCodeDraw25i("0123456789012", 300, 1500, 160) == OK &&
                 imaging.BarCodeDrawEAN13("590123412345", 300, 2100, 160) == OK;
    // The fifth symbol on its side, as on a page scanned the wrong way round.
    cImaging turned;
    drawn = drawn && turned.CreateNewImage(900, 220, 24, kWhite) != 0 &&
            turned.BarCodeDraw128("TURNED 7", 30, 30, 160) == OK && turned.Rotate(Rotate90FlipNone) == OK &&
            imaging.DrawImage(turned.GetNativeImage(), 1800, 2500, 220, 900, InterpolationModeNearestNeighbor) == OK;
    if (!drawn || imaging.SaveAsPNG(png) != OK) {
      std::fprintf(stderr, "bench_barcode_read: could not make the page\n");
      return;
    }
    ready = true;
  }
  ~Page() {
    std::error_code ignored;
    fs::remove(png, ignored);
  }
};

// Made on first use and dropped before main returns: the image registry is per thread and is
// gone by the time function statics are destroyed.
std::unique_ptr<Page> thePage;

Page& ThePage() {
  if (!thePage) thePage = std::make_unique<Page>();
  return *thePage;
}

void BM_Tessivo(benchmark::State& state) {
  Page& page = ThePage();
  if (!page.ready) return state.SkipWithError("no page");
  const auto mode = static_cast<Barcode1DReaderScanMode>(state.range(0));
  for (auto _ : state) {
    if (page.imaging.Barcode1DReaderDoScan(mode) != OK) return state.SkipWithError("scan failed");
    benchmark::DoNotOptimize(page.imaging.Barcode1DReaderGetBarcodeCount());
  }
  state.counters["symbols"] = page.imaging.Barcode1DReaderGetBarcodeCount();
}

void BM_ZXing(benchmark::State& state) {
  Page& page = ThePage();
  if (!page.ready) return state.SkipWithError("no page");
  const bool thorough = state.range(0) == Barcode1DReaderScanModeBestQuality;
  platform::Bitmap* bitmap = ResolveImage(page.imaging.GetNativeImage());
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::ITF | ZXing::BarcodeFormat::Code39 | ZXing::BarcodeFormat::Codabar |
                   ZXing::BarcodeFormat::Code128 | ZXing::BarcodeFormat::Code93 | ZXing::BarcodeFormat::EAN13 |
                   ZXing::BarcodeFormat::UPCA | ZXing::BarcodeFormat::EAN8 | ZXing::BarcodeFormat::UPCE);
  hints.setTryHarder(thorough);
  hints.setTryRotate(thorough);
  hints.setTryDownscale(false);  // as the plug-in reads linear symbols
  hints.setEanAddOnSymbol(ZXing::EanAddOnSymbol::Ignore);
  size_t found = 0;
  for (auto _ : state) {
    // Counted as the plug-in sees it: the copy into 24-bit rows is part of every scan.
    platform::BitmapData rows;
    if (bitmap->LockBits(nullptr, platform::ImageLockModeRead, platform::kPixelFormat24bppRGB, rows) !=
        platform::Status::Ok)
      return state.SkipWithError("lock failed");
    const ZXing::ImageView view(static_cast<const uint8_t*>(rows.scan0), static_cast<int>(rows.width),
                                static_cast<int>(rows.height), ZXing::ImageFormat::BGR, rows.stride);
    found = ZXing::ReadBarcodes(view, hints).size();
    bitmap->UnlockBits(rows);
    benchmark::DoNotOptimize(found);
  }
  state.counters["symbols"] = static_cast<double>(found);
}

void BM_TessivoFromFile(benchmark::State& state) {
  Page& page = ThePage();
  if (!page.ready) return state.SkipWithError("no page");
  for (auto _ : state) {
    cImaging reader;
    if (reader.CreateImageFromFile(page.png) == 0) return state.SkipWithError("load failed");
    if (reader.Barcode1DReaderDoScan(Barcode1DReaderScanModeBestQuality) != OK)
      return state.SkipWithError("scan failed");
    benchmark::DoNotOptimize(reader.Barcode1DReaderGetBarcodeCount());
  }
}

void BM_Zbarimg(benchmark::State& state) {
  Page& page = ThePage();
  if (!page.ready) return state.SkipWithError("no page");
  const std::string command = "zbarimg -q --raw '" + page.png + "' >/dev/null 2>&1";
  for (auto _ : state)
    if (std::system(command.c_str()) == -1) return state.SkipWithError("zbarimg did not run");
}

BENCHMARK(BM_Tessivo)->Arg(Barcode1DReaderScanModeBestSpeed)->Arg(Barcode1DReaderScanModeBestQuality)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZXing)->Arg(Barcode1DReaderScanModeBestSpeed)->Arg(Barcode1DReaderScanModeBestQuality)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TessivoFromFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Zbarimg)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  tessivo::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nsymbols expected on the page: %d\n", kSymbols);
  reporter.PrintRatios("Barcode reading against ZXing itself (limit 1.10):",
                       {{"BM_Tessivo/0", "BM_ZXing/0"}, {"BM_Tessivo/1", "BM_ZXing/1"}}, 1.10);
  reporter.PrintRatios("Load and read against zbarimg (limit 1.00):", {{"BM_TessivoFromFile", "BM_Zbarimg"}}, 1.0);
  thePage.reset();
  benchmark::Shutdown();
  return 0;
}
