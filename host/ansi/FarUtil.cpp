#include "host/ansi/FarUtil.h"

#include <cstring>
#include <vector>

#include "core/Messages.h"
#include "platform/Unicode.h"
#include "platform/WidePath.h"

void (*StartupHook)() = nullptr;

namespace {

PluginStartupInfo Info;

// The host reads the menu strings after GetPluginInfo has returned, so the
// array lives as long as the library.
const char* PluginMenuStrings[1];

constexpr int kMenuLines = 5;

}  // namespace

void StoreStartupInfo(const PluginStartupInfo* info) {
  // The record up to EditorControl, or what the host has of it: a host with
  // a shorter record is not read beyond its end, and the rest stays zero.
  std::memset(&Info, 0, sizeof Info);
  const size_t given = info->StructSize > 0 ? static_cast<size_t>(info->StructSize) : 0;
  std::memcpy(&Info, info, given < sizeof Info ? given : sizeof Info);
  if (StartupHook) StartupHook();
}

const char* GetMsg(int msgId) {
  const char* text = Info.GetMsg ? Info.GetMsg(Info.ModuleNumber, msgId) : nullptr;
  return text ? text : "";
}

std::string ModuleName() {
  return std::string(Info.ModuleName, strnlen(Info.ModuleName, sizeof Info.ModuleName));
}

std::string RootKey() { return Info.RootKey ? Info.RootKey : ""; }

void FillPluginInfo(PluginInfo* info) {
  info->StructSize = sizeof(PluginInfo);
  info->Flags = 0;
  info->DiskMenuStringsNumber = 0;
  PluginMenuStrings[0] = GetMsg(MTitle);
  info->PluginMenuStrings = PluginMenuStrings;
  info->PluginMenuStringsNumber = 1;
  info->PluginConfigStrings = PluginMenuStrings;
  info->PluginConfigStringsNumber = 1;
  info->CommandPrefix = nullptr;
}

int ShowCommandMenu(int highlight) {
  std::vector<FarMenuItem> items(kMenuLines);  // value-initialised: all zero
  for (int i = 0; i < kMenuLines; ++i) CopyToField(items[i].Text, sizeof items[i].Text, GetMsg(MMenuFullSize + i));
  unsigned line = static_cast<unsigned>(highlight) < kMenuLines ? static_cast<unsigned>(highlight) : 0;
  items[line].Selected = -1;
  if (!Info.Menu) return -1;
  return Info.Menu(Info.ModuleNumber, -1, -1, 0, FMENU_AUTOHIGHLIGHT, GetMsg(MTitle), nullptr,
                   kMenuHelpTopic, nullptr, nullptr, items.data(), kMenuLines);
}

namespace {

// The description's texts are UTF-8; the 1.x host's are OEM.
std::string Utf8ToOem(const std::string& text) { return OemText(WideFromUtf8(text)); }
std::string OemToUtf8(const std::string& text) { return Utf8Encode(WidePath(text, cpOem)); }

}  // namespace

int RunDialog(const char* helpTopic, const TDialogDescription& description, int width, int height) {
  std::vector<FarDialogItem> items = BuildDialogItems(description, GetMsg, Utf8ToOem);
  if (items.empty() || !Info.Dialog) return -1;
  int result = Info.Dialog(Info.ModuleNumber, -1, -1, width, height, helpTopic, items.data(),
                           static_cast<int32_t>(items.size()));
  if (result != -1) StoreDialogResults(description, items, OemToUtf8);
  return result;
}

void GetActivePanelInfo(PanelInfo* panel) {
  if (!Info.Control) return;
  Info.Control(reinterpret_cast<void*>(static_cast<intptr_t>(-1)), FCTL_GETPANELINFO, panel);
}

namespace {

void Message(uint32_t flags, const std::vector<std::string>& lines) {
  if (!Info.Message) return;
  std::vector<const char*> items;
  items.push_back(GetMsg(MTitle));
  for (const std::string& line : lines) items.push_back(line.c_str());
  Info.Message(Info.ModuleNumber, flags, nullptr, items.data(), static_cast<int32_t>(items.size()), 0);
}

}  // namespace

void ShowMessage(const std::vector<std::string>& lines) { Message(FMSG_WARNING | FMSG_MB_OK, lines); }

void ShowProgressBox(const std::vector<std::string>& lines) { Message(FMSG_LEFTALIGN, lines); }

void* SaveHostScreen() { return Info.SaveScreen ? Info.SaveScreen(0, 0, -1, -1) : nullptr; }

void RestoreHostScreen(void* screen) {
  if (screen && Info.RestoreScreen) Info.RestoreScreen(screen);
}
