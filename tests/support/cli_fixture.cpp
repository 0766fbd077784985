#include "support/cli_fixture.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tessivo::testing {

namespace fs = std::filesystem;

std::string ReadWholeFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Cli::SetUp() {
  dir_ = fs::temp_directory_path() /
         ("tessivo-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  fs::remove_all(dir_);
  fs::create_directories(dir_);
}

void Cli::TearDown() { fs::remove_all(dir_); }

fs::path Cli::Write(const std::string& name, const std::string& text) {
  fs::path p = dir_ / name;
  std::ofstream(p, std::ios::binary) << text;
  return p;
}

CliRun Cli::Tessivo(const std::string& args, const std::string& input) {
  fs::path in = Write("stdin.txt", input), out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
  std::string command = std::string("cd '") + dir_.string() + "' && '" + TESSIVO_CLI_PATH + "' " + args + " <'" +
                        in.string() + "' >'" + out.string() + "' 2>'" + err.string() + "'";
  int status = std::system(command.c_str());
  CliRun r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ReadWholeFile(out);
  r.err = ReadWholeFile(err);
  return r;
}

}  // namespace tessivo::testing
