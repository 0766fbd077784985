// Moving a drawn tile between a bitmap (any pixel format) and Cairo's scratch surface.
//
// A tile is read into premultiplied 32-bit pixels, drawn on, and written back pixel run by
// pixel run: only pixels whose drawn value differs from what was read are encoded, so every
// other pixel keeps its bytes exactly. An opaque, aliased, solid-colour draw needs no read at
// all: Cairo renders its coverage alone (8-bit, 0 or 255), and only covered pixels are read
// and compared with the colour. Rows of a tile are touched in order with their memory
// requested ahead, so that on an image far larger than the caches the misses of many rows
// overlap instead of costing one row at a time.
//
// Rows written outside the last tile of a draw are saved first, so a draw that fails in a
// later tile can put back everything it wrote.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"
#include "platform/palette_mapper.h"

namespace tessivo::platform {

struct TileArea {
  int64_t x = 0, y = 0;
  int32_t width = 0, height = 0;
};

class TileWriter {
 public:
  // `lut` (256 entries) decodes indexed pixels, `mapper` encodes them (null otherwise).
  TileWriter(Bitmap& target, const uint32_t* lut, NearestPaletteMapper* mapper);

  // Asks for the memory of the tile's first rows, before the work that precedes their use.
  void RequestRows(const TileArea& tile) const;
  // Decodes the tile into the premultiplied ARGB32 surface data.
  void Read(const TileArea& tile, uint8_t* data, int stride) const;
  // Writes back the pixels of the drawn ARGB32 data that differ from the bitmap's.
  void WriteChanged(const TileArea& tile, const uint8_t* data, int stride, bool lastTile);
  // Writes the opaque colour `argb` over every pixel with coverage (A8 data, aliased) that
  // does not already hold it.
  void WriteCovered(const TileArea& tile, const uint8_t* coverage, int stride, uint32_t argb, bool lastTile);
  // Puts back the bytes of every row saved so far.
  void Restore();

 private:
  struct UndoSpan {
    int32_t y;
    int64_t offset;
    std::vector<uint8_t> bytes;
  };
  void SaveRow(const TileArea& tile, int32_t y);
  void RequestBytes(int32_t y, int64_t x, int64_t n) const;
  int32_t RowsAhead(int64_t width) const;

  Bitmap& target_;
  const PixelFormat format_;
  const int bpp_;
  const uint32_t* lut_;
  NearestPaletteMapper* mapper_;
  std::vector<uint32_t> original_, run_;
  std::vector<UndoSpan> undo_;
};

}  // namespace tessivo::platform
