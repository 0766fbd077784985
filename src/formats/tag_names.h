// Display names of EXIF property item tags.
#pragma once
#include <cstdint>
#include <string>

namespace tessivo {

// The name of tag `id`: the `Tags` member name without its "Tag" prefix (GPS processing method
// shows as "ProcessingMethod", the subfile type as "SubFileType", JPEG process as "JPEroc").
// An id without a name (the GPS directory pointer among them) shows as upper-case hexadecimal
// without prefix or leading zeros.
std::string TagDisplayName(uint32_t id);

}  // namespace tessivo
