// A bilevel TIFF page's CCITT strips as an image a PDF carries unchanged.
#pragma once
#include <optional>
#include <string>

#include "platform/codecs/tiff_raw_pages.h"
#include "platform/print/encoded_image.h"

namespace tessivo::platform {

// The strips of `page` (taken over) when they are group 3 or group 4 fax data a PDF's
// CCITTFaxDecode reads as the TIFF decoder does: bilevel, most significant bit first, top-left,
// without uncompressed mode. Nothing for any other page.
std::optional<EncodedImage> FaxStreamOf(RawTiffPage&& page);

// The only page of the TIFF file `path` as fax strips, when it qualifies as above.
std::optional<EncodedImage> FaxStreamOfFile(const std::string& path, float& dpiX, float& dpiY);

}  // namespace tessivo::platform
