// Our own readers of the header fields the decoders and their delegate libraries allocate
// from. They read only fixed fields (or walk chunk and box lengths), never pixel data, and
// treat every number as hostile: all arithmetic is in 64 bits on values that fit in 32.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "decode_limits.h"
#include "tessivo/plugins/tvimgplug.h"

namespace tvimg {
namespace {

uint64_t Be16(const uint8_t* p) { return uint64_t{p[0]} << 8 | p[1]; }
uint64_t Be32(const uint8_t* p) { return Be16(p) << 16 | Be16(p + 2); }
uint64_t Le16(const uint8_t* p) { return uint64_t{p[1]} << 8 | p[0]; }
uint64_t Le32(const uint8_t* p) { return Le16(p + 2) << 16 | Le16(p); }
int64_t SignedLe32(const uint8_t* p) { return static_cast<int32_t>(static_cast<uint32_t>(Le32(p))); }
int64_t SignedLe16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(Le16(p))); }
int64_t SignedBe16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(Be16(p))); }

uint64_t Ceil8(uint64_t bits) { return (bits + 7) / 8; }

// Multiplies, saturating: a claim that overflows is simply too large.
uint64_t Mul(uint64_t a, uint64_t b) {
  if (a != 0 && b > UINT64_MAX / a) return UINT64_MAX;
  return a * b;
}

// JBIG bi-level image header: DL, D, planes, fill, XD, YD, L0, MX, MY, order, options.
// jbig-kit keeps every plane of every resolution layer in memory and aborts when malloc fails.
bool ReadJbig(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 20) return false;
  const uint64_t planes = h[2];
  c.width = Be32(h + 4);
  c.height = Be32(h + 8);
  c.frames = planes;
  c.bytes = Mul(Mul(Ceil8(c.width), c.height), planes * 2);  // two layer buffers per plane
  return planes >= 1 && h[0] <= h[1];
}

// A JPEG 2000 codestream's SIZ segment: image and tile grid, component count. OpenJPEG holds
// 32-bit samples for every component and a record for every tile.
bool ReadJ2kCodestream(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 42 || Be16(h) != 0xFF4F || Be16(h + 2) != 0xFF51) return false;
  const uint8_t* siz = h + 4;  // Lsiz
  const uint64_t xsiz = Be32(siz + 4), ysiz = Be32(siz + 8), xo = Be32(siz + 12),
                 yo = Be32(siz + 16), xt = Be32(siz + 20), yt = Be32(siz + 24),
                 xto = Be32(siz + 28), yto = Be32(siz + 32), components = Be16(siz + 36);
  if (xo >= xsiz || yo >= ysiz || xt == 0 || yt == 0 || xto > xo || yto > yo || components == 0)
    return false;
  c.width = xsiz - xo;
  c.height = ysiz - yo;
  const uint64_t tiles = Mul((xsiz - xto + xt - 1) / xt, (ysiz - yto + yt - 1) / yt);
  c.frames = std::max(tiles, components);
  c.bytes = Mul(Mul(c.width, c.height), Mul(components, 4));
  return true;
}

// JP2: boxes up to the contiguous codestream box, whose SIZ is what OpenJPEG allocates from.
bool ReadJp2(const uint8_t* h, size_t size, HeaderClaim& c) {
  size_t at = 0;
  for (int boxes = 0; boxes < 64 && at + 8 <= size; ++boxes) {
    uint64_t length = Be32(h + at);
    size_t header = 8;
    if (length == 1) {
      if (at + 16 > size) return false;
      length = Be32(h + at + 8) << 32 | Be32(h + at + 12);
      header = 16;
    } else if (length == 0) {
      length = size - at;
    }
    if (std::memcmp(h + at + 4, "jp2c", 4) == 0)
      return ReadJ2kCodestream(h + at + header, size - at - header, c);
    if (length < header || length > size - at) return false;
    at += static_cast<size_t>(length);
  }
  return false;
}

