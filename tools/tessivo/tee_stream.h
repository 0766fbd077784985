// An output stream that writes to two others (the demo's console output and its transcript).
#pragma once
#include <ostream>
#include <streambuf>

namespace tessivo::cli {

class TeeBuffer : public std::streambuf {
 public:
  TeeBuffer(std::streambuf* first, std::streambuf* second) : first_(first), second_(second) {}

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    first_->sputc(static_cast<char>(c));
    if (second_) second_->sputc(static_cast<char>(c));
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    first_->sputn(s, n);
    if (second_) second_->sputn(s, n);
    return n;
  }
  int sync() override {
    first_->pubsync();
    if (second_) second_->pubsync();
    return 0;
  }

 private:
  std::streambuf* first_;
  std::streambuf* second_;
};

class TeeStream : public std::ostream {
 public:
  // A second stream that failed to open is left out.
  TeeStream(std::ostream& first, std::ostream& second)
      : std::ostream(nullptr), buffer_(first.rdbuf(), second ? second.rdbuf() : nullptr) {
    rdbuf(&buffer_);
  }

 private:
  TeeBuffer buffer_;
};

}  // namespace tessivo::cli
