// `tessivo batch`: one script over many files in worker processes; failures are reported with
// their line and leave nothing behind, and a dying worker fails only its own file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/cli_fixture.h"
#include "support/loopback_server.h"

namespace {

namespace fs = std::filesystem;
using tessivo::testing::Cli;
using tessivo::testing::CliRun;

class Batch : public Cli {
 protected:
  // Three small PNG pictures of different sizes and one file that is not a picture.
  void MakeInputs() {
    for (int i = 1; i <= 3; ++i) {
      std::string name = "in/p" + std::to_string(i) + ".png";
      fs::create_directories(dir_ / "in");
      CliRun made = Tessivo("call CreateNewImage " + std::to_string(10 * i) + " 7 24 -- SaveAsPNG " + name);
      ASSERT_EQ(made.exitCode, 0) << made.err;
    }
    Write("in/broken.png", "\x89PNG\r\n\x1a\n this is not a picture");
  }

  std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
  }
};

TEST_F(Batch, GoodFilesLandAndABrokenOneIsReportedWithItsLine) {
  MakeInputs();
  Write("half.tvs",
        "CreateImageFromFile $input\n"
        "SaveAsBMP $outdir & \"/\" & $name & \".bmp\"\n"
        "FxBlur\n"
        "SaveAsPNG $output\n");
  CliRun r = Tessivo("batch half.tvs in/p1.png in/broken.png in/p2.png in/p3.png --jobs 2 --out done");
  EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
  // Both files of each good input arrive; the broken input's first line failed, so nothing
  // of it is there, not even a partial output; no staging folder is left.
  EXPECT_EQ(Names(dir_ / "done"), (std::set<std::string>{"p1.bmp", "p1.png", "p2.bmp", "p2.png", "p3.bmp", "p3.png"}));
  EXPECT_NE(r.out.find("batch: 3 of 4 files succeeded, 1 failed"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("in/broken.png: half.tvs:1: CreateImageFromFile failed with"), std::string::npos) << r.out;
  // Not a terminal: one plain line per file.
  EXPECT_NE(r.err.find("/4] in/broken.png: FAILED"), std::string::npos) << r.err;

  // A run whose failure comes after a save leaves that save out as well.
  Write("late.tvs",
        "CreateImageFromFile $input\n"
        "SaveAsPNG $output\n"
        "Crop 5, 5, 100000, 100000\n");
  CliRun late = Tessivo("batch late.tvs in/p1.png --out late");
  EXPECT_EQ(late.exitCode, 1);
  EXPECT_TRUE(Names(dir_ / "late").empty()) << late.out;
  EXPECT_NE(late.out.find("late.tvs:3: Crop failed with InvalidParameter"), std::string::npos) << late.out;
}

TEST_F(Batch, JsonRecordsOneLinePerFile) {
  MakeInputs();
  Write("copy.tvs", "CreateImageFromFile $input\nSaveAsPNG $output\n");
  CliRun r = Tessivo("--json batch copy.tvs in/p2.png in/broken.png --jobs 1 --out o");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("{\"input\": \"in/p2.png\", \"ok\": true, \"seconds\": "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"outputs\": [\"o/p2.png\"]}"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("{\"input\": \"in/broken.png\", \"ok\": false"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"where\": \"copy.tvs:1\""), std::string::npos) << r.out;
  // The summary goes to the error stream so the records stay machine-readable.
  EXPECT_NE(r.err.find("batch: 1 of 2 files succeeded"), std::string::npos) << r.err;
}

TEST_F(Batch, RefusesToReplaceItsInputAndChecksTheScriptFirst) {
  MakeInputs();
  Write("same.tvs", "CreateImageFromFile $input\nSaveAsPNG $output\n");
  std::string before = tessivo::testing::ReadWholeFile(dir_ / "in/p1.png");
  CliRun r = Tessivo("batch same.tvs in/p1.png --out in");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("would replace the input file"), std::string::npos) << r.out;
  EXPECT_EQ(tessivo::testing::ReadWholeFile(dir_ / "in/p1.png"), before);

  // A script that does not parse stops the run before any file; bad options are usage errors.
  Write("bad.tvs", "CreateImageFromFile $input\nSaveAsPNG \"unterminated\n");
  CliRun bad = Tessivo("batch bad.tvs in/p1.png --out never");
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.err.find("bad.tvs:2:"), std::string::npos) << bad.err;
  EXPECT_FALSE(fs::exists(dir_ / "never"));
  EXPECT_EQ(Tessivo("batch same.tvs in/p1.png --jobs 0").exitCode, 2);
  EXPECT_EQ(Tessivo("batch same.tvs").exitCode, 2);
}

// The worker processes of a running `tessivo` (its children).
std::vector<pid_t> ChildrenOf(pid_t parent) {
  std::vector<pid_t> children;
  for (const auto& e : fs::directory_iterator("/proc")) {
    std::string stat = tessivo::testing::ReadWholeFile(e.path() / "stat");
    std::size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    int ppid = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == parent)
      children.push_back(static_cast<pid_t>(std::stol(e.path().filename().string())));
  }
  return children;
}

TEST_F(Batch, AWorkerThatDiesFailsOnlyItsFile) {
  MakeInputs();
  // The inputs are paths on a loopback server; "/stall" never finishes, so its worker is still on
  // it when the test kills that worker.
  tessivo::test::LoopbackServer server("http_server.py", (dir_ / "in").string());
  Write("fetch.tvs", "CreateImageFromURL \"127.0.0.1\", $input, " + std::to_string(server.port()) +
                         "\nSaveAsPNG $outdir & \"/\" & $name & \".png\"\n");
  std::string command = "cd '" + dir_.string() + "' && exec '" + TESSIVO_CLI_PATH +
                        "' batch fetch.tvs /file/p1.png /stall /file/p2.png --jobs 1 --out o >out.txt 2>err.txt";
  pid_t tool = ::fork();
  ASSERT_GE(tool, 0);
  if (tool == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Once p1 is out, the one worker is on "/stall".
  for (int i = 0; i < 600 && !fs::exists(dir_ / "o/p1.png"); ++i) ::usleep(50'000);
  std::vector<pid_t> workers;
  for (int i = 0; i < 100 && workers.empty(); ++i, ::usleep(20'000)) workers = ChildrenOf(tool);
  ASSERT_EQ(workers.size(), 1u);
  ::usleep(300'000);
  ::kill(workers[0], SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(tool, &status, 0), tool);
  std::string out = tessivo::testing::ReadWholeFile(dir_ / "out.txt");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << out;
  EXPECT_NE(out.find("/stall: /stall: the worker processing this file ended on signal 9"), std::string::npos) << out;
  // A new worker finished the rest, and the dead one's staging folder is gone.
  EXPECT_EQ(Names(dir_ / "o"), (std::set<std::string>{"p1.png", "p2.png"}));
}

}  // namespace
