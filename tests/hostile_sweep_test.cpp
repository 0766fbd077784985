// Every method of the type library, called through late binding with hostile arguments, in
// several starting states. A call may fail, but it must not crash, hang, trip a sanitizer, leave
// a file behind, or change the image when it reports that it did not do its work. New methods are
// covered the day they are registered: nothing here names a method.
//
// Each state runs in a child process (a crash or sanitizer abort ends only the child); the child
// announces each call on a pipe before making it, so the parent knows which call crashed or hung,
// notes it and starts a new child after it.
#include <gtest/gtest.h>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "core/image_registry.h"
#include "dispatch/catalog.h"
#include "platform/pixel_format.h"
#include "support/pixel_images.h"
#include "tessivo/imaging.h"

#if defined(__SANITIZE_ADDRESS__)
#define TESSIVO_SWEEP_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSIVO_SWEEP_SANITIZED 1
#endif
#endif

extern "C" int __lsan_do_recoverable_leak_check() __attribute__((weak));

namespace tessivo {
namespace {

namespace fs = std::filesystem;
using dispatch::Catalog;
using dispatch::MethodEntry;
using dispatch::Parameter;
using dispatch::ValueKind;

#ifdef TESSIVO_SWEEP_SANITIZED
constexpr int kCallTimeoutSeconds = 90;
#else
constexpr int kCallTimeoutSeconds = 30;
#endif
constexpr size_t kMaxReportedFailures = 40;

enum class StartState { NoImage, Rgb24, Bilevel, Indexed8, Document };

const char* StateName(StartState s) {
  switch (s) {
    case StartState::NoImage: return "no image";
    case StartState::Rgb24: return "24-bit image";
    case StartState::Bilevel: return "1-bit image";
    case StartState::Indexed8: return "8-bit indexed image";
    case StartState::Document: return "three-page document";
  }
  return "?";
}

// Sets the starting state up; returns the image the call works on (0 when none).
int32_t SetUp(cImaging& im, StartState state) {
  if (state == StartState::NoImage) return 0;
  const int32_t w = 37, h = 23;
  const int32_t id = testing::MakeImage(im, w, h, testing::NoisePixels(static_cast<size_t>(w) * h));
  im.ConvertTo24BppRGB();
  if (state == StartState::Bilevel) im.ConvertTo1Bpp();
  if (state == StartState::Indexed8) im.ConvertTo8BppGrayScale();
  if (state != StartState::Document) return id;
  const int32_t second = testing::UniformImage(im, 20, 30, testing::Grey(200));
  const int32_t third = testing::UniformImage(im, 15, 10, testing::Rgb(10, 200, 30));
  const int32_t doc = im.TiffCreateMultiPageFromTessivoImage(id);
  im.TiffAppendPageFromTessivoImage(doc, second);
  im.TiffAppendPageFromTessivoImage(doc, third);
  im.SetNativeImage(doc);
  return doc;
}

// What a failing call must leave as it was: size, format, palette and every pixel byte.
struct ImageSnapshot {
  bool present = false;
  int32_t width = 0, height = 0;
  int32_t format = 0;
  std::vector<uint32_t> palette;
  std::vector<uint8_t> bytes;

