#include "platform/pixel_rows.h"

#include <algorithm>

namespace tessivo::platform::rows {

namespace {

AlphaTables BuildAlphaTables() {
  AlphaTables t{};
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t v = 0; v < 256; ++v) {
      // v*a/255 never lies exactly halfway (255 is odd), so this is round-to-nearest.
      t.premultiply[a][v] = static_cast<uint8_t>((v * a + 127) / 255);
      t.unpremultiply[a][v] =
          a == 0 ? 0 : static_cast<uint8_t>(std::min<uint32_t>(255, (2 * v * 255 + a) / (2 * a)));
    }
  }
  return t;
}

inline uint32_t Expand5(uint32_t v) { return (v << 3) | (v >> 2); }
inline uint32_t Expand6(uint32_t v) { return (v << 2) | (v >> 4); }
inline uint32_t To5(uint32_t v8) { return (v8 * 31 + 127) / 255; }
inline uint32_t To6(uint32_t v8) { return (v8 * 63 + 127) / 255; }

inline uint16_t Premultiply16(uint32_t v, uint32_t a) {
  return static_cast<uint16_t>((static_cast<uint64_t>(v) * a + 32767) / 65535);
}
inline uint16_t Unpremultiply16(uint32_t p, uint32_t a) {
  if (a == 0) return 0;
  const uint64_t v = (2 * static_cast<uint64_t>(p) * 65535 + a) / (2 * static_cast<uint64_t>(a));
  return static_cast<uint16_t>(std::min<uint64_t>(v, 65535));
}

inline uint32_t NarrowArgb(const uint16_t* p) {
  return Narrow(p[3]) << 24 | Narrow(p[2]) << 16 | Narrow(p[1]) << 8 | Narrow(p[0]);
}

}  // namespace

const AlphaTables& Alpha() {
  static const AlphaTables* tables = new AlphaTables(BuildAlphaTables());
  return *tables;
}

void Decode32(PixelFormat f, const uint8_t* row, int32_t x0, int32_t n, uint32_t* out,
              const uint32_t* palette) {
  switch (f) {
    case kPixelFormat1bppIndexed:
    case kPixelFormat4bppIndexed:
      for (int32_t i = 0; i < n; ++i) out[i] = palette[GetIndex(BitsPerPixel(f), row, x0 + i)];
      return;
    case kPixelFormat8bppIndexed:
      row += x0;
      for (int32_t i = 0; i < n; ++i) out[i] = palette[row[i]];
      return;
    case kPixelFormat16bppGrayScale:
      row += 2 * x0;
      for (int32_t i = 0; i < n; ++i) out[i] = 0xFF000000u | Narrow(Load16(row + 2 * i)) * 0x010101u;
      return;
    case kPixelFormat16bppRGB555:
    case kPixelFormat16bppARGB1555:
      row += 2 * x0;
      for (int32_t i = 0; i < n; ++i) {
        const uint32_t v = Load16(row + 2 * i);
        const uint32_t a = f == kPixelFormat16bppRGB555 || (v & 0x8000) ? 0xFF000000u : 0;
        out[i] = a | Expand5((v >> 10) & 31) << 16 | Expand5((v >> 5) & 31) << 8 | Expand5(v & 31);
      }
      return;
    case kPixelFormat16bppRGB565:
      row += 2 * x0;
      for (int32_t i = 0; i < n; ++i) {
        const uint32_t v = Load16(row + 2 * i);
        out[i] = 0xFF000000u | Expand5(v >> 11) << 16 | Expand6((v >> 5) & 63) << 8 | Expand5(v & 31);
      }
      return;
    case kPixelFormat24bppRGB:
      row += 3 * x0;
      for (int32_t i = 0; i < n; ++i, row += 3) {
        out[i] = 0xFF000000u | uint32_t{row[2]} << 16 | uint32_t{row[1]} << 8 | row[0];
      }
      return;
    case kPixelFormat32bppRGB:
      row += 4 * x0;
      for (int32_t i = 0; i < n; ++i) out[i] = Load32(row + 4 * i) | 0xFF000000u;
      return;
    case kPixelFormat32bppARGB:
      std::memcpy(out, row + 4 * x0, static_cast<size_t>(n) * 4);
      return;
    case kPixelFormat32bppPARGB:
      row += 4 * x0;
      for (int32_t i = 0; i < n; ++i) out[i] = Unpremultiply(Load32(row + 4 * i));
      return;
    case kPixelFormat48bppRGB:
      row += 6 * x0;
      for (int32_t i = 0; i < n; ++i, row += 6) {
        out[i] = 0xFF000000u | Narrow(Load16(row + 4)) << 16 | Narrow(Load16(row + 2)) << 8 |
                 Narrow(Load16(row));
      }
      return;
    case kPixelFormat64bppARGB:
    case kPixelFormat64bppPARGB: {
      row += 8 * x0;
      for (int32_t i = 0; i < n; ++i, row += 8) {
        uint16_t p[4] = {Load16(row), Load16(row + 2), Load16(row + 4), Load16(row + 6)};
        if (f == kPixelFormat64bppPARGB) {
          for (int c = 0; c < 3; ++c) p[c] = Unpremultiply16(p[c], p[3]);
        }
        out[i] = NarrowArgb(p);
      }
      return;
    }
    default:
      std::fill(out, out + n, 0xFF000000u);
  }
}

