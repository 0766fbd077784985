// Lexing and parsing of script lines.
#include "script.h"

#include <cctype>

#include "dispatch/literal.h"
#include "dispatch/text_case.h"

namespace tessivo::cli {

namespace {

struct Token {
  enum Kind { End, Variable, Name, Literal, Equals, OpenBracket, CloseBracket, Comma, Ampersand } kind = End;
  std::string text;
  Variant value;
  std::size_t column = 0;  // 1-based
};

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  Token Next() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r')) ++pos_;
    Token t;
    t.column = pos_ + 1;
    if (pos_ >= text_.size() || text_[pos_] == '#') return t;
    char c = text_[pos_];
    char next = pos_ + 1 < text_.size() ? text_[pos_ + 1] : '\0';
    switch (c) {
      case '=': ++pos_; t.kind = Token::Equals; return t;
      case '[': ++pos_; t.kind = Token::OpenBracket; return t;
      case ']': ++pos_; t.kind = Token::CloseBracket; return t;
      case ',': ++pos_; t.kind = Token::Comma; return t;
      case '"': return String(t);
      case '$': {
        ++pos_;
        std::size_t start = pos_;
        while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
        if (start == pos_ || !IsNameStart(text_[start])) Fail(t.column, "a variable name must follow $");
        t.kind = Token::Variable;
        t.text = std::string(text_.substr(start, pos_ - start));
        return t;
      }
      case '&':
        if ((next == 'H' || next == 'h') && pos_ + 2 < text_.size() && IsHexDigit(text_[pos_ + 2])) return Number(t);
        ++pos_;
        t.kind = Token::Ampersand;
        return t;
      default: break;
    }
    if (IsDigit(c) || ((c == '-' || c == '+' || c == '.') && (IsDigit(next) || next == '.' || next == '&')))
      return Number(t);
    if (IsNameStart(c)) {
      std::size_t start = pos_;
      while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
      t.kind = Token::Name;
      t.text = std::string(text_.substr(start, pos_ - start));
      return t;
    }
    Fail(t.column, std::string("unexpected character '") + c + "'");
  }

  [[noreturn]] static void Fail(std::size_t column, const std::string& what) {
    throw ScriptError("column " + std::to_string(column) + ": " + what);
  }

 private:
  Token String(Token& t) {
    std::size_t start = pos_++;
    while (true) {
      if (pos_ >= text_.size()) Fail(t.column, "string without its closing quote");
      if (text_[pos_] == '"') {
        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
          pos_ += 2;
          continue;
        }
        ++pos_;
        break;
      }
      ++pos_;
    }
    t.kind = Token::Literal;
    t.text = std::string(text_.substr(start, pos_ - start));
    t.value = Variant(*dispatch::UnquoteString(t.text));
    return t;
  }

  Token Number(Token& t) {
    std::size_t start = pos_;
    if (text_[pos_] == '-' || text_[pos_] == '+') ++pos_;
    bool hex = pos_ + 1 < text_.size() && (text_[pos_] == '&' || (text_[pos_] == '0' && (text_[pos_ + 1] == 'x' || text_[pos_ + 1] == 'X')));
    if (hex) pos_ += 2;
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      bool exponentSign = !hex && (c == '+' || c == '-') && (text_[pos_ - 1] == 'e' || text_[pos_ - 1] == 'E');
      if (!(IsNameChar(c) || c == '.' || exponentSign)) break;
      ++pos_;
    }
    t.text = std::string(text_.substr(start, pos_ - start));
    std::optional<Variant> value = dispatch::ParseNumber(t.text);
    if (!value) Fail(t.column, "'" + t.text + "' is not a number");
    t.kind = Token::Literal;
    t.value = std::move(*value);
    return t;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

class Parser {
 public:
  explicit Parser(std::string_view text) : lexer_(text) { Advance(); }

