// Document recognition: looking up one 300-dpi A4 page (2480 x 3508, 24 bpp) against a set of
// 100 templates, one thread. The target is at most 20 ms per page; the signature of the page
// is computed once per lookup, so most of the time is spent reading its pixels.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>

#include "platform/bitmap.h"
#include "platform/pixel_format.h"
#include "recognition/ard/ard.h"

namespace {

using namespace tessivo;

constexpr int32_t kWidth = 2480, kHeight = 3508;

// A white page with a title bar, ruled lines and rows of word-like dashes from `seed`.
std::unique_ptr<platform::Bitmap> Page(uint32_t seed) {
  std::unique_ptr<platform::Bitmap> page;
  platform::Bitmap::Create(kWidth, kHeight, platform::kPixelFormat24bppRGB, page);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int32_t> word(40, 200), top(200, 600);
  for (int32_t y = 0; y < kHeight; ++y) std::memset(page->Row(y), 0xFF, static_cast<size_t>(kWidth) * 3);
  auto fill = [&](int32_t x0, int32_t y0, int32_t w, int32_t h) {
    for (int32_t y = y0; y < std::min(kHeight, y0 + h); ++y) std::memset(page->Row(y) + x0 * 3, 0, static_cast<size_t>(std::min(w, kWidth - x0)) * 3);
  };
  fill(150, 150, 2180, top(rng));
  for (int32_t y = 900; y < kHeight - 200; y += 70) {
    int32_t x = 150;
    while (x < kWidth - 400) {
      const int32_t w = word(rng);
      fill(x, y, w, 30);
      x += w + 40;
    }
  }
  return page;
}

void BM_LookupAgainst100Templates(benchmark::State& state) {
  recognition::cARD ard;
  for (uint32_t i = 0; i < 100; ++i) {
    const auto sample = Page(i);
    ard.AddImageToTemplate(ard.NewTemplate(), sample.get());
  }
  const auto page = Page(1000);
  TessivoStatus status = OK;
  for (auto _ : state) {
    const int32_t id = ard.FindCloserTemplate(page.get(), status);
    if (status != OK || id == 0) state.SkipWithError("lookup failed");
    benchmark::DoNotOptimize(id);
  }
  state.counters["target_ms"] = 20;
}
BENCHMARK(BM_LookupAgainst100Templates)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
