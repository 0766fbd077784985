// The `tessivo` tool run as a user runs it: in a private folder of the test, with its standard
// input, output and error captured.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tessivo::testing {

struct CliRun {
  int exitCode = -1;
  std::string out, err;
};

std::string ReadWholeFile(const std::filesystem::path& p);

class Cli : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::filesystem::path Write(const std::string& name, const std::string& text);
  // Runs the tool with `args` (already shell-quoted) and optional standard input, in dir_.
  CliRun Tessivo(const std::string& args, const std::string& input = "");

  std::filesystem::path dir_;
};

}  // namespace tessivo::testing
