// A known set of fonts for the text tests: the Liberation 2 families and one family with only a
// regular face, through a Fontconfig configuration of their own (FONTCONFIG_FILE). The font
// catalog is read once per thread, so the body runs on a fresh thread that sees only these.
#pragma once
#include <functional>
#include <string>

namespace tessivo::testing {

inline constexpr const char* kRegularOnlyFamily = "DejaVu Math TeX Gyre";

// Runs `body` on a new thread whose fonts are the test set; fails the test when a face is missing.
void WithTestFonts(const std::function<void()>& body);

}  // namespace tessivo::testing
