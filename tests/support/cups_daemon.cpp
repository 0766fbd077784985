#include "support/cups_daemon.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace tessivo::testing {
namespace {

namespace fs = std::filesystem;

void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string FindCupsd() {
  for (const char* p : {"/usr/sbin/cupsd", "/usr/local/sbin/cupsd"})
    if (access(p, X_OK) == 0) return p;
  return "";
}

// A PPD whose printer takes PDF as it comes (gziptoany passes it through unchanged), so the
// file the queue writes is the document the toolkit sent.
std::string Ppd(const std::string& a4Area) {
  return "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
         "*LanguageEncoding: ISOLatin1\n*PCFileName: \"TVPDF.PPD\"\n*Manufacturer: \"Tessivo\"\n"
         "*Product: \"(Tessivo test printer)\"\n*ModelName: \"Tessivo test printer\"\n"
         "*ShortNickName: \"Tessivo test printer\"\n*NickName: \"Tessivo test printer\"\n"
         "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: True\n*DefaultColorSpace: RGB\n"
         "*FileSystem: False\n*Throughput: \"1\"\n*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n"
         "*cupsFilter: \"application/pdf 0 gziptoany\"\n"
         "*OpenUI *PageSize/Media Size: PickOne\n*OrderDependency: 10 AnySetup *PageSize\n*DefaultPageSize: A4\n"
         "*PageSize A4/A4: \"<</PageSize[595.28 841.89]>>setpagedevice\"\n"
         "*PageSize Letter/US Letter: \"<</PageSize[612 792]>>setpagedevice\"\n*CloseUI: *PageSize\n"
         "*OpenUI *PageRegion: PickOne\n*OrderDependency: 10 AnySetup *PageRegion\n*DefaultPageRegion: A4\n"
         "*PageRegion A4/A4: \"<</PageSize[595.28 841.89]>>setpagedevice\"\n"
         "*PageRegion Letter/US Letter: \"<</PageSize[612 792]>>setpagedevice\"\n*CloseUI: *PageRegion\n"
         "*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"" + a4Area + "\"\n"
         "*ImageableArea Letter/US Letter: \"18 36 594 756\"\n*DefaultPaperDimension: A4\n"
         "*PaperDimension A4/A4: \"595.28 841.89\"\n*PaperDimension Letter/US Letter: \"612 792\"\n";
}

bool SocketAnswers(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  close(fd);
  return ok;
}

}  // namespace

bool CupsDaemon::Start(std::string& error) {
  const std::string cupsd = FindCupsd();
  if (cupsd.empty()) {
    error = "cupsd is not installed (Debian package cups)";
    return false;
  }
  char pattern[] = "/tmp/tvcups-XXXXXX";  // short: the socket path must fit sockaddr_un
  if (!mkdtemp(pattern)) {
    error = "no temporary folder";
    return false;
  }
  root_ = pattern;
  for (const char* d : {"spool", "spool/tmp", "cache", "state", "log", "ppd", "out"}) fs::create_directories(root_ + "/" + d);
  // Filters run as the scheduler's unprivileged user and must reach the spool and the output.
  chmod(root_.c_str(), 0755);
  for (const char* d : {"/spool", "/spool/tmp", "/out"}) chmod((root_ + d).c_str(), 0777);

  std::ostringstream files;
  files << "FileDevice Yes\nServerRoot " << root_ << "\nRequestRoot " << root_ << "/spool\nTempDir " << root_
        << "/spool/tmp\nCacheDir " << root_ << "/cache\nStateDir " << root_ << "/state\nAccessLog " << root_
        << "/log/access_log\nErrorLog " << root_ << "/log/error_log\nPageLog " << root_
        << "/log/page_log\nPrintcap " << root_ << "/printcap\n";
  if (geteuid() != 0) {
    // Not root: the scheduler and its filters run as the current user.
    if (const passwd* pw = getpwuid(geteuid())) files << "User " << pw->pw_name << "\n";
    if (const group* gr = getgrgid(getegid())) files << "Group " << gr->gr_name << "\n";
  }
  Write(root_ + "/cups-files.conf", files.str());
  Write(root_ + "/cupsd.conf",
        "LogLevel info\nListen " + root_ + "/sock\nBrowsing Off\nDefaultAuthType None\nWebInterface No\n"
        "DefaultPaperSize A4\nMaxJobs 0\nPreserveJobHistory Yes\n"
        "PageLogFormat %p|%j|%{copies}|%{job-name}|%{media}|%{sides}|%{print-color-mode}\n"
        "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
        "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n  </Limit>\n</Policy>\n");
  Write(root_ + "/ppd-normal.ppd", Ppd("14.17 14.17 581.11 827.72"));
  Write(root_ + "/ppd-tight.ppd", Ppd("300 14.17 301 827.72"));

  setenv("CUPS_SERVER", (root_ + "/sock").c_str(), 1);
  const std::string conf = root_ + "/cupsd.conf", filesConf = root_ + "/cups-files.conf";
  const std::string log = root_ + "/log/stdout";
  pid_ = fork();
  if (pid_ == 0) {
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      dup2(fd, 1);
      dup2(fd, 2);
    }
    execl(cupsd.c_str(), "cupsd", "-f", "-c", conf.c_str(), "-s", filesConf.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid_ < 0) {
    error = "fork failed";
    return false;
  }
  bool up = false;
  for (int i = 0; i < 200 && !up; ++i) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      std::ifstream in(log);
      error = "cupsd exited: " + std::string(std::istreambuf_iterator<char>(in), {});
      return false;
    }
    up = SocketAnswers(root_ + "/sock");
    if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!up) {
    error = "cupsd did not open its socket";
    return false;
  }
  const std::string out = root_ + "/out/";
  if (Run("lpadmin -p tv-pdf -E -v file:" + out + "tv-pdf.pdf -P " + root_ + "/ppd-normal.ppd") != 0 ||
      Run("lpadmin -p tv-pdf-tight -E -v file:" + out + "tv-pdf-tight.pdf -P " + root_ + "/ppd-tight.ppd") != 0 ||
      Run("lpadmin -p tv-pdf -o media-default=iso_a4_210x297mm") != 0 ||
      Run("lpadmin -p tv-pdf-tight -o media-default=iso_a4_210x297mm") != 0 ||
      Run("lpadmin -d tv-pdf") != 0) {
    error = "lpadmin could not create the test queues";
    return false;
  }
  return true;
}

int CupsDaemon::Run(const std::string& commandLine) const {
  const std::string line = "CUPS_SERVER='" + root_ + "/sock' " + commandLine + " >>'" + root_ + "/log/tools' 2>&1";
  const int rc = std::system(line.c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string CupsDaemon::WaitForCompletedJobs(size_t count, int timeoutMs) const {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    std::ifstream in(root_ + "/log/page_log");
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);)
      if (!l.empty()) lines.push_back(l);
    if (lines.size() >= count) return lines.back();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < until);
  return "";
}

void CupsDaemon::Stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (waitpid(pid_, &status, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
    }
    pid_ = -1;
  }
  if (!root_.empty()) {
    std::error_code ec;
    fs::remove_all(root_, ec);
    root_.clear();
  }
}

}  // namespace tessivo::testing
