// Colour profiles: of image files, changed in place through the codec plug-in, and of the
// native image, its property item 34675 read, written, removed and converted to on Little CMS.
#include "core/boundary.h"
#include "core/codec_plugin.h"
#include "core/load_pipeline.h"
#include "core/native_rebuild.h"
#include "core/pending_file.h"
#include "pixel/pixel_changes.h"
#include "platform/codecs/icc.h"
#include "platform/pixel_format.h"
#include "platform/stream.h"
#include "tessivo/imaging.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace tessivo {
namespace {

bool IsNonEmptyFile(const std::string& path) {
  struct stat st {};
  return IsReadableFile(path) && ::stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

}  // namespace

TessivoStatus cImaging::ICCRemoveProfileToFile(const std::string& sFilePath) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    const TvimgplugApi* codec = CodecPlugin();
    if (!codec) return st.Set(TvimgplugDllRequired);
    const std::string path = NormalisePath(sFilePath);
    if (path.empty() || !IsReadableFile(path)) return st.Set(FileNotFound);
    return st.Set(codec->RemoveIccProfileFromFile(path.c_str()) ? OK : GenericError);
  });
}

TessivoStatus cImaging::ICCAddProfileToFile(const std::string& sImagePath,
                                            const std::string& sProfilePath) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    const TvimgplugApi* codec = CodecPlugin();
    if (!codec) return st.Set(TvimgplugDllRequired);
    const std::string image = NormalisePath(sImagePath);
    const std::string profile = NormalisePath(sProfilePath);
    if (image.empty() || !IsReadableFile(image) || !IsNonEmptyFile(profile))
      return st.Set(FileNotFound);
    return st.Set(codec->AddIccProfileToFile(image.c_str(), profile.c_str()) ? OK : GenericError);
  });
}

namespace {

constexpr uint32_t kIccProfileTag = 34675;
constexpr uint16_t kUndefinedType = 7;

// Reads a profile file for attaching or converting to. Missing, unreadable, empty or 1-byte:
// FileNotFound; not one whole profile (RGB when `rgbOnly`): InvalidParameter.
TessivoStatus ReadProfileFile(const std::string& sPath, bool rgbOnly, std::vector<uint8_t>& bytes) {
  const std::string path = NormalisePath(sPath);
  if (path.empty() || !IsReadableFile(path)) return FileNotFound;
  const platform::Status s = platform::ReadFileBytes(path, bytes);
  if (s == platform::Status::OutOfMemory) return OutOfMemory;
  if (s != platform::Status::Ok || bytes.size() <= 1) return FileNotFound;
  const platform::codecs::ProfileCheck check = platform::codecs::CheckProfile(bytes.data(), bytes.size(), rgbOnly);
  return check == platform::codecs::ProfileCheck::Usable ? OK : InvalidParameter;
}

// The format the pixels are converted in: the RGB formats Little CMS reads in place stay,
// indexed images keep theirs (the palette converts), the others go to the nearest of them.
platform::PixelFormat ConversionFormat(platform::PixelFormat f) {
  switch (f) {
    case platform::kPixelFormat24bppRGB:
    case platform::kPixelFormat32bppRGB:
    case platform::kPixelFormat32bppARGB:
    case platform::kPixelFormat48bppRGB:
    case platform::kPixelFormat64bppARGB: return f;
    case platform::kPixelFormat64bppPARGB: return platform::kPixelFormat64bppARGB;
    case platform::kPixelFormat16bppGrayScale: return platform::kPixelFormat48bppRGB;
    default: return platform::IsIndexed(f) ? f : platform::kPixelFormat32bppARGB;
  }
}

}  // namespace

bool cImaging::ICCImageHasProfile() {
  ImagingState& st = *state_;
  return Guarded(st, false, [&]() -> bool {
    if (st.nativeImage == 0) return st.Set(GenericError), false;
    platform::Bitmap* image = ResolveImage(st.nativeImage);
    if (image == nullptr) return st.Set(InvalidParameter), false;
    platform::PropertyItem item;
    return image->GetProperty(kIccProfileTag, item) == platform::Status::Ok;
  });
}

