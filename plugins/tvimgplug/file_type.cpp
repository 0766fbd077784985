#include "file_type.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tessivo/plugins/tvimgplug.h"

namespace tvimg {
namespace {

bool StartsWith(const uint8_t* head, size_t size, const char* magic, size_t length) {
  return size >= length && std::memcmp(head, magic, length) == 0;
}

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Be32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

bool IsPnmSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '#'; }

// Headers without a magic number, judged by fields that must hold plausible values.
bool LooksLikeTarga(const uint8_t* h, size_t size) {
  if (size < 18) return false;
  const uint8_t colorMapType = h[1], imageType = h[2], mapEntryBits = h[7], depth = h[16];
  if (colorMapType > 1) return false;
  const bool typeOk = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 ||
                      imageType == 10 || imageType == 11;
  if (!typeOk) return false;
  const bool mapped = imageType == 1 || imageType == 9;
  if (mapped != (colorMapType == 1)) return false;
  if (colorMapType == 1 && mapEntryBits != 15 && mapEntryBits != 16 && mapEntryBits != 24 &&
      mapEntryBits != 32)
    return false;
  if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return false;
  return Le16(h + 12) > 0 && Le16(h + 14) > 0 && (h[17] & 0xC0) == 0;
}

// WBMP type 0: two zero bytes, then width and height as multi-byte integers, then exactly the
// packed rows.
bool LooksLikeWbmp(const uint8_t* h, size_t size, uint64_t fileSize) {
  if (size < 4 || h[0] != 0 || h[1] != 0) return false;
  size_t at = 2;
  uint64_t values[2] = {0, 0};
  for (uint64_t& v : values) {
    for (int i = 0;; ++i) {
      if (at >= size || i > 4) return false;
      const uint8_t b = h[at++];
      v = v << 7 | (b & 0x7F);
      if (!(b & 0x80)) break;
    }
    if (v == 0) return false;
  }
  return at + (values[0] + 7) / 8 * values[1] == fileSize;
}

// A JBIG bi-level image entity header: DL <= D, planes 1..255, a zero fill byte, sizes given.
bool LooksLikeJbig(const uint8_t* h, size_t size) {
  if (size < 20) return false;
  return h[0] <= h[1] && h[2] >= 1 && h[3] == 0 && Be32(h + 4) > 0 && Be32(h + 8) > 0 &&
         Be32(h + 12) > 0 && h[16] <= 127 && (h[19] & 0x80) == 0 && (h[18] & 0xF0) == 0;
}

}  // namespace

int32_t FormatFromSignature(const uint8_t* h, size_t size, const uint8_t* tail, size_t tailSize,
                            uint64_t fileSize) {
  if (!h || size < 2) return TVIMG_UNKNOWN;
  if (StartsWith(h, size, "\xFF\xD8\xFF", 3)) return TVIMG_JPEG;
  if (StartsWith(h, size, "II*\0", 4) || StartsWith(h, size, "MM\0*", 4) ||
      StartsWith(h, size, "II+\0", 4) || StartsWith(h, size, "MM\0+", 4))
    return TVIMG_TIFF;
  if (StartsWith(h, size, "\x89PNG\r\n\x1A\n", 8)) return TVIMG_PNG;
  if (StartsWith(h, size, "\x8BJNG\r\n\x1A\n", 8)) return TVIMG_JNG;
  if (StartsWith(h, size, "\x8AMNG\r\n\x1A\n", 8)) return TVIMG_MNG;
  if (StartsWith(h, size, "GIF87a", 6) || StartsWith(h, size, "GIF89a", 6)) return TVIMG_GIF;
  if (StartsWith(h, size, "BM", 2) && size >= 14) return TVIMG_BMP;
  if (StartsWith(h, size, "8BPS", 4)) return TVIMG_PSD;
  if (StartsWith(h, size, "DDS ", 4)) return TVIMG_DDS;
  if (StartsWith(h, size, "\x59\xA6\x6A\x95", 4)) return TVIMG_RAS;
  if (StartsWith(h, size, "\x76\x2F\x31\x01", 4)) return TVIMG_EXR;
  if (StartsWith(h, size, "\xFF\x4F\xFF\x51", 4)) return TVIMG_J2K;
  if (StartsWith(h, size, "\0\0\0\x0CjP  \r\n\x87\n", 12)) return TVIMG_JP2;
  if (StartsWith(h, size, "#?RADIANCE", 10) || StartsWith(h, size, "#?RGBE", 6)) return TVIMG_HDR;
  if (StartsWith(h, size, "/* XPM */", 9)) return TVIMG_XPM;
  if (StartsWith(h, size, "#define", 7)) return TVIMG_XBM;
  if (StartsWith(h, size, "\x01\xDA", 2) && size >= 4 && h[2] <= 1) return TVIMG_SGI;
  if (size >= 12 && std::memcmp(h, "FORM", 4) == 0 &&
      (std::memcmp(h + 8, "ILBM", 4) == 0 || std::memcmp(h + 8, "PBM ", 4) == 0))
    return TVIMG_LBM;
  if (size >= 3 && h[0] == 'P' && IsPnmSpace(h[2])) {
    switch (h[1]) {
      case '1': return TVIMG_PBM;
      case '2': return TVIMG_PGM;
      case '3': return TVIMG_PPM;
      case '4': return TVIMG_PBMRAW;
      case '5': return TVIMG_PGMRAW;
      case '6': return TVIMG_PPMRAW;
      case 'F': case 'f': return TVIMG_PFM;
      default: break;
    }
  }
  if (size >= 2048 + 7 && std::memcmp(h + 2048, "PCD_IPI", 7) == 0) return TVIMG_PCD;
  if (StartsWith(h, size, "\xD7\xCD\xC6\x9A", 4)) return TVIMG_WMF;  // placeable metafile key
  if (size >= 526 && ((h[522] == 0x00 && h[523] == 0x11 && h[524] == 0x02 && h[525] == 0xFF) ||
                      (h[522] == 0x11 && h[523] == 0x01)))
    return TVIMG_PICT;
  // Icons: type 1 (icon) or 2 (cursor), at least one entry whose reserved byte is zero.
  if ((StartsWith(h, size, "\0\0\1\0", 4) || StartsWith(h, size, "\0\0\2\0", 4)) && size >= 22 &&
      Le16(h + 4) > 0 && h[9] == 0)
    return TVIMG_ICO;
  if (size >= 128 && h[0] == 0x0A && h[1] <= 5 && h[1] != 1 && h[2] <= 1 &&
      (h[3] == 1 || h[3] == 2 || h[3] == 4 || h[3] == 8))
    return TVIMG_PCX;
  // A C64 Koala painting: load address $6000 and a fixed size.
  if (fileSize == 10003 && h[0] == 0x00 && h[1] == 0x60) return TVIMG_KOALA;
  if (tail && tailSize >= 18 && std::memcmp(tail + tailSize - 18, "TRUEVISION-XFILE.", 17) == 0)
    return TVIMG_TARGA;
  if (LooksLikeWbmp(h, size, fileSize)) return TVIMG_WBMP;
  if (LooksLikeTarga(h, size)) return TVIMG_TARGA;
  if (LooksLikeJbig(h, size)) return TVIMG_JBIG;
  return TVIMG_UNKNOWN;
}

