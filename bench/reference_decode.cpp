// reference_decode FORMAT FILE: decodes one file with the format library alone into one caller
// buffer and exits, so that bench/pipeline.sh can time and measure a whole process that does
// nothing but the library's own decode. FORMAT is jpeg (tjDecompress2), png (a libpng read loop)
// or tiff (TIFFReadEncodedStrip). Prints the decoded size and a checksum so the work is not
// optimised away; exit status 1 on any failure.
#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Decoded {
  std::unique_ptr<uint8_t[]> pixels;
  size_t size = 0;
};

bool ReadWhole(const char* path, std::vector<uint8_t>& out) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return false;
  }
  out.resize(static_cast<size_t>(st.st_size));
  size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  return done == out.size();
}

bool DecodeJpeg(const char* path, Decoded& d) {
  std::vector<uint8_t> file;
  if (!ReadWhole(path, file)) return false;
  tjhandle tj = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  bool ok = tjDecompressHeader3(tj, file.data(), file.size(), &width, &height, &subsampling,
                                &colourspace) == 0;
  if (ok) {
    d.size = static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
    d.pixels.reset(new uint8_t[d.size]);
    ok = tjDecompress2(tj, file.data(), file.size(), d.pixels.get(), width, width * 3, height,
                       TJPF_BGR, 0) == 0;
  }
  tjDestroy(tj);
  return ok;
}

bool DecodePng(const char* path, Decoded& d) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, f);
    png_read_info(png, info);
    png_set_bgr(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    d.size = rowBytes * height;
    d.pixels.reset(new uint8_t[d.size]);
    for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, d.pixels.get() + y * rowBytes, nullptr);
    png_read_end(png, nullptr);
    ok = true;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  return ok;
}

bool DecodeTiff(const char* path, Decoded& d) {
  TIFFSetWarningHandler(nullptr);
  TIFF* tif = TIFFOpen(path, "r");
  if (!tif) return false;
  const tmsize_t stripSize = TIFFStripSize(tif);
  const uint32_t strips = TIFFNumberOfStrips(tif);
  d.size = static_cast<size_t>(stripSize) * strips;
  d.pixels.reset(new uint8_t[d.size]);
  size_t at = 0;
  bool ok = true;
  for (uint32_t s = 0; s < strips && ok; ++s) {
    const tmsize_t got = TIFFReadEncodedStrip(tif, s, d.pixels.get() + at, stripSize);
    ok = got >= 0;
    at += static_cast<size_t>(got);
  }
  d.size = at;
  TIFFClose(tif);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: reference_decode jpeg|png|tiff FILE\n");
    return 2;
  }
  const std::string format = argv[1];
  Decoded d;
  bool ok = false;
  if (format == "jpeg") ok = DecodeJpeg(argv[2], d);
  else if (format == "png") ok = DecodePng(argv[2], d);
  else if (format == "tiff") ok = DecodeTiff(argv[2], d);
  if (!ok) {
    std::fprintf(stderr, "reference_decode: cannot decode %s\n", argv[2]);
    return 1;
  }
  uint64_t sum = 0;
  for (size_t i = 0; i < d.size; i += 4096) sum += d.pixels[i];
  std::printf("%zu bytes, checksum %llu\n", d.size, static_cast<unsigned long long>(sum));
  return 0;
}
