// JPEG decoding with libjpeg-turbo: greyscale, YCbCr/RGB, CMYK and YCCK (Adobe inverted
// samples), JFIF or EXIF resolution, EXIF and ICC metadata, quantisation tables.
#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "platform/codecs/decoders.h"
#include "platform/codecs/icc.h"
#include "platform/codecs/metadata.h"
#include "platform/codecs/property_tags.h"

namespace tessivo::platform::codecs {

namespace {

// Progressive files can declare thousands of scans, each a full pass over the image; real
// files have a few dozen.
constexpr int kMaxScans = 1000;

struct ErrorManager {
  jpeg_error_mgr base;
  jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
  longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void OnJpegMessage(j_common_ptr, int) {}  // warnings (corrupt data recovered from): silent

void OnProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (cinfo->is_decompressor && d->input_scan_number > kMaxScans) {
    cinfo->err->msg_code = 0;  // the message does not matter: the handler jumps out
    cinfo->err->error_exit(cinfo);
  }
}

struct Decompressor {
  jpeg_decompress_struct cinfo{};
  ErrorManager errors{};
  jpeg_progress_mgr progress{};
  bool created = false;
  ~Decompressor() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

// Everything the decode learns, kept outside the setjmp frame.
struct JpegResult {
  std::unique_ptr<Bitmap> image;
  std::vector<uint8_t> icc;
  std::vector<uint8_t> exif;
  std::vector<uint8_t> cmykRow;
  std::vector<JSAMPROW> rows;  // every output row, so libjpeg can fill several per call
  std::unique_ptr<CmykConverter> cmyk;
  Status status = Status::Ok;
  uint32_t colorSpace = ImageFlagsColorSpaceRGB;
  int densityUnit = 0;
  double dpiX = 0;
  double dpiY = 0;
  uint16_t quantTables[2][64] = {};
  bool hasQuant[2] = {false, false};
};

void CollectMarkers(j_decompress_ptr cinfo, JpegResult& r) {
  for (jpeg_saved_marker_ptr m = cinfo->marker_list; m != nullptr; m = m->next) {
    if (m->marker == JPEG_APP0 + 1 && r.exif.empty() && m->data_length > 14 &&
        std::memcmp(m->data, "Exif\0\0", 6) == 0) {
      r.exif.assign(m->data + 6, m->data + m->data_length);
    }
  }
  JOCTET* icc = nullptr;
  unsigned int iccLength = 0;
  if (jpeg_read_icc_profile(cinfo, &icc, &iccLength) && icc != nullptr) {
    r.icc.assign(icc, icc + iccLength);
  }
  std::free(icc);
}

// The part of the decode that may longjmp. Nothing with a destructor is created in this
// frame; everything lives in `d` and `r`. Returns 0 on success, 1 when the header is
// unreadable, 2 when decoding failed later (r.status tells more for allocation failures).
int RunDecode(Decompressor& d, const uint8_t* data, size_t size, bool icm, JpegResult& r) {
  jpeg_decompress_struct& cinfo = d.cinfo;
  volatile bool headerRead = false;
  if (setjmp(d.errors.jump)) return headerRead ? 2 : 1;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_save_markers(&cinfo, JPEG_APP0 + 2, 0xFFFF);
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) return 1;
  headerRead = true;

  PixelFormat format = kPixelFormat24bppRGB;
  switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
      format = kPixelFormat8bppIndexed;
      cinfo.out_color_space = JCS_GRAYSCALE;
      r.colorSpace = ImageFlagsColorSpaceGRAY;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      format = kPixelFormat32bppRGB;
      cinfo.out_color_space = JCS_CMYK;
      r.colorSpace = cinfo.jpeg_color_space == JCS_CMYK ? ImageFlagsColorSpaceCMYK
                                                        : ImageFlagsColorSpaceYCCK;
      break;
    case JCS_YCbCr:
      cinfo.out_color_space = JCS_EXT_BGR;
      r.colorSpace = ImageFlagsColorSpaceYCBCR;
      break;
    default:
      cinfo.out_color_space = JCS_EXT_BGR;
      r.colorSpace = ImageFlagsColorSpaceRGB;
      break;
  }
  r.status = NewDecodedBitmap(cinfo.image_width, cinfo.image_height, format, r.image);
  if (r.status != Status::Ok) return 2;
  // Coefficient buffers of progressive files come on top of the pixels.
  cinfo.mem->max_memory_to_use = static_cast<long>(DecodePixelLimit()) * 4;
  CollectMarkers(&cinfo, r);
  r.densityUnit = cinfo.density_unit;
  double scale = cinfo.density_unit == 2 ? 2.54 : 1.0;
  r.dpiX = cinfo.X_density * scale;
  r.dpiY = cinfo.Y_density * scale;
  for (int t = 0; t < 2; ++t) {
    if (cinfo.quant_tbl_ptrs[t] != nullptr) {
      r.hasQuant[t] = true;
      std::memcpy(r.quantTables[t], cinfo.quant_tbl_ptrs[t]->quantval, sizeof r.quantTables[t]);
    }
  }
  bool cmyk = cinfo.out_color_space == JCS_CMYK;
  if (cmyk) {
    r.cmykRow.resize(static_cast<size_t>(cinfo.image_width) * 4);
    const uint8_t* profile = icm && !r.icc.empty() ? r.icc.data() : nullptr;
    r.cmyk = std::make_unique<CmykConverter>(profile, r.icc.size(), cinfo.saw_Adobe_marker != 0);
  }

