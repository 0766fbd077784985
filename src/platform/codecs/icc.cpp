#include "platform/codecs/icc.h"

#include <lcms2.h>

#include <mutex>
#include <vector>

namespace tessivo::platform::codecs {

namespace {

void SilenceLcms() {
  static std::once_flag once;
  std::call_once(once, [] { cmsSetLogErrorHandler(nullptr); });
}

struct Profile {
  cmsHPROFILE handle = nullptr;
  explicit Profile(cmsHPROFILE h) : handle(h) {}
  ~Profile() {
    if (handle) cmsCloseProfile(handle);
  }
};

struct Transform {
  cmsHTRANSFORM handle = nullptr;
  ~Transform() {
    if (handle) cmsDeleteTransform(handle);
  }
};

// From `source` to sRGB, or from sRGB to `source` when `fromSrgb`.
cmsHTRANSFORM MakeTransform(cmsHPROFILE source, cmsUInt32Number inFormat,
                            cmsUInt32Number outFormat, bool fromSrgb = false) {
  Profile srgb(cmsCreate_sRGBProfile());
  if (!srgb.handle) return nullptr;
  // Alpha (an extra channel on both sides) passes through unchanged.
  bool alpha = T_EXTRA(inFormat) > 0 && T_EXTRA(inFormat) == T_EXTRA(outFormat);
  return cmsCreateTransform(fromSrgb ? srgb.handle : source, inFormat, fromSrgb ? source : srgb.handle,
                            outFormat, INTENT_PERCEPTUAL, alpha ? cmsFLAGS_COPY_ALPHA : 0);
}

// The Little CMS layout of the RGB formats converted in place; 0 for the others.
cmsUInt32Number RgbLayout(PixelFormat f) {
  switch (f) {
    case kPixelFormat24bppRGB: return TYPE_BGR_8;
    case kPixelFormat32bppRGB:
    case kPixelFormat32bppARGB: return TYPE_BGRA_8;
    case kPixelFormat48bppRGB: return TYPE_BGR_16;
    case kPixelFormat64bppARGB: return TYPE_BGRA_16;
    default: return 0;
  }
}

bool TransformRows(Bitmap& image, cmsHPROFILE profile, cmsUInt32Number layout, bool fromSrgb) {
  Transform t;
  t.handle = MakeTransform(profile, layout, layout, fromSrgb);
  if (!t.handle) return false;
  for (int32_t y = 0; y < image.Height(); ++y) {
    cmsDoTransform(t.handle, image.Row(y), image.Row(y),
                   static_cast<cmsUInt32Number>(image.Width()));
  }
  return true;
}

bool ConvertPalette(Bitmap& image, cmsHPROFILE source, cmsColorSpaceSignature space,
                    bool fromSrgb = false) {
  Palette palette = image.GetPalette();
  std::vector<uint8_t> in(palette.entries.size() * 4);
  std::vector<uint8_t> out(palette.entries.size() * 4);
  for (size_t i = 0; i < palette.entries.size(); ++i) {
    uint32_t c = palette.entries[i];
    in[4 * i + 0] = static_cast<uint8_t>(c);
    in[4 * i + 1] = static_cast<uint8_t>(c >> 8);
    in[4 * i + 2] = static_cast<uint8_t>(c >> 16);
    in[4 * i + 3] = static_cast<uint8_t>(c >> 24);
  }
  Transform t;
  if (space == cmsSigGrayData) {
    // A grey profile converts the grey level (all three channels are equal in a ramp).
    std::vector<uint8_t> grey(palette.entries.size());
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = in[4 * i + 1];
    t.handle = MakeTransform(source, TYPE_GRAY_8, TYPE_BGR_8);
    if (!t.handle) return false;
    std::vector<uint8_t> bgr(grey.size() * 3);
    cmsDoTransform(t.handle, grey.data(), bgr.data(), static_cast<cmsUInt32Number>(grey.size()));
    for (size_t i = 0; i < grey.size(); ++i) {
      out[4 * i + 0] = bgr[3 * i];
      out[4 * i + 1] = bgr[3 * i + 1];
      out[4 * i + 2] = bgr[3 * i + 2];
      out[4 * i + 3] = in[4 * i + 3];
    }
  } else {
    t.handle = MakeTransform(source, TYPE_BGRA_8, TYPE_BGRA_8, fromSrgb);
    if (!t.handle) return false;
    cmsDoTransform(t.handle, in.data(), out.data(),
                   static_cast<cmsUInt32Number>(palette.entries.size()));
  }
  for (size_t i = 0; i < palette.entries.size(); ++i) {
    palette.entries[i] = (uint32_t{out[4 * i + 3]} << 24) | (uint32_t{out[4 * i + 2]} << 16) |
                         (uint32_t{out[4 * i + 1]} << 8) | out[4 * i];
  }
  palette.flags &= ~static_cast<uint32_t>(PaletteFlagsGrayScale);
  return image.SetPalette(palette) == Status::Ok;
}

}  // namespace

bool ConvertToSrgb(Bitmap& image, const uint8_t* profileData, size_t size) {
  if (profileData == nullptr || size < 128 || size > 0x7FFFFFFF) return false;
  SilenceLcms();
  Profile source(cmsOpenProfileFromMem(profileData, static_cast<cmsUInt32Number>(size)));
  if (!source.handle) return false;
  cmsColorSpaceSignature space = cmsGetColorSpace(source.handle);
  PixelFormat f = image.Format();
  if (IsIndexed(f)) {
    if (space != cmsSigRgbData && space != cmsSigGrayData) return false;
    return ConvertPalette(image, source.handle, space);
  }
  if (space != cmsSigRgbData) return false;  // grey or CMYK profiles on RGB pixels: unusable
  const cmsUInt32Number layout = RgbLayout(f);
  return layout != 0 && TransformRows(image, source.handle, layout, false);
}

ProfileCheck CheckProfile(const uint8_t* profileData, size_t size, bool rgbOnly) {
  // The header alone is 128 bytes; its first four give the profile's size, big-endian.
  if (profileData == nullptr || size < 128 || size > 0x7FFFFFFF) return ProfileCheck::Unreadable;
  const uint32_t declared = uint32_t{profileData[0]} << 24 | uint32_t{profileData[1]} << 16 |
                            uint32_t{profileData[2]} << 8 | profileData[3];
  if (declared != size) return ProfileCheck::Unreadable;
  SilenceLcms();
  Profile profile(cmsOpenProfileFromMem(profileData, static_cast<cmsUInt32Number>(size)));
  if (!profile.handle) return ProfileCheck::Unreadable;
  if (rgbOnly && cmsGetColorSpace(profile.handle) != cmsSigRgbData) return ProfileCheck::NotRgb;
  return ProfileCheck::Usable;
}

bool ConvertFromSrgb(Bitmap& image, const uint8_t* profileData, size_t size) {
  if (CheckProfile(profileData, size, true) != ProfileCheck::Usable) return false;
  Profile target(cmsOpenProfileFromMem(profileData, static_cast<cmsUInt32Number>(size)));
  if (!target.handle) return false;
  if (IsIndexed(image.Format())) return ConvertPalette(image, target.handle, cmsSigRgbData, true);
  const cmsUInt32Number layout = RgbLayout(image.Format());
  return layout != 0 && TransformRows(image, target.handle, layout, true);
}

CmykConverter::CmykConverter(const uint8_t* profileData, size_t size, bool inverted)
    : inverted_(inverted) {
  if (profileData == nullptr || size < 128 || size > 0x7FFFFFFF) return;
  SilenceLcms();
  Profile source(cmsOpenProfileFromMem(profileData, static_cast<cmsUInt32Number>(size)));
  if (!source.handle || cmsGetColorSpace(source.handle) != cmsSigCmykData) return;
  // lcms counts 0 as no ink; the _REV layout reads inverted samples.
  transform_ = MakeTransform(source.handle, inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8,
                             TYPE_BGRA_8);
}

CmykConverter::~CmykConverter() {
  if (transform_) cmsDeleteTransform(static_cast<cmsHTRANSFORM>(transform_));
}

void CmykConverter::Convert(const uint8_t* cmyk, uint8_t* bgrx, size_t pixels) const {
  if (transform_) {
    cmsDoTransform(static_cast<cmsHTRANSFORM>(transform_), cmyk, bgrx,
                   static_cast<cmsUInt32Number>(pixels));
    for (size_t i = 0; i < pixels; ++i) bgrx[4 * i + 3] = 0xFF;
    return;
  }
  for (size_t i = 0; i < pixels; ++i) {
    int c = cmyk[4 * i], m = cmyk[4 * i + 1], y = cmyk[4 * i + 2], k = cmyk[4 * i + 3];
    if (!inverted_) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    // Now each value is 255 - ink.
    bgrx[4 * i + 0] = static_cast<uint8_t>((y * k + 127) / 255);
    bgrx[4 * i + 1] = static_cast<uint8_t>((m * k + 127) / 255);
    bgrx[4 * i + 2] = static_cast<uint8_t>((c * k + 127) / 255);
    bgrx[4 * i + 3] = 0xFF;
  }
}

}  // namespace tessivo::platform::codecs
