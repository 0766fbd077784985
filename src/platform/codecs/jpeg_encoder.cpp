// JPEG encoding with libjpeg-turbo: 8-bit grey-ramp images as greyscale, everything else as
// YCbCr 4:2:0 from 24-bit rows; JFIF density from the resolution, EXIF (APP1) from the
// property items, the ICC profile as APP2.
#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <vector>

#include "platform/codecs/codec_common.h"
#include "platform/codecs/encoders.h"
#include "platform/codecs/metadata.h"
#include "platform/codecs/property_tags.h"

namespace tessivo::platform::codecs {

namespace {

// An APP1 segment holds at most 65533 bytes after its length; "Exif\0\0" takes six.
constexpr size_t kMaxExifBlock = 65533 - 6;

struct ErrorManager {
  jpeg_error_mgr base;
  jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
  longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void OnJpegMessage(j_common_ptr, int) {}

struct Compressor {
  jpeg_compress_struct cinfo{};
  ErrorManager errors{};
  unsigned char* output = nullptr;
  unsigned long outputSize = 0;
  bool created = false;
  ~Compressor() {
    if (created) jpeg_destroy_compress(&cinfo);
    std::free(output);
  }
};

struct JpegPlan {
  bool grey = false;
  int quality = 75;
  uint16_t densityX = 0, densityY = 0;
  std::vector<uint8_t> exif;  // with "Exif\0\0"
  std::vector<uint8_t> icc;
};

uint16_t Density(float dpi) {
  double v = std::round(dpi);
  return v >= 1 && v <= 65535 ? static_cast<uint16_t>(v) : 0;
}

// The libjpeg calls (may longjmp): only plain data in this frame.
bool Compress(Compressor& c, const Bitmap& image, const JpegPlan& plan) {
  jpeg_compress_struct& cinfo = c.cinfo;
  if (setjmp(c.errors.jump)) return false;
  jpeg_mem_dest(&cinfo, &c.output, &c.outputSize);
  cinfo.image_width = static_cast<JDIMENSION>(image.Width());
  cinfo.image_height = static_cast<JDIMENSION>(image.Height());
  cinfo.input_components = plan.grey ? 1 : 3;
  cinfo.in_color_space = plan.grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, plan.quality, TRUE);
  if (plan.densityX > 0 && plan.densityY > 0) {
    cinfo.density_unit = 1;
    cinfo.X_density = plan.densityX;
    cinfo.Y_density = plan.densityY;
  }
  jpeg_start_compress(&cinfo, TRUE);
  if (!plan.exif.empty()) {
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, plan.exif.data(),
                      static_cast<unsigned int>(plan.exif.size()));
  }
  if (!plan.icc.empty()) {
    jpeg_write_icc_profile(&cinfo, plan.icc.data(), static_cast<unsigned int>(plan.icc.size()));
  }
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.Row(static_cast<int32_t>(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  return true;
}

}  // namespace

Status EncodeJpeg(const Bitmap& source, Stream& out, const EncodeSettings& settings) {
  const Bitmap* input = &source;
  std::unique_ptr<Bitmap> transformed;
  if (settings.transformation >= EncoderValueTransformRotate90 &&
      settings.transformation <= EncoderValueTransformFlipVertical) {
    static const RotateFlipType kTypes[] = {Rotate90FlipNone, Rotate180FlipNone,
                                            Rotate270FlipNone, RotateNoneFlipX, Rotate180FlipX};
    Status s = source.Clone(transformed);
    if (s == Status::Ok) {
      s = transformed->RotateFlip(kTypes[settings.transformation - EncoderValueTransformRotate90]);
    }
    if (s != Status::Ok) return s;
    input = transformed.get();
  }
  JpegPlan plan;
  plan.grey = input->Format() == kPixelFormat8bppIndexed && IsGreyRamp256(input->GetPalette());
  std::unique_ptr<Bitmap> holder;
  const Bitmap* image = nullptr;
  Status s = PixelsInFormat(*input, plan.grey ? kPixelFormat8bppIndexed : kPixelFormat24bppRGB,
                            holder, image);
  if (s != Status::Ok) return s;
  if (image->Width() > JPEG_MAX_DIMENSION || image->Height() > JPEG_MAX_DIMENSION) {
    return Status::InvalidParameter;  // beyond what a JPEG frame header can state
  }
  plan.quality = std::clamp(settings.quality, 0, 100);
  plan.densityX = Density(input->HorizontalResolution());
  plan.densityY = Density(input->VerticalResolution());
  std::vector<uint8_t> exif = BuildExifBlock(*input, kMaxExifBlock);
  if (!exif.empty()) {
    static const uint8_t kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
    plan.exif.assign(kExifHeader, kExifHeader + 6);
    plan.exif.insert(plan.exif.end(), exif.begin(), exif.end());
  }
  PropertyItem icc;
  if (input->GetProperty(kPropertyTagICCProfile, icc) == Status::Ok) plan.icc = icc.value;

  Compressor c;
  c.cinfo.err = jpeg_std_error(&c.errors.base);
  c.errors.base.error_exit = OnJpegError;
  c.errors.base.emit_message = OnJpegMessage;
  if (setjmp(c.errors.jump)) return Status::OutOfMemory;  // jpeg_create_compress failed
  jpeg_create_compress(&c.cinfo);
  c.created = true;
  if (!Compress(c, *image, plan)) return Status::GenericError;
  return out.Write(c.output, c.outputSize);
}

}  // namespace tessivo::platform::codecs
