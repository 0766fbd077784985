// Pixel format identifiers of the platform layer and what can be read off them.
#pragma once
#include <cstdint>

namespace tessivo::platform {

using PixelFormat = int32_t;

// Flag bits of an identifier.
inline constexpr PixelFormat kPixelFormatIndexed = 0x00010000;
inline constexpr PixelFormat kPixelFormatGdi = 0x00020000;
inline constexpr PixelFormat kPixelFormatAlpha = 0x00040000;
inline constexpr PixelFormat kPixelFormatPAlpha = 0x00080000;
inline constexpr PixelFormat kPixelFormatExtended = 0x00100000;
inline constexpr PixelFormat kPixelFormatCanonical = 0x00200000;

inline constexpr PixelFormat kPixelFormatUndefined = 0;
inline constexpr PixelFormat kPixelFormat1bppIndexed = 0x00030101;
inline constexpr PixelFormat kPixelFormat4bppIndexed = 0x00030402;
inline constexpr PixelFormat kPixelFormat8bppIndexed = 0x00030803;
inline constexpr PixelFormat kPixelFormat16bppGrayScale = 0x00101004;
inline constexpr PixelFormat kPixelFormat16bppRGB555 = 0x00021005;
inline constexpr PixelFormat kPixelFormat16bppRGB565 = 0x00021006;
inline constexpr PixelFormat kPixelFormat16bppARGB1555 = 0x00061007;
inline constexpr PixelFormat kPixelFormat24bppRGB = 0x00021808;
inline constexpr PixelFormat kPixelFormat32bppRGB = 0x00022009;
inline constexpr PixelFormat kPixelFormat32bppARGB = 0x0026200A;
inline constexpr PixelFormat kPixelFormat32bppPARGB = 0x000E200B;
inline constexpr PixelFormat kPixelFormat48bppRGB = 0x0010300C;
inline constexpr PixelFormat kPixelFormat64bppARGB = 0x0034400D;
inline constexpr PixelFormat kPixelFormat64bppPARGB = 0x001C400E;

// The 14 formats a bitmap can hold, in identifier order.
inline constexpr PixelFormat kAllPixelFormats[] = {
    kPixelFormat1bppIndexed,   kPixelFormat4bppIndexed,   kPixelFormat8bppIndexed,
    kPixelFormat16bppGrayScale, kPixelFormat16bppRGB555,  kPixelFormat16bppRGB565,
    kPixelFormat16bppARGB1555, kPixelFormat24bppRGB,      kPixelFormat32bppRGB,
    kPixelFormat32bppARGB,     kPixelFormat32bppPARGB,    kPixelFormat48bppRGB,
    kPixelFormat64bppARGB,     kPixelFormat64bppPARGB};

constexpr int BitsPerPixel(PixelFormat f) { return (f >> 8) & 0xFF; }
constexpr bool IsIndexed(PixelFormat f) { return (f & kPixelFormatIndexed) != 0; }
constexpr bool HasAlpha(PixelFormat f) { return (f & kPixelFormatAlpha) != 0; }
constexpr bool IsPremultiplied(PixelFormat f) { return (f & kPixelFormatPAlpha) != 0; }
constexpr bool IsExtended(PixelFormat f) { return (f & kPixelFormatExtended) != 0; }
// True for the 14 formats above; false for Undefined and any other value.
bool IsValidPixelFormat(PixelFormat f);
// Bytes of one row of `width` pixels, padded to a multiple of 4; -1 when it overflows int32.
int32_t StrideFor(PixelFormat f, int32_t width);
// Number of palette entries an indexed format can address (2, 16, 256); 0 for direct formats.
int PaletteCapacity(PixelFormat f);

}  // namespace tessivo::platform
