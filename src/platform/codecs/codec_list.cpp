// The encoder and decoder lists and the encoder parameter identifiers.
#include <algorithm>
#include <cctype>

#include "platform/codecs/codecs.h"

namespace tessivo::platform {

namespace {

ImageCodecInfo Codec(const char* clsid, const char* name, const char* description,
                     const char* extensions, const char* mime, RawFormat format) {
  ImageCodecInfo info;
  info.clsid = clsid;
  info.formatId = RawFormatGuid(format);
  info.codecName = name;
  info.formatDescription = description;
  info.filenameExtension = extensions;
  info.mimeType = mime;
  info.format = format;
  return info;
}

const ImageCodecInfo& Bmp() {
  static const ImageCodecInfo c =
      Codec("{557CF400-1A04-11D3-9A73-0000F81EF32E}", "Built-in BMP Codec", "BMP",
            "*.BMP;*.DIB;*.RLE", "image/bmp", RawFormat::BMP);
  return c;
}
const ImageCodecInfo& Jpeg() {
  static const ImageCodecInfo c =
      Codec("{557CF401-1A04-11D3-9A73-0000F81EF32E}", "Built-in JPEG Codec", "JPEG",
            "*.JPG;*.JPEG;*.JPE;*.JFIF", "image/jpeg", RawFormat::JPEG);
  return c;
}
const ImageCodecInfo& Gif() {
  static const ImageCodecInfo c =
      Codec("{557CF402-1A04-11D3-9A73-0000F81EF32E}", "Built-in GIF Codec", "GIF", "*.GIF",
            "image/gif", RawFormat::GIF);
  return c;
}
const ImageCodecInfo& Tiff() {
  static const ImageCodecInfo c =
      Codec("{557CF405-1A04-11D3-9A73-0000F81EF32E}", "Built-in TIFF Codec", "TIFF",
            "*.TIF;*.TIFF", "image/tiff", RawFormat::TIFF);
  return c;
}
const ImageCodecInfo& Png() {
  static const ImageCodecInfo c =
      Codec("{557CF406-1A04-11D3-9A73-0000F81EF32E}", "Built-in PNG Codec", "PNG", "*.PNG",
            "image/png", RawFormat::PNG);
  return c;
}
const ImageCodecInfo& Ico() {
  static const ImageCodecInfo c =
      Codec("{557CF407-1A04-11D3-9A73-0000F81EF32E}", "Built-in ICO Codec", "ICO", "*.ICO",
            "image/x-icon", RawFormat::Icon);
  return c;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

struct ParameterName {
  EncoderParameterId id;
  const char* guid;
};
constexpr ParameterName kParameterNames[] = {
    {EncoderParameterId::Quality, "{1d5be4b5-fa4a-452d-9cdd-5db35105e7eb}"},
    {EncoderParameterId::Compression, "{e09d739d-ccd4-44ee-8eba-3fbf8be4fc58}"},
    {EncoderParameterId::ColorDepth, "{66087055-ad66-4c7c-9a18-38a2310b8337}"},
    {EncoderParameterId::SaveFlag, "{292266fc-ac40-47bf-8cfc-a85b89a655de}"},
    {EncoderParameterId::Transformation, "{8d0eb2d1-a58e-4ea8-aa14-108074b7b6f9}"},
};

}  // namespace

const std::vector<ImageCodecInfo>& ImageEncoders() {
  static const std::vector<ImageCodecInfo> list = {Bmp(), Jpeg(), Gif(), Tiff(), Png()};
  return list;
}

const std::vector<ImageCodecInfo>& ImageDecoders() {
  static const std::vector<ImageCodecInfo> list = {Bmp(), Jpeg(), Gif(), Tiff(), Png(), Ico()};
  return list;
}

const ImageCodecInfo* FindEncoder(const std::string& clsid) {
  for (const ImageCodecInfo& info : ImageEncoders()) {
    if (EqualNoCase(info.clsid, clsid)) return &info;
  }
  return nullptr;
}

const char* EncoderParameterGuid(EncoderParameterId id) {
  for (const ParameterName& p : kParameterNames) {
    if (p.id == id) return p.guid;
  }
  return "";
}

bool EncoderParameterFromGuid(const std::string& guid, EncoderParameterId& id) {
  for (const ParameterName& p : kParameterNames) {
    if (EqualNoCase(p.guid, guid)) {
      id = p.id;
      return true;
    }
  }
  return false;
}

}  // namespace tessivo::platform
