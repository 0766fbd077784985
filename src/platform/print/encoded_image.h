// An image as its encoded stream, for a PDF to carry unchanged: a JPEG stream (PDF's DCTDecode)
// or the CCITT fax strips of a bilevel page (CCITTFaxDecode), each strip an independent stream
// of `rowsPerStrip` rows (the last one may be shorter). The caller vouches that decoding the
// stream gives exactly the pixels it stands for.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

namespace tessivo::platform {

struct EncodedImage {
  enum class Kind { Jpeg, CcittFax };
  using Bytes = std::shared_ptr<const std::vector<uint8_t>>;

  Kind kind = Kind::Jpeg;
  int32_t width = 0, height = 0;
  std::vector<Bytes> parts;  // JPEG: one stream; fax: the strips from the top
  int32_t rowsPerStrip = 0;  // fax only
  // Fax coding: K < 0 group 4, 0 one-dimensional group 3, > 0 two-dimensional group 3.
  int32_t k = -1;
  bool endOfLine = false;         // group 3 lines begin with EOL codes
  bool encodedByteAlign = false;  // fill bits end each EOL on a byte boundary
  bool blackIs1 = false;          // set for min-is-black pages: white runs are the dark ones
};

}  // namespace tessivo::platform
