#include "platform/Process.h"

#include <vector>

#include "platform/Win32Api.h"

namespace {

void CloseIf(void*& handle) {
  if (handle) Win32.CloseHandle(handle);
  handle = nullptr;
}

}  // namespace

TChildProcess::~TChildProcess() {
  Terminate();
  Close();
}

bool TChildProcess::Start(const std::wstring& program, const std::wstring& arguments) {
  Close();
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE childIn = nullptr, ourIn = nullptr, ourOut = nullptr, childOut = nullptr;
  if (!Win32.CreatePipe(&childIn, &ourIn, &inherit, 64 * 1024)) return false;
  if (!Win32.CreatePipe(&ourOut, &childOut, &inherit, 64 * 1024)) {
    Win32.CloseHandle(childIn);
    Win32.CloseHandle(ourIn);
    return false;
  }
  // Only the child's ends are inherited.
  Win32.SetHandleInformation(ourIn, HANDLE_FLAG_INHERIT, 0);
  Win32.SetHandleInformation(ourOut, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = childIn;
  startup.hStdOutput = childOut;
  startup.hStdError = nullptr;
  std::wstring command = L"\"" + program + L"\" " + arguments;
  std::vector<wchar_t> line(command.begin(), command.end());
  line.push_back(L'\0');
  PROCESS_INFORMATION info = {};
  const BOOL started = Win32.CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                                            CREATE_NO_WINDOW | BELOW_NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                                            &startup, &info);
  Win32.CloseHandle(childIn);
  Win32.CloseHandle(childOut);
  if (!started) {
    Win32.CloseHandle(ourIn);
    Win32.CloseHandle(ourOut);
    return false;
  }
  Win32.CloseHandle(info.hThread);
  process_ = info.hProcess;
  input_ = ourIn;
  output_ = ourOut;
  return true;
}

bool TChildProcess::Send(std::string_view bytes) {
  while (input_ && !bytes.empty()) {
    DWORD written = 0;
    if (!Win32.WriteFile(input_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written == 0)
      return false;
    bytes.remove_prefix(written);
  }
  return input_ != nullptr;
}

void TChildProcess::CloseInput() { CloseIf(input_); }

bool TChildProcess::Receive(std::string& out) {
  for (;;) {
    DWORD available = 0;
    if (!output_ || !Win32.PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr)) return false;
    if (available == 0) return true;
    char buffer[4096];
    DWORD got = 0;
    if (!Win32.ReadFile(output_, buffer, available < sizeof buffer ? available : sizeof buffer, &got, nullptr) ||
        got == 0)
      return false;
    out.append(buffer, got);
  }
}

bool TChildProcess::WaitForEnd(uint32_t ms) {
  return !process_ || Win32.WaitForSingleObject(process_, ms) == WAIT_OBJECT_0;
}

void TChildProcess::Terminate() {
  if (process_ && Win32.WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
    Win32.TerminateProcess(process_, 1);
    Win32.WaitForSingleObject(process_, 2000);
  }
}

void TChildProcess::Close() {
  CloseIf(input_);
  CloseIf(output_);
  CloseIf(process_);
}
