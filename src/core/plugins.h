// The toolkit's optional plug-in libraries: their file names, minimum versions and the messages
// shown when one is missing or too old.
#pragma once
#include <cstdint>
#include <string>

namespace tessivo {

enum class PluginKind { Codec, Ocr, Twain, Barcode1DReader, BarcodeDataMatrixReader };

struct PluginInfo {
  PluginKind kind;
  const char* baseName;        // file name without ".so"
  const char* versionExport;   // exported function answering the library's own version number
  int32_t minimumVersion;      // 0: no minimum
  const char* missingMessage;  // "" when a missing library is reported by status only
  const char* tooOldMessage;
};

const PluginInfo& PluginInfoFor(PluginKind kind);
std::string PluginPathFor(PluginKind kind);

// Checks a library before use: present (file version non-zero) and, when it has a minimum,
// answering at least that version. On failure shows the library's message through the host
// (title "Error", critical icon) and returns false.
bool CheckPlugin(PluginKind kind);

}  // namespace tessivo
