// The codec plug-in's decoders against the platform decoders and against ImageMagick's own
// `convert` reading the same files: a 24-megapixel JPEG (6000 x 4000) and a 100-page CCITT
// Group 4 TIFF (A4 pages at 300 dpi). Plug-in times include the conversion into a platform
// bitmap, which is what loading through the toolkit costs. After the runs the ratios are
// printed; the JPEG route through the plug-in must stay within 1.10 of the platform decoder.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/codec_bitmaps.h"
#include "core/codec_plugin.h"
#include "platform/codecs/codecs.h"
#include "ratio_reporter.h"
#include "tessivo/imaging.h"

namespace {

using namespace tessivo;
using platform::Bitmap;

constexpr int32_t kWidth = 6000;
constexpr int32_t kHeight = 4000;
constexpr int32_t kPages = 100;
constexpr int32_t kPageWidth = 2480;
constexpr int32_t kPageHeight = 3508;
const std::string kJpegEncoder = "{557CF401-1A04-11D3-9A73-0000F81EF32E}";

std::string TempPath(const std::string& name) {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp") + "/tessivo-bench-" + std::to_string(::getpid()) +
         "-" + name;
}

const TvimgplugApi* Codec() {
  static const TvimgplugApi* codec = CodecPlugin();
  return codec;
}

const std::string& JpegFile() {
  static const std::string path = [] {
    std::unique_ptr<Bitmap> b;
    Bitmap::Create(kWidth, kHeight, platform::kPixelFormat24bppRGB, b);
    std::mt19937 rng(1);
    for (int32_t y = 0; y < kHeight; ++y) {
      uint8_t* row = b->Row(y);
      for (int32_t x = 0; x < kWidth; ++x) {
        row[3 * x] = static_cast<uint8_t>(x * 255 / kWidth + (rng() & 7));
        row[3 * x + 1] = static_cast<uint8_t>(y * 255 / kHeight + (rng() & 7));
        row[3 * x + 2] = static_cast<uint8_t>((x ^ y) & 0xFF);
      }
    }
    const std::string p = TempPath("photo.jpg");
    platform::EncodeImageFile(*b, p, kJpegEncoder, {{platform::EncoderParameterId::Quality, 90}});
    return p;
  }();
  return path;
}

// Pages of "text": rows of short black words on white, different on every page.
const std::string& FaxFile() {
  static const std::string path = [] {
    const std::string p = TempPath("pages.tif");
    const TvimgplugApi* codec = Codec();
    if (!codec) return p;
    tvimg_multibitmap* document = codec->CreateMultiBitmap(TVIMG_TIFF, p.c_str());
    std::mt19937 rng(7);
    for (int32_t page = 0; page < kPages; ++page) {
      tvimg_bitmap* bitmap = codec->Allocate(kPageWidth, kPageHeight, 1);
      uint8_t* bits = codec->GetBits(bitmap);
      const uint32_t pitch = codec->GetPitch(bitmap);
      uint8_t* palette = codec->GetPalette(bitmap);  // index 1 white, 0 black
      palette[0] = palette[1] = palette[2] = 0;
      palette[4] = palette[5] = palette[6] = 255;
      for (int32_t y = 0; y < kPageHeight; ++y) std::fill_n(bits + size_t{pitch} * y, pitch, 0xFF);
      for (int32_t line = 300; line + 40 < kPageHeight - 300; line += 60)
        for (int32_t x = 250; x < kPageWidth - 400;) {
          const int32_t word = 60 + static_cast<int32_t>(rng() % 200);
          for (int32_t y = line; y < line + 30; ++y)
            for (int32_t i = x; i < x + word; i += 1 + static_cast<int32_t>(rng() % 3))
              bits[size_t{pitch} * y + i / 8] &= static_cast<uint8_t>(~(0x80 >> (i % 8)));
          x += word + 30;
        }
      codec->AppendPage(document, bitmap);
      codec->Unload(bitmap);
    }
    codec->CloseMultiBitmap(document, TVIMG_SAVE_TIFF_CCITT4);
    return p;
  }();
  return path;
}

void PlatformJpeg(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<Bitmap> image;
    if (platform::DecodeImageFile(JpegFile(), false, image) != platform::Status::Ok) {
      state.SkipWithError("decode failed");
      return;
    }
    benchmark::DoNotOptimize(image->Scan0());
  }
}

void PluginJpeg(benchmark::State& state) {
  const TvimgplugApi* codec = Codec();
  if (!codec) return state.SkipWithError("no codec plug-in");
  for (auto _ : state) {
    CodecBitmap bitmap(*codec, codec->Load(TVIMG_JPEG, JpegFile().c_str(), 0));
    std::unique_ptr<Bitmap> image;
    bool shared = false;  // as the file pipeline does: the image may use the codec's rows
    if (!bitmap || FromCodecBitmap(*codec, bitmap.get(), image, &shared) != OK) {
      state.SkipWithError("decode failed");
      return;
    }
    benchmark::DoNotOptimize(image->Scan0());
  }
}

