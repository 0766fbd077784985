#include "recognition/ard/template_file.h"

#include <unordered_set>

#include "core/ansi.h"

namespace tessivo::recognition {
namespace {

constexpr size_t kFixedRecordBytes = 4 + kPatternCount * 4 + 4 * 4 + 2;  // 2070
constexpr size_t kMaxTagBytes = 0xFFFF;

void PutInt32(std::vector<uint8_t>& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  size_t Remaining() const { return bytes_.size() - pos_; }
  bool Int32(int32_t& value) {
    if (Remaining() < 4) return false;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(bytes_[pos_ + static_cast<size_t>(i)]) << (8 * i);
    pos_ += 4;
    value = static_cast<int32_t>(v);
    return true;
  }
  bool UInt16(uint16_t& value) {
    if (Remaining() < 2) return false;
    value = static_cast<uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
  }
  bool Bytes(size_t n, std::string& out) {
    if (Remaining() < n) return false;
    out.assign(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
    pos_ += n;
    return true;
  }

 private:
  const std::vector<uint8_t>& bytes_;
  size_t pos_ = 0;
};

bool ReadRecord(Reader& in, TemplateRecord& t) {
  if (!in.Int32(t.id)) return false;
  for (int32_t& counter : t.signature)
    if (!in.Int32(counter) || counter < 0) return false;
  if (!in.Int32(t.area) || !in.Int32(t.ink) || !in.Int32(t.topInk) || !in.Int32(t.imageCount)) return false;
  if (t.area < 0 || t.ink < 0 || t.topInk < 0 || t.imageCount < 0) return false;
  uint16_t tagLength = 0;
  std::string ansi;
  if (!in.UInt16(tagLength) || !in.Bytes(tagLength, ansi)) return false;
  t.tag = AnsiToUtf8(ansi);
  return true;
}

}  // namespace

bool EncodeTemplateFile(const std::vector<TemplateRecord>& templates, std::vector<uint8_t>& out) {
  std::vector<uint8_t> bytes;
  bytes.reserve(4 + templates.size() * kFixedRecordBytes);
  PutInt32(bytes, static_cast<int32_t>(templates.size()));
  for (const TemplateRecord& t : templates) {
    PutInt32(bytes, t.id);
    for (int32_t counter : t.signature) PutInt32(bytes, counter);
    PutInt32(bytes, t.area);
    PutInt32(bytes, t.ink);
    PutInt32(bytes, t.topInk);
    PutInt32(bytes, t.imageCount);
    const std::string ansi = Utf8ToAnsi(t.tag);
    if (ansi.size() > kMaxTagBytes) return false;  // the length would wrap and break the file
    bytes.push_back(static_cast<uint8_t>(ansi.size() & 0xFF));
    bytes.push_back(static_cast<uint8_t>(ansi.size() >> 8));
    bytes.insert(bytes.end(), ansi.begin(), ansi.end());
  }
  out = std::move(bytes);
  return true;
}

bool DecodeTemplateFile(const std::vector<uint8_t>& bytes, std::vector<TemplateRecord>& out) {
  Reader in(bytes);
  int32_t count = 0;
  if (!in.Int32(count) || count < 1) return false;
  // Each record takes at least its fixed part: a count the file cannot hold is refused before
  // anything is allocated for it.
  if (static_cast<uint64_t>(count) > in.Remaining() / kFixedRecordBytes) return false;
  std::vector<TemplateRecord> templates(static_cast<size_t>(count));
  std::unordered_set<int32_t> ids;
  for (TemplateRecord& t : templates) {
    if (!ReadRecord(in, t)) return false;
    if (t.id == 0 || !ids.insert(t.id).second) return false;
  }
  out = std::move(templates);
  return true;
}

}  // namespace tessivo::recognition
