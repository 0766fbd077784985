// Octree quantization to 256 colours and interlaced GIF encoding of a 24-megapixel photo-like
// image, against what a user would otherwise reach for: ImageMagick's quantizer (`-colors 256`,
// which dithers, and the same without dithering) and giflib's encoder fed the same indices.
// Both are timed as the public methods (Quantize8Bpp, SaveAsGIFi to a file) and as the bare
// quantizer and encoder over buffers. Prints the ratios at the end (tessivo time / other time;
// below 1 is faster).
#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <wand/MagickWand.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "formats/gif89a_writer.h"
#include "pixel/octree.h"
#include "platform/bitmap.h"
#include "tessivo/imaging.h"

namespace {

constexpr int32_t kWidth = 6000;
constexpr int32_t kHeight = 4000;
constexpr int32_t kStride = kWidth * 3;

// Smooth shading, a few soft-edged objects, texture and sensor noise: about a million distinct
// colours, like a camera picture.
const std::vector<uint8_t>& Photo() {
  static const std::vector<uint8_t> bgr = [] {
    std::vector<uint8_t> p(static_cast<size_t>(kStride) * kHeight);
    std::mt19937 rng(1234);
    std::normal_distribution<float> noise(0.0f, 3.0f);
    for (int32_t y = 0; y < kHeight; ++y) {
      const float fy = static_cast<float>(y) / kHeight;
      for (int32_t x = 0; x < kWidth; ++x) {
        const float fx = static_cast<float>(x) / kWidth;
        float r = 70 + 120 * fy + 30 * std::sin(9 * fx + 3 * fy);
        float g = 90 + 80 * fx + 25 * std::sin(13 * fy - 5 * fx);
        float b = 160 - 110 * fy + 20 * std::cos(7 * fx * fy * 6);
        const float dx = fx - 0.6f, dy = fy - 0.55f;
        const float object = std::exp(-(dx * dx + dy * dy) * 18);
        r = r * (1 - object) + 210 * object;
        g = g * (1 - object) + 150 * object;
        b = b * (1 - object) + 60 * object;
        const float texture = 12 * std::sin(x * 0.05f) * std::sin(y * 0.07f);
        uint8_t* px = &p[static_cast<size_t>(y) * kStride + 3 * static_cast<size_t>(x)];
        px[0] = static_cast<uint8_t>(std::clamp(b + texture + noise(rng), 0.0f, 255.0f));
        px[1] = static_cast<uint8_t>(std::clamp(g + texture + noise(rng), 0.0f, 255.0f));
        px[2] = static_cast<uint8_t>(std::clamp(r + texture + noise(rng), 0.0f, 255.0f));
      }
    }
    return p;
  }();
  return bgr;
}

struct Quantized {
  std::vector<uint8_t> indices;
  std::vector<tessivo::PaletteRecord> palette;
};

const Quantized& PhotoIndices() {
  static const Quantized q = [] {
    Quantized out;
    out.indices.resize(static_cast<size_t>(kWidth) * kHeight);
    const tessivo::platform::Palette palette = tessivo::QuantizeOctree(
        Photo().data(), kWidth, kHeight, kStride, 256, out.indices.data(), kWidth);
    out.palette = tessivo::PaletteRecordsFromArgb(palette.entries);
    return out;
  }();
  return q;
}

std::string TempPath(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/" + name;
}

// The photo as the native 24-bit image of `im`.
void LoadPhoto(tessivo::cImaging& im) {
  const int32_t id = im.CreateNewImage(kWidth, kHeight, 24);
  tessivo::platform::Bitmap* bitmap = tessivo::ResolveImage(id);
  for (int32_t y = 0; y < kHeight; ++y)
    std::memcpy(bitmap->Row(y), &Photo()[static_cast<size_t>(y) * kStride], kStride);
}

// The public method: lock as 24-bit, quantize, build the 8-bit image, replace the native image.
void TessivoQuantize8Bpp(benchmark::State& state) {
  tessivo::cImaging im;
  for (auto _ : state) {
    state.PauseTiming();
    im.RemoveAllImage();
    LoadPhoto(im);
    state.ResumeTiming();
    if (im.Quantize8Bpp(256) != tessivo::OK) state.SkipWithError("Quantize8Bpp failed");
  }
  im.RemoveAllImage();
}

// The public method on the quantized photo: lock, encode, write the file.
void TessivoSaveAsGIFi(benchmark::State& state) {
  tessivo::cImaging im;
  LoadPhoto(im);
  im.Quantize8Bpp(256);
  const std::string path = TempPath("bench_quantize.gif");
  for (auto _ : state)
    if (im.SaveAsGIFi(path) != tessivo::OK) state.SkipWithError("SaveAsGIFi failed");
  std::remove(path.c_str());
  im.RemoveAllImage();
}

// giflib fed the same indices, written to a file as well.
void GiflibSave(benchmark::State& state) {
  const Quantized& q = PhotoIndices();
  std::vector<GifColorType> colors(256);
  for (size_t i = 0; i < q.palette.size(); ++i)
    colors[i] = {q.palette[i].red, q.palette[i].green, q.palette[i].blue};
  const std::vector<int32_t> rows = tessivo::GifRowOrder(kHeight, true);
  const std::string path = TempPath("bench_giflib.gif");
  for (auto _ : state) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, true, nullptr);
    for (int32_t y : rows)
      EGifPutLine(gif, const_cast<GifPixelType*>(&q.indices[static_cast<size_t>(y) * kWidth]), kWidth);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
  }
  std::remove(path.c_str());
}

