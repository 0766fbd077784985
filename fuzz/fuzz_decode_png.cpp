// libFuzzer target: the PNG decoder, with colour management on (iCCP through Little CMS).
#include "decode_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessivo::platform;
  return tessivo::fuzzing::FuzzDecoder(data, size, [](const uint8_t* d, size_t n, auto& out) {
    return codecs::DecodePng(d, n, true, out);
  });
}
