// libFuzzer target: the GIF decoder, its frame compositing and disposal.
#include "decode_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessivo::platform;
  return tessivo::fuzzing::FuzzDecoder(data, size, [](const uint8_t* d, size_t n, auto& out) {
    return codecs::DecodeGif(tessivo::fuzzing::Share(d, n), out);
  });
}
