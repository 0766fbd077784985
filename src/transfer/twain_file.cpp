#include "transfer/twain_file.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/save_routes.h"
#include "tessivo/enums_io.h"

namespace tessivo {

namespace fs = std::filesystem;

namespace {

std::string LowerExtension(const fs::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

// A name in the target's folder that no other writer uses: renaming it over the target is
// then a single step of the file system.
fs::path SiblingFor(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  std::string name = "." + target.filename().string() + ".scan-" + std::to_string(::getpid()) +
                     "-" + std::to_string(counter++);
  return target.parent_path() / name;
}

TessivoStatus Encode(platform::Bitmap& image, const std::string& path, const std::string& ext) {
  if (ext == ".bmp") return SaveWithPattern(image, path, "*.bmp");
  if (ext == ".png") return SaveWithPattern(image, path, "*.png");
  if (ext == ".jpg" || ext == ".jpeg" || ext == ".jfif") return SaveJpeg(image, path, 75, false);
  // The sources offer no compression (their only ICAP_COMPRESSION value is TWCP_NONE), so
  // the file holds the page as scanned, as a source's own file transfer would write it.
  return SaveTiff(image, path, CompressionNone, 0);
}

}  // namespace

TessivoStatus WriteScanFile(platform::Bitmap& image, const std::string& path) {
  const fs::path target(path);
  if (target.filename().empty()) return TwainError;
  const fs::path sibling = SiblingFor(target);
  std::error_code ec;
  TessivoStatus status = Encode(image, sibling.string(), LowerExtension(target));
  const bool written = status == OK && fs::is_regular_file(sibling, ec) &&
                       fs::file_size(sibling, ec) > 0 && !ec;
  if (written) {
    fs::rename(sibling, target, ec);
    if (!ec) return OK;
  }
  fs::remove(sibling, ec);
  return TwainError;
}

}  // namespace tessivo
