// Where a page writer puts its text. A page is written as pieces and lines;
// a line ends with CR LF whatever the platform.
#pragma once

#include <string>
#include <string_view>

class TPageSink {
 public:
  virtual ~TPageSink() = default;
  virtual void Write(std::string_view text) = 0;
  // False from the first write that did not reach the page on; the writers
  // stop there, and the page job does not open the page.
  virtual bool Ok() const { return true; }

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
