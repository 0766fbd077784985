// The script language of `tessivo`: one call per line,
//
//   Method arg arg ...            # a comment
//   $name = Method arg, arg ...
//   ## narration, printed when reached
//
// Arguments are separated by blanks or commas. An argument is a number (12, -3.5, 1E3, 0xFF,
// &HFF), a "quoted string" ("" inside for a quote), True / False, an enumeration member name
// (PixelFormat24bppRGB), a $variable, an array [a, b, c] of such values, or strings joined with
// & ($dir & "/image.png"). A $variable passed where the method takes a by-reference parameter
// receives the method's value; $name = Method stores the result.
#pragma once
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tessivo/variant.h"

namespace tessivo::cli {

struct Expression;

struct Term {
  enum Kind { Literal, Variable, Name, Array } kind = Literal;
  Variant literal;                   // Literal
  std::string name;                  // Variable (without $) or Name
  bool unknownNameIsString = false;  // Name from the command line: a plain word if no constant
  std::vector<Expression> elements;  // Array
};

// One term, or several joined by & into one string.
struct Expression {
  std::vector<Term> terms;
  // The variable a by-reference parameter may write back to: set only for a lone $variable.
  const std::string* LoneVariable() const {
    return terms.size() == 1 && terms[0].kind == Term::Variable ? &terms[0].name : nullptr;
  }
};

struct Statement {
  std::size_t line = 0;
  std::string assignTo;  // variable name without $, or empty
  std::string method;
  std::vector<Expression> args;
};

// A line of the script, classified.
struct ScriptLine {
  enum Kind { Blank, Narration, Call } kind = Blank;
  std::string narration;  // Narration: the text after "## "
  Statement statement;    // Call
};

class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses one line (without its line break). Throws ScriptError with a message that says what
// is wrong and where in the line.
ScriptLine ParseLine(std::string_view line, std::size_t lineNumber);

// One argument of `tessivo call`, as the shell passed it: numbers, True / False, [arrays],
// $variables and "quoted strings" are read as in scripts, enumeration member names as such
// (the caller resolves them), any other word is a string, so file names need no quotes.
Expression ParseCommandLineArgument(std::string_view token);

}  // namespace tessivo::cli
