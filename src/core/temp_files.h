// Temporary files of the toolkit: page files of editable documents, byte-array inputs,
// downloads. Each belongs to the registry entry that uses it and is deleted with it.
#pragma once
#include <string>

namespace tessivo {

// The temporary folder: the "tmp" environment variable, else "temp" (either spelt in upper
// case too), else $TMPDIR, else /tmp. Never ends with a separator.
std::string TempFolder();

// Creates a new empty file in the temporary folder and returns its path, "" when none could be
// created. Its name is the decimal integer part of r x 100000000 for a fresh random r in
// [0, 1), without extension; a name already taken is drawn again. The file is created
// exclusively, so two callers never receive the same name.
std::string NewTempFile();

// Removes a file, ignoring every error (a missing file included).
void DeleteFileQuietly(const std::string& path);

}  // namespace tessivo
