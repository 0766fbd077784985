// Transfers from the loopback test servers against curl(1) fetching the same files: a 50 MB
// file by HTTP and by FTP (cInet into /dev/null vs `curl -o /dev/null`), and a 50 MB BMP
// loaded by CreateImageFromURL vs `curl -o` followed by CreateImageFromFile. After the runs
// the ratios are printed; each must stay at or below 1.00.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/loopback_server.h"
#include "ratio_reporter.h"
#include "tessivo/imaging.h"
#include "transfer/inet.h"

namespace {

using namespace tessivo;
namespace fs = std::filesystem;

constexpr size_t kFileBytes = 50u * 1000 * 1000;

struct Fixture {
  std::string folder;
  std::unique_ptr<tessivo::test::LoopbackServer> http;
  std::unique_ptr<tessivo::test::LoopbackServer> ftp;

  Fixture() {
    const char* base = std::getenv("TMPDIR");
    folder = std::string(base && *base ? base : "/tmp") + "/tessivo-bench-transfer-" + std::to_string(::getpid());
    fs::create_directories(folder);
    std::vector<char> data(kFileBytes);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 2654435761u >> 13);
    std::FILE* f = std::fopen((folder + "/big.bin").c_str(), "wb");
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
    cImaging im;
    im.CreateNewImage(4096, 4096, 24, static_cast<int32_t>(0xFF336699u));  // 48 MiB of pixels
    im.SaveAsBmp(folder + "/big.bmp");
    http = std::make_unique<tessivo::test::LoopbackServer>("http_server.py", folder);
    ftp = std::make_unique<tessivo::test::LoopbackServer>("ftp_server.py",
                                                           std::vector<std::string>{folder, "any"});
  }
  ~Fixture() {
    http.reset();
    ftp.reset();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  std::string HttpUrl(const std::string& name) const {
    return "http://127.0.0.1:" + std::to_string(http->port()) + "/file/" + name;
  }
  std::string FtpUrl(const std::string& name) const {
    return "ftp://127.0.0.1:" + std::to_string(ftp->port()) + "/" + name;
  }
};

Fixture& Servers() {
  static Fixture fixture;
  return fixture;
}

bool Curl(const std::string& url, const std::string& output) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl("/usr/bin/curl", "curl", "-s", "-f", "-o", output.c_str(), url.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void CurlGet(benchmark::State& state, bool ftp) {
  const std::string url = ftp ? Servers().FtpUrl("big.bin") : Servers().HttpUrl("big.bin");
  for (auto _ : state)
    if (!Curl(url, "/dev/null")) state.SkipWithError("curl failed");
}

void InetGet(benchmark::State& state, bool ftp) {
  Fixture& s = Servers();
  for (auto _ : state) {
    cInet inet;
    inet.setBufferSize(1 << 20);
    TessivoStatus status;
    if (ftp) {
      status = inet.ftpOpenSession("127.0.0.1", s.ftp->port(), "", "");
      if (status == OK) status = inet.ftpGetFile("big.bin", "/dev/null");
    } else {
      status = inet.httpGetFile("127.0.0.1", "/file/big.bin", s.http->port(), "/dev/null");
    }
    if (status != OK) state.SkipWithError("cInet failed");
  }
}

void UrlImage(benchmark::State& state) {
  cImaging im;
  im.SetHttpTransfertBufferSize(1 << 20);
  for (auto _ : state) {
    const int32_t id = im.CreateImageFromURL("127.0.0.1", "/file/big.bmp", Servers().http->port());
    if (id == 0) state.SkipWithError("CreateImageFromURL failed");
    im.CloseImage(id);
  }
}

void CurlThenFile(benchmark::State& state) {
  cImaging im;
  const std::string local = Servers().folder + "/fetched.bmp";
  for (auto _ : state) {
    if (!Curl(Servers().HttpUrl("big.bmp"), local)) state.SkipWithError("curl failed");
    const int32_t id = im.CreateImageFromFile(local);
    if (id == 0) state.SkipWithError("CreateImageFromFile failed");
    im.CloseImage(id);
  }
}

const tessivo::bench::RatioReporter::Pairs kPairs = {
    {"Inet/HttpGet50MB", "Curl/HttpGet50MB"},
    {"Inet/FtpGet50MB", "Curl/FtpGet50MB"},
    {"Toolkit/UrlBmp50MB", "CurlThenFile/UrlBmp50MB"},
};


}  // namespace

int main(int argc, char** argv) {
  auto add = [](const char* name, auto fn) {
    benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->Iterations(5);
  };
  add("Curl/HttpGet50MB", [](benchmark::State& s) { CurlGet(s, false); });
  add("Inet/HttpGet50MB", [](benchmark::State& s) { InetGet(s, false); });
  add("Curl/FtpGet50MB", [](benchmark::State& s) { CurlGet(s, true); });
  add("Inet/FtpGet50MB", [](benchmark::State& s) { InetGet(s, true); });
  add("CurlThenFile/UrlBmp50MB", CurlThenFile);
  add("Toolkit/UrlBmp50MB", UrlImage);
  benchmark::Initialize(&argc, argv);
  Servers();
  tessivo::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("Toolkit time / curl's time (at most 1.00 wanted):", kPairs, 1.0);
  return 0;
}
