// Where a page writer puts its text. A page is written as pieces and lines;
// a line ends with CR LF whatever the platform.
#pragma once

#include <string>
#include <string_view>

// Raised by a sink that cannot write; the page job catches it and does not
// open the page.
struct TWriteError {};

class TPageSink {
 public:
  virtual ~TPageSink() = default;
  virtual void Write(std::string_view text) = 0;

  void Piece(std::string_view text) { Write(text); }
  void Line(std::string_view text) {
    Write(text);
    Write("\r\n");
  }
};

// Keeps the page in memory (tests, fuzzing).
class TStringSink final : public TPageSink {
 public:
  void Write(std::string_view text) override { Text.append(text); }
  std::string Text;
};