// OpenEXR: the attributes of the first header. The library sizes line and tile buffers from the
// data window, the channel list and the tile description; ImageMagick sizes the image from the
// display window.
bool ReadExr(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 8 || Le32(h) != 20000630) return false;
  size_t at = 8;
  uint64_t dataW = 0, dataH = 0, displayW = 0, displayH = 0, channels = 0, tileBytes = 0;
  bool haveData = false, haveDisplay = false;
  auto window = [&](const uint8_t* v, uint64_t& w, uint64_t& hgt) {
    const int64_t xMin = SignedLe32(v), yMin = SignedLe32(v + 4), xMax = SignedLe32(v + 8),
                  yMax = SignedLe32(v + 12);
    if (xMax < xMin || yMax < yMin) return false;
    w = static_cast<uint64_t>(xMax - xMin) + 1;
    hgt = static_cast<uint64_t>(yMax - yMin) + 1;
    return true;
  };
  for (int attributes = 0; attributes < 1024; ++attributes) {
    if (at >= size) return false;
    if (h[at] == 0) break;  // end of the header
    const void* nameEnd = std::memchr(h + at, 0, std::min<size_t>(size - at, 256));
    if (!nameEnd) return false;
    const std::string_view name(reinterpret_cast<const char*>(h + at),
                                static_cast<const uint8_t*>(nameEnd) - (h + at));
    at += name.size() + 1;
    const void* typeEnd = at < size ? std::memchr(h + at, 0, std::min<size_t>(size - at, 256)) : nullptr;
    if (!typeEnd) return false;
    at = static_cast<size_t>(static_cast<const uint8_t*>(typeEnd) - h) + 1;
    if (at + 4 > size) return false;
    const uint64_t length = Le32(h + at);
    at += 4;
    if (length > size - at) return false;
    const uint8_t* v = h + at;
    if (name == "dataWindow" && length >= 16) {
      if (!window(v, dataW, dataH)) return false;
      haveData = true;
    } else if (name == "displayWindow" && length >= 16) {
      if (!window(v, displayW, displayH)) return false;
      haveDisplay = true;
    } else if (name == "channels") {
      for (size_t i = 0; i < length && v[i] != 0;) {
        const void* end = std::memchr(v + i, 0, length - i);
        if (!end) return false;
        i = static_cast<size_t>(static_cast<const uint8_t*>(end) - v) + 1 + 16;
        ++channels;
      }
    } else if (name == "tiles" && length >= 8) {
      tileBytes = Mul(Mul(Le32(v), Le32(v + 4)), 16);
    }
    at += static_cast<size_t>(length);
  }
  if (!haveData || !haveDisplay) return false;
  c.width = std::max(dataW, displayW);
  c.height = std::max(dataH, displayH);
  c.frames = channels;
  const uint64_t perPixel = Mul(std::max<uint64_t>(channels, 4), 4);
  c.bytes = std::max({Mul(Mul(dataW, dataH), perPixel), Mul(Mul(displayW, displayH), 16),
                      Mul(tileBytes, std::max<uint64_t>(channels, 1))});
  return true;
}

// Photoshop (PSD, and PSB with version 2): channels, rows, columns, depth.
bool ReadPsd(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 26 || std::memcmp(h, "8BPS", 4) != 0) return false;
  const uint64_t version = Be16(h + 4), channels = Be16(h + 12), depth = Be16(h + 22);
  if ((version != 1 && version != 2) || channels == 0 || depth == 0 || depth > 32) return false;
  c.height = Be32(h + 14);
  c.width = Be32(h + 18);
  c.frames = channels;
  c.bytes = Mul(Mul(c.width, c.height), Mul(channels, Ceil8(depth)));
  return true;
}

bool ReadTarga(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 18) return false;
  c.width = Le16(h + 12);
  c.height = Le16(h + 14);
  c.bytes = Mul(Mul(c.width, c.height), 4);
  return true;
}

// PCX: the window and the bytes per plane line, which the decoder allocates per plane.
bool ReadPcx(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 128 || h[0] != 0x0A) return false;
  const uint64_t xMin = Le16(h + 4), yMin = Le16(h + 6), xMax = Le16(h + 8), yMax = Le16(h + 10);
  if (xMax < xMin || yMax < yMin) return false;
  c.width = xMax - xMin + 1;
  c.height = yMax - yMin + 1;
  const uint64_t planes = std::max<uint64_t>(h[65], 1), lineBytes = Le16(h + 66);
  c.frames = planes;
  c.bytes = std::max(Mul(Mul(c.width, c.height), 4), Mul(Mul(lineBytes, planes), c.height));
  return true;
}

