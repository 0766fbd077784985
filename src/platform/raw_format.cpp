#include "platform/bitmap.h"

namespace tessivo::platform {

// The image format identifiers differ only in their first group.
const char* RawFormatGuid(RawFormat f) {
  switch (f) {
    case RawFormat::MemoryBMP: return "{B96B3CAA-0728-11D3-9D7B-0000F81EF32E}";
    case RawFormat::BMP: return "{B96B3CAB-0728-11D3-9D7B-0000F81EF32E}";
    case RawFormat::EMF: return "{B96B3CAC-0728-11D3-9D7B-0000F81EF32E}";
    case RawFormat::WMF: return "{B96B3CAD-0728-11D3-9D7B-0000F81EF32E}";
    case RawFormat::JPEG: return "{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}";
    case RawFormat::PNG: return "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";
    case RawFormat::GIF: return "{B96B3CB0-0728-11D3-9D7B-0000F81EF32E}";
    case RawFormat::TIFF: return "{B96B3CB1-0728-11D3-9D7B-0000F81EF32E}";
    case RawFormat::EXIF: return "{B96B3CB2-0728-11D3-9D7B-0000F81EF32E}";
    case RawFormat::Icon: return "{B96B3CB5-0728-11D3-9D7B-0000F81EF32E}";
    case RawFormat::Undefined: break;
  }
  return "{B96B3CA9-0728-11D3-9D7B-0000F81EF32E}";
}

}  // namespace tessivo::platform
