// Image files made on the fly for the codec tests, written with the format libraries
// directly (so that the decoders meet files they did not write themselves).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tessivo::testing {

using Bytes = std::vector<uint8_t>;

struct PngSpec {
  uint32_t width = 1, height = 1;
  int colorType = 2;  // PNG colour type
  int bitDepth = 8;
  bool interlaced = false;
  Bytes rows{};         // packed rows as PNG stores them (16-bit samples big-endian)
  Bytes palette{};      // RGB triples
  Bytes transparency{}; // tRNS: palette alphas, or 2 bytes per grey/RGB sample of the key
  uint32_t pixelsPerMeter = 0;
};
Bytes PngFile(const PngSpec& spec);

struct TiffPage {
  uint32_t width = 1, height = 1;
  uint16_t bitsPerSample = 8, samplesPerPixel = 3;
  uint16_t photometric = 2;  // RGB
  uint16_t planar = 1;
  uint16_t compression = 1;
  uint16_t extraSample = 0;  // 0: none; else EXTRASAMPLE_* + 1
  uint32_t tileSize = 0;     // 0: strips
  Bytes samples{};             // contiguous rows (planar: plane after plane), native byte order
  std::vector<uint16_t> colormap{};  // 3 << bitsPerSample entries when palette
  float xResolution = 0, yResolution = 0;
  uint16_t resolutionUnit = 2;
  std::string make{};
};
Bytes TiffFile(const std::vector<TiffPage>& pages);

struct GifFrame {
  int left = 0, top = 0, width = 1, height = 1;
  Bytes indices;
  int delay = 0, disposal = 0, transparent = -1;
  Bytes localPalette{};  // RGB triples, empty: the global one
  bool interlaced = false;
};
struct GifSpec {
  int width = 1, height = 1, background = 0;
  Bytes palette{};  // RGB triples (a power of two of them)
  std::vector<GifFrame> frames;
  int loopCount = -1;  // -1: no loop extension
  std::string comment;
};
Bytes GifFile(const GifSpec& spec);

// A CMYK JPEG with an Adobe marker: `cmyk` holds 4 bytes per pixel, stored inverted
// (255 = no ink) as Adobe writes them.
Bytes CmykJpegFile(uint32_t width, uint32_t height, const Bytes& cmyk);

// An ICC profile (lcms): sRGB, or an RGB space with other primaries (wide gamut) whose
// conversion to sRGB visibly changes saturated colours.
Bytes SrgbProfile();
Bytes WideGamutProfile();

}  // namespace tessivo::testing
