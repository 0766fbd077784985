// cARD: a set of document templates learned from sample pages, and the lookup that tells which
// template a new page resembles most (automatic document recognition).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "recognition/ard/layout_signature.h"
#include "recognition/ard/template_record.h"
#include "tessivo/status.h"

namespace tessivo::recognition {

class cARD {
 public:
  cARD() { NewConfig(); }
  ~cARD() { FreeMemory(); }

  int32_t GetTemplateCount() const { return static_cast<int32_t>(templates_.size()); }
  // 0-based index of the template, or -1.
  int32_t GetTemplateIDX(int32_t id) const;
  // ID of the template at 1-based position n, or -1 outside 1..count.
  int32_t GetTemplateID(int32_t n) const;
  // A new empty template under an ID not yet in the set (never 0); returns the ID.
  int32_t NewTemplate();
  bool DeleteTemplate(int32_t id);
  // Learns one more sample: TemplateNotFound, InvalidParameter for no image, or the status of
  // reading its pixels. The first sample is copied, later ones averaged in.
  TessivoStatus AddImageToTemplate(int32_t id, platform::Bitmap* image);
  int32_t GetTemplateImageCount(int32_t id) const;
  std::string GetTemplateTag(int32_t id) const;
  bool SetTemplateTag(int32_t id, const std::string& tag);
  // The ID of the template the image resembles most (ties keep the earlier one), or 0 when
  // there is no image, no template or its pixels cannot be read; `status` says which.
  int32_t FindCloserTemplate(platform::Bitmap* image, TessivoStatus& status);
  // Replaces the set with the file's templates. A missing, unreadable or malformed file is
  // false and leaves the current set as it was.
  bool LoadTemplateConfig(const std::string& path);
  // Writes the set (replacing an existing file only once the new one is complete). False when
  // the set is empty, a tag is too long for the file or writing fails.
  bool SaveTemplateConfig(const std::string& path) const;
  void NewConfig();
  void FreeMemory();
  double GetLastRelevance() const { return bestRelevance_; }
  // Relevance the last lookup gave this template; 0 when it is not in the set or joined it
  // after that lookup.
  double GetlastTemplateRelevance(int32_t id) const;

  TessivoStatus ComputeSignatureBitonal(platform::Bitmap& image);
  TessivoStatus ComputeSignatureColor(platform::Bitmap& image);
  // Similarity in percent of the last computed signature to the template (area excluded).
  double CompareSignature(int32_t id) const;

 private:
  TessivoStatus ComputeSignatureFor(platform::Bitmap& image);
  double Relevance(const TemplateRecord& t, int64_t area) const;

  std::vector<TemplateRecord> templates_;
  LayoutSignature last_;  // signature of the image analysed last
  double bestRelevance_ = 0;
};

}  // namespace tessivo::recognition
