// libFuzzer target: the BMP decoder (file header, DIB headers, bit fields, RLE).
#include "decode_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessivo::platform;
  return tessivo::fuzzing::FuzzDecoder(data, size, [](const uint8_t* d, size_t n, auto& out) {
    // Both entry points: a whole file, and a bare DIB as icons embed it.
    std::unique_ptr<Bitmap> dib;
    if (codecs::DecodeDib(d, n, true, dib) == Status::Ok) tessivo::fuzzing::Exercise(*dib);
    return codecs::DecodeBmp(d, n, out);
  });
}
