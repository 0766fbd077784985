#include "formats/file_output.h"

#include <cstdio>

namespace tessivo {

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (path.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = (std::fclose(file) == 0) && ok;
  if (!ok) std::remove(path.c_str());
  return ok;
}

}  // namespace tessivo
