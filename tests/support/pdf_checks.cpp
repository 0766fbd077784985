#include <gtest/gtest.h>

#include "support/pdf_checks.h"

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tessivo::testing {

CommandResult RunCommand(const std::string& commandLine) {
  CommandResult result;
  std::FILE* pipe = ::popen((commandLine + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = ::pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') quoted += "'\\''";
    else quoted += c;
  }
  return quoted + "'";
}

::testing::AssertionResult PdfIsValid(const std::string& path) {
  CommandResult check = RunCommand("qpdf --check " + ShellQuote(path));
  // qpdf exits 0 when clean, 3 on warnings; both are failures for a document we wrote.
  if (check.exitCode != 0 || check.output.find("No syntax or stream encoding errors") == std::string::npos)
    return ::testing::AssertionFailure() << "qpdf --check " << path << " (exit " << check.exitCode
                                         << "):\n" << check.output;
  CommandResult info = RunCommand("pdfinfo " + ShellQuote(path));
  if (info.exitCode != 0 || info.output.find("Syntax Error") != std::string::npos ||
      info.output.find("Syntax Warning") != std::string::npos)
    return ::testing::AssertionFailure() << "pdfinfo " << path << " (exit " << info.exitCode
                                         << "):\n" << info.output;
  return ::testing::AssertionSuccess();
}

std::string PdfInfo(const std::string& path) { return RunCommand("pdfinfo " + ShellQuote(path)).output; }

std::string PdfText(const std::string& path) {
  return RunCommand("pdftotext -layout " + ShellQuote(path) + " -").output;
}

std::string PdfImagesList(const std::string& path) {
  return RunCommand("pdfimages -list " + ShellQuote(path)).output;
}

int RenderedGrey(const std::string& path, int dpi, int x, int y) {
  std::string prefix = path + ".render";
  CommandResult r = RunCommand("pdftoppm -gray -r " + std::to_string(dpi) + " -f 1 -l 1 -singlefile " +
                               ShellQuote(path) + " " + ShellQuote(prefix));
  if (r.exitCode != 0) return -1;
  std::ifstream in(prefix + ".pgm", std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maxValue = 0;
  in >> magic >> width >> height >> maxValue;
  in.get();
  if (magic != "P5" || x < 0 || y < 0 || x >= width || y >= height) return -1;
  std::string pixels((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove((prefix + ".pgm").c_str());
  size_t index = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  return index < pixels.size() ? static_cast<unsigned char>(pixels[index]) : -1;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string UncompressedDocument(const std::string& path) {
  std::string out = path + ".qdf";
  RunCommand("qpdf --qdf --object-streams=disable " + ShellQuote(path) + " " + ShellQuote(out));
  std::string text = ReadText(out);
  std::remove(out.c_str());
  return text;
}

}  // namespace tessivo::testing
