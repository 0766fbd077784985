// The `tessivo` script host, end to end: output lines, status names, exit codes, messages.
#include <gtest/gtest.h>

#include "support/cli_fixture.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using tessivo::testing::Cli;
using tessivo::testing::CliRun;

TEST_F(Cli, RunsAScriptAndPrintsEachCall) {
  Write("ok.tvs",
        "# a comment\n"
        "## Narration is printed\n"
        "GetVersion\n"
        "$e = encode64string \"abc\"   # trailing comment\n"
        "Decode64String $e\n"
        "GetInterfaceSafetyOptions \"{00020400-0000-0000-C000-000000000046}\", $s, $n\n"
        "Encode64String $s & \"/\" & $n\n");
  CliRun r = Tessivo("run ok.tvs");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Narration is printed\n"
            "GetVersion = 5.9901307  [OK]\n"
            "Encode64String = \"YWJj\"  [OK]\n"
            "Decode64String = \"abc\"  [OK]\n"
            "GetInterfaceSafetyOptions = 0  [OK]\n"
            "  &nSupportedOptions = 3\n"
            "  &nEnabledOptions = 1\n"
            "Encode64String = \"My8x\"  [OK]\n");
}

TEST_F(Cli, StopsAtTheFirstFailingStatusUnlessKeepGoing) {
  Write("fail.tvs", "CloseImage 0\nGetVersion\n");
  CliRun r = Tessivo("run fail.tvs");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "CloseImage = InvalidParameter (2)  [InvalidParameter (2)]\n");

  CliRun going = Tessivo("--keep-going run fail.tvs");
  EXPECT_EQ(going.exitCode, 1);
  EXPECT_NE(going.out.find("GetVersion = 5.9901307  [InvalidParameter (2)]"), std::string::npos) << going.out;
}

TEST_F(Cli, ScriptErrorsNameTheLineAndExitWithTwo) {
  struct Case {
    std::string script, message;
  } cases[] = {
      {"GetVersion\nFrobnicate 1\n", "bad.tvs:2: unknown method \"Frobnicate\" (see: tessivo methods)"},
      {"CreateNewImaeg 1 1\n", "unknown method \"CreateNewImaeg\"; did you mean CreateNewImage?"},
      {"CloseImage\n", "bad.tvs:1: CloseImage takes 1 argument, 0 given"},
      {"CreateNewImage 1 2 3 4 5\n", "bad.tvs:1: CreateNewImage takes 2 to 4 arguments, 5 given"},
      {"CloseImage \"seven\"\n", "bad.tvs:1: CloseImage: parameter nImageID (Long): type mismatch"},
      {"CreateNewImage 10, 10, 70000\n", "parameter nBitDepth (Integer): overflow"},
      {"Decode64String $nothing\n", "bad.tvs:1: variable $nothing has no value yet"},
      {"CloseImage seven\n", "unknown name \"seven\""},
      {"Encode64String \"open\n", "bad.tvs:1: column 16: string without its closing quote"},
  };
  for (const Case& c : cases) {
    Write("bad.tvs", c.script);
    CliRun r = Tessivo("--keep-going run bad.tvs");
    EXPECT_EQ(r.exitCode, 2) << c.script;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.script << " gave: " << r.err;
  }
  CliRun missing = Tessivo("run no-such-file.tvs");
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("cannot open script no-such-file.tvs"), std::string::npos);
  EXPECT_EQ(Tessivo("explode").exitCode, 2);
  EXPECT_EQ(Tessivo("").exitCode, 2);
}

TEST_F(Cli, JsonPrintsOneObjectPerCall) {
  CliRun r = Tessivo("--json run -",
                  "## not printed in JSON\n"
                  "GetInterfaceSafetyOptions \"{00000109-0000-0000-C000-000000000046}\" $a $b\n"
                  "CloseImage 0\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out,
            "{\"method\": \"GetInterfaceSafetyOptions\", \"result\": 0, \"status\": 0, \"status_name\": \"OK\", "
            "\"out\": {\"nSupportedOptions\": 3, \"nEnabledOptions\": 2}}\n"
            "{\"method\": \"CloseImage\", \"result\": 2, \"status\": 2, \"status_name\": \"InvalidParameter\", "
            "\"out\": {}}\n");
}

TEST_F(Cli, CallRunsCommandLineCallsSeparatedByDashes) {
  CliRun r = Tessivo("call Encode64String 'a b' -- decode64string YSBi -- GetVersion");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "Encode64String = \"YSBi\"  [OK]\n"
            "Decode64String = \"a b\"  [OK]\n"
            "GetVersion = 5.9901307  [OK]\n");
  CliRun count = Tessivo("call CloseImage 1 2");
  EXPECT_EQ(count.exitCode, 2);
  EXPECT_NE(count.err.find("call 1 (CloseImage): CloseImage takes 1 argument, 2 given"), std::string::npos)
      << count.err;
  EXPECT_EQ(Tessivo("call GetVersion --").exitCode, 2);
}

TEST_F(Cli, MethodsListsSignaturesWithDefaults) {
  CliRun r = Tessivo("methods newimage");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out,
            "CreateNewImage(nWidth As Long, nHeight As Long, Optional nBitDepth As Integer = 32, "
            "Optional nBackColor As Long = 0xFF000000) As Long\n");
  CliRun all = Tessivo("methods");
  EXPECT_NE(all.out.find("GetInterfaceSafetyOptions(riid As String, ByRef nSupportedOptions As Long, "
                         "ByRef nEnabledOptions As Long) As Long\n"),
            std::string::npos);
  EXPECT_EQ(all.err, "");
  CliRun glob = Tessivo("methods '*64String'");
  EXPECT_EQ(glob.out, "Decode64String(sText As String) As String\nEncode64String(sText As String) As String\n");
  EXPECT_NE(Tessivo("constants 24bpp").out.find("PixelFormats.PixelFormat24bppRGB = 137224"), std::string::npos);
}

TEST_F(Cli, DemoRunsWithoutInputFiles) {
  CliRun r = Tessivo("demo demo-out");
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Encode64String = "), std::string::npos);
  EXPECT_TRUE(fs::exists(dir_ / "demo-out" / "demo-transcript.txt"));
  CliRun help = Tessivo("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: tessivo"), std::string::npos);
}

}  // namespace
