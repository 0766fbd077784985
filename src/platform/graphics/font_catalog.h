// The fonts installed on the system, found through Fontconfig, and the faces behind a family
// name and style. Names compare without regard to ASCII case. The usual Windows faces resolve
// to their metric-compatible Liberation families; a name that is neither an installed family
// nor such an alias (nor an alias Fontconfig binds firmly) is FontFamilyNotFound, because
// Fontconfig itself always falls back to some face.
//
// The catalog is read once per thread, on first use, with the configuration Fontconfig finds
// then (FONTCONFIG_FILE included).
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace tessivo::platform {

struct FaceFile {
  std::string path;
  int index = 0;
};

// The installed family names, sorted and each once.
const std::vector<std::string>& InstalledFontFamilies();

// The installed family a name stands for: FontFamilyNotFound when there is none.
Status ResolveFontFamily(std::string_view name, std::string& family);

// Whether the family has a face of that weight and slant (underline and strikeout are drawn,
// so every face has them).
bool FamilyHasStyle(const std::string& family, bool bold, bool italic);

// The face of the family closest to a normal width and the regular or bold weight asked for:
// FontStyleNotFound when the family has no face of that weight and slant.
Status FindFontFace(const std::string& family, bool bold, bool italic, FaceFile& face);

}  // namespace tessivo::platform
