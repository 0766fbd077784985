// Checks of written PDF documents with the usual command-line tools (qpdf, poppler's
// pdfinfo, pdftotext, pdfimages, pdftoppm) and helpers to read the raw bytes back.
#pragma once
#include <string>

namespace tessivo::testing {

struct CommandResult {
  int exitCode = -1;
  std::string output;  // standard output and standard error
};
// Runs a shell command line and collects what it prints.
CommandResult RunCommand(const std::string& commandLine);
// Quotes a path for the shell.
std::string ShellQuote(const std::string& text);

// The document passes "qpdf --check" and opens in pdfinfo; both outputs are returned joined
// for further checks. A missing tool makes the check fail.
::testing::AssertionResult PdfIsValid(const std::string& path);
std::string PdfInfo(const std::string& path);
std::string PdfText(const std::string& path);
std::string PdfImagesList(const std::string& path);
// Renders page 1 at `dpi` as greyscale and returns the value of the pixel (x, y), -1 on error.
int RenderedGrey(const std::string& path, int dpi, int x, int y);

std::string ReadText(const std::string& path);
// The bytes of every stream of the document after qpdf has decompressed them
// (qpdf --qdf --object-streams=disable), for content checks.
std::string UncompressedDocument(const std::string& path);

}  // namespace tessivo::testing
