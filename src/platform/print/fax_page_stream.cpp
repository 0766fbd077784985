#include "platform/print/fax_page_stream.h"

#include <tiffio.h>

namespace tessivo::platform {
namespace {

constexpr uint32_t kGroup3TwoDimensional = 0x1;

}  // namespace

std::optional<EncodedImage> FaxStreamOf(RawTiffPage&& page) {
  // The raw reader has already refused other fill orders, orientations and layouts.
  if (page.bitsPerSample != 1 || page.samplesPerPixel != 1 || page.width == 0 || page.height == 0 ||
      page.rowsPerStrip == 0 || page.strips.empty() || page.width > 0x7FFFFFFF || page.height > 0x7FFFFFFF)
    return std::nullopt;
  if (page.photometric != PHOTOMETRIC_MINISWHITE && page.photometric != PHOTOMETRIC_MINISBLACK) return std::nullopt;
  EncodedImage out;
  out.kind = EncodedImage::Kind::CcittFax;
  switch (page.compression) {
    case COMPRESSION_CCITTFAX4:
      if (page.group4Options != 0) return std::nullopt;  // uncompressed mode allowed
      out.k = -1;
      break;
    case COMPRESSION_CCITTFAX3:
      // Uncompressed mode, and fill bits (whose alignment TIFF and PDF readers place
      // differently around the EOL codes), go the decoded way.
      if (page.group3Options & ~kGroup3TwoDimensional) return std::nullopt;
      out.k = (page.group3Options & kGroup3TwoDimensional) ? 1 : 0;
      out.endOfLine = true;
      break;
    default:
      return std::nullopt;
  }
  // The codes name white and black runs; TIFF's photometric says which is dark. A min-is-black
  // page shows its "white" runs dark, which PDF expresses by BlackIs1.
  out.blackIs1 = page.photometric == PHOTOMETRIC_MINISBLACK;
  out.width = static_cast<int32_t>(page.width);
  out.height = static_cast<int32_t>(page.height);
  out.rowsPerStrip = static_cast<int32_t>(page.rowsPerStrip);
  out.parts.reserve(page.strips.size());
  for (auto& strip : page.strips) out.parts.push_back(std::make_shared<const std::vector<uint8_t>>(std::move(strip)));
  return out;
}

std::optional<EncodedImage> FaxStreamOfFile(const std::string& path, float& dpiX, float& dpiY) {
  RawTiffPage page;
  if (!ReadRawTiffFile(path, page)) return std::nullopt;
  dpiX = page.dpiX;
  dpiY = page.dpiY;
  return FaxStreamOf(std::move(page));
}

}  // namespace tessivo::platform
