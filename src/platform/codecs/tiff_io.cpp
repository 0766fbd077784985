#include "platform/codecs/tiff_io.h"

#include <cstring>
#include <limits>

namespace tessivo::platform::codecs {

// What the libtiff callbacks read from or write to.
struct TiffHandle::Source {
  const uint8_t* data = nullptr;  // memory reading
  size_t size = 0;
  uint64_t position = 0;
  Stream* stream = nullptr;  // stream writing
  uint64_t base = 0;         // the stream position where the file starts
  bool error = false;
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

tmsize_t StreamRead(thandle_t h, void* buffer, tmsize_t size) {
  auto* s = static_cast<Source*>(h);
  size_t read = 0;
  if (size <= 0 || s->stream->Read(buffer, static_cast<size_t>(size), read) != Status::Ok) return 0;
  return static_cast<tmsize_t>(read);
}
tmsize_t StreamWrite(thandle_t h, void* buffer, tmsize_t size) {
  auto* s = static_cast<Source*>(h);
  if (size < 0 || s->stream->Write(buffer, static_cast<size_t>(size)) != Status::Ok) {
    s->error = true;
    return -1;
  }
  return size;
}
toff_t StreamSeek(thandle_t h, toff_t offset, int whence) {
  auto* s = static_cast<Source*>(h);
  Status st = Status::Ok;
  if (whence == SEEK_SET) {
    st = s->stream->Seek(static_cast<int64_t>(offset + s->base), SeekOrigin::Begin);
  } else {
    st = s->stream->Seek(static_cast<int64_t>(offset),
                         whence == SEEK_CUR ? SeekOrigin::Current : SeekOrigin::End);
  }
  if (st != Status::Ok) return static_cast<toff_t>(-1);
  return s->stream->Position() - s->base;
}
int StreamClose(thandle_t) { return 0; }
toff_t StreamSize(thandle_t h) {
  auto* s = static_cast<Source*>(h);
  uint64_t size = 0;
  if (s->stream->Size(size) != Status::Ok || size < s->base) return 0;
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
