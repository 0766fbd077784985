// The decoding entry points: format detection by signature and dispatch to the decoders.
#include <cstring>
#include <new>

#include "platform/codecs/codecs.h"
#include "platform/codecs/decoders.h"
#include "platform/codecs/tiff_io.h"
#include "platform/file_mapping.h"

namespace tessivo::platform {

using codecs::SharedBytes;

RawFormat DetectImageFormat(const uint8_t* data, size_t size) {
  if (data == nullptr) return RawFormat::Undefined;
  auto starts = [&](const char* signature, size_t length) {
    return size >= length && std::memcmp(data, signature, length) == 0;
  };
  if (starts("\x89PNG\r\n\x1A\n", 8)) return RawFormat::PNG;
  if (starts("\xFF\xD8\xFF", 3)) return RawFormat::JPEG;
  if (starts("GIF87a", 6) || starts("GIF89a", 6)) return RawFormat::GIF;
  if (starts("II*\0", 4) || starts("MM\0*", 4) || starts("II+\0", 4) || starts("MM\0+", 4)) {
    return RawFormat::TIFF;
  }
  if (starts("BM", 2) && size >= 26) return RawFormat::BMP;
  if ((starts("\0\0\1\0", 4) || starts("\0\0\2\0", 4)) && size >= 6 &&
      (data[4] | data[5]) != 0) {
    return RawFormat::Icon;
  }
  return RawFormat::Undefined;
}

namespace {

Status DecodeShared(const SharedBytes& bytes, bool icm, std::unique_ptr<Bitmap>& out) {
  out.reset();
  const uint8_t* data = bytes->data();
  size_t size = bytes->size();
  try {
    switch (DetectImageFormat(data, size)) {
      case RawFormat::PNG: return codecs::DecodePng(data, size, icm, out);
      case RawFormat::JPEG: return codecs::DecodeJpeg(data, size, icm, out);
      case RawFormat::GIF: return codecs::DecodeGif(bytes, out);
      case RawFormat::TIFF: return codecs::DecodeTiff(bytes, icm, out);
      case RawFormat::BMP: return codecs::DecodeBmp(data, size, out);
      case RawFormat::Icon: return codecs::DecodeIco(data, size, out);
      default: return Status::UnknownImageFormat;
    }
  } catch (const std::bad_alloc&) {
    out.reset();
    return Status::OutOfMemory;
  } catch (...) {
    out.reset();
    return Status::GenericError;
  }
}

}  // namespace

namespace {

// Decodes straight from a read-only mapping of the file. TIFF and GIF keep their encoded bytes
// with the bitmap to decode further frames later, so they get a private copy instead (the file
// may change after the call): `handled` is false for them and for files that cannot be mapped.
Status DecodeMappedFile(const std::string& path, bool icm, std::unique_ptr<Bitmap>& out,
                        bool& handled) {
  handled = false;
  std::unique_ptr<FileMapping> mapping;
  Status s = FileMapping::Open(path, mapping);
  if (s == Status::FileNotFound || s == Status::AccessDenied) {
    handled = true;
    return s;
  }
  if (s != Status::Ok) return s;
  const uint8_t* data = mapping->data();
  const size_t size = mapping->size();
  const RawFormat format = DetectImageFormat(data, size);
  if (format == RawFormat::TIFF || format == RawFormat::GIF) return Status::Ok;
  handled = true;
  try {
    switch (format) {
      case RawFormat::PNG: s = codecs::DecodePng(data, size, icm, out); break;
      case RawFormat::JPEG: s = codecs::DecodeJpeg(data, size, icm, out); break;
      case RawFormat::BMP: s = codecs::DecodeBmp(data, size, out); break;
      case RawFormat::Icon: s = codecs::DecodeIco(data, size, out); break;
      default: s = Status::UnknownImageFormat; break;
    }
  } catch (const std::bad_alloc&) {
    s = Status::OutOfMemory;
  } catch (...) {
    s = Status::GenericError;
  }
  // The file shrank while it was read: what was decoded is partly zeros.
  if (s == Status::Ok && !mapping->Intact()) s = Status::Win32Error;
  if (s != Status::Ok) out.reset();
  return s;
}

}  // namespace

int32_t CountTiffPages(const std::string& path) {
  std::unique_ptr<FileMapping> mapping;
  if (FileMapping::Open(path, mapping) != Status::Ok) return -1;
  if (DetectImageFormat(mapping->data(), mapping->size()) != RawFormat::TIFF) return -1;
  codecs::TiffHandle tiff =
      codecs::TiffHandle::OpenMemory(mapping->data(), mapping->size(), codecs::DecodePixelLimit());
  if (!tiff) return -1;
  // The chain is followed without trusting it: libtiff detects loops, the bound does the rest.
  int32_t pages = 1;
  while (pages < 100000 && TIFFReadDirectory(tiff.get())) ++pages;
  return mapping->Intact() ? pages : -1;
}

Status DecodeImageFile(const std::string& path, bool icm, std::unique_ptr<Bitmap>& out) {
  out.reset();
  bool handled = false;
  Status mapped = DecodeMappedFile(path, icm, out, handled);
  if (handled) return mapped;
  try {
    SharedBytes bytes;
    Status s = codecs::EncodedBytes::ReadFile(path, bytes);
    if (s != Status::Ok) return s;
    return DecodeShared(bytes, icm, out);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status DecodeImageMemory(const uint8_t* data, size_t size, bool icm,
                         std::unique_ptr<Bitmap>& out) {
  out.reset();
  if (data == nullptr && size > 0) return Status::InvalidParameter;
  try {
    return DecodeShared(codecs::EncodedBytes::Copy(data, size), icm, out);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status DecodeImageStream(Stream& stream, bool icm, std::unique_ptr<Bitmap>& out) {
  out.reset();
  try {
    SharedBytes bytes;
    Status s = codecs::EncodedBytes::Read(stream, bytes);
    if (s != Status::Ok) return s;
    return DecodeShared(bytes, icm, out);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace tessivo::platform