TessivoStatus cImaging::ICCRemove() {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    if (st.nativeImage == 0) return st.Set(GenericError);
    platform::Bitmap* image = ResolveImage(st.nativeImage);
    if (image == nullptr) return st.Set(InvalidParameter);
    if (image->RemoveProperty(kIccProfileTag) != platform::Status::Ok) return st.Set(ProfileNotFound);
    NotePixelsChanged(st.nativeImage);  // a document page is written back with its change
    return st.Set(OK);
  });
}

TessivoStatus cImaging::ICCExportToFile(const std::string& sFilePath) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    if (st.nativeImage == 0) return st.Set(GenericError);
    platform::Bitmap* image = ResolveImage(st.nativeImage);
    if (image == nullptr) return st.Set(InvalidParameter);
    platform::PropertyItem item;
    if (image->GetProperty(kIccProfileTag, item) != platform::Status::Ok) return st.Set(ProfileNotFound);
    const std::string path = NormalisePath(sFilePath);
    if (path.empty()) return st.Set(InvalidParameter);
    // Written beside the destination and renamed over it: a failure leaves an old file whole.
    PendingFile pending;
    if (!pending.Open(path)) return st.Set(GenericError);
    std::FILE* out = std::fopen(pending.Path().c_str(), "wb");
    if (out == nullptr) return st.Set(GenericError);
    const bool written = item.value.empty() || std::fwrite(item.value.data(), 1, item.value.size(), out) == item.value.size();
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed || !pending.Commit()) return st.Set(GenericError);
    return st.Set(OK);
  });
}

TessivoStatus cImaging::ICCAddFromFile(const std::string& sFilePath) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    if (st.nativeImage == 0) return st.Set(GenericError);
    platform::Bitmap* image = ResolveImage(st.nativeImage);
    if (image == nullptr) return st.Set(InvalidParameter);
    std::vector<uint8_t> bytes;
    const TessivoStatus read = ReadProfileFile(sFilePath, false, bytes);
    if (read != OK) return st.Set(read);
    const platform::Status s = image->SetProperty({kIccProfileTag, kUndefinedType, std::move(bytes)});
    if (s != platform::Status::Ok) return st.Set(static_cast<TessivoStatus>(s));
    NotePixelsChanged(st.nativeImage);
    return st.Set(OK);
  });
}

TessivoStatus cImaging::ICCSetRGBProfile(const std::string& sProfilePath) {
  ImagingState& st = *state_;
  return GuardedStatus(st, [&] {
    if (st.nativeImage == 0) return st.Set(GenericError);
    platform::Bitmap* current = ResolveImage(st.nativeImage);
    if (current == nullptr) return st.Set(InvalidParameter);
    std::vector<uint8_t> profile;
    const TessivoStatus read = ReadProfileFile(sProfilePath, true, profile);
    if (read != OK) return st.Set(read);

    // A new image, as every rebuild makes: an exact copy (palette and all) when the format
    // converts in place, else the pixels in the nearest format that does.
    std::unique_ptr<platform::Bitmap> converted;
    const platform::PixelFormat format = ConversionFormat(current->Format());
    platform::Status s = format == current->Format()
                             ? current->Clone(converted)
                             : current->CloneArea({0, 0, current->Width(), current->Height()}, format, converted);
    if (s != platform::Status::Ok) return st.Set(static_cast<TessivoStatus>(s));
    converted->SetFrameSource(nullptr);
    for (const platform::PropertyItem& item : current->Properties()) converted->RemoveProperty(item.id);
    if (!platform::codecs::ConvertFromSrgb(*converted, profile.data(), profile.size())) return st.Set(GenericError);
    converted->SetResolution(current->HorizontalResolution(), current->VerticalResolution());

    // The pixels are now in the new profile's space: the old profile is not restored, the new
    // one is attached.
    CaptureTags(st.capturedTags, st.preserveTags, st.nativeImage);
    if (!ReplaceImageBitmap(st.nativeImage, std::move(converted))) return st.Set(GenericError);
    RestoreTags(st.capturedTags, st.preserveTags, st.nativeImage, true);
    platform::Bitmap* replaced = ResolveImage(st.nativeImage);
    if (replaced == nullptr) return st.Set(GenericError);
    s = replaced->SetProperty({kIccProfileTag, kUndefinedType, std::move(profile)});
    if (s != platform::Status::Ok) return st.Set(static_cast<TessivoStatus>(s));
    NotePixelsChanged(st.nativeImage);
    return st.Set(OK);
  });
}

}  // namespace tessivo
