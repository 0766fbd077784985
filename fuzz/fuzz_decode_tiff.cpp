// libFuzzer target: the TIFF decoder and its page frames, colour management on.
#include "decode_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessivo::platform;
  return tessivo::fuzzing::FuzzDecoder(data, size, [](const uint8_t* d, size_t n, auto& out) {
    return codecs::DecodeTiff(tessivo::fuzzing::Share(d, n), true, out);
  });
}
