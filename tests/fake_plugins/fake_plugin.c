/* A stand-in plug-in for discovery tests, compiled once per file name with the version it should
 * report. FAKE_FILE_VERSION unset: the library exports no file version at all. */
#include <stdint.h>

#ifdef FAKE_FILE_VERSION
const char* tv_plugin_file_version(void) { return FAKE_FILE_VERSION; }
#endif

#ifdef FAKE_VERSION_EXPORT
int32_t FAKE_VERSION_EXPORT(void) { return FAKE_VERSION_NUMBER; }
#endif
