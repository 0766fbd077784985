/* What every Tessivo plug-in exports, whatever else it offers: its file version as a dotted
 * "major.minor.build.revision" string. The toolkit reads it to tell whether the plug-in is
 * present and new enough. */
#ifndef TESSIVO_PLUGINS_PLUGIN_ABI_H
#define TESSIVO_PLUGINS_PLUGIN_ABI_H

#ifdef __cplusplus
extern "C" {
#endif

#define TV_PLUGIN_FILE_VERSION_SYMBOL "tv_plugin_file_version"
typedef const char* (*tv_plugin_file_version_fn)(void);

#ifdef __cplusplus
}
#endif

#endif
