// What the one-call PDF conversions share: the document's Info and security values as the
// caller gave them, page sizes from pixels, and a new writer with the instance's settings.
#pragma once
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "core/imaging_state.h"
#include "pdf/pdf_session.h"

namespace tessivo {

struct DocumentInfo {
  const std::string& path;
  const std::string& title;
  const std::string& author;
  const std::string& subject;
  const std::string& keywords;
  const std::string& creator;
  int32_t encryption;
  int32_t rights;
  const std::string& userPassword;
  const std::string& ownerPassword;
};

// Pixels to points at `dpi`; a file without a usable resolution is taken at 72 dpi, one
// point per pixel, rather than dividing by zero into an unusable page size.
inline float PixelsToPoints(int32_t pixels, double dpi) {
  if (!(dpi > 0) || !std::isfinite(dpi)) dpi = 72;
  return static_cast<float>(pixels * 72.0 / dpi);
}

// A writer with the instance's settings whose file is open at info.path; none when the
// document cannot be created there.
inline std::unique_ptr<cPDF> OpenWriter(ImagingState& state, const DocumentInfo& info, bool archival) {
  auto writer = NewWriter(SessionOf(state));
  writer->SetPdfA(archival);
  if (!writer->NewPdf(info.path, info.title, info.author, info.creator, info.keywords, info.subject,
                      info.encryption, info.rights, info.userPassword, info.ownerPassword))
    return nullptr;
  return writer;
}

}  // namespace tessivo