// The whole file pipeline of the toolkit, codec plug-in allowed or not.
void ToolkitJpeg(benchmark::State& state, bool codecDisabled) {
  cImaging im;
  im.DisableTvimgplugCodecs(codecDisabled);
  for (auto _ : state) {
    const int32_t id = im.CreateImageFromFile(JpegFile());
    if (id == 0) return state.SkipWithError("load failed");
    im.CloseImage(id);
  }
}

void PlatformFax(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<Bitmap> image;
    if (platform::DecodeImageFile(FaxFile(), false, image) != platform::Status::Ok) {
      state.SkipWithError("decode failed");
      return;
    }
    const uint32_t pages = image->FrameCount(platform::FrameDimension::Page);
    for (uint32_t page = 1; page < pages; ++page)
      image->SelectActiveFrame(platform::FrameDimension::Page, page);
    benchmark::DoNotOptimize(image->Scan0());
    if (pages != kPages) return state.SkipWithError("wrong page count");
  }
}

void PluginFax(benchmark::State& state) {
  const TvimgplugApi* codec = Codec();
  if (!codec) return state.SkipWithError("no codec plug-in");
  for (auto _ : state) {
    tvimg_file* file = codec->OpenFile(FaxFile().c_str());
    tvimg_multibitmap* document = codec->OpenMultiBitmapFromFile(TVIMG_TIFF, file, 0);
    const int32_t pages = codec->GetPageCount(document);
    for (int32_t page = 0; page < pages; ++page) {
      tvimg_bitmap* locked = codec->LockPage(document, page);
      std::unique_ptr<Bitmap> image;
      FromCodecBitmap(*codec, locked, image);
      benchmark::DoNotOptimize(image.get());
      codec->UnlockPage(document, locked, 0);
    }
    codec->CloseMultiBitmap(document, 0);
    codec->CloseFile(file);
    if (pages != kPages) return state.SkipWithError("wrong page count");
  }
}

// ImageMagick's command-line tool reading the file and discarding the pictures. `pages` > 1
// reads one page per run: convert keeps every page of a file in memory at once, and 100 A4
// pages exceed its default resource policy.
bool RunConvert(const std::string& input) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl("/usr/bin/convert", "convert", "-limit", "thread", "1", input.c_str(), "null:",
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void ConvertReads(benchmark::State& state, const std::string& path, int32_t pages = 1) {
  for (auto _ : state) {
    for (int32_t page = 0; page < pages; ++page) {
      const std::string input = pages > 1 ? path + "[" + std::to_string(page) + "]" : path;
      if (!RunConvert(input)) return state.SkipWithError("convert failed");
    }
  }
}

const tessivo::bench::RatioReporter::Pairs kPairs = {
    {"Plugin/Jpeg24MP", "Platform/Jpeg24MP"},
    {"Plugin/Jpeg24MP", "Convert/Jpeg24MP"},
    {"Toolkit/Jpeg24MP/plugin", "Toolkit/Jpeg24MP/platform"},
    {"Plugin/Fax100Pages", "Platform/Fax100Pages"},
    {"Plugin/Fax100Pages", "Convert/Fax100Pages"},
};


}  // namespace

int main(int argc, char** argv) {
  auto add = [](const char* name, auto fn, int iterations) {
    benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->Iterations(iterations);
  };
  add("Platform/Jpeg24MP", PlatformJpeg, 8);
  add("Plugin/Jpeg24MP", PluginJpeg, 8);
  add("Toolkit/Jpeg24MP/platform", [](benchmark::State& s) { ToolkitJpeg(s, true); }, 8);
  add("Toolkit/Jpeg24MP/plugin", [](benchmark::State& s) { ToolkitJpeg(s, false); }, 8);
  add("Convert/Jpeg24MP", [](benchmark::State& s) { ConvertReads(s, JpegFile()); }, 4);
  add("Platform/Fax100Pages", PlatformFax, 3);
  add("Plugin/Fax100Pages", PluginFax, 3);
  add("Convert/Fax100Pages", [](benchmark::State& s) { ConvertReads(s, FaxFile(), kPages); }, 1);
  benchmark::Initialize(&argc, argv);
  JpegFile();
  FaxFile();
  tessivo::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("Plug-in time / other decoder's time (below 1.00 = the plug-in is faster):", kPairs, 0);
  const double jpeg = reporter.Find("Toolkit/Jpeg24MP/plugin") / reporter.Find("Toolkit/Jpeg24MP/platform");
  if (jpeg > 0) std::printf("JPEG through the plug-in within 1.10 of the platform: %s\n", jpeg <= 1.10 ? "yes" : "NO");
  std::remove(JpegFile().c_str());
  std::remove(FaxFile().c_str());
  return 0;
}