bool ReadSgi(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 12 || Be16(h) != 0x01DA) return false;
  const uint64_t bytesPerChannel = h[3], channels = Be16(h + 10);
  if (bytesPerChannel != 1 && bytesPerChannel != 2) return false;
  c.width = Be16(h + 6);
  c.height = Be16(h + 8);
  c.frames = channels;
  c.bytes = Mul(Mul(c.width, c.height), Mul(std::max<uint64_t>(channels, 4), bytesPerChannel));
  return true;
}

// DirectDraw surface: height, width, depth of a volume texture and the mipmap chain.
bool ReadDds(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 128 || std::memcmp(h, "DDS ", 4) != 0) return false;
  c.height = Le32(h + 12);
  c.width = Le32(h + 16);
  const uint64_t depth = std::max<uint64_t>(Le32(h + 24), 1);
  c.frames = std::max<uint64_t>(Le32(h + 28), 1);
  c.bytes = Mul(Mul(Mul(c.width, c.height), depth), 8);
  return true;
}

// Parses a decimal number at `at` after blanks; false when there is none or it is too long.
bool ReadDecimal(const uint8_t* h, size_t size, size_t& at, uint64_t& value, bool comments) {
  for (;;) {
    while (at < size && std::isspace(h[at])) ++at;
    if (comments && at < size && h[at] == '#') {
      while (at < size && h[at] != '\n' && h[at] != '\r') ++at;
      continue;
    }
    break;
  }
  if (at >= size || !std::isdigit(h[at])) return false;
  value = 0;
  for (int digits = 0; at < size && std::isdigit(h[at]); ++digits, ++at) {
    if (digits >= 12) return false;
    value = value * 10 + static_cast<uint64_t>(h[at] - '0');
  }
  return true;
}

// Radiance: header lines up to a blank line, then the resolution line ("-Y 480 +X 640").
bool ReadHdr(const uint8_t* h, size_t size, HeaderClaim& c) {
  const size_t limit = std::min<size_t>(size, 64 * 1024);
  size_t at = 0;
  while (at + 1 < limit && !(h[at] == '\n' && h[at + 1] == '\n')) ++at;
  if (at + 1 >= limit) return false;
  at += 2;
  uint64_t values[2] = {};
  bool xFirst = false;
  for (int i = 0; i < 2; ++i) {
    while (at < limit && h[at] == ' ') ++at;
    if (at + 2 > limit || (h[at] != '-' && h[at] != '+') || (h[at + 1] != 'X' && h[at + 1] != 'Y'))
      return false;
    if (i == 0) xFirst = h[at + 1] == 'X';
    at += 2;
    if (!ReadDecimal(h, limit, at, values[i], false)) return false;
  }
  c.width = xFirst ? values[0] : values[1];
  c.height = xFirst ? values[1] : values[0];
  c.bytes = Mul(Mul(c.width, c.height), 16);
  return true;
}

// Netpbm family and PFM: the magic, then width and height as decimal text.
bool ReadNetpbm(const uint8_t* h, size_t size, HeaderClaim& c, uint64_t bytesPerPixel) {
  if (size < 3 || h[0] != 'P') return false;
  size_t at = 2;
  if (!ReadDecimal(h, size, at, c.width, true) || !ReadDecimal(h, size, at, c.height, true))
    return false;
  c.bytes = Mul(Mul(c.width, c.height), bytesPerPixel);
  return true;
}

// Macintosh PICT after its 512-byte preamble: picture size, then the frame rectangle.
bool ReadPict(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 522) return false;
  const uint8_t* frame = h + 514;
  const int64_t top = SignedBe16(frame), left = SignedBe16(frame + 2),
                bottom = SignedBe16(frame + 4), right = SignedBe16(frame + 6);
  if (bottom <= top || right <= left) return false;
  c.width = static_cast<uint64_t>(right - left);
  c.height = static_cast<uint64_t>(bottom - top);
  c.bytes = Mul(Mul(c.width, c.height), 8);
  return true;
}

