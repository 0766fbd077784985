#include "platform/codecs/tiff_io.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace tessivo::platform::codecs {

// What the libtiff callbacks read from or write to.
struct TiffHandle::Source {
  const uint8_t* data = nullptr;  // memory reading
  size_t size = 0;
  uint64_t position = 0;
  Stream* stream = nullptr;  // stream writing
  uint64_t base = 0;         // the stream position where the file starts
  bool error = false;
  // Stream writing: `position` is where libtiff stands (an offset in the stream). Its writes
  // wait in `pending` and reach the stream a megabyte at a time: libtiff writes a page strip
  // by strip (8 KiB by default) and seeks to the end of the file before each one, which on a
  // file stream would cost a flush and several system calls per strip.
  std::vector<uint8_t> pending;
  uint64_t pendingAt = 0;  // the stream offset of pending's first byte
  uint64_t end = 0;        // the stream's size, once known (endKnown)
  bool endKnown = false;
};

namespace {

using Source = TiffHandle::Source;

int OnTiffMessage(TIFF*, void* user, const char*, const char*, va_list) {
  if (user != nullptr) static_cast<Source*>(user)->error = true;
  return 1;  // handled: nothing reaches standard error
}
int OnTiffWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

tmsize_t MemRead(thandle_t h, void* buffer, tmsize_t size) {
  auto* s = static_cast<Source*>(h);
  if (size <= 0 || s->position >= s->size) return 0;
  uint64_t n = std::min<uint64_t>(static_cast<uint64_t>(size), s->size - s->position);
  std::memcpy(buffer, s->data + s->position, static_cast<size_t>(n));
  s->position += n;
  return static_cast<tmsize_t>(n);
}
tmsize_t MemWrite(thandle_t, void*, tmsize_t) { return -1; }
toff_t MemSeek(thandle_t h, toff_t offset, int whence) {
  auto* s = static_cast<Source*>(h);
  uint64_t base = whence == SEEK_CUR ? s->position : whence == SEEK_END ? s->size : 0;
  if (offset > std::numeric_limits<uint64_t>::max() - base) return static_cast<toff_t>(-1);
  s->position = base + offset;
  return s->position;
}
int MemClose(thandle_t) { return 0; }
toff_t MemSize(thandle_t h) { return static_cast<Source*>(h)->size; }
int MemMap(thandle_t h, void** base, toff_t* size) {
  auto* s = static_cast<Source*>(h);
  *base = const_cast<uint8_t*>(s->data);  // mapped read-only: libtiff never writes it
  *size = s->size;
  return 1;
}
void MemUnmap(thandle_t, void*, toff_t) {}

constexpr size_t kWriteBehind = size_t{1} << 20;
constexpr uint64_t kMaxOffset = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());

// Writes the waiting bytes where they belong and leaves the stream at libtiff's position, as
// if every write had gone straight through.
bool FlushPending(Source& s) {
  if (!s.pending.empty()) {
    const bool written =
        s.stream->Seek(static_cast<int64_t>(s.pendingAt), SeekOrigin::Begin) == Status::Ok &&
        s.stream->Write(s.pending.data(), s.pending.size()) == Status::Ok;
    s.pending.clear();
    if (!written) {
      s.error = true;
      return false;
    }
  }
  if (s.stream->Position() != s.position &&
      s.stream->Seek(static_cast<int64_t>(s.position), SeekOrigin::Begin) != Status::Ok) {
    s.error = true;
    return false;
  }
  return true;
}

