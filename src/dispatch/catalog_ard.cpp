// Type library entries of document recognition by layout templates.
#include "dispatch/catalog.h"

namespace tessivo::dispatch {

TESSIVO_CATALOG_FAMILY(ADR) {
  catalog.Method("ADRCreateTemplateEmpty", &cImaging::ADRCreateTemplateEmpty);
  catalog.Method("ADRCreateTemplateFromTessivoImage", &cImaging::ADRCreateTemplateFromTessivoImage, "nImageID");
  catalog.Method("ADRCreateTemplateFromFile", &cImaging::ADRCreateTemplateFromFile, "sFilePath");
  catalog.Method("ADRCreateTemplateFromFileICM", &cImaging::ADRCreateTemplateFromFileICM, "sFilePath");
  catalog.Method("ADRAddImageToTemplate", &cImaging::ADRAddImageToTemplate, "nTemplateID, nImageID");
  catalog.Method("ADRDeleteTemplate", &cImaging::ADRDeleteTemplate, "nTemplateID");
  catalog.Method("ADRSetTemplateTag", &cImaging::ADRSetTemplateTag, "nTemplateID, sTemplateTag");
  catalog.Method("ADRGetTemplateTag", &cImaging::ADRGetTemplateTag, "nTemplateID");
  catalog.Method("ADRGetTemplateImageCount", &cImaging::ADRGetTemplateImageCount, "nTemplateID");
  catalog.Method("ADRGetTemplateCount", &cImaging::ADRGetTemplateCount);
  catalog.Method("ADRGetTemplateID", &cImaging::ADRGetTemplateID, "nTemplateNo");
  catalog.Method("ADRLoadTemplateConfig", &cImaging::ADRLoadTemplateConfig, "sFileConfig");
  catalog.Method("ADRSaveTemplateConfig", &cImaging::ADRSaveTemplateConfig, "sFileConfig");
  catalog.Method("ADRStartNewTemplateConfig", &cImaging::ADRStartNewTemplateConfig);
  catalog.Method("ADRGetCloserTemplateForTessivoImage", &cImaging::ADRGetCloserTemplateForTessivoImage, "nImageID");
  catalog.Method("ADRGetCloserTemplateForFile", &cImaging::ADRGetCloserTemplateForFile, "sFilePath");
  catalog.Method("ADRGetCloserTemplateForFileICM", &cImaging::ADRGetCloserTemplateForFileICM, "sFilePath");
  catalog.Method("ADRGetLastRelevance", &cImaging::ADRGetLastRelevance);
  catalog.Method("ADRGetLastRelevanceFromTemplate", &cImaging::ADRGetLastRelevanceFromTemplate, "nTemplateID");
}

}  // namespace tessivo::dispatch
