// What the writer needs to know of a JPEG file to embed it as it stands: its size, sample
// precision, components and resolution, read from the markers without decoding.
#pragma once
#include <cstdint>
#include <string_view>

namespace tessivo::pdf {

struct JpegHeader {
  int32_t width = 0;
  int32_t height = 0;
  int32_t precision = 0;
  int32_t components = 0;
  bool adobe = false;  // an Adobe APP14 marker (CMYK data is then stored inverted)
  float dpiX = 96, dpiY = 96;
};

// False when `bytes` is not a baseline, extended or progressive Huffman-coded JPEG whose
// frame header can be read.
bool ReadJpegHeader(std::string_view bytes, JpegHeader& header);

}  // namespace tessivo::pdf