tmsize_t StreamRead(thandle_t h, void* buffer, tmsize_t size) {
  auto* s = static_cast<Source*>(h);
  size_t read = 0;
  if (size <= 0 || !FlushPending(*s)) return 0;
  if (s->stream->Read(buffer, static_cast<size_t>(size), read) != Status::Ok) return 0;
  s->position += read;
  return static_cast<tmsize_t>(read);
}
tmsize_t StreamWrite(thandle_t h, void* buffer, tmsize_t size) {
  auto* s = static_cast<Source*>(h);
  if (size < 0) {
    s->error = true;
    return -1;
  }
  const size_t n = static_cast<size_t>(size);
  const bool follows = s->pendingAt + s->pending.size() == s->position;
  if (!s->pending.empty() && (!follows || s->pending.size() + n > kWriteBehind)) {
    if (!FlushPending(*s)) return -1;
  }
  if (n >= kWriteBehind) {
    // A piece this large goes straight through.
    if (!FlushPending(*s) || s->stream->Write(buffer, n) != Status::Ok) {
      s->error = true;
      return -1;
    }
  } else {
    if (s->pending.empty()) {
      s->pending.reserve(kWriteBehind);
      s->pendingAt = s->position;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
    s->pending.insert(s->pending.end(), bytes, bytes + n);
  }
  s->position += n;
  if (s->endKnown) s->end = std::max(s->end, s->position);
  return size;
}
// The stream's size as libtiff sees it: asked of the stream once, then kept up by the writes.
bool StreamEnd(Source& s, uint64_t& end) {
  if (!s.endKnown) {
    if (!FlushPending(s) || s.stream->Size(s.end) != Status::Ok) return false;
    s.end = std::max(s.end, s.position);
    s.endKnown = true;
  }
  end = s.end;
  return true;
}
toff_t StreamSeek(thandle_t h, toff_t offset, int whence) {
  auto* s = static_cast<Source*>(h);
  uint64_t from = s->base;
  if (whence == SEEK_CUR) {
    from = s->position;
  } else if (whence == SEEK_END && !StreamEnd(*s, from)) {
    return static_cast<toff_t>(-1);
  }
  // Offsets from the current position or the end may be negative (two's complement).
  const bool backwards = whence != SEEK_SET && static_cast<int64_t>(offset) < 0;
  const uint64_t distance = backwards ? uint64_t{0} - offset : offset;
  if (backwards ? distance > from - s->base : distance > kMaxOffset - from)
    return static_cast<toff_t>(-1);
  const uint64_t target = backwards ? from - distance : from + distance;
  s->position = target;
  return s->position - s->base;
}
int StreamClose(thandle_t h) { return FlushPending(*static_cast<Source*>(h)) ? 0 : -1; }
toff_t StreamSize(thandle_t h) {
  auto* s = static_cast<Source*>(h);
  uint64_t size = 0;
  if (!StreamEnd(*s, size) || size < s->base) return 0;
  return size - s->base;
}
int NoMap(thandle_t, void**, toff_t*) { return 0; }
void NoUnmap(thandle_t, void*, toff_t) {}

TIFFOpenOptions* MakeOptions(Source* source, int64_t maxAllocation) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (options == nullptr) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options, OnTiffMessage, source);
  TIFFOpenOptionsSetWarningHandlerExtR(options, OnTiffWarning, source);
  if (maxAllocation > 0) TIFFOpenOptionsSetMaxSingleMemAlloc(options, maxAllocation);
  return options;
}

}  // namespace

TiffHandle TiffHandle::OpenMemory(const uint8_t* data, size_t size, int64_t maxAllocation) {
  TiffHandle h;
  h.source_ = new Source;
  h.source_->data = data;
  h.source_->size = size;
  TIFFOpenOptions* options = MakeOptions(h.source_, maxAllocation);
  if (options == nullptr) return h;
  h.tif_ = TIFFClientOpenExt("memory", "rm", h.source_, MemRead, MemWrite, MemSeek, MemClose,
                             MemSize, MemMap, MemUnmap, options);
  TIFFOpenOptionsFree(options);
  return h;
}

TiffHandle TiffHandle::OpenStream(Stream& stream, const char* mode) {
  TiffHandle h;
  h.source_ = new Source;
  h.source_->stream = &stream;
  h.source_->base = stream.Position();
  h.source_->position = h.source_->base;
  TIFFOpenOptions* options = MakeOptions(h.source_, 0);
  if (options == nullptr) return h;
  h.tif_ = TIFFClientOpenExt("stream", mode, h.source_, StreamRead, StreamWrite, StreamSeek,
                             StreamClose, StreamSize, NoMap, NoUnmap, options);
  TIFFOpenOptionsFree(options);
  return h;
}

TiffHandle::TiffHandle(TiffHandle&& other) noexcept
    : tif_(other.tif_), source_(other.source_) {
  other.tif_ = nullptr;
  other.source_ = nullptr;
}

TiffHandle& TiffHandle::operator=(TiffHandle&& other) noexcept {
  if (this != &other) {
    Close();
    delete source_;
    tif_ = other.tif_;
    source_ = other.source_;
    other.tif_ = nullptr;
    other.source_ = nullptr;
  }
  return *this;
}

TiffHandle::~TiffHandle() {
  Close();
  delete source_;
}

bool TiffHandle::Close() {
  if (tif_ != nullptr) {
    TIFFClose(tif_);  // flushes a file being written
    tif_ = nullptr;
  }
  return !HadError();
}

bool TiffHandle::HadError() const { return source_ != nullptr && source_->error; }

}  // namespace tessivo::platform::codecs
