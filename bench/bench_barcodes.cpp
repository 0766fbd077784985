// Drawing 10,000 linear barcodes of each symbology with 2-pixel modules (bar height 70):
//   cImaging BarCodeDraw… onto a 24-bit image  <-> libzint ZBarcode_Encode_and_Buffer (scale 1,
//   2 px per module, no quiet zones, no human-readable text)
// After the runs, the time of each symbology is printed as a ratio to libzint's (below 1:
// faster).
#include <benchmark/benchmark.h>
#include <zint.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tessivo/imaging.h"

namespace {

using namespace tessivo;

constexpr int kSymbols = 10000;
enum Kind { kI25, kC39, kC128, kEan13 };
constexpr const char* kNames[] = {"2of5i", "Code39", "Code128", "EAN13"};

const std::vector<std::string>& Texts(int kind) {
  static std::map<int, std::vector<std::string>> cache;
  std::vector<std::string>& texts = cache[kind];
  if (texts.empty()) {
    std::mt19937 rng(kind + 1);
    auto pick = [&](std::string_view alphabet, int n) {
      std::string s;
      for (int i = 0; i < n; ++i) s += alphabet[rng() % alphabet.size()];
      return s;
    };
    for (int i = 0; i < kSymbols; ++i) {
      switch (kind) {
        case kI25: texts.push_back(pick("0123456789", 12)); break;
        case kC39: texts.push_back(pick("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-.$/+%", 10)); break;
        case kC128: texts.push_back(pick("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 12)); break;
        default: texts.push_back(pick("123456789", 1) + pick("0123456789", 11)); break;
      }
    }
  }
  return texts;
}

void BM_Tessivo(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const std::vector<std::string>& texts = Texts(kind);
  cImaging im;
  im.CreateNewImage(800, 100, 24, static_cast<int32_t>(0xFFFFFFFFu));
  for (auto _ : state) {
    for (const std::string& t : texts) {
      TessivoStatus s = GenericError;
      switch (kind) {
        case kI25: s = im.BarCodeDraw25i(t, 10, 10, 70); break;
        case kC39: s = im.BarCodeDraw39(t, 10, 10, 70); break;
        case kC128: s = im.BarCodeDraw128(t, 10, 10, 70); break;
        default: s = im.BarCodeDrawEAN13(t, 10, 10, 70); break;
      }
      if (s != OK) state.SkipWithError("draw failed");
    }
  }
  state.SetLabel(kNames[kind]);
}

void BM_Libzint(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const std::vector<std::string>& texts = Texts(kind);
  const int symbology[] = {BARCODE_C25INTER, BARCODE_CODE39, BARCODE_CODE128, BARCODE_EANX};
  zint_symbol* symbol = ZBarcode_Create();
  for (auto _ : state) {
    for (const std::string& t : texts) {
      ZBarcode_Clear(symbol);
      symbol->symbology = symbology[kind];
      symbol->scale = 1.0f;  // 2 pixels per module in raster output
      symbol->height = 35.0f;
      symbol->show_hrt = 0;
      symbol->output_options = BARCODE_NO_QUIET_ZONES;
      if (ZBarcode_Encode_and_Buffer(symbol, reinterpret_cast<const unsigned char*>(t.data()),
                                     static_cast<int>(t.size()), 0) >= ZINT_ERROR)
        state.SkipWithError(symbol->errtxt);
      benchmark::DoNotOptimize(symbol->bitmap);
    }
  }
  ZBarcode_Delete(symbol);
  state.SetLabel(kNames[kind]);
}

BENCHMARK(BM_Tessivo)->DenseRange(kI25, kEan13)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libzint)->DenseRange(kI25, kEan13)->Unit(benchmark::kMillisecond);

// Keeps each run's time per iteration so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (int kind = kI25; kind <= kEan13; ++kind) {
    const std::string arg = "/" + std::to_string(kind);
    const auto ours = reporter.times.find("BM_Tessivo" + arg), theirs = reporter.times.find("BM_Libzint" + arg);
    if (ours != reporter.times.end() && theirs != reporter.times.end() && theirs->second > 0)
      std::printf("%-8s %d symbols: tessivo / libzint = %.2f\n", kNames[kind], kSymbols, ours->second / theirs->second);
  }
  benchmark::Shutdown();
  return 0;
}
