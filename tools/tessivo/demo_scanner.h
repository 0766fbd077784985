// The scanner of the demonstration: SANE's test device, configured in a folder of the output
// directory so the demonstration neither needs nor touches the machine's scanner setup.
#pragma once

#include <string>

namespace tessivo::cli {

// Writes OUTDIR/sane/dll.conf (the test backend only) and test.conf (a colour pattern page) and
// points SANE_CONFIG_DIR at that folder for this process. False when the files cannot be written.
bool PrepareDemoScanner(const std::string& outdir);

}  // namespace tessivo::cli