  static ImageSnapshot Of(int32_t id) {
    ImageSnapshot s;
    const platform::Bitmap* b = id != 0 ? ResolveImage(id) : nullptr;
    if (b == nullptr) return s;
    s.present = true;
    s.width = b->Width();
    s.height = b->Height();
    s.format = static_cast<int32_t>(b->Format());
    s.palette = b->GetPalette().entries;
    const size_t rowBytes = (static_cast<size_t>(b->Width()) * platform::BitsPerPixel(b->Format()) + 7) / 8;
    for (int32_t y = 0; y < b->Height(); ++y) s.bytes.insert(s.bytes.end(), b->Row(y), b->Row(y) + rowBytes);
    return s;
  }
  bool operator==(const ImageSnapshot&) const = default;
};

// The hostile argument sets. Set k gives every parameter of one type the same kind of value;
// the second half passes the real image to image-ID parameters so the call gets past the lookup.
// The last kind is small plausible values, so calls get past their checks into the work itself.
constexpr int kValueKinds = 6;
constexpr int kPlausible = kValueKinds - 1;
constexpr int kArgumentSets = 2 * kValueKinds;

bool IsImageIdParameter(const std::string& name) {
  return name == "nImageID" || name == "nSrcImageID" || name == "nAddImageID" || name == "nTextureImageID";
}

template <typename T>
SafeArray<T> HostileArray(int kind, T element) {
  switch (kind) {
    case 0: return SafeArray<T>();                                      // unallocated
    case 1: return SafeArray<T>::FromVector({element});                 // one element
    case 2: return SafeArray<T>::FromVector({element, element, element});  // odd length
    case 3: return SafeArray<T>::FromVector({element, element}, std::numeric_limits<int32_t>::max() - 1);
    case 4: return SafeArray<T>({ArrayBound{0, 3}, ArrayBound{0, 3}});  // 2-D, second dimension not 2
    default: return SafeArray<T>::FromVector({element, element, element, element});
  }
}

struct HostilePaths {
  std::string missing;     // in a folder that does not exist
  std::string unwritable;  // nobody, not even root, can create it
};

Variant HostileValue(const Parameter& p, int set, int32_t imageId, const HostilePaths& paths) {
  const int kind = set % kValueKinds;
  if (set >= kValueKinds && IsImageIdParameter(p.name) && !p.type.array) return Variant(imageId);
  static const int32_t kLongs[kValueKinds] = {0, -1, std::numeric_limits<int32_t>::min(),
                                              std::numeric_limits<int32_t>::max(), 65536, 3};
  static const int16_t kIntegers[kValueKinds] = {0, -1, std::numeric_limits<int16_t>::min(),
                                                 std::numeric_limits<int16_t>::max(), 256, 1};
  static const uint8_t kBytes[kValueKinds] = {0, 255, 0, 255, 128, 1};
  static const double kReals[kValueKinds] = {0.0, std::nan(""), -HUGE_VAL, HUGE_VAL, 1e30, 0.5};
  const std::string strings[kValueKinds] = {"", std::string(5000, 'x'), paths.missing, paths.unwritable,
                                            std::string(5000, '\xC3'), "a"};
  if (p.type.array) {
    switch (p.type.kind) {
      case ValueKind::Byte: return Variant(HostileArray<uint8_t>(kind, kBytes[kind]));
      case ValueKind::Integer: return Variant(HostileArray<int16_t>(kind, kIntegers[kind]));
      case ValueKind::Single: return Variant(HostileArray<float>(kind, static_cast<float>(kReals[kind])));
      case ValueKind::Double: return Variant(HostileArray<double>(kind, kReals[kind]));
      case ValueKind::String: return Variant(HostileArray<std::string>(kind, strings[kind]));
      default: return Variant(HostileArray<int32_t>(kind, kLongs[kind]));
    }
  }
  switch (p.type.kind) {
    case ValueKind::Boolean: return Variant(kind % 2 == 1);
    case ValueKind::Byte: return Variant(kBytes[kind]);
    case ValueKind::Integer: return Variant(kIntegers[kind]);
    case ValueKind::LongPtr: return Variant(int64_t{0});  // addresses: only the null one is safe
    case ValueKind::Single: return Variant(static_cast<float>(kReals[kind]));
    case ValueKind::Double: return Variant(kReals[kind]);
    case ValueKind::String: return Variant(strings[kind]);
    default: return Variant(kLongs[kind]);
  }
}

std::vector<std::string> FolderEntries(const fs::path& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec)) names.push_back(e.path().filename().string());
  return names;
}

void Send(int fd, const std::string& line) {
  const std::string text = line + "\n";
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) _exit(3);
    done += static_cast<size_t>(n);
  }
}

std::string Describe(const MethodEntry& m, int set) {
  return m.name + " with argument set " + std::to_string(set);
}

// The child: calls methods[first..] in `state`, announcing each, and reports check failures.
[[noreturn]] void RunChild(int fd, StartState state, size_t first, const fs::path& work) {
  const fs::path tmp = work / "tmp";
  const fs::path cwd = work / "cwd";
  fs::create_directories(tmp);
  fs::create_directories(cwd);
  setenv("TMPDIR", tmp.c_str(), 1);
  // Outside services the sweep must never reach: an empty scanner configuration, no print server.
  const fs::path sane = work / "sane";
  fs::create_directories(sane);
  setenv("SANE_CONFIG_DIR", sane.c_str(), 1);
  setenv("CUPS_SERVER", (work / "no-cups.sock").c_str(), 1);
  if (chdir(cwd.c_str()) != 0) _exit(4);
  const HostilePaths paths{(work / "missing-folder" / "x.tif").string(), "/proc/tessivo-sweep/x.tif"};

  const std::vector<MethodEntry>& methods = Catalog::Instance().Methods();
  const size_t total = methods.size() * kArgumentSets;
  for (size_t task = first; task < total; ++task) {
    const MethodEntry& method = methods[task / kArgumentSets];
    const int set = static_cast<int>(task % kArgumentSets);
    Send(fd, "B " + std::to_string(task));
    {
      cImaging im;
      const int32_t image = SetUp(im, state);
      const ImageSnapshot before = ImageSnapshot::Of(image);
      const bool readyBefore = state == StartState::NoImage || im.GetStat() == OK;
      std::vector<Variant> args;
      for (const Parameter& p : method.params) args.push_back(HostileValue(p, set, image, paths));
      const InvokeResult result = im.Invoke(method.name, args);
      // A call that ran and reports failure must leave its image as it was. (An image it closed
      // or replaced on success is not checked; a failure that removed the image is.)
      if (readyBefore && before.present && (!result.ok() || im.GetStat() != OK) &&
          !(ImageSnapshot::Of(image) == before))
        Send(fd, "F " + Describe(method, set) + " reported failure (status " + std::to_string(im.GetStat()) +
                     (result.ok() ? "" : ", " + result.message) + ") but changed the " + StateName(state));
      im.RemoveAllImage();
    }
    for (const fs::path& dir : {tmp, cwd}) {
      const std::vector<std::string> left = FolderEntries(dir);
      // Plausible strings name a file in the working folder, which a save may rightly write.
      const bool mayWrite = dir == cwd && set % kValueKinds == kPlausible;
      if (!left.empty() && !mayWrite) {
        Send(fd, "F " + Describe(method, set) + " left " + left.front() + " in " +
                     (dir == tmp ? "$TMPDIR" : "the working folder"));
      }
      for (const std::string& name : left) fs::remove_all(dir / name);
    }
  }
  if (__lsan_do_recoverable_leak_check != nullptr && __lsan_do_recoverable_leak_check() != 0)
    Send(fd, "F leak report after the sweep (see the output above)");
  Send(fd, "E");
  _exit(0);
}

