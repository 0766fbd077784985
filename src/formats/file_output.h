// Writing a finished file in one go.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tessivo {

// Creates `path` (replacing an existing file whole) and writes `bytes`. False when opening,
// writing or closing fails; a partly written file is removed.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace tessivo
