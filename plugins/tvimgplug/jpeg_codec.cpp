// JPEG through libjpeg-turbo. libjpeg reports fatal errors through a longjmp; every C++ object
// a decode or encode owns lives in a state block allocated before setjmp, so the jump skips no
// destructor that matters.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>

#include "codecs.h"
#include "metadata.h"

namespace tvimg {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void OnFatalError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void OnMessage(j_common_ptr, int) {}  // warnings (corrupt data recovered) stay silent

struct DecodeState {
  jpeg_decompress_struct cinfo{};
  ErrorManager error{};
  BitmapPtr bitmap;
  std::vector<uint8_t> cmykRow;
  std::vector<JSAMPROW> rows;
  bool created = false;
};

uint32_t DotsPerMetre(unsigned density, int unit) {
  if (density == 0) return 0;
  if (unit == 1) return static_cast<uint32_t>(density / 0.0254 + 0.5);
  if (unit == 2) return density * 100u;
  return 0;
}

void ReadMarkers(jpeg_decompress_struct& cinfo, tvimg_bitmap& bitmap) {
  std::vector<std::pair<int, std::vector<uint8_t>>> iccChunks;
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next) {
    const uint8_t* d = m->data;
    const size_t n = m->data_length;
    if (m->marker == JPEG_APP0 + 1 && n > 6 && std::memcmp(d, "Exif\0\0", 6) == 0) {
      std::vector<MetadataItem> items = ParseExif(d, n);
      for (MetadataItem& item : items) SetItem(bitmap.exif, item);
    } else if (m->marker == JPEG_APP0 + 13 && n > 14 &&
               std::memcmp(d, "Photoshop 3.0\0", 14) == 0) {
      const std::vector<uint8_t> iim = IptcFromPhotoshopResources(d + 14, n - 14);
      std::vector<MetadataItem> records = ParseIptc(iim.data(), iim.size());
      bitmap.iptc.insert(bitmap.iptc.end(), records.begin(), records.end());
    } else if (m->marker == JPEG_APP0 + 2 && n > 14 && std::memcmp(d, "ICC_PROFILE\0", 12) == 0) {
      iccChunks.emplace_back(d[12], std::vector<uint8_t>(d + 14, d + n));
    }
  }
  if (!iccChunks.empty()) {
    std::sort(iccChunks.begin(), iccChunks.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& chunk : iccChunks)
      bitmap.iccProfile.insert(bitmap.iccProfile.end(), chunk.second.begin(), chunk.second.end());
    MetadataItem icc;
    icc.id = kTagICCProfile;
    icc.type = 1;
    icc.value = bitmap.iccProfile;
    SetItem(bitmap.exif, icc);
  }
}

