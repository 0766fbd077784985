// libFuzzer target: the icon decoder (directory, embedded DIBs with masks, embedded PNGs).
#include "decode_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessivo::platform;
  return tessivo::fuzzing::FuzzDecoder(data, size, [](const uint8_t* d, size_t n, auto& out) {
    return codecs::DecodeIco(d, n, out);
  });
}
