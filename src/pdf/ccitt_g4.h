// CCITT Group 4 coding of packed 1-bit rows (most significant bit first, rows top to bottom,
// `rowBytes` per row). The data is coded as it stands: 0 bits become white runs, so a reader
// with /BlackIs1 false decodes each 0 bit to 1. The writer's /Decode arrays rely on that.
#pragma once
#include <cstdint>
#include <string>

namespace tessivo::pdf {

// Through the codec plug-in's compressor when it is loaded, else through libtiff's own fax
// coder over a memory TIFF. False (and `out` empty) on any failure.
bool EncodeG4(const uint8_t* rows, int32_t width, int32_t height, int32_t rowBytes,
              std::string& out);
// libtiff only (also the route when the plug-in is absent).
bool EncodeG4WithLibtiff(const uint8_t* rows, int32_t width, int32_t height, int32_t rowBytes,
                         std::string& out);

}  // namespace tessivo::pdf