// A placeable Windows metafile: key, handle, bounding box (left, top, right, bottom), units
// per inch, reserved, checksum; then the standard metafile header (type 1 or 2, 9 words).
bool ReadWmf(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 22 + 18 || Le32(h) != 0x9AC6CDD7u) return false;
  const int64_t left = SignedLe16(h + 6), top = SignedLe16(h + 8), right = SignedLe16(h + 10),
                bottom = SignedLe16(h + 12);
  const uint64_t inch = Le16(h + 14);
  uint64_t sum = 0;
  for (int i = 0; i < 20; i += 2) sum ^= Le16(h + i);
  if (inch == 0 || sum != Le16(h + 20) || right == left || bottom == top) return false;
  if ((Le16(h + 22) != 1 && Le16(h + 22) != 2) || Le16(h + 24) != 9) return false;
  c.width = static_cast<uint64_t>(right > left ? right - left : left - right);
  c.height = static_cast<uint64_t>(bottom > top ? bottom - top : top - bottom);
  c.bytes = Mul(Mul(c.width, c.height), 8);
  return true;
}

// Sun raster: width, height, depth.
bool ReadSunRaster(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 32 || Be32(h) != 0x59A66A95) return false;
  c.width = Be32(h + 4);
  c.height = Be32(h + 8);
  const uint64_t depth = Be32(h + 12);
  if (depth == 0 || depth > 32) return false;
  c.bytes = Mul(Mul(c.width, c.height), std::max<uint64_t>(Ceil8(depth), 4));
  return true;
}

// PNG-structured formats (PNG, MNG, JNG): every chunk is walked; image headers (IHDR, JHDR)
// count as frames and each is checked, as is the MNG frame size.
bool ReadPngFamily(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 8) return false;
  size_t at = 8;
  uint64_t images = 0;
  bool sawHeader = false;
  while (at + 12 <= size) {
    const uint64_t length = Be32(h + at);
    const uint8_t* type = h + at + 4;
    const uint8_t* data = h + at + 8;
    if (length > 0x7FFFFFFF) return false;
    const bool complete = length + 12 <= size - at;
    const bool image = std::memcmp(type, "IHDR", 4) == 0 || std::memcmp(type, "JHDR", 4) == 0;
    if ((image || std::memcmp(type, "MHDR", 4) == 0) && complete && length >= 8) {
      c.width = std::max(c.width, Be32(data));
      c.height = std::max(c.height, Be32(data + 4));
      sawHeader = true;
    }
    if (image) ++images;
    if (std::memcmp(type, "IEND", 4) == 0 && !std::memcmp(h + 1, "PNG", 3)) break;
    if (std::memcmp(type, "MEND", 4) == 0 || !complete) break;
    at += static_cast<size_t>(length) + 12;
  }
  if (!sawHeader) return false;
  c.frames = std::max<uint64_t>(images, 1);
  c.bytes = Mul(Mul(c.width, c.height), 8);
  return true;
}

// GIF: the logical screen, then every image descriptor (each a frame).
bool ReadGif(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 13) return false;
  c.width = Le16(h + 6);
  c.height = Le16(h + 8);
  size_t at = 13;
  if (h[10] & 0x80) at += size_t{3} << ((h[10] & 7) + 1);
  uint64_t frames = 0;
  auto skipBlocks = [&] {
    while (at < size && h[at] != 0) at += size_t{h[at]} + 1;
    ++at;
  };
  while (at < size && h[at] != 0x3B) {
    if (h[at] == 0x21) {
      at += 2;
      skipBlocks();
    } else if (h[at] == 0x2C) {
      if (at + 10 > size) break;
      ++frames;
      c.width = std::max(c.width, Le16(h + at + 1) + Le16(h + at + 5));
      c.height = std::max(c.height, Le16(h + at + 3) + Le16(h + at + 7));
      const uint8_t flags = h[at + 9];
      at += 10;
      if (flags & 0x80) at += size_t{3} << ((flags & 7) + 1);
      ++at;  // LZW minimum code size
      skipBlocks();
    } else {
      break;
    }
  }
  c.frames = std::max<uint64_t>(frames, 1);
  c.bytes = Mul(Mul(c.width, c.height), 8);
  return true;
}

// Icons: the directory; a PNG-compressed entry may claim any size, which its own header gives.
bool ReadIco(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 6) return false;
  c.frames = Le16(h + 4);
  c.width = c.height = 256;
  for (uint64_t i = 0; i < c.frames && 6 + 16 * (i + 1) <= size; ++i) {
    const uint8_t* entry = h + 6 + 16 * i;
    const uint64_t offset = Le32(entry + 12);
    if (offset < size && size - offset >= 24 && std::memcmp(h + offset + 1, "PNG", 3) == 0) {
      c.width = std::max(c.width, Be32(h + offset + 16));
      c.height = std::max(c.height, Be32(h + offset + 20));
    } else if (offset < size && size - offset >= 12) {
      c.width = std::max<uint64_t>(c.width, Le32(h + offset + 4));
      c.height = std::max<uint64_t>(c.height, Le32(h + offset + 8) / 2);
    }
  }
  c.bytes = Mul(Mul(c.width, c.height), 4);
  return c.frames > 0;
}

