// PNG encoding with libpng: indexed formats as palette images (palette alpha as tRNS),
// 16-bit grey as 16-bit grey, RGB as 8 or 16-bit RGB, alpha formats as RGBA (premultiplied
// formats are converted to straight alpha first), with pHYs, iCCP and eXIf chunks.
#include <png.h>

#include <cmath>
#include <csetjmp>
#include <vector>

#include "platform/codecs/codec_common.h"
#include "platform/codecs/encoders.h"
#include "platform/codecs/metadata.h"
#include "platform/codecs/property_tags.h"

namespace tessivo::platform::codecs {

namespace {

struct StreamWriter {
  Stream* stream;
  Status status = Status::Ok;
};

void WriteToStream(png_structp png, png_bytep data, png_size_t length) {
  auto* w = static_cast<StreamWriter*>(png_get_io_ptr(png));
  Status s = w->stream->Write(data, length);
  if (s != Status::Ok) {
    w->status = s;
    png_error(png, "write failed");
  }
}
void FlushStream(png_structp) {}

[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

PixelFormat StoredFormat(PixelFormat f) {
  switch (f) {
    case kPixelFormat1bppIndexed:
    case kPixelFormat4bppIndexed:
    case kPixelFormat8bppIndexed:
    case kPixelFormat16bppGrayScale:
    case kPixelFormat24bppRGB:
    case kPixelFormat32bppRGB:
    case kPixelFormat32bppARGB:
    case kPixelFormat48bppRGB:
    case kPixelFormat64bppARGB:
      return f;
    case kPixelFormat16bppRGB555:
    case kPixelFormat16bppRGB565:
      return kPixelFormat24bppRGB;
    case kPixelFormat64bppPARGB:
      return kPixelFormat64bppARGB;
    default:
      return kPixelFormat32bppARGB;  // ARGB1555, PARGB
  }
}

struct PngHeader {
  int bitDepth = 8;
  int colorType = PNG_COLOR_TYPE_RGB;
  bool filler = false;  // 32bppRGB: the fourth byte is dropped
};

PngHeader HeaderFor(PixelFormat f) {
  PngHeader h;
  switch (f) {
    case kPixelFormat1bppIndexed: h = {1, PNG_COLOR_TYPE_PALETTE}; break;
    case kPixelFormat4bppIndexed: h = {4, PNG_COLOR_TYPE_PALETTE}; break;
    case kPixelFormat8bppIndexed: h = {8, PNG_COLOR_TYPE_PALETTE}; break;
    case kPixelFormat16bppGrayScale: h = {16, PNG_COLOR_TYPE_GRAY}; break;
    case kPixelFormat24bppRGB: h = {8, PNG_COLOR_TYPE_RGB}; break;
    case kPixelFormat32bppRGB: h = {8, PNG_COLOR_TYPE_RGB, true}; break;
    case kPixelFormat32bppARGB: h = {8, PNG_COLOR_TYPE_RGB_ALPHA}; break;
    case kPixelFormat48bppRGB: h = {16, PNG_COLOR_TYPE_RGB}; break;
    default: h = {16, PNG_COLOR_TYPE_RGB_ALPHA}; break;  // 64bppARGB
  }
  return h;
}

// Everything the write needs, prepared before the setjmp region.
struct PngPlan {
  PngHeader header;
  std::vector<png_color> palette;
  std::vector<png_byte> alpha;  // tRNS entries, trailing opaque entries trimmed
  std::vector<uint8_t> icc;
  std::vector<uint8_t> exif;
  std::vector<png_bytep> rows;
  png_uint_32 ppmX = 0, ppmY = 0;
};

void PreparePalette(const Bitmap& image, PngPlan& plan) {
  const Palette& p = image.GetPalette();
  size_t capacity = static_cast<size_t>(PaletteCapacity(image.Format()));
  for (size_t i = 0; i < capacity; ++i) {
    uint32_t c = i < p.entries.size() ? p.entries[i] : 0xFF000000u;
    plan.palette.push_back({static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                            static_cast<png_byte>(c)});
    plan.alpha.push_back(static_cast<png_byte>(c >> 24));
  }
  while (!plan.alpha.empty() && plan.alpha.back() == 0xFF) plan.alpha.pop_back();
}

png_uint_32 PixelsPerMeter(float dpi) {
  double v = std::round(dpi / 0.0254);
  return v > 0 && v < 2147483647.0 ? static_cast<png_uint_32>(v) : 0;
}

// The libpng calls (may longjmp): only plain data in this frame.
bool WritePng(png_structp png, png_infop info, const Bitmap& image, PngPlan& plan) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_benign_errors(png, 1);  // a doubtful ICC profile is left out, not fatal
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width()),
               static_cast<png_uint_32>(image.Height()), plan.header.bitDepth,
               plan.header.colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!plan.palette.empty()) {
    png_set_PLTE(png, info, plan.palette.data(), static_cast<int>(plan.palette.size()));
    if (!plan.alpha.empty()) {
      png_set_tRNS(png, info, plan.alpha.data(), static_cast<int>(plan.alpha.size()), nullptr);
    }
  }
  if (plan.ppmX > 0 && plan.ppmY > 0) {
    png_set_pHYs(png, info, plan.ppmX, plan.ppmY, PNG_RESOLUTION_METER);
  }
  if (!plan.icc.empty()) {
    png_set_iCCP(png, info, "ICC Profile", PNG_COMPRESSION_TYPE_BASE, plan.icc.data(),
                 static_cast<png_uint_32>(plan.icc.size()));
  }
  png_write_info(png, info);
  // The EXIF chunk goes out here, ahead of the image data as readers expect: handed to libpng
  // through the info structure it would only be written after IDAT.
  if (!plan.exif.empty()) {
    static const png_byte kExifChunk[5] = {'e', 'X', 'I', 'f', '\0'};
    png_write_chunk(png, kExifChunk, plan.exif.data(), plan.exif.size());
  }
  if (plan.header.colorType != PNG_COLOR_TYPE_PALETTE &&
      plan.header.colorType != PNG_COLOR_TYPE_GRAY) {
    png_set_bgr(png);
  }
  if (plan.header.filler) png_set_filler(png, 0, PNG_FILLER_AFTER);
  if (plan.header.bitDepth == 16) png_set_swap(png);  // bitmap samples are little-endian
  png_write_image(png, plan.rows.data());
  png_write_end(png, info);
  return true;
}

}  // namespace

