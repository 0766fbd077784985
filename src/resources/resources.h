// Data the library carries inside itself: the XMP packet template of PDF/A documents and the
// sRGB profile of their output intent (generated at build time, compressed with zlib).
#pragma once
#include <cstddef>
#include <string_view>

namespace tessivo::resources {

// The XMP template with CR LF line ends and XXX_…_XXX placeholders (see pdf/pdf_metadata.cpp).
std::string_view PdfAXmpTemplate();

// zlib stream of the sRGB IEC61966-2.1 display profile, and the profile's inflated size.
std::string_view CompressedSrgbProfile();
size_t SrgbProfileSize();

}  // namespace tessivo::resources
