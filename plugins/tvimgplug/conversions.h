// Conversions between the plug-in's bitmap types. Each returns a new bitmap (null when the
// conversion does not apply or memory runs out) and keeps the source.
#pragma once
#include "bitmap.h"

namespace tvimg {

BitmapPtr ConvertTo24Bits(const tvimg_bitmap& source);
// Indexed images take their alpha from the transparency table; 16-bit-per-channel images
// keep theirs; everything else is opaque.
BitmapPtr ConvertTo32Bits(const tvimg_bitmap& source);
// 8-bit grey (Rec. 601 luma) with a grey ramp palette.
BitmapPtr ConvertToGreyscale(const tvimg_bitmap& source);
// Floating-point RGB, channels scaled to 0..1.
BitmapPtr ConvertToRgbf(const tvimg_bitmap& source);
// To TVIMG_TYPE_BITMAP: 16-bit samples keep their upper 8 bits (rounded); floating-point
// samples are stretched from their own minimum..maximum to 0..255 when `scaleLinear`, else
// clamped from 0..1. To UINT16, RGB16, RGBA16, FLOAT, RGBF: standard samples widened.
BitmapPtr ConvertToType(const tvimg_bitmap& source, int32_t type, bool scaleLinear);

// The photoreceptor tone-mapping operator of Reinhard and Devlin (2005) with its default light
// and colour adaptation (1 and 0): `intensity` in -8..8 (0: neutral), `contrast` in 0.3..1
// (0: derived from the image's log-luminance range). Result: 24 bits.
BitmapPtr ToneMapReinhard05(const tvimg_bitmap& source, double intensity, double contrast);

// In place: the negative of the picture (palette entries of indexed images; alpha is kept).
bool Invert(tvimg_bitmap& bitmap);
bool FlipVertical(tvimg_bitmap& bitmap);

}  // namespace tvimg