int32_t FormatOfFile(const char* path) {
  if (!path) return TVIMG_UNKNOWN;
  FILE* f = std::fopen(path, "rb");
  if (!f) return TVIMG_UNKNOWN;
  std::vector<uint8_t> head(kSignatureBytes);
  const size_t got = std::fread(head.data(), 1, head.size(), f);
  uint8_t tail[26] = {};
  size_t tailGot = 0;
  uint64_t fileSize = 0;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    const long end = std::ftell(f);
    if (end > 0) fileSize = static_cast<uint64_t>(end);
    if (end >= 26 && std::fseek(f, -26, SEEK_END) == 0) tailGot = std::fread(tail, 1, 26, f);
  }
  std::fclose(f);
  return FormatFromSignature(head.data(), got, tail, tailGot, fileSize);
}

int32_t FormatFromFilename(const char* path) {
  if (!path) return TVIMG_UNKNOWN;
  const char* dot = std::strrchr(path, '.');
  const char* slash = std::strrchr(path, '/');
  if (!dot || (slash && dot < slash)) return TVIMG_UNKNOWN;
  std::string ext(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  static const struct {
    const char* ext;
    int32_t format;
  } kExtensions[] = {
      {"bmp", TVIMG_BMP},   {"dib", TVIMG_BMP},    {"rle", TVIMG_BMP},   {"ico", TVIMG_ICO},
      {"cur", TVIMG_ICO},   {"jpg", TVIMG_JPEG},   {"jpeg", TVIMG_JPEG}, {"jpe", TVIMG_JPEG},
      {"jif", TVIMG_JPEG},  {"jfif", TVIMG_JPEG},  {"jng", TVIMG_JNG},   {"koa", TVIMG_KOALA},
      {"koala", TVIMG_KOALA}, {"lbm", TVIMG_LBM},  {"iff", TVIMG_LBM},   {"ilbm", TVIMG_LBM},
      {"mng", TVIMG_MNG},   {"pbm", TVIMG_PBM},    {"pcd", TVIMG_PCD},   {"pcx", TVIMG_PCX},
      {"pgm", TVIMG_PGM},   {"png", TVIMG_PNG},    {"ppm", TVIMG_PPM},   {"pnm", TVIMG_PPM},
      {"ras", TVIMG_RAS},   {"sun", TVIMG_RAS},    {"tga", TVIMG_TARGA}, {"targa", TVIMG_TARGA},
      {"tif", TVIMG_TIFF},  {"tiff", TVIMG_TIFF},  {"wbmp", TVIMG_WBMP}, {"wbm", TVIMG_WBMP},
      {"wap", TVIMG_WBMP},  {"psd", TVIMG_PSD},    {"cut", TVIMG_CUT},   {"xbm", TVIMG_XBM},
      {"xpm", TVIMG_XPM},   {"dds", TVIMG_DDS},    {"gif", TVIMG_GIF},   {"hdr", TVIMG_HDR},
      {"g3", TVIMG_FAXG3},  {"fax", TVIMG_FAXG3},  {"sgi", TVIMG_SGI},   {"rgb", TVIMG_SGI},
      {"rgba", TVIMG_SGI},  {"bw", TVIMG_SGI},     {"exr", TVIMG_EXR},   {"j2k", TVIMG_J2K},
      {"j2c", TVIMG_J2K},   {"jp2", TVIMG_JP2},    {"pfm", TVIMG_PFM},   {"pct", TVIMG_PICT},
      {"pict", TVIMG_PICT}, {"pic", TVIMG_PICT},   {"dng", TVIMG_RAW},   {"cr2", TVIMG_RAW},
      {"nef", TVIMG_RAW},   {"arw", TVIMG_RAW},    {"orf", TVIMG_RAW},   {"raf", TVIMG_RAW},
      {"jbg", TVIMG_JBIG},  {"wmf", TVIMG_WMF},  {"jbig", TVIMG_JBIG},
  };
  for (const auto& e : kExtensions)
    if (ext == e.ext) return e.format;
  return TVIMG_UNKNOWN;
}

}  // namespace tvimg