bool ReadBmp(const uint8_t* h, size_t size, HeaderClaim& c) {
  if (size < 26) return false;
  if (Le32(h + 14) == 12) {
    c.width = Le16(h + 18);
    c.height = Le16(h + 20);
  } else {
    const int64_t w = SignedLe32(h + 18), ht = SignedLe32(h + 22);
    c.width = static_cast<uint64_t>(w < 0 ? -w : w);
    c.height = static_cast<uint64_t>(ht < 0 ? -ht : ht);
  }
  c.bytes = Mul(Mul(c.width, c.height), 4);
  return true;
}

}  // namespace

bool ReadHeaderClaim(int32_t format, const uint8_t* data, size_t size, HeaderClaim& claim) {
  claim = HeaderClaim{};
  if (!data) return false;
  switch (format) {
    case TVIMG_JBIG: return ReadJbig(data, size, claim);
    case TVIMG_J2K: return ReadJ2kCodestream(data, size, claim);
    case TVIMG_JP2: return ReadJp2(data, size, claim);
    case TVIMG_EXR: return ReadExr(data, size, claim);
    case TVIMG_PSD: return ReadPsd(data, size, claim);
    case TVIMG_TARGA: return ReadTarga(data, size, claim);
    case TVIMG_PCX: return ReadPcx(data, size, claim);
    case TVIMG_SGI: return ReadSgi(data, size, claim);
    case TVIMG_DDS: return ReadDds(data, size, claim);
    case TVIMG_HDR: return ReadHdr(data, size, claim);
    case TVIMG_PFM: return ReadNetpbm(data, size, claim, 12);
    case TVIMG_PBM: case TVIMG_PBMRAW: case TVIMG_PGM: case TVIMG_PGMRAW:
    case TVIMG_PPM: case TVIMG_PPMRAW:
      return ReadNetpbm(data, size, claim, 8);
    case TVIMG_PICT: return ReadPict(data, size, claim);
    case TVIMG_WMF: return ReadWmf(data, size, claim);
    case TVIMG_RAS: return ReadSunRaster(data, size, claim);
    case TVIMG_PNG: case TVIMG_MNG: case TVIMG_JNG: return ReadPngFamily(data, size, claim);
    case TVIMG_GIF: return ReadGif(data, size, claim);
    case TVIMG_ICO: return ReadIco(data, size, claim);
    case TVIMG_BMP: return ReadBmp(data, size, claim);
    default: return false;
  }
}

HeaderVerdict CheckHeader(int32_t format, const uint8_t* data, size_t size) {
  switch (format) {
    // No dimensions in the file: fax pages have the coder's fixed width and grow row by row
    // from the data; the others are fixed-size (Photo CD, Koala) or parse text whose size the
    // file bounds (XBM, XPM), or small fixed headers the coder bounds itself (WBMP, CUT).
    case TVIMG_FAXG3: case TVIMG_PCD: case TVIMG_KOALA: case TVIMG_XBM: case TVIMG_XPM:
    case TVIMG_WBMP: case TVIMG_CUT: case TVIMG_LBM: case TVIMG_RAW:
    case TVIMG_JPEG: case TVIMG_TIFF:
      return HeaderVerdict::Unchecked;
    default:
      break;
  }
  HeaderClaim claim;
  if (!ReadHeaderClaim(format, data, size, claim)) return HeaderVerdict::Refused;
  const DecodeLimits& l = CurrentDecodeLimits();
  const bool within = claim.width > 0 && claim.height > 0 && claim.width <= l.maxSide &&
                      claim.height <= l.maxSide && Mul(claim.width, claim.height) <= l.maxPixels &&
                      claim.bytes <= l.maxBytes && claim.frames <= l.maxFrames;
  return within ? HeaderVerdict::Within : HeaderVerdict::Refused;
}

}  // namespace tvimg