void Decode64(PixelFormat f, const uint8_t* row, int32_t x0, int32_t n, uint16_t* out,
              const uint32_t* palette, uint32_t* scratch32) {
  switch (f) {
    case kPixelFormat16bppGrayScale:
      row += 2 * x0;
      for (int32_t i = 0; i < n; ++i, out += 4) {
        out[0] = out[1] = out[2] = Load16(row + 2 * i);
        out[3] = 0xFFFF;
      }
      return;
    case kPixelFormat48bppRGB:
      row += 6 * x0;
      for (int32_t i = 0; i < n; ++i, row += 6, out += 4) {
        std::memcpy(out, row, 6);
        out[3] = 0xFFFF;
      }
      return;
    case kPixelFormat64bppARGB:
      std::memcpy(out, row + 8 * x0, static_cast<size_t>(n) * 8);
      return;
    case kPixelFormat64bppPARGB:
      std::memcpy(out, row + 8 * x0, static_cast<size_t>(n) * 8);
      for (int32_t i = 0; i < n; ++i, out += 4) {
        if (out[3] == 0xFFFF) continue;
        for (int c = 0; c < 3; ++c) out[c] = Unpremultiply16(out[c], out[3]);
      }
      return;
    default:
      Decode32(f, row, x0, n, scratch32, palette);
      for (int32_t i = 0; i < n; ++i, out += 4) {
        const uint32_t v = scratch32[i];
        out[0] = Widen(v & 0xFF);
        out[1] = Widen((v >> 8) & 0xFF);
        out[2] = Widen((v >> 16) & 0xFF);
        out[3] = Widen(v >> 24);
      }
  }
}

