// Pixel-lock conversions on a 24-megapixel image (6000 x 4000): 24 bpp to 32 bpp ARGB and
// 32 bpp ARGB to 8 bpp indexed (nearest halftone entry), into the lock's own buffer (fresh
// memory each time, so page faults count) and into a caller's buffer.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "platform/bitmap.h"

namespace {

using namespace tessivo::platform;

constexpr int32_t kWidth = 6000;
constexpr int32_t kHeight = 4000;

// A smooth photographic-like gradient with noise, so the colours are many and varied.
std::unique_ptr<Bitmap> Photo(PixelFormat format) {
  std::unique_ptr<Bitmap> b;
  if (Bitmap::Create(kWidth, kHeight, format, b) != Status::Ok) return nullptr;
  std::mt19937 rng(1);
  const int bytes = BitsPerPixel(format) / 8;
  for (int32_t y = 0; y < kHeight; ++y) {
    uint8_t* row = b->Row(y);
    for (int32_t x = 0; x < kWidth; ++x) {
      uint8_t* p = row + x * bytes;
      p[0] = static_cast<uint8_t>((x * 255 / kWidth + (rng() & 15)) & 0xFF);
      p[1] = static_cast<uint8_t>((y * 255 / kHeight + (rng() & 15)) & 0xFF);
      p[2] = static_cast<uint8_t>(((x + y) * 255 / (kWidth + kHeight)) & 0xFF);
      if (bytes == 4) p[3] = 0xFF;
    }
  }
  return b;
}

void Lock(benchmark::State& state, PixelFormat source, PixelFormat target) {
  const auto bitmap = Photo(source);
  if (!bitmap) {
    state.SkipWithError("cannot allocate the image");
    return;
  }
  for (auto _ : state) {
    BitmapData data;
    if (bitmap->LockBits(nullptr, ImageLockModeRead, target, data) != Status::Ok) {
      state.SkipWithError("lock failed");
      return;
    }
    benchmark::DoNotOptimize(data.scan0);
    bitmap->UnlockBits(data);
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kWidth} * kHeight);
}

// The same conversion into a caller's buffer (as the pixel-array copies do): no allocation.
void LockIntoUserBuffer(benchmark::State& state, PixelFormat source, PixelFormat target) {
  const auto bitmap = Photo(source);
  if (!bitmap) {
    state.SkipWithError("cannot allocate the image");
    return;
  }
  const int32_t stride = StrideFor(target, kWidth);
  std::vector<uint8_t> buffer(static_cast<size_t>(stride) * kHeight);
  for (auto _ : state) {
    BitmapData data;
    data.scan0 = buffer.data();
    data.stride = stride;
    if (bitmap->LockBits(nullptr, ImageLockModeRead | ImageLockModeUserInputBuf, target, data) != Status::Ok) {
      state.SkipWithError("lock failed");
      return;
    }
    benchmark::DoNotOptimize(buffer.data());
    bitmap->UnlockBits(data);
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kWidth} * kHeight);
}

void BM_UserBuffer24To32ARGB(benchmark::State& state) {
  LockIntoUserBuffer(state, kPixelFormat24bppRGB, kPixelFormat32bppARGB);
}
void BM_UserBuffer32ARGBTo8Indexed(benchmark::State& state) {
  LockIntoUserBuffer(state, kPixelFormat32bppARGB, kPixelFormat8bppIndexed);
}
BENCHMARK(BM_UserBuffer24To32ARGB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UserBuffer32ARGBTo8Indexed)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Lock24To32ARGB(benchmark::State& state) { Lock(state, kPixelFormat24bppRGB, kPixelFormat32bppARGB); }
void BM_Lock32ARGBTo8Indexed(benchmark::State& state) {
  Lock(state, kPixelFormat32bppARGB, kPixelFormat8bppIndexed);
}
void BM_Lock32ARGBTo24(benchmark::State& state) { Lock(state, kPixelFormat32bppARGB, kPixelFormat24bppRGB); }

BENCHMARK(BM_Lock24To32ARGB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Lock32ARGBTo8Indexed)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Lock32ARGBTo24)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
