// Border detection and framing on a 24-megapixel scan (6000 x 4000, a white margin and a black
// frame around grey content), one thread:
//   FindBorders (24 bpp, 1 bpp)  <-> vips_find_trim (libvips, VIPS_CONCURRENCY=1)
//   AddFrame (24 bpp, 1 bpp)     <-> vips_embed with a constant background
#include <benchmark/benchmark.h>
#include <vips/vips.h>

#include <cstring>
#include <memory>
#include <vector>

#include "pixel/geometry/add_borders.h"
#include "pixel/geometry/border_detector.h"
#include "platform/bitmap.h"

namespace {

using namespace tessivo;

constexpr int32_t kWidth = 6000, kHeight = 4000;

// Rows of BGR: black frame 40 px, white margin 200 px, grey inside.
const std::vector<uint8_t>& ScanRGB() {
  static const std::vector<uint8_t> pixels = [] {
    std::vector<uint8_t> p(static_cast<size_t>(kWidth) * kHeight * 3);
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x) {
        const int32_t edge = std::min(std::min(x, kWidth - 1 - x), std::min(y, kHeight - 1 - y));
        const uint8_t v = edge < 40 ? 0 : edge < 240 ? 255 : static_cast<uint8_t>(96 + (x * 7 + y * 3) % 64);
        std::memset(&p[(static_cast<size_t>(y) * kWidth + x) * 3], v, 3);
      }
    return p;
  }();
  return pixels;
}

platform::Bitmap& Scan(platform::PixelFormat format) {
  static std::unique_ptr<platform::Bitmap> rgb, bilevel;
  if (!rgb) {
    platform::Bitmap::Create(kWidth, kHeight, platform::kPixelFormat24bppRGB, rgb);
    for (int32_t y = 0; y < kHeight; ++y)
      std::memcpy(rgb->Row(y), &ScanRGB()[static_cast<size_t>(y) * kWidth * 3], static_cast<size_t>(kWidth) * 3);
    rgb->CloneArea({0, 0, kWidth, kHeight}, platform::kPixelFormat1bppIndexed, bilevel);
  }
  return format == platform::kPixelFormat1bppIndexed ? *bilevel : *rgb;
}

void BM_FindBorders(benchmark::State& state) {
  platform::Bitmap& image = Scan(static_cast<platform::PixelFormat>(state.range(0)));
  BorderScan scan;
  scan.reference = 0xFF000000u;
  for (auto _ : state) {
    BorderFrame frame;
    if (FindBorders(image, scan, frame) != platform::Status::Ok || frame.top != 40) state.SkipWithError("wrong frame");
    benchmark::DoNotOptimize(frame);
  }
}
BENCHMARK(BM_FindBorders)->Arg(platform::kPixelFormat24bppRGB)->Arg(platform::kPixelFormat1bppIndexed)->Unit(benchmark::kMillisecond);

void BM_AddFrame(benchmark::State& state) {
  platform::Bitmap& image = Scan(static_cast<platform::PixelFormat>(state.range(0)));
  for (auto _ : state) {
    std::unique_ptr<platform::Bitmap> out;
    if (AddFrame(image, {25, 25, 25, 25}, 0xFF000000u, out) != platform::Status::Ok) state.SkipWithError("failed");
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_AddFrame)->Arg(platform::kPixelFormat24bppRGB)->Arg(platform::kPixelFormat1bppIndexed)->Unit(benchmark::kMillisecond);

VipsImage* VipsScan() {
  static VipsImage* image =
      vips_image_new_from_memory(ScanRGB().data(), ScanRGB().size(), kWidth, kHeight, 3, VIPS_FORMAT_UCHAR);
  return image;
}

void BM_VipsFindTrim(benchmark::State& state) {
  for (auto _ : state) {
    int left = 0, top = 0, width = 0, height = 0;
    if (vips_find_trim(VipsScan(), &left, &top, &width, &height, "background", vips_array_double_newv(1, 0.0),
                       "threshold", 0.0, nullptr) != 0)
      state.SkipWithError(vips_error_buffer());
    benchmark::DoNotOptimize(left);
  }
}
BENCHMARK(BM_VipsFindTrim)->Unit(benchmark::kMillisecond);

void BM_VipsEmbed(benchmark::State& state) {
  for (auto _ : state) {
    VipsImage* out = nullptr;
    if (vips_embed(VipsScan(), &out, 25, 25, kWidth + 50, kHeight + 50, "extend", VIPS_EXTEND_BACKGROUND, nullptr) != 0) {
      state.SkipWithError(vips_error_buffer());
      continue;
    }
    size_t size = 0;
    void* memory = vips_image_write_to_memory(out, &size);  // makes libvips compute the pixels
    g_free(memory);
    g_object_unref(out);
  }
}
BENCHMARK(BM_VipsEmbed)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (VIPS_INIT(argv[0]) != 0) return 1;
  vips_concurrency_set(1);
  vips_cache_set_max(0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  vips_shutdown();
  return 0;
}
