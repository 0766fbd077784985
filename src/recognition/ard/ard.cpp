#include "recognition/ard/ard.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>

#include "core/random_ids.h"
#include "core/temp_files.h"
#include "recognition/ard/template_file.h"

namespace tessivo::recognition {
namespace {

// 100 x smaller / larger; equal values (both 0 included) are 100.
double RatioScore(int64_t a, int64_t b) {
  if (a == b) return 100.0;
  const auto smaller = static_cast<double>(std::min(a, b));
  const auto larger = static_cast<double>(std::max(a, b));
  return 100.0 * smaller / larger;
}

// round(((k - 1) x v + sample) / k), halves to even, kept in the Long range.
int32_t Averaged(int32_t stored, int64_t sample, int32_t k) {
  const double mean = (static_cast<double>(k - 1) * stored + static_cast<double>(sample)) / k;
  return static_cast<int32_t>(std::min(std::nearbyint(mean), double{std::numeric_limits<int32_t>::max()}));
}

// Only regular files are read, and only as many bytes as they had when opened: a device or a
// growing file cannot make the read run without end.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  const auto size = std::filesystem::file_size(path, error);
  if (error || size > static_cast<uintmax_t>(std::numeric_limits<std::streamsize>::max())) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.resize(static_cast<size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  return static_cast<uintmax_t>(in.gcount()) == size;
}

}  // namespace

int32_t cARD::GetTemplateIDX(int32_t id) const {
  for (size_t i = 0; i < templates_.size(); ++i)
    if (templates_[i].id == id) return static_cast<int32_t>(i);
  return -1;
}

int32_t cARD::GetTemplateID(int32_t n) const {
  if (n < 1 || n > GetTemplateCount()) return -1;
  return templates_[static_cast<size_t>(n - 1)].id;
}

int32_t cARD::NewTemplate() {
  TemplateRecord t;
  t.id = DrawRandomId([this](int32_t id) { return GetTemplateIDX(id) >= 0; });
  templates_.push_back(std::move(t));
  return templates_.back().id;
}

bool cARD::DeleteTemplate(int32_t id) {
  const int32_t index = GetTemplateIDX(id);
  if (index < 0) return false;
  templates_.erase(templates_.begin() + index);
  return true;
}

TessivoStatus cARD::ComputeSignatureFor(platform::Bitmap& image) {
  return InkRuleFor(image) == InkRule::Bitonal ? ComputeSignatureBitonal(image) : ComputeSignatureColor(image);
}

TessivoStatus cARD::ComputeSignatureBitonal(platform::Bitmap& image) {
  return ComputeSignature(image, InkRule::Bitonal, last_);
}

TessivoStatus cARD::ComputeSignatureColor(platform::Bitmap& image) {
  return ComputeSignature(image, InkRule::Color, last_);
}

TessivoStatus cARD::AddImageToTemplate(int32_t id, platform::Bitmap* image) {
  const int32_t index = GetTemplateIDX(id);
  if (index < 0) return TemplateNotFound;
  if (image == nullptr) return InvalidParameter;
  if (TessivoStatus s = ComputeSignatureFor(*image); s != OK) return s;
  TemplateRecord& t = templates_[static_cast<size_t>(index)];
  const int64_t area = int64_t{image->Width()} * image->Height();
  if (t.imageCount == std::numeric_limits<int32_t>::max()) return ValueOverflow;
  const int32_t k = ++t.imageCount;
  if (k == 1) {
    t.area = static_cast<int32_t>(std::min<int64_t>(area, std::numeric_limits<int32_t>::max()));
    t.ink = last_.ink;
    t.topInk = last_.topInk;
    t.signature = last_.counters;
    return OK;
  }
  t.area = Averaged(t.area, area, k);
  t.ink = Averaged(t.ink, last_.ink, k);
  t.topInk = Averaged(t.topInk, last_.topInk, k);
  for (int b = 0; b < kPatternCount; ++b) {
    auto& v = t.signature[static_cast<size_t>(b)];
    v = Averaged(v, last_.counters[static_cast<size_t>(b)], k);
  }
  return OK;
}

int32_t cARD::GetTemplateImageCount(int32_t id) const {
  const int32_t index = GetTemplateIDX(id);
  return index < 0 ? 0 : templates_[static_cast<size_t>(index)].imageCount;
}

std::string cARD::GetTemplateTag(int32_t id) const {
  const int32_t index = GetTemplateIDX(id);
  return index < 0 ? std::string() : templates_[static_cast<size_t>(index)].tag;
}

bool cARD::SetTemplateTag(int32_t id, const std::string& tag) {
  const int32_t index = GetTemplateIDX(id);
  if (index < 0) return false;
  templates_[static_cast<size_t>(index)].tag = tag;
  return true;
}

double cARD::CompareSignature(int32_t id) const {
  const int32_t index = GetTemplateIDX(id);
  if (index < 0) return 0;
  const TemplateRecord& t = templates_[static_cast<size_t>(index)];
  int64_t total = 0;
  for (int b = 1; b < kPatternCount; ++b) total += last_.counters[static_cast<size_t>(b)];
  // A page without any ink pattern (blank, or too small for one cell) matches no signature.
  if (total == 0) return 0;
  double similarity = 0;
  for (int b = 1; b < kPatternCount; ++b) {
    const int32_t mine = last_.counters[static_cast<size_t>(b)];
    const int32_t theirs = t.signature[static_cast<size_t>(b)];
    double r = 0;
    if (mine == 0 && theirs == 0) {
      r = 100;
    } else if (std::min(mine, theirs) != 0) {
      r = 100.0 * std::min(mine, theirs) / std::max(mine, theirs);
    }
    similarity += static_cast<double>(mine) / static_cast<double>(total) * r;
  }
  return similarity;
}

double cARD::Relevance(const TemplateRecord& t, int64_t area) const {
  const double s = CompareSignature(t.id);
  const double areaScore = RatioScore(area, t.area);
  const double inkScore = RatioScore(last_.ink, t.ink);
  const double topInkScore = RatioScore(last_.topInk, t.topInk);
  return 0.6 * s + 0.15 * areaScore + 0.13 * inkScore + 0.12 * topInkScore;
}

int32_t cARD::FindCloserTemplate(platform::Bitmap* image, TessivoStatus& status) {
  bestRelevance_ = 0;
  for (TemplateRecord& t : templates_) {
    t.lastRelevance = 0;
    t.inLastLookup = false;
  }
  if (image == nullptr) {
    status = InvalidParameter;
    return 0;
  }
  if (TessivoStatus s = ComputeSignatureFor(*image); s != OK) {
    status = s;
    return 0;
  }
  if (templates_.empty()) {
    status = TemplateNotFound;
    return 0;
  }
  const int64_t area = int64_t{image->Width()} * image->Height();
  const TemplateRecord* best = nullptr;
  for (TemplateRecord& t : templates_) {
    t.lastRelevance = Relevance(t, area);
    t.inLastLookup = true;
    if (best == nullptr || t.lastRelevance > best->lastRelevance) best = &t;
  }
  bestRelevance_ = best->lastRelevance;
  status = OK;
  return best->id;
}

double cARD::GetlastTemplateRelevance(int32_t id) const {
  const int32_t index = GetTemplateIDX(id);
  if (index < 0) return 0;
  const TemplateRecord& t = templates_[static_cast<size_t>(index)];
  return t.inLastLookup ? t.lastRelevance : 0;
}

bool cARD::LoadTemplateConfig(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  std::vector<TemplateRecord> loaded;
  if (!DecodeTemplateFile(bytes, loaded)) return false;
  NewConfig();
  templates_ = std::move(loaded);
  return true;
}

bool cARD::SaveTemplateConfig(const std::string& path) const {
  if (templates_.empty() || path.empty()) return false;
  std::vector<uint8_t> bytes;
  if (!EncodeTemplateFile(templates_, bytes)) return false;
  // Written beside the target and renamed over it, so a failed write never destroys the file
  // that was there.
  const std::string partial = path + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      DeleteFileQuietly(partial);
      return false;
    }
  }
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    DeleteFileQuietly(partial);
    return false;
  }
  return true;
}

void cARD::NewConfig() { FreeMemory(); }

void cARD::FreeMemory() {
  templates_.clear();
  templates_.shrink_to_fit();
}

}  // namespace tessivo::recognition
