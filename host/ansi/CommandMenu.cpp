#include "host/ansi/CommandMenu.h"

#include "gallery/PageJob.h"
#include "host/ansi/AnsiHost.h"
#include "host/ansi/FarUtil.h"
#include "settings/ConfigDialog.h"
#include "settings/PluginConfig.h"
#include "utilities/Clipboard.h"
#include "utilities/PageCleanup.h"

namespace {

enum TMenuLine { mlFullSize = 0, mlThumbnails = 1, mlClipboard = 2, mlCleanup = 3, mlConfigure = 4 };

}  // namespace

void RunCommandMenu() {
  TUseHost use(AnsiHost());
  int choice = mlFullSize;
  do {
    choice = ShowCommandMenu(choice);
    if (choice == mlFullSize) PluginConfig.Thumbnails = 0;
    if (choice == mlThumbnails) PluginConfig.Thumbnails = -1;
    if (choice == mlConfigure) ConfigureSettings();
  } while (choice == mlConfigure);
  if (choice < 0) return;

  PanelInfo panel{};
  GetActivePanelInfo(&panel);  // asked for every command, the clean-up included
  SetAnsiPanel(&panel);
  switch (choice) {
    case mlFullSize:
    case mlThumbnails: MakeGalleryPage(); break;
    case mlClipboard: CopySelectedNames(); break;
    case mlCleanup: RemoveGeneratedPages(); break;
    default: break;
  }
  SetAnsiPanel(nullptr);
}

void RunConfigure() {
  TUseHost use(AnsiHost());
  ConfigureSettings();
}
