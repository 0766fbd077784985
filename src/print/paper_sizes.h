// The platform's paper size codes and the PWG media names of the same sheets.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tessivo::print {

inline constexpr int32_t kPaperUser = 256;  // a size given in millimetres

struct PaperSize {
  int32_t code;
  const char* pwgName;
  double widthMm, heightMm;  // portrait
};

std::optional<PaperSize> PaperByCode(int32_t code);
// The code of a sheet by PWG name, else by size (within 0.5 mm either way round), else kPaperUser.
int32_t PaperCodeFor(const std::string& pwgName, double widthMm, double heightMm);

}  // namespace tessivo::print
