#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "core/image_registry.h"
#include "formats/gif89a_writer.h"
#include "platform/bitmap.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

// A file decoded with giflib's low-level reader: rows as stored (interlaced files keep their
// pass order), colour table, and the graphic control extension.
struct DecodedGif {
  int width = 0, height = 0;
  bool interlaced = false;
  std::vector<uint32_t> colors;  // 0xRRGGBB
  std::vector<std::vector<uint8_t>> storedRows;
  bool hasGce = false;
  int gcePacked = -1;
  int transparentIndex = -1;
};

bool Decode(const std::vector<uint8_t>& file, DecodedGif& out) {
  out = DecodedGif{};
  struct Reader {
    const std::vector<uint8_t>* bytes;
    size_t at;
  } reader{&file, 0};
  auto read = [](GifFileType* gif, GifByteType* into, int want) -> int {
    auto* r = static_cast<Reader*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(want), r->bytes->size() - r->at);
    std::memcpy(into, r->bytes->data() + r->at, n);
    r->at += n;
    return static_cast<int>(n);
  };
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, read, &error);
  if (gif == nullptr) return false;
  bool ok = true;
  out.width = gif->SWidth;
  out.height = gif->SHeight;
  if (gif->SColorMap)
    for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
      const GifColorType c = gif->SColorMap->Colors[i];
      out.colors.push_back(static_cast<uint32_t>(c.Red) << 16 | c.Green << 8 | c.Blue);
    }
  GifRecordType type;
  do {
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) { ok = false; break; }
    if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif) == GIF_ERROR) { ok = false; break; }
      out.interlaced = gif->Image.Interlace;
      for (int y = 0; y < gif->Image.Height && ok; ++y) {
        std::vector<uint8_t> row(static_cast<size_t>(gif->Image.Width));
        ok = DGifGetLine(gif, row.data(), gif->Image.Width) == GIF_OK;
        out.storedRows.push_back(std::move(row));
      }
    } else if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) { ok = false; break; }
      if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] == 4) {
        out.hasGce = true;
        out.gcePacked = block[1];
        if (block[1] & 1) out.transparentIndex = block[4];
      }
      while (block != nullptr)
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) { ok = false; break; }
    }
  } while (ok && type != TERMINATE_RECORD_TYPE);
  DGifCloseFile(gif, &error);
  return ok;
}

// Rows of an interlaced file in storage order, written out pass by pass.
std::vector<int> InterlacedOrder(int height) {
  std::vector<int> rows;
  for (int y = 0; y < height; y += 8) rows.push_back(y);
  for (int y = 4; y < height; y += 8) rows.push_back(y);
  for (int y = 2; y < height; y += 4) rows.push_back(y);
  for (int y = 1; y < height; y += 2) rows.push_back(y);
  return rows;
}

std::vector<PaletteRecord> Greys(int n) {
  std::vector<PaletteRecord> p;
  for (int i = 0; i < n; ++i) p.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i / 2), 255});
  return p;
}

std::vector<uint8_t> Encode(int32_t width, int32_t height, int32_t bits, const std::vector<uint8_t>& pixels,
                            const std::vector<PaletteRecord>& palette, bool interlaced, int32_t transparent = -1) {
  GifImage image;
  image.width = width;
  image.height = height;
  image.bits = bits;
  image.pixels = &pixels;
  image.palette = &palette;
  image.interlaced = interlaced;
  image.transparentIndex = transparent;
  std::vector<uint8_t> out;
  EXPECT_TRUE(EncodeGIF89a(image, out));
  return out;
}

// Offset of the LZW minimum code size byte: header 13, colour table, GCE 8, descriptor 10.
size_t LzwStart(int bits) { return 13 + 3 * (size_t{1} << bits) + 8 + 10; }

TEST(GifWriter, WritesTheExactLayoutOfASmallOneBitImage) {
  const std::vector<uint8_t> pixels = {0x00, 0, 0, 0};  // one row of four 0 pixels, stride 4
  const std::vector<PaletteRecord> palette = {{0, 0, 0, 255}, {255, 255, 255, 255}};
  const std::vector<uint8_t> expected = {
      'G', 'I', 'F', '8', '9', 'a', 4, 0, 1, 0, 0xF0, 0, 0,  // screen: 1-bit table
      0, 0, 0, 255, 255, 255,                                  // 2 colours
      0x21, 0xF9, 4, 0, 0, 0, 0, 0,                            // no transparency
      0x2C, 0, 0, 0, 0, 4, 0, 1, 0, 0x00,                      // not interlaced
      2,                                                       // minimum code size 2
      2, 0x84, 0x51,                                           // clear(4) 0 6 0 eoi(5)
      0, 0x3B};
  EXPECT_EQ(Encode(4, 1, 1, pixels, palette, false), expected);
}

