#include "formats/gif89a_writer.h"


#include "formats/file_output.h"
#include "formats/gif_lzw_encoder.h"

namespace tessivo {
namespace {

void PutWord(std::vector<uint8_t>& out, int32_t value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// Unpacks one row of 1- or 4-bit samples into one byte per pixel.
void UnpackRow(const uint8_t* row, int32_t width, int32_t bits, uint8_t* out) {
  if (bits == 1) {
    for (int32_t x = 0; x < width; ++x) out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
  } else {
    for (int32_t x = 0; x < width; ++x) out[x] = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
  }
}

}  // namespace

int32_t GifTransparentIndexForColor(const std::vector<PaletteRecord>& palette, int32_t rgbColor) {
  if (rgbColor == -1) return -1;
  const uint8_t red = static_cast<uint8_t>(rgbColor & 0xFF);
  const uint8_t green = static_cast<uint8_t>((rgbColor >> 8) & 0xFF);
  const uint8_t blue = static_cast<uint8_t>((rgbColor >> 16) & 0xFF);
  for (size_t i = 0; i < palette.size(); ++i)
    if (palette[i].red == red && palette[i].green == green && palette[i].blue == blue)
      return static_cast<int32_t>(i);
  return -1;
}

std::vector<int32_t> GifRowOrder(int32_t height, bool interlaced) {
  std::vector<int32_t> rows;
  rows.reserve(static_cast<size_t>(height > 0 ? height : 0));
  if (!interlaced) {
    for (int32_t y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  static constexpr int32_t kStart[4] = {0, 4, 2, 1};
  static constexpr int32_t kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int32_t y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  return rows;
}

bool EncodeGIF89a(const GifImage& image, std::vector<uint8_t>& out) {
  out.clear();
  const int32_t bits = image.bits;
  if (bits != 1 && bits != 4 && bits != 8) return false;
  if (image.width < 1 || image.height < 1 || image.width > 0xFFFF || image.height > 0xFFFF)
    return false;
  if (image.pixels == nullptr || image.palette == nullptr) return false;
  const size_t stride = image.pixels->size() / static_cast<size_t>(image.height);
  const size_t rowBytes = (static_cast<size_t>(image.width) * static_cast<size_t>(bits) + 7) / 8;
  if (stride < rowBytes) return false;

  const std::vector<PaletteRecord>& palette = *image.palette;
  const int32_t tableSize = 1 << bits;
  const int32_t transparent = image.transparentIndex < tableSize ? image.transparentIndex : -1;

  out.reserve(64 + 3 * static_cast<size_t>(tableSize) + image.pixels->size() / 2);
  static constexpr char kSignature[] = "GIF89a";
  out.insert(out.end(), kSignature, kSignature + 6);
  // Logical screen descriptor: global table present, colour resolution 7, table size bits − 1.
  PutWord(out, image.width);
  PutWord(out, image.height);
  out.push_back(static_cast<uint8_t>(0xF0 | (bits - 1)));
  out.push_back(0);
  out.push_back(0);
  for (int32_t i = 0; i < tableSize; ++i) {
    const PaletteRecord rec = static_cast<size_t>(i) < palette.size() ? palette[static_cast<size_t>(i)]
                                                                      : PaletteRecord{};
    out.push_back(rec.red);
    out.push_back(rec.green);
    out.push_back(rec.blue);
  }
  // Graphic control extension.
  const uint8_t gce[8] = {0x21, 0xF9, 0x04, static_cast<uint8_t>(transparent >= 0 ? 1 : 0), 0, 0,
                          static_cast<uint8_t>(transparent >= 0 ? transparent : 0), 0};
  out.insert(out.end(), gce, gce + 8);
  // Image descriptor, no local colour table.
  out.push_back(0x2C);
  PutWord(out, 0);
  PutWord(out, 0);
  PutWord(out, image.width);
  PutWord(out, image.height);
  out.push_back(static_cast<uint8_t>((bits - 1) | (image.interlaced ? 0x40 : 0)));

  const int minCodeSize = bits == 1 ? 2 : bits;
  out.push_back(static_cast<uint8_t>(minCodeSize));
  {
    GifLzwEncoder encoder(minCodeSize, out);
    std::vector<uint8_t> unpacked(bits == 8 ? 0 : static_cast<size_t>(image.width));
    const uint8_t* base = image.pixels->data();
    for (int32_t y : GifRowOrder(image.height, image.interlaced)) {
      const uint8_t* row = base + static_cast<size_t>(y) * stride;
      if (bits != 8) {
        UnpackRow(row, image.width, bits, unpacked.data());
        row = unpacked.data();
      }
      encoder.Feed(row, static_cast<size_t>(image.width));
    }
    encoder.Finish();
  }
  out.push_back(0x00);  // block terminator
  out.push_back(0x3B);  // trailer
  return true;
}

bool WriteGIF89a(const GifImage& image, const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!EncodeGIF89a(image, bytes)) return false;
  return WriteWholeFile(path, bytes);
}

bool WriteGIF89a(const std::string& path, int32_t width, int32_t height, int32_t bits,
                 const std::vector<uint8_t>& pixels, const std::vector<PaletteRecord>& palette,
                 bool interlaced, int32_t transparentColor) {
  GifImage image;
  image.width = width;
  image.height = height;
  image.bits = bits;
  image.pixels = &pixels;
  image.palette = &palette;
  image.interlaced = interlaced;
  image.transparentIndex = GifTransparentIndexForColor(palette, transparentColor);
  return WriteGIF89a(image, path);
}

}  // namespace tessivo
