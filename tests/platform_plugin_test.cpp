// Plug-in discovery: where plug-ins are looked for, how their versions read, and the messages
// shown when a required one is missing or too old.
#include <gtest/gtest.h>

#include "core/platform_session.h"
#include "core/plugins.h"
#include "platform/plugin_library.h"
#include "support/scripted_host.h"
#include "tessivo/imaging.h"

namespace tessivo {
namespace {

using platform::FileVersionString;
using platform::VersionValue;
using testing::ScopedEnv;
using testing::ScopedHost;

const std::string kFakes = TESSIVO_FAKE_PLUGIN_DIR;

TEST(PluginVersion, NumericValueReadsTheLeadingNumber) {
  EXPECT_DOUBLE_EQ(VersionValue("6.1.7601.0"), 6.1);
  EXPECT_DOUBLE_EQ(VersionValue("5"), 5.0);
  EXPECT_DOUBLE_EQ(VersionValue(" 12.5x"), 12.5);
  EXPECT_EQ(VersionValue("Unknown"), 0.0);
  EXPECT_EQ(VersionValue("Undefined"), 0.0);
  EXPECT_EQ(VersionValue(""), 0.0);
}

TEST(PluginVersion, FileVersionStringTellsMissingUnversionedAndVersioned) {
  EXPECT_EQ(FileVersionString(kFakes + "/no-such-plugin.so"), "Undefined");
  EXPECT_EQ(FileVersionString(kFakes + "/tvimgplug.so"), "Unknown");
  EXPECT_EQ(FileVersionString(kFakes + "/tvtwain.so"), "6.2.0.1");
}

TEST(PluginDiscovery, EnvironmentFolderWinsOverTheLibraryFolder) {
  {
    ScopedEnv env("TESSIVO_PLUGIN_DIR", kFakes);
    EXPECT_EQ(platform::PluginPath("tvtwain"), kFakes + "/tvtwain.so");
  }
  ScopedEnv empty("TESSIVO_PLUGIN_DIR", "");
  std::string beside = platform::PluginDirectory();
  EXPECT_NE(beside, kFakes);
  EXPECT_FALSE(beside.empty());
}

TEST(PluginDiscovery, CheckShowsTheLibrarysOwnMessages) {
  ScopedEnv env("TESSIVO_PLUGIN_DIR", kFakes);
  ScopedHost host;
  EXPECT_FALSE(CheckPlugin(PluginKind::Twain));  // answers 629, needs 630
  EXPECT_TRUE(CheckPlugin(PluginKind::Barcode1DReader));
  EXPECT_FALSE(CheckPlugin(PluginKind::BarcodeDataMatrixReader));
  ASSERT_EQ(host->messages.size(), 2u);
  EXPECT_EQ(host->messages[0].title, "Error");
  EXPECT_EQ(host->messages[0].text, "Bad TVTWAIN.DLL version.");
  EXPECT_EQ(host->messages[0].icon, platform::MessageIcon::Critical);
  EXPECT_EQ(host->messages[1].text, "Can't found tvbarcode.dmreader.dll file.");
}

TEST(PluginDiscovery, AnUnversionedCodecPluginCountsAsAbsent) {
  ScopedEnv env("TESSIVO_PLUGIN_DIR", kFakes);
  cImaging imaging;
  EXPECT_FALSE(PlatformSession::Current().CodecPluginPresent());
  EXPECT_EQ(PlatformSession::Current().codecPluginVersion, "Unknown");
}

}  // namespace
}  // namespace tessivo