TEST(GifWriter, RoundTripsEightAndFourBitImagesThroughGiflib) {
  std::mt19937 rng(11);
  for (int bits : {8, 4}) {
    const int32_t width = 37, height = 23;
    const int32_t stride = (width * bits + 31) / 32 * 4;
    std::vector<uint8_t> pixels(static_cast<size_t>(stride * height));
    std::vector<std::vector<uint8_t>> expected(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) {
        // Runs of repeated values so that the dictionary finds strings.
        const uint8_t v = static_cast<uint8_t>((rng() % 4 == 0 ? rng() : x / 3 + y) & ((1 << bits) - 1));
        expected[static_cast<size_t>(y)].push_back(v);
        uint8_t& byte = pixels[static_cast<size_t>(y * stride + (bits == 8 ? x : x / 2))];
        byte |= bits == 8 ? v : (x % 2 ? v : static_cast<uint8_t>(v << 4));
      }
    const std::vector<PaletteRecord> palette = Greys(1 << bits);
    DecodedGif gif;
    ASSERT_TRUE(Decode(Encode(width, height, bits, pixels, palette, true), gif)) << bits;
    EXPECT_EQ(gif.width, width);
    EXPECT_EQ(gif.height, height);
    EXPECT_TRUE(gif.interlaced);
    ASSERT_EQ(gif.colors.size(), static_cast<size_t>(1 << bits));
    EXPECT_EQ(gif.colors[3], 0x03FC01u);
    const std::vector<int> order = InterlacedOrder(height);
    ASSERT_EQ(gif.storedRows.size(), order.size());
    for (size_t k = 0; k < order.size(); ++k) EXPECT_EQ(gif.storedRows[k], expected[static_cast<size_t>(order[k])]) << k;
  }
}

TEST(GifWriter, InterlacedPassesWriteEveryRowOnceForSmallHeights) {
  for (int32_t height = 1; height <= 9; ++height) {
    const int32_t width = 3, stride = 4;
    std::vector<uint8_t> pixels(static_cast<size_t>(stride * height));
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) pixels[static_cast<size_t>(y * stride + x)] = static_cast<uint8_t>(10 * y + x);
    DecodedGif gif;
    ASSERT_TRUE(Decode(Encode(width, height, 8, pixels, Greys(256), true), gif)) << height;
    const std::vector<int> order = InterlacedOrder(height);
    ASSERT_EQ(gif.storedRows.size(), static_cast<size_t>(height));
    for (size_t k = 0; k < order.size(); ++k)
      EXPECT_EQ(gif.storedRows[k][0], 10 * order[k]) << "height " << height << " stored row " << k;
  }
}