struct ChildOutcome {
  bool finished = false;   // sent "E"
  size_t announced = 0;    // calls begun
  long lastStarted = -1;   // task announced last
  std::string why;         // crash or hang description
};

ChildOutcome WatchChild(pid_t pid, int fd, std::vector<std::string>& failures) {
  ChildOutcome out;
  std::string pending;
  char buf[4096];
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, kCallTimeoutSeconds * 1000);
    if (ready == 0) {
      kill(pid, SIGKILL);
      out.why = "did not return within " + std::to_string(kCallTimeoutSeconds) + " s";
      break;
    }
    const ssize_t n = ready < 0 ? -1 : read(fd, buf, sizeof buf);
    if (n <= 0) break;
    pending.append(buf, static_cast<size_t>(n));
    size_t eol;
    while ((eol = pending.find('\n')) != std::string::npos) {
      const std::string line = pending.substr(0, eol);
      pending.erase(0, eol + 1);
      if (line.rfind("B ", 0) == 0) {
        out.lastStarted = std::stol(line.substr(2));
        ++out.announced;
      }
      else if (line.rfind("F ", 0) == 0) failures.push_back(line.substr(2));
      else if (line == "E") out.finished = true;
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!out.finished && out.why.empty()) {
    if (WIFSIGNALED(status)) out.why = std::string("crashed with signal ") + strsignal(WTERMSIG(status));
    else out.why = "ended with exit status " + std::to_string(WEXITSTATUS(status)) + " (a sanitizer report?)";
  }
  return out;
}

class HostileSweep : public ::testing::TestWithParam<StartState> {};

TEST_P(HostileSweep, EveryMethodSurvivesHostileArguments) {
  const Catalog& catalog = Catalog::Instance();
  ASSERT_GT(catalog.Methods().size(), 100u);
  const size_t total = catalog.Methods().size() * kArgumentSets;
  const char* base = std::getenv("TMPDIR");
  std::string templ = std::string(base && *base ? base : "/tmp") + "/tessivo-sweep-XXXXXX";
  std::vector<char> dirName(templ.begin(), templ.end());
  dirName.push_back('\0');
  ASSERT_NE(mkdtemp(dirName.data()), nullptr) << templ;
  const fs::path work = dirName.data();

  std::vector<std::string> failures;
  size_t next = 0, announced = 0;
  while (next < total && failures.size() < kMaxReportedFailures) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::fflush(nullptr);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(fds[0]);
      RunChild(fds[1], GetParam(), next, work / ("run" + std::to_string(next)));
    }
    close(fds[1]);
    const ChildOutcome outcome = WatchChild(pid, fds[0], failures);
    close(fds[0]);
    announced += outcome.announced;
    if (outcome.finished) break;
    if (outcome.lastStarted < 0) {
      failures.push_back("the sweep child " + outcome.why + " before its first call");
      break;
    }
    const size_t task = static_cast<size_t>(outcome.lastStarted);
    const MethodEntry& m = catalog.Methods()[task / kArgumentSets];
    failures.push_back(Describe(m, static_cast<int>(task % kArgumentSets)) + " " + outcome.why);
    next = task + 1;
  }
  std::error_code ec;
  fs::remove_all(work, ec);
  if (failures.size() < kMaxReportedFailures) {
    EXPECT_EQ(announced, total) << "calls made";
  }
  for (const std::string& f : failures) ADD_FAILURE() << StateName(GetParam()) << ": " << f;
}

INSTANTIATE_TEST_SUITE_P(States, HostileSweep,
                         ::testing::Values(StartState::NoImage, StartState::Rgb24, StartState::Bilevel,
                                           StartState::Indexed8, StartState::Document),
                         [](const ::testing::TestParamInfo<StartState>& info) {
                           switch (info.param) {
                             case StartState::NoImage: return std::string("NoImage");
                             case StartState::Rgb24: return std::string("Rgb24");
                             case StartState::Bilevel: return std::string("Bilevel");
                             case StartState::Indexed8: return std::string("Indexed8");
                             case StartState::Document: return std::string("Document");
                           }
                           return std::string("Unknown");
                         });

}  // namespace
}  // namespace tessivo