Status EncodePng(const Bitmap& source, Stream& out) {
  std::unique_ptr<Bitmap> holder;
  const Bitmap* image = nullptr;
  Status s = PixelsInFormat(source, StoredFormat(source.Format()), holder, image);
  if (s != Status::Ok) return s;
  PngPlan plan;
  plan.header = HeaderFor(image->Format());
  if (IsIndexed(image->Format())) PreparePalette(*image, plan);
  plan.ppmX = PixelsPerMeter(image->HorizontalResolution());
  plan.ppmY = PixelsPerMeter(image->VerticalResolution());
  PropertyItem icc;
  if (source.GetProperty(kPropertyTagICCProfile, icc) == Status::Ok) plan.icc = icc.value;
  plan.exif = BuildExifBlock(source, size_t{1} << 20);
  plan.rows.resize(static_cast<size_t>(image->Height()));
  for (int32_t y = 0; y < image->Height(); ++y) {
    // libpng only reads the rows it is given.
    plan.rows[static_cast<size_t>(y)] = const_cast<uint8_t*>(image->Row(y));
  }

  StreamWriter writer{&out};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError,
                                            OnPngWarning);
  if (png == nullptr) return Status::OutOfMemory;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return Status::OutOfMemory;
  }
  png_set_write_fn(png, &writer, WriteToStream, FlushStream);
  bool ok = WritePng(png, info, *image, plan);
  png_destroy_write_struct(&png, &info);
  if (ok) return Status::Ok;
  return writer.status != Status::Ok ? writer.status : Status::GenericError;
}

}  // namespace tessivo::platform::codecs
