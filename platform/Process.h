// A child program with its standard input and output on pipes, through
// the Win32 table: the plugin's thumbnail worker.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TChildProcess {
 public:
  TChildProcess() = default;
  // Ends the child if it still runs.
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  // Starts the program with its command line (the program's own path is
  // put first); its standard error goes nowhere. False when it cannot start.
  bool Start(const std::wstring& program, const std::wstring& arguments);
  // Writes the bytes to the child's input; false when the child no longer
  // reads it.
  bool Send(std::string_view bytes);
  // Tells the child that no more input comes.
  void CloseInput();
  // Appends what the child has written so far, without waiting; false
  // when its output is closed (it has ended).
  bool Receive(std::string& out);
  // Waits up to ms for the child to end; true when it has.
  bool WaitForEnd(uint32_t ms);
  // Ends the child at once.
  void Terminate();
  bool Started() const { return process_ != nullptr; }

 private:
  void Close();
  void* process_ = nullptr;
  void* input_ = nullptr;   // our end of the child's standard input
  void* output_ = nullptr;  // our end of its standard output
};
