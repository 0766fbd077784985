// Codec speed on a 24-megapixel image (6000 x 4000, 24 bpp): JPEG, PNG and LZW TIFF decoding
// and encoding through the platform codecs, each next to the same work done by calling
// libjpeg-turbo (TurboJPEG), libpng and libtiff directly with the same settings. After the
// runs the ratios (codec time / library time) are printed.
#include <benchmark/benchmark.h>
#include <png.h>
#include <tiffio.h>
#include <turbojpeg.h>

#include <csetjmp>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/codecs/codecs.h"

namespace {

using namespace tessivo::platform;
using Bytes = std::vector<uint8_t>;

constexpr int32_t kWidth = 6000;
constexpr int32_t kHeight = 4000;
const std::string kJpeg = "{557CF401-1A04-11D3-9A73-0000F81EF32E}";
const std::string kTiff = "{557CF405-1A04-11D3-9A73-0000F81EF32E}";
const std::string kPng = "{557CF406-1A04-11D3-9A73-0000F81EF32E}";

// A photographic-like gradient with a little noise.
const Bitmap& Photo() {
  static std::unique_ptr<Bitmap> image = [] {
    std::unique_ptr<Bitmap> b;
    Bitmap::Create(kWidth, kHeight, kPixelFormat24bppRGB, b);
    std::mt19937 rng(1);
    for (int32_t y = 0; y < kHeight; ++y) {
      uint8_t* row = b->Row(y);
      for (int32_t x = 0; x < kWidth; ++x) {
        row[3 * x] = static_cast<uint8_t>(x * 255 / kWidth + (rng() & 7));
        row[3 * x + 1] = static_cast<uint8_t>(y * 255 / kHeight + (rng() & 7));
        row[3 * x + 2] = static_cast<uint8_t>((x + y) * 255 / (kWidth + kHeight));
      }
    }
    return b;
  }();
  return *image;
}

// The image's rows as one packed buffer (BGR, or RGB for libtiff).
const Bytes& Packed(bool rgb) {
  static std::map<bool, Bytes> cache;
  Bytes& out = cache[rgb];
  if (out.empty()) {
    const Bitmap& b = Photo();
    out.resize(size_t{kWidth} * kHeight * 3);
    for (int32_t y = 0; y < kHeight; ++y) {
      const uint8_t* row = b.Row(y);
      uint8_t* dst = out.data() + size_t{kWidth} * 3 * y;
      for (int32_t x = 0; x < kWidth; ++x) {
        dst[3 * x] = row[3 * x + (rgb ? 2 : 0)];
        dst[3 * x + 1] = row[3 * x + 1];
        dst[3 * x + 2] = row[3 * x + (rgb ? 0 : 2)];
      }
    }
  }
  return out;
}

const Bytes& Encoded(const std::string& clsid) {
  static std::map<std::string, Bytes> cache;
  Bytes& out = cache[clsid];
  if (out.empty()) {
    MemoryStream s;
    EncodeImageStream(Photo(), s, clsid);
    out = s.TakeBytes();
  }
  return out;
}

std::string TempPath(const char* name) { return std::string("/tmp/tessivo-bench-") + name; }

const std::string& TiffFile() {
  static std::string path = [] {
    std::string p = TempPath("decode.tif");
    EncodeImageFile(Photo(), p, kTiff);
    return p;
  }();
  return path;
}

// --- The platform codecs ---

void CodecDecode(benchmark::State& state, const std::string& clsid) {
  const Bytes& file = Encoded(clsid);
  for (auto _ : state) {
    std::unique_ptr<Bitmap> image;
    if (DecodeImageMemory(file.data(), file.size(), false, image) != Status::Ok) {
      state.SkipWithError("decode failed");
      return;
    }
    benchmark::DoNotOptimize(image->Scan0());
  }
}

void CodecEncode(benchmark::State& state, const std::string& clsid) {
  const Bitmap& image = Photo();
  for (auto _ : state) {
    MemoryStream s;
    if (EncodeImageStream(image, s, clsid) != Status::Ok) {
      state.SkipWithError("encode failed");
      return;
    }
    benchmark::DoNotOptimize(s.Bytes().data());
  }
}

void CodecTiffDecode(benchmark::State& state) {
  const std::string& path = TiffFile();
  for (auto _ : state) {
    std::unique_ptr<Bitmap> image;
    if (DecodeImageFile(path, false, image) != Status::Ok) {
      state.SkipWithError("decode failed");
      return;
    }
    benchmark::DoNotOptimize(image->Scan0());
  }
}

void CodecTiffEncode(benchmark::State& state) {
  const std::string path = TempPath("encode.tif");
  for (auto _ : state) {
    if (EncodeImageFile(Photo(), path, kTiff) != Status::Ok) {
      state.SkipWithError("encode failed");
      return;
    }
  }
  std::remove(path.c_str());
}

// --- The libraries called directly ---

void TurboDecode(benchmark::State& state) {
  const Bytes& file = Encoded(kJpeg);
  tjhandle tj = tjInitDecompress();
  Bytes out(size_t{kWidth} * kHeight * 3);
  for (auto _ : state) {
    if (tjDecompress2(tj, file.data(), file.size(), out.data(), kWidth, kWidth * 3, kHeight,
                      TJPF_BGR, 0) != 0) {
      state.SkipWithError("tjDecompress2 failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  tjDestroy(tj);
}

void TurboEncode(benchmark::State& state) {
  const Bytes& pixels = Packed(false);
  tjhandle tj = tjInitCompress();
  for (auto _ : state) {
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    if (tjCompress2(tj, pixels.data(), kWidth, kWidth * 3, kHeight, TJPF_BGR, &jpeg, &size,
                    TJSAMP_420, 75, 0) != 0) {
      state.SkipWithError("tjCompress2 failed");
      break;
    }
    benchmark::DoNotOptimize(jpeg);
    tjFree(jpeg);
  }
  tjDestroy(tj);
}

struct PngReader {
  const Bytes* file;
  size_t position;
};

void PngRead(png_structp png, png_bytep out, png_size_t length) {
  auto* r = static_cast<PngReader*>(png_get_io_ptr(png));
  std::copy_n(r->file->data() + r->position, length, out);
  r->position += length;
}

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void PngFlush(png_structp) {}

void LibpngDecode(benchmark::State& state) {
  const Bytes& file = Encoded(kPng);
  Bytes pixels(size_t{kWidth} * kHeight * 3);
  std::vector<png_bytep> rows(kHeight);
  for (int32_t y = 0; y < kHeight; ++y) rows[y] = pixels.data() + size_t{kWidth} * 3 * y;
  for (auto _ : state) {
    PngReader reader{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
      state.SkipWithError("libpng failed");
      png_destroy_read_struct(&png, &info, nullptr);
      break;
    }
    png_set_read_fn(png, &reader, PngRead);
    png_read_info(png, info);
    png_set_bgr(png);
    png_read_update_info(png, info);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
}

void LibpngEncode(benchmark::State& state) {
  const Bytes& pixels = Packed(false);
  std::vector<png_bytep> rows(kHeight);
  for (int32_t y = 0; y < kHeight; ++y) {
    rows[y] = const_cast<png_bytep>(pixels.data() + size_t{kWidth} * 3 * y);
  }
  for (auto _ : state) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
      state.SkipWithError("libpng failed");
      png_destroy_write_struct(&png, &info);
      break;
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    benchmark::DoNotOptimize(out.data());
  }
}

void LibtiffDecode(benchmark::State& state) {
  const std::string& path = TiffFile();
  Bytes pixels(size_t{kWidth} * kHeight * 3);
  for (auto _ : state) {
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    tstrip_t strips = TIFFNumberOfStrips(tif);
    tmsize_t stripSize = TIFFStripSize(tif);
    uint8_t* at = pixels.data();
    for (tstrip_t s = 0; s < strips; ++s) {
      tmsize_t got = TIFFReadEncodedStrip(tif, s, at, stripSize);
      if (got < 0) {
        state.SkipWithError("libtiff failed");
        break;
      }
      at += got;
    }
    TIFFClose(tif);
    benchmark::DoNotOptimize(pixels.data());
  }
}

void LibtiffEncode(benchmark::State& state) {
  const Bytes& pixels = Packed(true);
  const std::string path = TempPath("direct.tif");
  for (auto _ : state) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    for (int32_t y = 0; y < kHeight; ++y) {
      TIFFWriteScanline(tif, const_cast<uint8_t*>(pixels.data() + size_t{kWidth} * 3 * y), y, 0);
    }
    TIFFClose(tif);
  }
  std::remove(path.c_str());
}

// Pairs of (codec, library) benchmark names whose ratio is printed.
const std::pair<const char*, const char*> kPairs[] = {
    {"Codec/JpegDecode", "Library/JpegDecode"}, {"Codec/JpegEncode", "Library/JpegEncode"},
    {"Codec/PngDecode", "Library/PngDecode"},   {"Codec/PngEncode", "Library/PngEncode"},
    {"Codec/TiffDecode", "Library/TiffDecode"}, {"Codec/TiffEncode", "Library/TiffEncode"},
};

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (!run.error_occurred) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    std::printf("\nCodec time / direct library time (1.00 = as fast):\n");
    for (const auto& [codec, library] : kPairs) {
      auto c = Find(codec), l = Find(library);
      if (c > 0 && l > 0) std::printf("  %-18s %6.2f\n", codec + 6, c / l);
    }
  }

 private:
  double Find(const std::string& prefix) const {
    for (const auto& [name, time] : times_) {
      if (name.rfind(prefix, 0) == 0) return time;
    }
    return 0;
  }
  std::map<std::string, double> times_;
};

void Register() {
  auto add = [](const char* name, auto fn, int iterations) {
    benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->Iterations(iterations);
  };
  add("Codec/JpegDecode", [](benchmark::State& s) { CodecDecode(s, kJpeg); }, 5);
  add("Library/JpegDecode", TurboDecode, 5);
  add("Codec/JpegEncode", [](benchmark::State& s) { CodecEncode(s, kJpeg); }, 5);
  add("Library/JpegEncode", TurboEncode, 5);
  add("Codec/PngDecode", [](benchmark::State& s) { CodecDecode(s, kPng); }, 3);
  add("Library/PngDecode", LibpngDecode, 3);
  add("Codec/PngEncode", [](benchmark::State& s) { CodecEncode(s, kPng); }, 2);
  add("Library/PngEncode", LibpngEncode, 2);
  add("Codec/TiffDecode", CodecTiffDecode, 3);
  add("Library/TiffDecode", LibtiffDecode, 3);
  add("Codec/TiffEncode", CodecTiffEncode, 3);
  add("Library/TiffEncode", LibtiffEncode, 3);
}

}  // namespace

int main(int argc, char** argv) {
  TIFFSetWarningHandler(nullptr);
  Register();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  std::remove(TiffFile().c_str());
  return 0;
}
