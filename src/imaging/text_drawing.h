// The text operation of the drawing methods, for other families that print text on the native
// image (the digits under an EAN-13 symbol).
#pragma once
#include <cstdint>
#include <string>

#include "core/imaging_state.h"
#include "tessivo/status.h"

namespace tessivo {

// The checks a text draw makes before it touches the image: a native image, the family and
// style, the size in the instance's font unit; and an em of more than kMaxCheckedTextEm pixels
// is ValueOverflow, so that a later draw of that font cannot stop half-way. Nothing is stored.
inline constexpr double kMaxCheckedTextEm = 1 << 19;
TessivoStatus CheckTextFont(ImagingState& state, float size, const std::string& fontName, int32_t style);

// One unrotated text at (left, top), as DrawText draws it; the status is stored.
TessivoStatus DrawPlainText(ImagingState& state, const std::string& text, int32_t left, int32_t top, float size,
                            int32_t argb, const std::string& fontName, int32_t style, bool antiAlias);

}  // namespace tessivo
