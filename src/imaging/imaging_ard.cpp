// cImaging: document recognition by layout templates. Builds templates from sample pages,
// finds the template a page resembles most, and saves and loads the template set.
#include <memory>

#include "core/boundary.h"
#include "core/image_registry.h"
#include "core/load_pipeline.h"
#include "recognition/ard/ard.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using recognition::cARD;

cARD& Ard(ImagingState& st) {
  if (!st.ard) st.ard = std::make_shared<cARD>();
  return *st.ard;
}

// A page file loaded only for the call; it is released when the call ends.
class TemporaryImage {
 public:
  TemporaryImage(ImagingState& st, const std::string& path, bool icm) {
    LoadOptions options;
    options.icm = icm;
    options.codecDisabled = st.disableCodecPlugin;
    options.tiffReadOnly = true;
    options.gifReadOnly = true;
    status_ = LoadImageFile(path, options, id_);
  }
  ~TemporaryImage() {
    if (id_ != 0) ImageRegistry::Current().Release(id_);
  }
  TemporaryImage(const TemporaryImage&) = delete;
  TemporaryImage& operator=(const TemporaryImage&) = delete;
  TessivoStatus status() const { return status_; }
  int32_t id() const { return id_; }

 private:
  TessivoStatus status_ = GenericError;
  int32_t id_ = 0;
};

// A new template learned from one image; 0 (and no template left behind) when it cannot be.
int32_t CreateFromImage(ImagingState& st, int32_t imageId) {
  cARD& ard = Ard(st);
  const int32_t id = ard.NewTemplate();
  const TessivoStatus status = ard.AddImageToTemplate(id, ResolveImage(imageId));
  st.Set(status);
  if (status == OK) return id;
  ard.DeleteTemplate(id);
  return 0;
}

int32_t CreateFromFile(ImagingState& st, const std::string& path, bool icm) {
  return Guarded(st, int32_t{0}, [&] {
    TemporaryImage image(st, path, icm);
    if (image.status() != OK) {
      st.Set(image.status());
      return int32_t{0};
    }
    return CreateFromImage(st, image.id());
  });
}

int32_t Lookup(ImagingState& st, int32_t imageId) {
  TessivoStatus status = OK;
  const int32_t id = Ard(st).FindCloserTemplate(ResolveImage(imageId), status);
  st.Set(status);
  return id;
}

int32_t LookupFile(ImagingState& st, const std::string& path, bool icm) {
  return Guarded(st, int32_t{0}, [&] {
    TemporaryImage image(st, path, icm);
    if (image.status() != OK) {
      st.Set(image.status());
      return int32_t{0};
    }
    return Lookup(st, image.id());
  });
}

}  // namespace

int32_t cImaging::ADRCreateTemplateEmpty() {
  return Guarded(*state_, int32_t{0}, [&] { return Ard(*state_).NewTemplate(); });
}

int32_t cImaging::ADRCreateTemplateFromTessivoImage(int32_t nImageID) {
  return Guarded(*state_, int32_t{0}, [&] { return CreateFromImage(*state_, nImageID); });
}

int32_t cImaging::ADRCreateTemplateFromFile(const std::string& sFilePath) {
  return CreateFromFile(*state_, sFilePath, false);
}

int32_t cImaging::ADRCreateTemplateFromFileICM(const std::string& sFilePath) {
  return CreateFromFile(*state_, sFilePath, true);
}

TessivoStatus cImaging::ADRAddImageToTemplate(int32_t nTemplateID, int32_t nImageID) {
  return GuardedStatus(*state_, [&] {
    return state_->Set(Ard(*state_).AddImageToTemplate(nTemplateID, ResolveImage(nImageID)));
  });
}

bool cImaging::ADRDeleteTemplate(int32_t nTemplateID) {
  return Guarded(*state_, false, [&] { return Ard(*state_).DeleteTemplate(nTemplateID); });
}

bool cImaging::ADRSetTemplateTag(int32_t nTemplateID, const std::string& sTemplateTag) {
  return Guarded(*state_, false, [&] { return Ard(*state_).SetTemplateTag(nTemplateID, sTemplateTag); });
}

std::string cImaging::ADRGetTemplateTag(int32_t nTemplateID) {
  return Guarded(*state_, std::string(), [&] { return Ard(*state_).GetTemplateTag(nTemplateID); });
}

int32_t cImaging::ADRGetTemplateImageCount(int32_t nTemplateID) {
  return Guarded(*state_, int32_t{0}, [&] { return Ard(*state_).GetTemplateImageCount(nTemplateID); });
}

int32_t cImaging::ADRGetTemplateCount() {
  return Guarded(*state_, int32_t{0}, [&] { return Ard(*state_).GetTemplateCount(); });
}

int32_t cImaging::ADRGetTemplateID(int32_t nTemplateNo) {
  return Guarded(*state_, int32_t{-1}, [&] { return Ard(*state_).GetTemplateID(nTemplateNo); });
}

bool cImaging::ADRLoadTemplateConfig(const std::string& sFileConfig) {
  return Guarded(*state_, false, [&] { return Ard(*state_).LoadTemplateConfig(sFileConfig); });
}

bool cImaging::ADRSaveTemplateConfig(const std::string& sFileConfig) {
  return Guarded(*state_, false, [&] { return Ard(*state_).SaveTemplateConfig(sFileConfig); });
}

void cImaging::ADRStartNewTemplateConfig() {
  Guarded(*state_, 0, [&] {
    Ard(*state_).NewConfig();
    return 0;
  });
}

int32_t cImaging::ADRGetCloserTemplateForTessivoImage(int32_t nImageID) {
  return Guarded(*state_, int32_t{0}, [&] { return Lookup(*state_, nImageID); });
}

int32_t cImaging::ADRGetCloserTemplateForFile(const std::string& sFilePath) {
  return LookupFile(*state_, sFilePath, false);
}

int32_t cImaging::ADRGetCloserTemplateForFileICM(const std::string& sFilePath) {
  return LookupFile(*state_, sFilePath, true);
}

double cImaging::ADRGetLastRelevance() {
  return Guarded(*state_, 0.0, [&] { return Ard(*state_).GetLastRelevance(); });
}

double cImaging::ADRGetLastRelevanceFromTemplate(int32_t nTemplateID) {
  return Guarded(*state_, 0.0, [&] { return Ard(*state_).GetlastTemplateRelevance(nTemplateID); });
}

}  // namespace tessivo
