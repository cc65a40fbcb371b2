// What the commands need of the host, whichever of its interfaces loaded
// the plugin: texts, the command menu, dialogs, messages and the progress
// box, the active panel's selection, and the settings store. Each interface
// has one adapter (host/ansi/, host/unicode/) that owns its host's table;
// an entry point makes its adapter the current host for the call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/DialogDescription.h"
#include "core/Selection.h"
#include "core/PageEncoder.h"
#include "core/SettingsStore.h"

enum TSelectionResult : uint8_t {
  srFiles,     // the items of a panel of real files (possibly none)
  srNoFiles,   // a panel that shows no real files: the host has been told
  srNoMemory,  // the list could not be had
};

class THost {
 public:
  virtual ~THost() = default;

  // The text of a message number in the user's language.
  virtual std::wstring Msg(int id) = 0;
  // Runs the dialog (its texts are UTF-8) and, unless the user cancelled,
  // stores what was edited back into the description's variables. Returns
  // the item that closed it, or -1.
  virtual int Dialog(const TDialogDescription& description, int width, int height, const char* helpTopic) = 0;
  // A warning with the plugin's title over the lines, and an OK button.
  virtual void Message(const std::vector<std::wstring>& lines) = 0;
  // The progress box with the plugin's title over the lines, drawn at once;
  // done of total also goes where the host shows progress of its own.
  virtual void Progress(const std::vector<std::wstring>& lines, int done, int total) = 0;
  // Takes the progress box away and puts the screen back.
  virtual void EndProgress() = 0;
  // The active panel's selected items with their full paths. With
  // filesOnly, a panel that shows no files of a file system is refused.
  virtual TSelectionResult Selection(TSelection& items, bool filesOnly) = 0;
  // The folder of the plugin's DLL, ending in a backslash.
  virtual std::wstring PluginFolder() = 0;
  // Where the settings live for this interface.
  virtual TSettingsStore& Settings() = 0;
  // How the built-in page and the texts put into templates are written.
  virtual const TPageEncoder& PageEncoder() = 0;
  virtual const TPageEncoder& TemplateEncoder() = 0;
};

// The adapter of the entry point that is running (a command runs only
// inside one).
THost& Host();

// Makes host the current one for the life of this object.
class TUseHost {
 public:
  explicit TUseHost(THost& host);
  ~TUseHost();
  TUseHost(const TUseHost&) = delete;
  TUseHost& operator=(const TUseHost&) = delete;

 private:
  THost* previous_;
};
