// Colour management with Little CMS: converting decoded pixels from an embedded ICC profile
// to sRGB (the ICM decode option), and CMYK pixels to RGB.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/bitmap.h"

namespace tessivo::platform::codecs {

// Converts `image` in place from `profile`'s colour space to sRGB (perceptual intent).
// Handles 24bppRGB, 32bpp (R)GB(A), 48bppRGB, 64bppARGB and indexed images (their palette);
// a profile that cannot be read or whose colour space does not match the pixels (a CMYK
// profile on RGB pixels) leaves the image unchanged. Returns whether it converted.
bool ConvertToSrgb(Bitmap& image, const uint8_t* profile, size_t size);

// Whether `profile` is a whole ICC profile: Little CMS opens it and the size in its header is
// the size given (a truncated or padded file is refused). `rgbOnly`: its colour space must be RGB.
enum class ProfileCheck { Usable, Unreadable, NotRgb };
ProfileCheck CheckProfile(const uint8_t* profile, size_t size, bool rgbOnly);

// Converts `image` in place from sRGB to the RGB `profile` (perceptual intent), the reverse of
// ConvertToSrgb, for the same pixel formats (alpha copied unchanged; indexed images: their
// palette). False, with the image unchanged, for other formats or an unusable profile.
bool ConvertFromSrgb(Bitmap& image, const uint8_t* profile, size_t size);

// CMYK to 8-bit BGRX rows, through a CMYK profile when one is given and usable, else by the
// plain formula R = (1 - C)(1 - K). `inverted`: the samples are stored as 255 = no ink (as
// Adobe writes them) instead of 0 = no ink.
class CmykConverter {
 public:
  CmykConverter(const uint8_t* profile, size_t size, bool inverted);
  ~CmykConverter();
  CmykConverter(const CmykConverter&) = delete;
  CmykConverter& operator=(const CmykConverter&) = delete;

  void Convert(const uint8_t* cmyk, uint8_t* bgrx, size_t pixels) const;
  bool UsesProfile() const { return transform_ != nullptr; }

 private:
  void* transform_ = nullptr;  // cmsHTRANSFORM
  bool inverted_;
};

}  // namespace tessivo::platform::codecs