  Bitmap& image = *r.image;
  if (!cmyk) {
    r.rows.resize(cinfo.image_height);
    for (JDIMENSION y = 0; y < cinfo.image_height; ++y) r.rows[y] = image.Row(static_cast<int32_t>(y));
  }
  jpeg_start_decompress(&cinfo);
  while (cinfo.output_scanline < cinfo.output_height) {
    JDIMENSION y = cinfo.output_scanline;
    if (cmyk) {
      JSAMPROW row = r.cmykRow.data();
      if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
      r.cmyk->Convert(row, image.Row(static_cast<int32_t>(y)), cinfo.output_width);
    } else if (jpeg_read_scanlines(&cinfo, r.rows.data() + y, cinfo.output_height - y) == 0) {
      break;  // suspended: cannot happen with a memory source, but never loop forever
    }
  }
  jpeg_finish_decompress(&cinfo);
  return 0;
}

void AddQuantTables(Bitmap& image, const JpegResult& r) {
  const uint32_t ids[2] = {kPropertyTagLuminanceTable, kPropertyTagChrominanceTable};
  for (int t = 0; t < 2; ++t) {
    if (!r.hasQuant[t]) continue;
    uint8_t bytes[128];
    for (int i = 0; i < 64; ++i) WriteLe16(bytes + 2 * i, r.quantTables[t][i]);
    AddProperty(image, ids[t], PropertyTagTypeShort, bytes, sizeof bytes);
  }
}

}  // namespace

Status DecodeJpeg(const uint8_t* data, size_t size, bool icm, std::unique_ptr<Bitmap>& out) {
  out.reset();
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return Status::UnknownImageFormat;
  Decompressor d;
  d.cinfo.err = jpeg_std_error(&d.errors.base);
  d.errors.base.error_exit = OnJpegError;
  d.errors.base.emit_message = OnJpegMessage;
  JpegResult r;
  if (setjmp(d.errors.jump)) return Status::OutOfMemory;  // jpeg_create_decompress failed
  jpeg_create_decompress(&d.cinfo);
  d.created = true;
  d.progress.progress_monitor = OnProgress;
  d.cinfo.progress = &d.progress;

  int result = RunDecode(d, data, size, icm, r);
  if (result == 1) return Status::UnknownImageFormat;
  if (result == 2) return r.status != Status::Ok ? r.status : Status::GenericError;

  Bitmap& image = *r.image;
  if (image.Format() == kPixelFormat8bppIndexed) image.SetPalette(GreyRampPalette(256));
  if (!r.exif.empty()) ReadExifProperties(r.exif.data(), r.exif.size(), image);
  if (!r.icc.empty()) {
    AddProperty(image, kPropertyTagICCProfile, 7, r.icc.data(), r.icc.size());
    if (icm && image.Format() != kPixelFormat32bppRGB) {
      ConvertToSrgb(image, r.icc.data(), r.icc.size());
    }
  }
  AddQuantTables(image, r);
  // JFIF density in dots per inch or centimetre wins; a unit-less density (an aspect ratio)
  // leaves the EXIF resolution, if any.
  bool haveDpi = (r.densityUnit == 1 || r.densityUnit == 2) &&
                 ApplyFileResolution(image, r.dpiX, r.dpiY);
  double exifX = 0, exifY = 0;
  if (!haveDpi && ExifResolution(image, exifX, exifY)) ApplyFileResolution(image, exifX, exifY);
  FinishDecodedBitmap(image, RawFormat::JPEG, r.colorSpace);
  out = std::move(r.image);
  return Status::Ok;
}

}  // namespace tessivo::platform::codecs