  Statement ParseStatement(std::size_t lineNumber) {
    Statement s;
    s.line = lineNumber;
    if (current_.kind == Token::Variable) {
      s.assignTo = current_.text;
      Advance();
      if (current_.kind != Token::Equals) Lexer::Fail(current_.column, "expected = after $" + s.assignTo);
      Advance();
    }
    if (current_.kind != Token::Name) Lexer::Fail(current_.column, "expected a method name");
    s.method = current_.text;
    Advance();
    while (current_.kind != Token::End) {
      s.args.push_back(ParseExpression());
      if (current_.kind == Token::Comma) Advance();
    }
    return s;
  }

  Expression ParseExpression() {
    Expression e;
    e.terms.push_back(ParseTerm());
    while (current_.kind == Token::Ampersand) {
      Advance();
      e.terms.push_back(ParseTerm());
    }
    return e;
  }

  bool AtEnd() const { return current_.kind == Token::End; }
  std::size_t Column() const { return current_.column; }

 private:
  Term ParseTerm() {
    Term t;
    switch (current_.kind) {
      case Token::Literal:
        t.literal = current_.value;
        break;
      case Token::Variable:
        t.kind = Term::Variable;
        t.name = current_.text;
        break;
      case Token::Name:
        if (dispatch::EqualsIgnoringCase(current_.text, "True") || dispatch::EqualsIgnoringCase(current_.text, "False")) {
          t.literal = Variant(dispatch::EqualsIgnoringCase(current_.text, "True"));
        } else {
          t.kind = Term::Name;
          t.name = current_.text;
        }
        break;
      case Token::OpenBracket: {
        t.kind = Term::Array;
        std::size_t column = current_.column;
        Advance();
        while (current_.kind != Token::CloseBracket) {
          if (current_.kind == Token::End) Lexer::Fail(column, "array without its closing ]");
          if (current_.kind == Token::OpenBracket) Lexer::Fail(current_.column, "arrays inside arrays are not supported");
          t.elements.push_back(ParseExpression());
          if (current_.kind == Token::Comma) Advance();
          else if (current_.kind != Token::CloseBracket) Lexer::Fail(current_.column, "expected , or ] in the array");
        }
        break;
      }
      default:
        Lexer::Fail(current_.column, "expected an argument");
    }
    Advance();
    return t;
  }

  void Advance() { current_ = lexer_.Next(); }

  Lexer lexer_;
  Token current_;
};

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

}  // namespace

ScriptLine ParseLine(std::string_view line, std::size_t lineNumber) {
  ScriptLine result;
  std::string_view body = TrimLeft(line);
  if (body.substr(0, 2) == "##") {
    result.kind = ScriptLine::Narration;
    std::string_view text = TrimLeft(body.substr(2));
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.remove_suffix(1);
    result.narration = std::string(text);
    return result;
  }
  Parser parser(line);
  if (parser.AtEnd()) return result;
  result.kind = ScriptLine::Call;
  result.statement = parser.ParseStatement(lineNumber);
  return result;
}

Expression ParseCommandLineArgument(std::string_view token) {
  Term word;
  word.literal = Variant(std::string(token));
  if (!token.empty()) {
    char c = token.front();
    bool structured = c == '[' || c == '$' || c == '"' || c == '-' || c == '+' || c == '.' || c == '&' || IsDigit(c) ||
                      IsNameStart(c);
    // '#' would start a comment in a script; on the command line it is part of the word.
    if (c != '"' && token.find('#') != std::string_view::npos) structured = false;
    if (structured) {
      try {
        Parser parser(token);
        Expression e = parser.ParseExpression();
        // A single term only: on the command line & belongs to the word ("a&b.tif").
        if (parser.AtEnd() && e.terms.size() == 1) {
          for (Term& t : e.terms)
            if (t.kind == Term::Name) t.unknownNameIsString = true;
          return e;
        }
      } catch (const ScriptError&) {
        // Not script syntax: the word itself, e.g. a file name like 2024-scan.tif.
      }
    }
  }
  Expression e;
  e.terms.push_back(std::move(word));
  return e;
}

}  // namespace tessivo::cli
