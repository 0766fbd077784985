// The progress line and the per-file lines of a batch run.
#include "batch_progress.h"

#include <cmath>
#include <cstdio>

namespace tessivo::cli {

namespace {
constexpr int kBarWidth = 30;
// Redrawing more often than this only costs time on a slow terminal.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
}  // namespace

std::string ClockText(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) return "--:--";
  long s = std::lround(seconds);
  char text[32];
  if (s >= 3600) std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  else std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}

BatchProgress::BatchProgress(std::ostream& out, bool terminal, std::size_t total)
    : out_(out), terminal_(terminal), total_(total) {
  if (terminal_) DrawBar();
}

double BatchProgress::ElapsedSeconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

void BatchProgress::FileDone(const std::string& input, bool ok) {
  ++done_;
  if (!ok) ++failed_;
  if (!terminal_) {
    // One write per line: the stream is unbuffered (standard error), and the parent's share of
    // the cores is taken from the workers.
    std::string line = "[" + std::to_string(done_) + "/" + std::to_string(total_) + "] " + input + ": " +
                       (ok ? "ok" : "FAILED") + "\n";
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    return;
  }
  auto now = std::chrono::steady_clock::now();
  if (done_ == total_ || now - drawn_ >= kRedrawInterval) DrawBar();
}

void BatchProgress::DrawBar() {
  drawn_ = std::chrono::steady_clock::now();
  double elapsed = ElapsedSeconds();
  double rate = elapsed > 0 ? static_cast<double>(done_) / elapsed : 0;
  double left = rate > 0 ? static_cast<double>(total_ - done_) / rate : NAN;
  int filled = total_ ? static_cast<int>(kBarWidth * done_ / total_) : kBarWidth;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  std::string failures = failed_ ? ", " + std::to_string(failed_) + " failed" : "";
  char line[192];
  std::snprintf(line, sizeof line, "\r[%s] %zu/%zu  %.1f files/s  %s left%s\x1b[K", bar.c_str(), done_, total_, rate,
                ClockText(left).c_str(), failures.c_str());
  out_ << line << std::flush;
}

void BatchProgress::Finish() {
  if (terminal_) {
    DrawBar();
    out_ << "\n";
  }
  out_.flush();
}

}  // namespace tessivo::cli