void TessivoQuantize256(benchmark::State& state) {
  const std::vector<uint8_t>& photo = Photo();
  std::vector<uint8_t> indices(static_cast<size_t>(kWidth) * kHeight);
  for (auto _ : state) {
    tessivo::platform::Palette palette =
        tessivo::QuantizeOctree(photo.data(), kWidth, kHeight, kStride, 256, indices.data(), kWidth);
    benchmark::DoNotOptimize(palette.entries.data());
  }
}

void MagickQuantize256(benchmark::State& state, MagickBooleanType dither) {
  MagickWand* source = NewMagickWand();
  MagickConstituteImage(source, kWidth, kHeight, "BGR", CharPixel, Photo().data());
  for (auto _ : state) {
    state.PauseTiming();
    MagickWand* wand = CloneMagickWand(source);
    state.ResumeTiming();
    MagickQuantizeImage(wand, 256, sRGBColorspace, 0, dither, MagickFalse);
    state.PauseTiming();
    DestroyMagickWand(wand);
    state.ResumeTiming();
  }
  DestroyMagickWand(source);
}

void TessivoGifEncode(benchmark::State& state) {
  const Quantized& q = PhotoIndices();
  tessivo::GifImage image;
  image.width = kWidth;
  image.height = kHeight;
  image.bits = 8;
  image.pixels = &q.indices;
  image.palette = &q.palette;
  image.interlaced = true;
  std::vector<uint8_t> file;
  for (auto _ : state) {
    tessivo::EncodeGIF89a(image, file);
    benchmark::DoNotOptimize(file.data());
  }
  state.counters["bytes"] = static_cast<double>(file.size());
}

void GiflibEncode(benchmark::State& state) {
  const Quantized& q = PhotoIndices();
  std::vector<uint8_t> file;
  auto write = [](GifFileType* gif, const GifByteType* bytes, int n) -> int {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + n);
    return n;
  };
  std::vector<GifColorType> colors(256);
  for (size_t i = 0; i < q.palette.size(); ++i)
    colors[i] = {q.palette[i].red, q.palette[i].green, q.palette[i].blue};
  const std::vector<int32_t> rows = tessivo::GifRowOrder(kHeight, true);
  for (auto _ : state) {
    file.clear();
    file.reserve(q.indices.size() / 2);
    int error = 0;
    GifFileType* gif = EGifOpen(&file, write, &error);
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, true, nullptr);
    for (int32_t y : rows)
      EGifPutLine(gif, const_cast<GifPixelType*>(&q.indices[static_cast<size_t>(y) * kWidth]), kWidth);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    benchmark::DoNotOptimize(file.data());
  }
  state.counters["bytes"] = static_cast<double>(file.size());
}

// Keeps each benchmark's time per iteration so the ratios can be printed after the run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) times[run.run_name.function_name] = run.GetAdjustedRealTime();
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  MagickWandGenesis();
  Photo();
  PhotoIndices();
  auto unit = benchmark::kMillisecond;
  benchmark::RegisterBenchmark("quantize256/tessivo_Quantize8Bpp", TessivoQuantize8Bpp)->Unit(unit)->UseRealTime();
  benchmark::RegisterBenchmark("quantize256/tessivo", TessivoQuantize256)->Unit(unit)->UseRealTime();
  benchmark::RegisterBenchmark("quantize256/imagemagick_colors", MagickQuantize256, MagickTrue)
      ->Unit(unit)->UseRealTime();
  benchmark::RegisterBenchmark("quantize256/imagemagick_nodither", MagickQuantize256, MagickFalse)
      ->Unit(unit)->UseRealTime();
  benchmark::RegisterBenchmark("gif_interlaced/tessivo", TessivoGifEncode)->Unit(unit)->UseRealTime();
  benchmark::RegisterBenchmark("gif_interlaced/giflib", GiflibEncode)->Unit(unit)->UseRealTime();
  benchmark::RegisterBenchmark("gif_file/tessivo_SaveAsGIFi", TessivoSaveAsGIFi)->Unit(unit)->UseRealTime();
  benchmark::RegisterBenchmark("gif_file/giflib", GiflibSave)->Unit(unit)->UseRealTime();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  MagickWandTerminus();

  auto ratio = [&](const char* ours, const char* theirs, const char* target) {
    if (!reporter.times.count(ours) || !reporter.times.count(theirs)) return;
    std::printf("%-28s / %-34s = %.2f  (target %s)\n", ours, theirs,
                reporter.times[ours] / reporter.times[theirs], target);
  };
  std::printf("\nRatios (time of tessivo / time of the other; below 1 is faster):\n");
  ratio("quantize256/tessivo_Quantize8Bpp", "quantize256/imagemagick_colors", "<= 1.0");
  ratio("quantize256/tessivo_Quantize8Bpp", "quantize256/imagemagick_nodither", "info");
  ratio("quantize256/tessivo", "quantize256/imagemagick_colors", "<= 1.0");
  ratio("quantize256/tessivo", "quantize256/imagemagick_nodither", "info");
  ratio("gif_interlaced/tessivo", "gif_interlaced/giflib", "<= 1.5");
  ratio("gif_file/tessivo_SaveAsGIFi", "gif_file/giflib", "<= 1.5");
  return 0;
}
