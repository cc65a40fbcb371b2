// Shared pieces of the tests that drive the plugin under Wine.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tools/hostemu/HostBench.h"

namespace testsupport {

std::string BinDir();          // the folder of the test program, DLL and tools
std::string DllPath();
std::string SourceDir();       // the project's folder, as a Windows path
std::string OpenLogPath();     // where the registered page handler records
// The record of the page's opening, waiting up to ten seconds for it; an
// empty record when the page was not opened.
TOpenRecord WaitForOpen(const std::string& page);
std::string Slurp(const std::string& path);
// The built-in page's home-link line: the user guide beside the DLL.
std::string HomeLine(const std::string& guide = "Galvora-en.html");
void WriteFile(const std::string& path, const std::string& bytes);
std::vector<std::string> Lines(const std::string& text);  // split at CR LF
std::wstring Wide(const std::string& ansi);
std::string Ansi(const std::wstring& wide);
// The clipboard's Unicode text; false when it holds none.
bool ClipboardUnicode(std::wstring& text);
// True when this run has another plugin's shared MinGW runtime loaded
// (--preload-shared-runtime), before any copy of the DLL.
bool SharedRuntimeLoaded();

// Registry values as raw type and bytes.
struct TRegValue {
  bool Exists = false;
  DWORD Type = 0;
  std::string Data;
};
TRegValue ReadValue(const std::string& keyPath, const std::string& name);
void SetValue(const std::string& keyPath, const std::string& name, DWORD type, const std::string& data);
void SetDword(const std::string& keyPath, const std::string& name, uint32_t value);
std::string Dword(uint32_t value);  // the four little-endian bytes
void DeleteKeyTree(const std::string& keyPath);
// Removes a folder (ending in a backslash) and everything in it.
void RemoveTree(const std::wstring& folder);

// A fresh folder below the system temporary folder; removed with its content.
class TScratchFolder {
 public:
  TScratchFolder();
  ~TScratchFolder();
  const std::string& Path() const { return path_; }  // ends in a backslash
  std::string Make(const std::string& name, const std::string& bytes) const;
  std::vector<std::string> Pages() const;  // names of galv*.htm in it

 private:
  std::string path_;
};

// The entry points linked into the test program, for fault injection
// through the Win32 table.
TPluginEntries LinkedPlugin();

// Runs the real DLL through the host bench with its own registry root and
// its own temporary folder (TMP points there while the test runs).
class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Loads and starts the plugin; linked = the in-process copy.
  void StartPlugin(bool linked = false);

  std::string SettingsKey() const { return root_ + "\\Galvora"; }
  // Runs the command menu with one line chosen; returns the page made, if any.
  std::string RunMenu(int line);
  std::string PagePath() const;  // the single page in the temporary folder, or ""

  std::unique_ptr<THostBench> host_;
  std::unique_ptr<TScratchFolder> temp_;
  std::string root_;
  std::string moduleName_;  // when set, what ModuleName carries instead of the DLL's path
  // False: the plugin starts with "Make thumbnails" off (unless the test
  // stored the setting), so that a page is the page of its own files.
  bool thumbnails_ = false;
  std::string savedTmp_, savedTemp_;
};

}  // namespace testsupport
