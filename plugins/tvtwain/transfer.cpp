// One scan: sane_start, the parameters of each frame, the rows read into a top-down image block.
#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <new>

#include "platform/sample_swap.h"
#include "session.h"

namespace tvtwain {

namespace {

struct FrameLayout {
  int32_t bitsPerPixel = 0;
  int64_t stride = 0;
  int channel = -1;  // three-pass frames: 0 blue, 1 green, 2 red of the block's pixels
};

bool LayoutFor(const SANE_Parameters& p, FrameLayout& out) {
  if (p.pixels_per_line < 1 || p.bytes_per_line < 1) return false;
  if (p.depth != 1 && p.depth != 8 && p.depth != 16) return false;
  int64_t samples = 1;
  switch (p.format) {
    case SANE_FRAME_GRAY:
      out.bitsPerPixel = p.depth;
      break;
    case SANE_FRAME_RGB:
      samples = 3;
      out.bitsPerPixel = 3 * p.depth;
      break;
    case SANE_FRAME_RED:
    case SANE_FRAME_GREEN:
    case SANE_FRAME_BLUE:
      out.bitsPerPixel = 3 * p.depth;
      out.channel = p.format == SANE_FRAME_RED ? 2 : p.format == SANE_FRAME_GREEN ? 1 : 0;
      break;
    default:
      return false;
  }
  // Colour of one bit per sample has no pixel format here.
  if (out.bitsPerPixel == 3) return false;
  // The device's line must hold every pixel it announces.
  int64_t needed = (int64_t{p.pixels_per_line} * samples * p.depth + 7) / 8;
  if (p.bytes_per_line < needed) return false;
  // Devices pad lines a little; a line announced far longer than its pixels is not taken on
  // trust (it would be allocated before a byte arrives).
  if (p.bytes_per_line - needed > (int64_t{1} << 20)) return false;
  out.stride = (int64_t{p.pixels_per_line} * out.bitsPerPixel + 31) / 32 * 4;
  return true;
}

// One device line into row `dst` of the block.
void ConvertLine(const SANE_Parameters& p, const FrameLayout& layout, const uint8_t* src,
                 uint8_t* dst) {
  const int32_t w = p.pixels_per_line;
  if (layout.channel >= 0) {
    if (p.depth == 8) {
      for (int32_t x = 0; x < w; ++x) dst[3 * x + layout.channel] = src[x];
    } else {
      for (int32_t x = 0; x < w; ++x) std::memcpy(dst + 6 * x + 2 * layout.channel, src + 2 * x, 2);
    }
    return;
  }
  if (p.format == SANE_FRAME_GRAY) {
    if (p.depth == 1) {
      // SANE's line art has 1 for black; the block's has 1 for white.
      for (int32_t i = 0; i < (w + 7) / 8; ++i) dst[i] = static_cast<uint8_t>(~src[i]);
    } else {
      std::memcpy(dst, src, static_cast<size_t>(w) * (p.depth / 8));
    }
    return;
  }
  if (p.depth == 8) {
    tessivo::platform::SwapOuterSamples24(src, dst, w);
  } else {
    for (int32_t x = 0; x < w; ++x) {
      std::memcpy(dst + 6 * x, src + 6 * x + 4, 2);
      std::memcpy(dst + 6 * x + 2, src + 6 * x + 2, 2);
      std::memcpy(dst + 6 * x + 4, src + 6 * x, 2);
    }
  }
}

// Makes room for `rows` rows of `stride` bytes, left unwritten (the caller fills each row); false
// when that passes the block limit or memory runs out.
bool Reserve(PixelBlock& pixels, int64_t stride, int64_t rows) {
  if (rows < 1 || stride < 1 || stride > kMaxImageBytes / rows) return false;
  size_t bytes = static_cast<size_t>(stride * rows);
  if (pixels.size() >= bytes) return true;
  try {
    pixels.resize(bytes);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// A page of tens of megabytes is touched for the first time as its rows arrive; in 4 KiB pages
// that is thousands of page faults per page, in 2 MiB pages a few dozen. Only a hint: where the
// system has no large pages for us, nothing changes.
void AskForLargePages(uint8_t* block, size_t bytes) {
  constexpr uintptr_t kLarge = uintptr_t{2} << 20;
  const auto begin = (reinterpret_cast<uintptr_t>(block) + kLarge - 1) & ~(kLarge - 1);
  const auto end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kLarge - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// Room for `rows` rows without touching it (a large block is address space until written),
// so that growing row by row never moves the block.
bool ReserveAddressSpace(PixelBlock& pixels, int64_t stride, int64_t rows) {
  if (rows < 1 || stride < 1 || stride > kMaxImageBytes / rows) return false;
  try {
    pixels.reserve(static_cast<size_t>(stride * rows));
  } catch (const std::bad_alloc&) {
    return false;
  }
  AskForLargePages(pixels.data(), pixels.capacity());
  return true;
}

}  // namespace

void Session::KeepSpareBlock(PixelBlock&& block) {
  if (block.capacity() > spareBlock_.capacity()) spareBlock_ = std::move(block);
}

int32_t Session::ConditionFor(SANE_Status status) {
  switch (status) {
    case SANE_STATUS_CANCELLED:
      userClosed = true;
      return TWCC_OPERATIONERROR;
    case SANE_STATUS_JAMMED:
      return TWCC_PAPERJAM;
    case SANE_STATUS_NO_DOCS:
      feederEmpty_ = true;
      return TWCC_NOMEDIA;
    case SANE_STATUS_NO_MEM:
      return TWCC_LOWMEMORY;
    default:
      return TWCC_OPERATIONERROR;
  }
}

bool Session::ReadImage(tvtwain_image& image) {
  std::vector<uint8_t> chunk(256 * 1024);
  std::vector<uint8_t> line;
  int64_t height = -1;  // rows of the first frame
  int32_t width = 0;
  int64_t stride = 0;
  for (bool first = true;; first = false) {
    if (!first) {
      SANE_Status s = sane_.start(device_);
      if (s != SANE_STATUS_GOOD) return Fail(ConditionFor(s));
    }
    SANE_Parameters p{};
    if (sane_.get_parameters(device_, &p) != SANE_STATUS_GOOD) return Fail(TWCC_OPERATIONERROR);
    FrameLayout layout;
    if (!LayoutFor(p, layout)) return Fail(TWCC_OPERATIONERROR);
    if (first) {
      width = p.pixels_per_line;
      stride = layout.stride;
      image.info.bits_per_pixel = layout.bitsPerPixel;
      image.info.pixel_type = layout.bitsPerPixel >= 24 ? TWPT_RGB : p.depth == 1 ? TWPT_BW : TWPT_GRAY;
      // Known heights are checked at once against the block limit. Room for the announced
      // rows (at most 512 MiB of them) is reserved but not touched: memory is taken only as
      // rows arrive, so a device that announces a huge page and sends little costs little.
      if (p.lines > 0 && stride > kMaxImageBytes / p.lines) return Fail(TWCC_LOWMEMORY);
      const int64_t announced =
          p.lines > 0 ? std::min<int64_t>(p.lines, std::max<int64_t>(1, (int64_t{512} << 20) / stride)) : 64;
      if (!ReserveAddressSpace(image.pixels, stride, announced)) return Fail(TWCC_LOWMEMORY);
    } else if (layout.channel < 0 || p.pixels_per_line != width ||
               layout.bitsPerPixel != image.info.bits_per_pixel) {
      return Fail(TWCC_OPERATIONERROR);  // later frames must match the first
    }
    line.assign(static_cast<size_t>(p.bytes_per_line), 0);
    size_t fill = 0;
    int64_t y = 0;
    for (;;) {
      SANE_Int got = 0;
      SANE_Status s = sane_.read(device_, chunk.data(), static_cast<SANE_Int>(chunk.size()), &got);
      if (s == SANE_STATUS_EOF) break;
      if (s != SANE_STATUS_GOOD) return Fail(ConditionFor(s));
      if (got < 0 || got > static_cast<SANE_Int>(chunk.size())) return Fail(TWCC_OPERATIONERROR);
      const uint8_t* data = chunk.data();
      size_t left = static_cast<size_t>(got);
      while (left > 0) {
        // Whole lines are converted where they lie in the chunk; only a line split between
        // two reads is gathered in `line` first.
        const uint8_t* complete = nullptr;
        if (fill == 0 && left >= line.size()) {
          complete = data;
          data += line.size(), left -= line.size();
        } else {
          size_t take = std::min(left, line.size() - fill);
          std::memcpy(line.data() + fill, data, take);
          fill += take, data += take, left -= take;
          if (fill < line.size()) break;
          fill = 0;
          complete = line.data();
        }
        if (height >= 0 && y >= height) continue;  // rows beyond the first frame's are dropped
        // Unknown heights grow row by row (the vector's capacity grows geometrically).
        if (!Reserve(image.pixels, stride, y + 1)) return Fail(TWCC_LOWMEMORY);
        uint8_t* row = image.pixels.data() + y * stride;
        // New rows hold whatever the block held before (an earlier page): what the line does
        // not cover is cleared, the whole row when one frame brings only one channel.
        if (first && layout.channel >= 0) {
          std::memset(row, 0, static_cast<size_t>(stride));
        } else if (first) {
          const int64_t covered = (int64_t{width} * layout.bitsPerPixel + 7) / 8;
          std::memset(row + covered, 0, static_cast<size_t>(stride - covered));
        }
        ConvertLine(p, layout, complete, row);
        ++y;
      }
    }
    if (first) height = p.lines > 0 ? std::min<int64_t>(p.lines, y) : y;
    if (height < 1) return Fail(TWCC_OPERATIONERROR);
    if (p.last_frame) break;
  }
  image.pixels.resize(static_cast<size_t>(height * stride));
  // A page far shorter than announced gives back what it did not use.
  if (image.pixels.capacity() > 2 * image.pixels.size()) image.pixels.shrink_to_fit();
  image.info.width = width;
  image.info.height = static_cast<int32_t>(height);
  image.info.stride = static_cast<int32_t>(stride);
  return true;
}

tvtwain_image* Session::Acquire() {
  userClosed = false;
  transferFailed = false;
  lastTransferMode = -1;
  // A page of a batch ends when the next one is asked for (and a used-up batch starts anew).
  if (state_ == 7 && !EndTransfer()) return nullptr;
  const bool inBatch = state_ == 6;
  if (!inBatch) {
    if (!RequireSource()) return nullptr;
    pending_ = multiTransfer_ ? xferCount_ : 1;
  }
  double dpi = 0;
  if (!ReadNumber(SANE_NAME_SCAN_RESOLUTION, dpi)) dpi = 0;
  auto image = std::make_unique<tvtwain_image>();
  image->pixels = std::move(spareBlock_);
  image->pixels.clear();  // the capacity stays; no row of an earlier page shows through
  spareBlock_ = {};
  image->info.is_raw = mechanism_ == TWSX_MEMORY ? 1 : 0;
  image->info.x_resolution = image->info.y_resolution = dpi;
  state_ = 5;
  SANE_Status s = sane_.start(device_);
  bool ok;
  if (s != SANE_STATUS_GOOD) {
    ok = Fail(ConditionFor(s));
  } else {
    state_ = 7;
    ok = ReadImage(*image);
  }
  sane_.cancel(device_);
  lastTransferMode = mechanism_;
  if (!ok) {
    const int32_t condition = cc_;
    EndBatch();
    transferFailed = !userClosed;
    Fail(condition);
    return nullptr;
  }
  // A batch waits at state 7 for the end of the page; a single page is over at once.
  if (multiTransfer_) {
    state_ = 7;
  } else {
    EndBatch();
  }
  {
    time_t now = std::time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y/%m/%d %H:%M:%S.000", &local);
    timeDate_ = stamp;
  }
  Log("page transferred: " + std::to_string(image->info.width) + " x " +
      std::to_string(image->info.height) + ", " + std::to_string(image->info.bits_per_pixel) +
      " bits per pixel");
  image->info.bits = image->pixels.data();
  Succeed();
  return image.release();
}

}  // namespace tvtwain
