#include "language_data.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tvocrplug {
namespace {

constexpr const char* kLanguages[] = {"deu", "frk", "eng", "fra", "ita", "nld", "por", "spa", "vie", "pol"};
constexpr const char* kSystemFolder = "/usr/share/tesseract-ocr/5/tessdata";

// `folder` itself or its "tessdata" child, whichever holds the language's data file.
std::optional<std::string> HoldingFolder(const std::string& folder, const std::string& language) {
  namespace fs = std::filesystem;
  std::error_code error;
  for (const fs::path& candidate : {fs::path(folder), fs::path(folder) / "tessdata"}) {
    if (fs::is_regular_file(candidate / (language + ".traineddata"), error)) return candidate.string();
  }
  return std::nullopt;
}

}  // namespace

const char* LanguageName(int32_t dictionary) {
  if (dictionary < 0 || dictionary >= static_cast<int32_t>(std::size(kLanguages))) return nullptr;
  return kLanguages[dictionary];
}

std::optional<std::string> FindLanguageFolder(const std::string& language, const char* requested) {
  if (requested != nullptr && *requested != '\0') return HoldingFolder(requested, language);
  if (const char* prefix = std::getenv("TESSDATA_PREFIX"); prefix != nullptr && *prefix != '\0')
    if (auto found = HoldingFolder(prefix, language)) return found;
  return HoldingFolder(kSystemFolder, language);
}

}  // namespace tvocrplug
