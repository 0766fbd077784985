// Showing images on a window surface: a 24-megapixel image scaled to 1920 x 1080 with bilinear
// interpolation against libvips' resize plus the copy of its result into a surface, and a 1:1
// display of a 1920 x 1080 image against memcpy of the same bytes. One thread each; the time
// ratios are printed at the end.
#include <benchmark/benchmark.h>
#include <vips/vips.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "platform/bitmap.h"
#include "tessivo/host_surfaces.h"
#include "tessivo/imaging.h"

namespace {

namespace pf = tessivo::platform;

constexpr int kWidth = 6000, kHeight = 4000;
constexpr int kScreenWidth = 1920, kScreenHeight = 1080;

// A smooth gradient with noise in 32bppRGB (the surface's format), like a photograph.
std::unique_ptr<pf::Bitmap> Photo(int w, int h) {
  std::unique_ptr<pf::Bitmap> b;
  pf::Bitmap::Create(w, h, pf::kPixelFormat32bppRGB, b);
  uint32_t s = 1;
  for (int y = 0; y < h; ++y) {
    uint8_t* row = b->Row(y);
    for (int x = 0; x < w; ++x) {
      s = s * 1664525u + 1013904223u;
      const int n = static_cast<int>(s >> 28);
      row[4 * x] = static_cast<uint8_t>((x * 255 / w + n) & 0xFF);
      row[4 * x + 1] = static_cast<uint8_t>((y * 255 / h + n) & 0xFF);
      row[4 * x + 2] = static_cast<uint8_t>(((x + y) & 0xFF) ^ n);
      row[4 * x + 3] = 0xFF;
    }
  }
  return b;
}

struct Fixture {
  tessivo::cImaging im;
  int32_t photo = 0, screenSized = 0, hwnd = 0;
  std::vector<uint8_t> photoBytes;  // the photo's pixels, for libvips
  Fixture() {
    std::unique_ptr<pf::Bitmap> p = Photo(kWidth, kHeight);
    photoBytes.assign(p->Scan0(), p->Scan0() + static_cast<size_t>(p->Stride()) * kHeight);
    tessivo::RegisterImage(photo, std::move(p), "", "", tessivo::OriginMemory);
    tessivo::RegisterImage(screenSized, Photo(kScreenWidth, kScreenHeight), "", "", tessivo::OriginMemory);
    hwnd = tessivo::host::CreateWindowSurface(kScreenWidth, kScreenHeight);
  }
};

Fixture& F() {
  static Fixture* f = new Fixture;
  return *f;
}

void DisplayScaled(benchmark::State& state) {
  F().im.SetNativeImage(F().photo);
  for (auto _ : state)
    if (F().im.DisplayImageOnHwnd(F().hwnd, 0, 0, kScreenWidth, kScreenHeight, tessivo::InterpolationModeBilinear) !=
        tessivo::OK)
      state.SkipWithError("display failed");
}

void VipsScaled(benchmark::State& state) {
  VipsImage* in = vips_image_new_from_memory(F().photoBytes.data(), F().photoBytes.size(), kWidth, kHeight, 4,
                                             VIPS_FORMAT_UCHAR);
  std::vector<uint8_t> surface(static_cast<size_t>(kScreenWidth) * kScreenHeight * 4);
  for (auto _ : state) {
    VipsImage* out = nullptr;
    if (vips_resize(in, &out, static_cast<double>(kScreenWidth) / kWidth, "vscale",
                    static_cast<double>(kScreenHeight) / kHeight, "kernel", VIPS_KERNEL_LINEAR, nullptr) != 0) {
      state.SkipWithError(vips_error_buffer());
      break;
    }
    size_t size = 0;
    void* memory = vips_image_write_to_memory(out, &size);
    std::memcpy(surface.data(), memory, std::min(size, surface.size()));
    g_free(memory);
    g_object_unref(out);
  }
  g_object_unref(in);
}

void DisplayOneToOne(benchmark::State& state) {
  F().im.SetNativeImage(F().screenSized);
  for (auto _ : state)
    if (F().im.DisplayImageOnHwnd(F().hwnd, 0, 0, kScreenWidth, kScreenHeight) != tessivo::OK)
      state.SkipWithError("display failed");
}

void MemcpyOneToOne(benchmark::State& state) {
  const pf::Bitmap* src = tessivo::ResolveImage(F().screenSized);
  std::vector<uint8_t> surface(static_cast<size_t>(src->Stride()) * kScreenHeight);
  for (auto _ : state) {
    std::memcpy(surface.data(), src->Scan0(), surface.size());
    benchmark::DoNotOptimize(surface.data());
  }
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (!r.error_occurred) seconds_[r.benchmark_name()] = r.GetAdjustedRealTime();
  }
  void PrintRatios() const {
    auto ratio = [&](const char* ours, const char* other) {
      auto a = seconds_.find(ours), b = seconds_.find(other);
      return a == seconds_.end() || b == seconds_.end() || b->second <= 0 ? std::string("-")
                                                                          : std::to_string(a->second / b->second);
    };
    std::printf("\nTime ratios, Tessivo / other (targets: scaled at most 1.5 x libvips, 1:1 at most 1.2 x memcpy)\n");
    std::printf("  scaled 24 MP -> 1920x1080 bilinear vs libvips resize + copy  %s\n",
                ratio("DisplayScaled", "VipsScaled").c_str());
    std::printf("  1:1 1920x1080 32bppRGB             vs memcpy                 %s\n",
                ratio("DisplayOneToOne", "MemcpyOneToOne").c_str());
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

BENCHMARK(DisplayScaled)->Unit(benchmark::kMillisecond);
BENCHMARK(VipsScaled)->Unit(benchmark::kMillisecond);
BENCHMARK(DisplayOneToOne)->Unit(benchmark::kMillisecond);
BENCHMARK(MemcpyOneToOne)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (VIPS_INIT(argv[0]) != 0) return 1;
  vips_concurrency_set(1);
  vips_cache_set_max(0);
  F();  // built before timing
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  return 0;
}