void Encode32(PixelFormat f, const uint32_t* in, int32_t n, uint8_t* row, int32_t x0,
              NearestPaletteMapper* mapper) {
  switch (f) {
    case kPixelFormat1bppIndexed:
    case kPixelFormat4bppIndexed:
      for (int32_t i = 0; i < n; ++i) PutIndex(BitsPerPixel(f), row, x0 + i, mapper->Map(in[i]));
      return;
    case kPixelFormat8bppIndexed:
      row += x0;
      for (int32_t i = 0; i < n; ++i) row[i] = mapper->Map(in[i]);
      return;
    case kPixelFormat16bppGrayScale:
      row += 2 * x0;
      for (int32_t i = 0; i < n; ++i) {
        const uint32_t v = in[i];
        Store16(row + 2 * i, static_cast<uint16_t>(Luma(Widen((v >> 16) & 0xFF), Widen((v >> 8) & 0xFF),
                                                        Widen(v & 0xFF))));
      }
      return;
    case kPixelFormat16bppRGB555:
    case kPixelFormat16bppARGB1555:
      row += 2 * x0;
      for (int32_t i = 0; i < n; ++i) {
        const uint32_t v = in[i];
        uint32_t p = To5((v >> 16) & 0xFF) << 10 | To5((v >> 8) & 0xFF) << 5 | To5(v & 0xFF);
        if (f == kPixelFormat16bppARGB1555 && (v >> 24) >= 0x80) p |= 0x8000;
        Store16(row + 2 * i, static_cast<uint16_t>(p));
      }
      return;
    case kPixelFormat16bppRGB565:
      row += 2 * x0;
      for (int32_t i = 0; i < n; ++i) {
        const uint32_t v = in[i];
        Store16(row + 2 * i, static_cast<uint16_t>(To5((v >> 16) & 0xFF) << 11 | To6((v >> 8) & 0xFF) << 5 |
                                                   To5(v & 0xFF)));
      }
      return;
    case kPixelFormat24bppRGB:
      row += 3 * x0;
      for (int32_t i = 0; i < n; ++i, row += 3) {
        const uint32_t v = in[i];
        row[0] = static_cast<uint8_t>(v);
        row[1] = static_cast<uint8_t>(v >> 8);
        row[2] = static_cast<uint8_t>(v >> 16);
      }
      return;
    case kPixelFormat32bppRGB:
      row += 4 * x0;
      for (int32_t i = 0; i < n; ++i) Store32(row + 4 * i, in[i] | 0xFF000000u);
      return;
    case kPixelFormat32bppARGB:
      std::memcpy(row + 4 * x0, in, static_cast<size_t>(n) * 4);
      return;
    case kPixelFormat32bppPARGB:
      row += 4 * x0;
      for (int32_t i = 0; i < n; ++i) Store32(row + 4 * i, Premultiply(in[i]));
      return;
    case kPixelFormat48bppRGB:
      row += 6 * x0;
      for (int32_t i = 0; i < n; ++i, row += 6) {
        const uint32_t v = in[i];
        Store16(row, Widen(v & 0xFF));
        Store16(row + 2, Widen((v >> 8) & 0xFF));
        Store16(row + 4, Widen((v >> 16) & 0xFF));
      }
      return;
    case kPixelFormat64bppARGB:
    case kPixelFormat64bppPARGB:
      row += 8 * x0;
      for (int32_t i = 0; i < n; ++i, row += 8) {
        const uint32_t v = in[i];
        const uint32_t a = Widen(v >> 24);
        uint16_t p[4] = {Widen(v & 0xFF), Widen((v >> 8) & 0xFF), Widen((v >> 16) & 0xFF),
                         static_cast<uint16_t>(a)};
        if (f == kPixelFormat64bppPARGB && a != 0xFFFF) {
          for (int c = 0; c < 3; ++c) p[c] = Premultiply16(p[c], a);
        }
        std::memcpy(row, p, 8);
      }
      return;
    default:
      return;
  }
}

void Encode64(PixelFormat f, const uint16_t* in, int32_t n, uint8_t* row, int32_t x0,
              NearestPaletteMapper* mapper, uint32_t* scratch32) {
  switch (f) {
    case kPixelFormat16bppGrayScale:
      row += 2 * x0;
      for (int32_t i = 0; i < n; ++i, in += 4) {
        Store16(row + 2 * i, static_cast<uint16_t>(Luma(in[2], in[1], in[0])));
      }
      return;
    case kPixelFormat48bppRGB:
      row += 6 * x0;
      for (int32_t i = 0; i < n; ++i, row += 6, in += 4) std::memcpy(row, in, 6);
      return;
    case kPixelFormat64bppARGB:
      std::memcpy(row + 8 * x0, in, static_cast<size_t>(n) * 8);
      return;
    case kPixelFormat64bppPARGB:
      row += 8 * x0;
      for (int32_t i = 0; i < n; ++i, row += 8, in += 4) {
        uint16_t p[4] = {in[0], in[1], in[2], in[3]};
        if (p[3] != 0xFFFF) {
          for (int c = 0; c < 3; ++c) p[c] = Premultiply16(p[c], p[3]);
        }
        std::memcpy(row, p, 8);
      }
      return;
    default:
      for (int32_t i = 0; i < n; ++i) scratch32[i] = NarrowArgb(in + 4 * i);
      Encode32(f, scratch32, n, row, x0, mapper);
  }
}

}  // namespace tessivo::platform::rows
