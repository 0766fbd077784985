// Installed TrueType faces for the PDF writer: found through Fontconfig and measured with
// FreeType at an em of 1000, the way the writer's font objects describe them.
#pragma once
#include <string>

#include "pdf/font_record.h"

namespace tessivo::pdf {

// Finds `face` among the installed families (upper-cased, blanks removed; Arial, Times New
// Roman and Courier New also through their metric-compatible Liberation faces) and measures
// the bold/italic style of it into `record`. False when the face is not installed or cannot
// be read.
bool MeasureInstalledFace(const std::string& face, bool bold, bool italic, FontRecord& record);

}  // namespace tessivo::pdf