BitmapPtr Decode(DecodeState& s, const uint8_t* data, size_t size) {
  jpeg_decompress_struct& cinfo = s.cinfo;
  cinfo.err = jpeg_std_error(&s.error.base);
  s.error.base.error_exit = OnFatalError;
  s.error.base.emit_message = OnMessage;
  if (setjmp(s.error.jump)) {
    if (s.created) jpeg_destroy_decompress(&cinfo);
    s.created = false;
    // A stream that broke off after the header still yields the rows read so far, as libjpeg
    // itself does for recoverable damage: the rest stays zero (black).
    if (s.bitmap && cinfo.output_scanline > 0) return std::move(s.bitmap);
    return nullptr;
  }
  jpeg_create_decompress(&cinfo);
  s.created = true;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_save_markers(&cinfo, JPEG_APP0 + 2, 0xFFFF);
  jpeg_save_markers(&cinfo, JPEG_APP0 + 13, 0xFFFF);
  jpeg_read_header(&cinfo, TRUE);

  const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGR;
  if (cinfo.image_width > kMaxDimension || cinfo.image_height > kMaxDimension) longjmp(s.error.jump, 1);
  jpeg_start_decompress(&cinfo);

  s.bitmap = AllocateBitmap(cinfo.output_width, cinfo.output_height, grey ? 8 : 24);
  if (!s.bitmap) longjmp(s.error.jump, 1);
  tvimg_bitmap& b = *s.bitmap;
  b.cmykSource = cmyk;
  b.dotsPerMeterX = DotsPerMetre(cinfo.X_density, cinfo.density_unit);
  b.dotsPerMeterY = DotsPerMetre(cinfo.Y_density, cinfo.density_unit);
  ReadMarkers(cinfo, b);

  if (cmyk) {
    s.cmykRow.resize(static_cast<size_t>(cinfo.output_width) * 4);
    // Adobe writes CMYK inverted (0 = full ink), which is what every CMYK JPEG in practice holds.
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW row = s.cmykRow.data();
      uint8_t* dst = TopRow(b, cinfo.output_scanline);
      jpeg_read_scanlines(&cinfo, &row, 1);
      for (uint32_t x = 0; x < cinfo.output_width; ++x) {
        const uint8_t* p = s.cmykRow.data() + 4 * x;
        const unsigned c = inverted ? p[0] : 255 - p[0], m = inverted ? p[1] : 255 - p[1];
        const unsigned y = inverted ? p[2] : 255 - p[2], k = inverted ? p[3] : 255 - p[3];
        dst[3 * x + 0] = static_cast<uint8_t>(y * k / 255);
        dst[3 * x + 1] = static_cast<uint8_t>(m * k / 255);
        dst[3 * x + 2] = static_cast<uint8_t>(c * k / 255);
      }
    }
  } else {
    // Rows go straight into the bitmap, bottom-up, several at a time.
    s.rows.resize(std::max(1, cinfo.rec_outbuf_height));
    while (cinfo.output_scanline < cinfo.output_height) {
      const uint32_t first = cinfo.output_scanline;
      const uint32_t count =
          std::min<uint32_t>(static_cast<uint32_t>(s.rows.size()), cinfo.output_height - first);
      for (uint32_t i = 0; i < count; ++i) s.rows[i] = TopRow(b, first + i);
      jpeg_read_scanlines(&cinfo, s.rows.data(), count);
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  s.created = false;
  return std::move(s.bitmap);
}

struct EncodeState {
  jpeg_compress_struct cinfo{};
  ErrorManager error{};
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  std::vector<uint8_t> row;
  bool created = false;
};

bool IsGreyPalette(const tvimg_bitmap& b) {
  if (b.bpp != 8) return false;
  for (uint32_t i = 0; i < 256; ++i) {
    const uint8_t* e = b.palette.data() + 4 * i;
    if (e[0] != i || e[1] != i || e[2] != i) return false;
  }
  return true;
}

// Row `y` (from the top) as libjpeg input: grey bytes or BGR triples.
void SourceRow(const tvimg_bitmap& b, uint32_t y, bool grey, uint8_t* out) {
  const uint8_t* src = TopRow(b, y);
  for (uint32_t x = 0; x < b.width; ++x) {
    if (b.bpp == 24 || b.bpp == 32) {
      const uint8_t* p = src + x * (b.bpp / 8);
      out[3 * x] = p[0];
      out[3 * x + 1] = p[1];
      out[3 * x + 2] = p[2];
      continue;
    }
    uint32_t index;
    if (b.bpp == 8) index = src[x];
    else if (b.bpp == 4) index = (src[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    else index = (src[x / 8] >> (7 - x % 8)) & 1;
    const uint8_t* e = b.palette.data() + 4 * index;
    if (grey) {
      out[x] = e[0];
    } else {
      out[3 * x] = e[0];
      out[3 * x + 1] = e[1];
      out[3 * x + 2] = e[2];
    }
  }
}

bool Encode(EncodeState& s, const tvimg_bitmap& b, int quality) {
  jpeg_compress_struct& cinfo = s.cinfo;
  cinfo.err = jpeg_std_error(&s.error.base);
  s.error.base.error_exit = OnFatalError;
  s.error.base.emit_message = OnMessage;
  if (setjmp(s.error.jump)) {
    if (s.created) jpeg_destroy_compress(&cinfo);
    s.created = false;
    return false;
  }
  jpeg_create_compress(&cinfo);
  s.created = true;
  jpeg_mem_dest(&cinfo, &s.buffer, &s.length);
  const bool grey = IsGreyPalette(b);
  cinfo.image_width = b.width;
  cinfo.image_height = b.height;
  cinfo.input_components = grey ? 1 : 3;
  cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (b.dotsPerMeterX > 0 && b.dotsPerMeterY > 0) {
    cinfo.density_unit = 1;
    cinfo.X_density = static_cast<UINT16>(std::min(65535.0, b.dotsPerMeterX * 0.0254 + 0.5));
    cinfo.Y_density = static_cast<UINT16>(std::min(65535.0, b.dotsPerMeterY * 0.0254 + 0.5));
  }
  jpeg_start_compress(&cinfo, TRUE);
  if (!b.iccProfile.empty())
    jpeg_write_icc_profile(&cinfo, b.iccProfile.data(), static_cast<unsigned>(b.iccProfile.size()));
  s.row.resize(static_cast<size_t>(b.width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = s.row.data();
    SourceRow(b, cinfo.next_scanline, grey, row);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  s.created = false;
  return true;
}

}  // namespace

BitmapPtr LoadJpeg(const uint8_t* data, size_t size) {
  if (!data || size < 4) return nullptr;
  auto state = std::make_unique<DecodeState>();
  return Decode(*state, data, size);
}

bool SaveJpeg(const tvimg_bitmap& bitmap, const std::string& path, int quality) {
  if (bitmap.type != TVIMG_TYPE_BITMAP || bitmap.bpp == 16 || bitmap.bpp > 32) return false;
  if (quality <= 0) quality = 75;
  quality = std::min(quality, 100);
  auto state = std::make_unique<EncodeState>();
  const bool encoded = Encode(*state, bitmap, quality);
  bool written = false;
  if (encoded) written = WriteFileAtomically(path, state->buffer, state->length);
  std::free(state->buffer);
  return written;
}

}  // namespace tvimg