TEST(GifWriter, OneBitImagesUseMinimumCodeSizeTwo) {
  const int32_t width = 19, height = 5, stride = 4;
  std::vector<uint8_t> pixels(static_cast<size_t>(stride * height));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      if ((x + y) % 3 == 0) pixels[static_cast<size_t>(y * stride + x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
  const std::vector<PaletteRecord> palette = {{0, 0, 0, 255}, {255, 255, 255, 255}};
  const std::vector<uint8_t> file = Encode(width, height, 1, pixels, palette, false);
  EXPECT_EQ(file[10], 0xF0);
  ASSERT_GT(file.size(), LzwStart(1) + 2);
  EXPECT_EQ(file[LzwStart(1)], 2);
  EXPECT_EQ(file[LzwStart(1) + 2] & 0x07, 4);  // first code: clear code 4 in 3 bits
  DecodedGif gif;
  ASSERT_TRUE(Decode(file, gif));
  ASSERT_EQ(gif.colors, (std::vector<uint32_t>{0x000000, 0xFFFFFF}));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      EXPECT_EQ(gif.storedRows[static_cast<size_t>(y)][static_cast<size_t>(x)], (x + y) % 3 == 0 ? 1 : 0);
}

TEST(GifWriter, MarksTheTransparentEntryInTheControlExtension) {
  const std::vector<uint8_t> pixels = {1, 2, 3, 0};
  std::vector<PaletteRecord> palette = Greys(256);
  palette[5] = palette[9] = {1, 2, 3, 0};
  DecodedGif gif;
  ASSERT_TRUE(Decode(Encode(3, 1, 8, pixels, palette, true, 9), gif));
  EXPECT_EQ(gif.gcePacked, 1);
  EXPECT_EQ(gif.transparentIndex, 9);

  // By colour (a platform RGB value, red in the low byte): the first matching record.
  EXPECT_EQ(GifTransparentIndexForColor(palette, 0x030201), 5);
  EXPECT_EQ(GifTransparentIndexForColor(palette, 0x030202), -1);
  EXPECT_EQ(GifTransparentIndexForColor(palette, -1), -1);

  ASSERT_TRUE(Decode(Encode(3, 1, 8, pixels, palette, true, -1), gif));
  EXPECT_TRUE(gif.hasGce);
  EXPECT_EQ(gif.gcePacked, 0);
}

// Walks the sub-blocks of the image data; every block holds at most 254 bytes, all but the last
// exactly 254, and the file ends with the terminator and the trailer.
void ExpectPackets(const std::vector<uint8_t>& file, int bits, std::vector<uint8_t>& data) {
  size_t at = LzwStart(bits) + 1;
  std::vector<size_t> sizes;
  while (at < file.size() && file[at] != 0) {
    sizes.push_back(file[at]);
    data.insert(data.end(), file.begin() + static_cast<long>(at) + 1, file.begin() + static_cast<long>(at + 1 + file[at]));
    at += 1 + file[at];
  }
  ASSERT_FALSE(sizes.empty());
  for (size_t i = 0; i + 1 < sizes.size(); ++i) ASSERT_EQ(sizes[i], 254u) << i;
  EXPECT_LE(sizes.back(), 254u);
  ASSERT_EQ(at + 2, file.size());
  EXPECT_EQ(file[at], 0x00);
  EXPECT_EQ(file[at + 1], 0x3B);
}

// Counts the clear codes in an LZW stream, tracking the code width as a decoder does.
int CountClearCodes(const std::vector<uint8_t>& data, int minCodeSize, int& widestClear) {
  const int clear = 1 << minCodeSize, eoi = clear + 1;
  int width = minCodeSize + 1, next = clear + 2, clears = 0;
  size_t bit = 0;
  bool first = true;
  widestClear = 0;
  while (bit + static_cast<size_t>(width) <= data.size() * 8) {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
    if (code == eoi) break;
    if (code == clear) {
      ++clears;
      widestClear = std::max(widestClear, width);
      width = minCodeSize + 1;
      next = clear + 2;
      first = true;
      continue;
    }
    if (!first && next < 4096) ++next;
    first = false;
    if (next == (1 << width) && width < 12) ++width;
  }
  return clears;
}

TEST(GifWriter, LargeImagesResetTheDictionaryAtTwelveBits) {
  const int32_t width = 1000, height = 300;
  std::vector<uint8_t> pixels(static_cast<size_t>(width * height));
  std::mt19937 rng(5);
  for (uint8_t& p : pixels) p = static_cast<uint8_t>(rng() % 200);
  const std::vector<uint8_t> file = Encode(width, height, 8, pixels, Greys(256), true);

  std::vector<uint8_t> data;
  ExpectPackets(file, 8, data);
  int widestClear = 0;
  EXPECT_GT(CountClearCodes(data, 8, widestClear), 10);  // the first one plus the resets
  EXPECT_EQ(widestClear, 12);

  DecodedGif gif;
  ASSERT_TRUE(Decode(file, gif));
  const std::vector<int> order = InterlacedOrder(height);
  for (size_t k = 0; k < order.size(); k += 37)
    ASSERT_EQ(0, std::memcmp(gif.storedRows[k].data(), &pixels[static_cast<size_t>(order[k] * width)], static_cast<size_t>(width)));

  // A uniform image fills the dictionary only after millions of pixels.
  std::vector<uint8_t> flat(static_cast<size_t>(3000) * 2600, 7);
  const std::vector<uint8_t> flatFile = Encode(3000, 2600, 8, flat, Greys(256), false);
  data.clear();
  ExpectPackets(flatFile, 8, data);
  EXPECT_EQ(CountClearCodes(data, 8, widestClear), 2);
  ASSERT_TRUE(Decode(flatFile, gif));
  for (const auto& row : gif.storedRows) ASSERT_EQ(row, std::vector<uint8_t>(3000, 7));
}

TEST(GifWriter, RefusesWhatTheFileCannotHold) {
  const std::vector<uint8_t> pixels(16, 0);
  const std::vector<PaletteRecord> palette = Greys(256);
  GifImage image;
  image.pixels = &pixels;
  image.palette = &palette;
  std::vector<uint8_t> out;
  image.width = 4, image.height = 4, image.bits = 2;
  EXPECT_FALSE(EncodeGIF89a(image, out));  // 2 bits per pixel
  image.bits = 8, image.width = 5;
  EXPECT_FALSE(EncodeGIF89a(image, out));  // rows shorter than the width
  image.width = 0;
  EXPECT_FALSE(EncodeGIF89a(image, out));
  image.width = 70000, image.height = 1;
  const std::vector<uint8_t> wide(70000, 0);
  image.pixels = &wide;
  EXPECT_FALSE(EncodeGIF89a(image, out));  // wider than the 16-bit field
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(WriteGIF89a("/nonexistent-dir/x.gif", 4, 4, 8, pixels, palette, true, -1));
}

std::string TempPath(const std::string& name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/" + name;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(SaveAsGIFi, NeedsANativeImageAndAWritablePath) {
  cImaging im;
  EXPECT_EQ(im.SaveAsGIFi(TempPath("none.gif")), GenericError);
  im.SetNativeImage(4242);
  EXPECT_EQ(im.SaveAsGIFi(TempPath("none.gif")), InvalidParameter);
  im.CreateNewImage(2, 2, 8);
  EXPECT_EQ(im.SaveAsGIFi("/nonexistent-dir/a.gif"), GenericError);
}

TEST(SaveAsGIFi, MarksTheTransparentEntryItselfWhenColoursRepeat) {
  cImaging im;
  const int32_t id = im.CreateNewImage(4, 2, 8);
  std::vector<int32_t> entries(16, static_cast<int32_t>(0xFF101010u));
  entries[1] = static_cast<int32_t>(0xFFFF0000u);  // opaque red
  entries[3] = 0x00FF0000;                         // the same red, transparent
  ASSERT_EQ(im.ColorPaletteSet(SafeArray<int32_t>::FromVector(entries)), OK);
  platform::Bitmap* bitmap = ResolveImage(id);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 4; ++x) bitmap->Row(y)[x] = static_cast<uint8_t>(x);

  const std::string path = TempPath("transparent.gif");
  ASSERT_EQ(im.SaveAsGIFi(path), OK);
  DecodedGif gif;
  ASSERT_TRUE(Decode(ReadFile(path), gif));
  EXPECT_EQ(gif.transparentIndex, 3);
  EXPECT_TRUE(gif.interlaced);
  ASSERT_EQ(gif.colors.size(), 256u);
  EXPECT_EQ(gif.colors[1], 0xFF0000u);
  EXPECT_EQ(gif.colors[200], 0u);
  EXPECT_EQ(gif.storedRows[1], (std::vector<uint8_t>{0, 1, 2, 3}));
}

TEST(SaveAsGIFi, QuantizesDeepImagesAndKeepsOneBitImagesAtOneBit) {
  cImaging im;
  const int32_t id = im.CreateNewImage(5, 3, 24);
  const uint32_t colours[] = {0xFF203040u, 0xFFFF8000u, 0xFF00FF00u};
  platform::Bitmap* bitmap = ResolveImage(id);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) ASSERT_EQ(bitmap->SetPixel(x, y, colours[(x + y) % 3]), platform::Status::Ok);
  const std::string path = TempPath("deep.gif");
  ASSERT_EQ(im.SaveAsGIFi(path), OK);
  DecodedGif gif;
  ASSERT_TRUE(Decode(ReadFile(path), gif));
  ASSERT_EQ(gif.colors.size(), 256u);
  EXPECT_EQ(gif.transparentIndex, -1);
  const std::vector<int> order = InterlacedOrder(3);
  for (size_t k = 0; k < 3; ++k)
    for (int32_t x = 0; x < 5; ++x)
      EXPECT_EQ(gif.colors[gif.storedRows[k][static_cast<size_t>(x)]], colours[(x + order[k]) % 3] & 0xFFFFFF);
  EXPECT_EQ(bitmap, ResolveImage(id)) << "the native image itself is not converted";
  EXPECT_EQ(bitmap->Format(), platform::kPixelFormat24bppRGB);

  im.CreateNewImage(9, 2, 1, static_cast<int32_t>(0xFFFFFFFFu));
  ASSERT_EQ(im.SaveAsGIFi(path), OK);
  const std::vector<uint8_t> file = ReadFile(path);
  ASSERT_TRUE(Decode(file, gif));
  EXPECT_EQ(gif.colors, (std::vector<uint32_t>{0x000000, 0xFFFFFF}));
  EXPECT_EQ(file[LzwStart(1)], 2);
  EXPECT_EQ(gif.storedRows[0], std::vector<uint8_t>(9, 1));
}

}  // namespace
}  // namespace tessivo
