// Colour remapping and colour keys over a whole image, through the platform's image attributes.
#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "platform/bitmap.h"
#include "platform/graphics/image_attributes.h"
#include "tessivo/safe_array.h"

namespace tessivo {

// The (old, new) ARGB pairs of a remap table: a one-dimensional array of consecutive pairs, or
// a two-dimensional array of one pair per row (second dimension of 2), read by subscript.
// Empty, odd or otherwise shaped arrays give nothing.
std::optional<std::vector<platform::ColorRemapPair>> RemapPairs(const SafeArray<int32_t>& table);

// Replaces each colour of the table by its new colour, alpha included (the new colour is copied,
// not blended). Indexed images change their palette entries, so no colour is lost to the
// nearest-entry mapping; other images are written back only when a pixel changed. `changed`
// tells whether anything was written.
platform::Status RemapImageColours(platform::Bitmap& image, const platform::ImageAttributes& attributes,
                                   bool& changed);

// A new 32bppARGB bitmap of `source` in which colours whose red, green and blue lie within the
// key's range are fully transparent; resolution and property items are left to the caller.
platform::Status KeyedCopy(platform::Bitmap& source, const platform::ImageAttributes& attributes,
                           std::unique_ptr<platform::Bitmap>& out);

}  // namespace tessivo
