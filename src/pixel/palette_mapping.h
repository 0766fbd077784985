// Mapping grey values to the entries of a grey palette.
#pragma once
#include <array>
#include <cstdint>

#include "platform/bitmap.h"

namespace tessivo {

// True when the palette is the 256-entry ramp whose entry i is grey i.
bool IsGreyRamp(const platform::Palette& palette);

// For each grey value 0..255 the index of the palette entry whose grey (its blue byte) is
// nearest; the first entry wins a tie. For the ramp this is the identity. The palette must
// not be empty.
std::array<uint8_t, 256> GreyIndexTable(const platform::Palette& palette);

}  // namespace tessivo
