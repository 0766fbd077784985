// tessivo: runs scripts of toolkit method calls against one Imaging control.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "batch.h"
#include "dispatch/catalog.h"
#include "demo_script.h"
#include "demo_pdf.h"
#include "demo_scanner.h"
#include "demo_servers.h"
#include "tessivo/host_surfaces.h"
#include "listing.h"
#include "runner.h"
#include "tee_stream.h"

namespace {

using namespace tessivo;
using namespace tessivo::cli;

constexpr const char* kUsage = R"(Usage: tessivo [--json] [--keep-going] COMMAND ...

Runs calls of the Tessivo imaging toolkit against one Imaging control.

Commands:
  run FILE               run a script (FILE '-' reads standard input)
  call METHOD ARG... [-- METHOD ARG...]...
                         run calls given on the command line
  batch SCRIPT FILE... [--jobs N] [--out DIR]
                         run a script once per file, in N worker processes (default:
                         one per core); the script sees $input (the file), $output (a
                         path in DIR with the file's name), $outdir and $name (the
                         file's name without folder and extension). Only files of runs
                         that succeed reach DIR (default: the current folder).
  methods [PATTERN]      list the methods with their parameters and defaults
  constants [PATTERN]    list the enumeration members scripts may name
  demo [OUTDIR]          run the built-in demonstration, writing into OUTDIR (default out)
  --help                 show this text

Options:
  --json                 print one JSON object per call:
                         {"method", "result", "status", "status_name", "out"};
                         for batch, one per file: {"input", "ok", "seconds",
                         "outputs"} or {"input", "ok", "seconds", "where", "error"}
  --keep-going           continue after a call whose status is not OK

Scripts hold one call per line: `Method arg, arg ...` or `$name = Method arg ...`.
Arguments: numbers (12, -3.5, 0xFF000000), "strings" ("" for a quote), True, False,
enumeration members (PixelFormat24bppRGB), $variables, arrays [1, 2, 3], and strings
joined with & ($outdir & "/a.png"). A $variable given for a by-reference parameter
receives the method's value. '#' starts a comment; a line `## text` prints text.
Method names and variables are compared without regard to case.

Each call prints `Method = RESULT  [STATUS]` and `  &param = VALUE` per by-reference
argument. Exit status: 0 all calls succeeded, 1 a call failed, 2 usage or script error.
)";

int Usage(const std::string& problem) {
  std::cerr << "tessivo: " << problem << "\n" << "Try 'tessivo --help'.\n";
  return ExitUsage;
}

int RunFile(const std::string& path, const RunOptions& options) {
  Imaging control;
  ScriptRunner runner(control, options, std::cout, std::cerr);
  if (path == "-") {
    runner.RunScript(std::cin, "<stdin>");
    return runner.Result();
  }
  std::ifstream file(path);
  if (!file) return Usage("cannot open script " + path);
  runner.RunScript(file, path);
  return runner.Result();
}

int RunCalls(const std::vector<std::string>& words, const RunOptions& options) {
  // Calls separated by "--".
  std::vector<std::vector<std::string>> calls(1);
  for (const std::string& w : words) {
    if (w == "--") calls.emplace_back();
    else calls.back().push_back(w);
  }
  for (const auto& call : calls)
    if (call.empty()) return Usage("call: empty call (a method name must follow 'call' and each '--')");

  Imaging control;
  ScriptRunner runner(control, options, std::cout, std::cerr);
  for (std::size_t i = 0; i < calls.size(); ++i) {
    Statement s;
    s.line = i + 1;
    s.method = calls[i][0];
    for (std::size_t k = 1; k < calls[i].size(); ++k) s.args.push_back(ParseCommandLineArgument(calls[i][k]));
    if (!runner.RunStatement(s, "call " + std::to_string(i + 1) + " (" + s.method + ")")) break;
  }
  return runner.Result();
}

int Demo(const std::string& outdir, const RunOptions& options) {
  std::error_code error;
  std::filesystem::create_directories(outdir, error);
  if (error) return Usage("demo: cannot create " + outdir + ": " + error.message());
  std::string transcriptPath = (std::filesystem::path(outdir) / "demo-transcript.txt").string();
  std::ofstream transcript(transcriptPath);
  TeeStream out(std::cout, transcript);

  Imaging control;
  ScriptRunner runner(control, options, out, std::cerr);
  runner.SetVariable("outdir", Variant(outdir));
  // The transfer section talks to loopback servers of its own, serving OUTDIR/served.
  DemoServers servers((std::filesystem::path(outdir) / "served").string());
  runner.SetVariable("httpport", Variant(static_cast<int32_t>(servers.httpPort())));
  runner.SetVariable("ftpport", Variant(static_cast<int32_t>(servers.ftpPort())));
  // The display section draws into a window of the host, read back through the toolkit.
  runner.SetVariable("window", Variant(host::CreateWindowSurface(480, 320, 0xFFE8E8E8u)));
  // The scanning section scans from SANE's test device, set up under OUTDIR/sane.
  if (!PrepareDemoScanner(outdir)) out << "scanner: could not write " << outdir << "/sane\n";
  // The PDF writer never replaces a file: the documents of an earlier run go first.
  for (const char* name : {"page.pdf", "page-archival.pdf", "built.pdf", "scanned.pdf"})
    std::filesystem::remove(std::filesystem::path(outdir) / name);
  std::istringstream script(kDemoScript);
  runner.RunScript(script, "demo.tvs");
  // The PDF writer's page, written directly until the PDF operations are methods.
  const std::string pdfPath = (std::filesystem::path(outdir) / "writer-sample.pdf").string();
  const std::string archivalPath = (std::filesystem::path(outdir) / "writer-archival.pdf").string();
  bool pdfWritten = true;
  for (const auto& [path, archival] : {std::pair{pdfPath, false}, std::pair{archivalPath, true}}) {
    const bool written = WriteDemoPdf(path, archival);
    out << (written ? "PDF writer: wrote " : "PDF writer: FAILED to write ") << path
        << (archival ? " (PDF/A-1b)" : "") << "\n";
    pdfWritten = pdfWritten && written;
  }
  out.flush();
  if (!options.json) std::cout << "(transcript written to " << transcriptPath << ")\n";
  if (!pdfWritten && runner.Result() == ExitSuccess) return ExitCallFailed;
  return runner.Result();
}

int List(bool methods, const std::string& pattern) {
  for (const std::string& p : dispatch::Catalog::Instance().Problems())
    std::cerr << "tessivo: type library problem: " << p << "\n";
  std::size_t listed = methods ? ListMethods(std::cout, pattern) : ListConstants(std::cout, pattern);
  if (listed == 0 && !pattern.empty())
    std::cerr << "tessivo: no " << (methods ? "method" : "constant") << " matches \"" << pattern << "\"\n";
  return ExitSuccess;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  RunOptions options;
  std::string command;
  std::vector<std::string> operands;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    // Options come before the command, or among a command's operands (not inside `call`'s
    // arguments, where every word belongs to a method).
    bool inCallArguments = command == "call" && !operands.empty();
    if (!inCallArguments && a == "--json") options.json = true;
    else if (!inCallArguments && a == "--keep-going") options.keepGoing = true;
    else if (!inCallArguments && (a == "--help" || a == "-h")) {
      std::cout << kUsage;
      return ExitSuccess;
    } else if (command.empty()) {
      if (a.size() > 1 && a[0] == '-') return Usage("unknown option " + a);
      command = a;
    } else {
      operands.push_back(a);
    }
  }

  if (command.empty()) return Usage("no command given");
  if (command == "help") {
    std::cout << kUsage;
    return ExitSuccess;
  }
  if (command == "run") {
    if (operands.size() != 1) return Usage("run takes one script file (or - for standard input)");
    return RunFile(operands[0], options);
  }
  if (command == "call") {
    if (operands.empty()) return Usage("call needs a method name");
    return RunCalls(operands, options);
  }
  if (command == "batch") {
    const int status = RunBatchCommand(operands, options);
    // Everything is written and the workers are gone; what an ordinary exit would still do is
    // run the exit-time destructors of the ~38 libraries, whose code is paged in only for that
    // (about 4 ms, all of it after the last file). Nothing of ours or theirs needs them.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    ::_exit(status);
  }
  if (command == "methods" || command == "constants") {
    if (operands.size() > 1) return Usage(command + " takes at most one pattern");
    return List(command == "methods", operands.empty() ? "" : operands[0]);
  }
  if (command == "demo") {
    if (operands.size() > 1) return Usage("demo takes at most one output folder");
    return Demo(operands.empty() ? "out" : operands[0], options);
  }
  return Usage("unknown command " + command);
}
