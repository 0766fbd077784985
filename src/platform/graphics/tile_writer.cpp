#include "platform/graphics/tile_writer.h"

#include <algorithm>
#include <cstring>

#include "platform/pixel_rows.h"

namespace tessivo::platform {

namespace {

constexpr int64_t kCacheLine = 64;
// How far ahead of the row being worked on memory is requested: enough rows for the misses of
// a small primitive to be in flight together, few enough bytes not to evict what is in use.
constexpr int32_t kMostRowsAhead = 64;
constexpr int64_t kBytesAhead = 32 << 10;

}  // namespace

TileWriter::TileWriter(Bitmap& target, const uint32_t* lut, NearestPaletteMapper* mapper)
    : target_(target), format_(target.Format()), bpp_(BitsPerPixel(target.Format())), lut_(lut), mapper_(mapper) {}

int32_t TileWriter::RowsAhead(int64_t width) const {
  const int64_t rowBytes = std::max<int64_t>(1, width * bpp_ / 8);
  return static_cast<int32_t>(std::clamp<int64_t>(kBytesAhead / rowBytes, 1, kMostRowsAhead));
}

void TileWriter::RequestBytes(int32_t y, int64_t x, int64_t n) const {
  if (n <= 0) return;
  const uint8_t* row = target_.Row(y);
  const int64_t first = x * bpp_ / 8, end = ((x + n) * bpp_ + 7) / 8;
  for (int64_t b = first & ~(kCacheLine - 1); b < end; b += kCacheLine) __builtin_prefetch(row + b, 1);
}

void TileWriter::RequestRows(const TileArea& tile) const {
  for (int32_t r = 0; r < std::min(tile.height, RowsAhead(tile.width)); ++r)
    RequestBytes(static_cast<int32_t>(tile.y + r), tile.x, tile.width);
}

void TileWriter::Read(const TileArea& tile, uint8_t* data, int stride) const {
  const int32_t ahead = RowsAhead(tile.width);
  for (int32_t r = 0; r < tile.height; ++r) {
    if (r + ahead < tile.height) RequestBytes(static_cast<int32_t>(tile.y + r + ahead), tile.x, tile.width);
    auto* out = reinterpret_cast<uint32_t*>(data + static_cast<intptr_t>(r) * stride);
    rows::Decode32(format_, target_.Row(static_cast<int32_t>(tile.y + r)), static_cast<int32_t>(tile.x), tile.width,
                   out, lut_);
    for (int32_t i = 0; i < tile.width; ++i) out[i] = rows::Premultiply(out[i]);
  }
}

void TileWriter::SaveRow(const TileArea& tile, int32_t y) {
  const uint8_t* row = target_.Row(y);
  const int64_t first = tile.x * bpp_ / 8, last = ((tile.x + tile.width) * bpp_ + 7) / 8;
  undo_.push_back({y, first, std::vector<uint8_t>(row + first, row + last)});
}

void TileWriter::WriteChanged(const TileArea& tile, const uint8_t* data, int stride, bool lastTile) {
  original_.resize(static_cast<size_t>(tile.width));
  run_.resize(static_cast<size_t>(tile.width));
  for (int32_t r = 0; r < tile.height; ++r) {
    const auto y = static_cast<int32_t>(tile.y + r);
    const auto* drawn = reinterpret_cast<const uint32_t*>(data + static_cast<intptr_t>(r) * stride);
    uint8_t* row = target_.Row(y);
    rows::Decode32(format_, row, static_cast<int32_t>(tile.x), tile.width, original_.data(), lut_);
    bool saved = lastTile;
    for (int32_t i = 0; i < tile.width;) {
      if (drawn[i] == rows::Premultiply(original_[i])) {
        ++i;
        continue;
      }
      int32_t j = i;
      while (j < tile.width && drawn[j] != rows::Premultiply(original_[j])) {
        run_[static_cast<size_t>(j - i)] = rows::Unpremultiply(drawn[j]);
        ++j;
      }
      if (!saved) SaveRow(tile, y), saved = true;
      rows::Encode32(format_, run_.data(), j - i, row, static_cast<int32_t>(tile.x) + i, mapper_);
      i = j;
    }
  }
}

void TileWriter::WriteCovered(const TileArea& tile, const uint8_t* coverage, int stride, uint32_t argb,
                              bool lastTile) {
  original_.resize(static_cast<size_t>(tile.width));
  run_.assign(static_cast<size_t>(tile.width), argb);
  // The covered extent of each row, found first so that the rows can be requested ahead.
  std::vector<int32_t> extents(2 * static_cast<size_t>(tile.height));
  for (int32_t r = 0; r < tile.height; ++r) {
    const uint8_t* c = coverage + static_cast<intptr_t>(r) * stride;
    int32_t first = 0, end = tile.width;
    while (first < end && c[first] == 0) ++first;
    while (end > first && c[end - 1] == 0) --end;
    extents[2 * static_cast<size_t>(r)] = first;
    extents[2 * static_cast<size_t>(r) + 1] = end;
  }
  auto request = [&](int32_t r) {
    const int32_t first = extents[2 * static_cast<size_t>(r)], end = extents[2 * static_cast<size_t>(r) + 1];
    RequestBytes(static_cast<int32_t>(tile.y + r), tile.x + first, end - first);
  };
  const int32_t ahead = RowsAhead(tile.width);
  for (int32_t r = 0; r < std::min(tile.height, ahead); ++r) request(r);
  for (int32_t r = 0; r < tile.height; ++r) {
    if (r + ahead < tile.height) request(r + ahead);
    const int32_t first = extents[2 * static_cast<size_t>(r)], end = extents[2 * static_cast<size_t>(r) + 1];
    if (first >= end) continue;
    const uint8_t* c = coverage + static_cast<intptr_t>(r) * stride;
    const auto y = static_cast<int32_t>(tile.y + r);
    uint8_t* row = target_.Row(y);
    const auto x0 = static_cast<int32_t>(tile.x);
    bool saved = lastTile;
    for (int32_t i = first; i < end;) {
      if (c[i] == 0) {
        ++i;
        continue;
      }
      int32_t j = i;
      while (j < end && c[j] != 0) ++j;
      // Within the covered run, only the pixels that do not hold the colour yet change.
      rows::Decode32(format_, row, x0 + i, j - i, original_.data(), lut_);
      for (int32_t k = i; k < j;) {
        if (original_[static_cast<size_t>(k - i)] == argb) {
          ++k;
          continue;
        }
        int32_t m = k;
        while (m < j && original_[static_cast<size_t>(m - i)] != argb) ++m;
        if (!saved) SaveRow(tile, y), saved = true;
        rows::Encode32(format_, run_.data(), m - k, row, x0 + k, mapper_);
        k = m;
      }
      i = j;
    }
  }
}

void TileWriter::Restore() {
  for (const UndoSpan& u : undo_) std::copy(u.bytes.begin(), u.bytes.end(), target_.Row(u.y) + u.offset);
}

}  // namespace tessivo::platform
