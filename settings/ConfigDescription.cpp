#include "core/Messages.h"
#include "settings/ConfigDialog.h"
#include "settings/PluginConfig.h"

TDialogDescription DescribeConfigDialog(TConfigTexts& texts, int focusItem) {
  auto frame = [](int title) { return TDialogItem{dkFrame, 3, 1, 37, title}; };
  auto separator = [](int row) { return TDialogItem{dkSeparator, 1, row, 0}; };
  // A label whose X2 lies left of its X1 is as wide as its text.
  auto label = [](int x1, int row, int x2, int text) { return TDialogItem{dkLabel, x1, row, x2, text}; };
  auto edit = [](int x1, int row, int x2, std::string& text) {
    TDialogItem item{dkEdit, x1, row, x2};
    item.Edit = &text;
    return item;
  };
  auto check = [](int x1, int row, int text, int32_t& value) {
    TDialogItem item{dkCheckBox, x1, row, 0, text};
    item.Check = &value;
    return item;
  };
  auto button = [](int row, int text) { return TDialogItem{dkButton, 0, row, 0, text}; };
  TDialogDescription d = {
      frame(MTitle),
      check(5, 2, MUseTemplates, PluginConfig.Template),
      separator(3),
      label(5, 4, 1, MBgColorLabel),
      edit(15, 4, 20, texts.BgColor),
      check(22, 4, MNewWindow, PluginConfig.Blank),
      separator(5),
      label(5, 6, 1, MColsLabel),
      edit(24, 6, 27, texts.Cols),
      separator(7),
      label(5, 8, 1, MColsThLabel),
      edit(24, 8, 27, texts.ColsTh),
      label(5, 9, 12, MWidthLabel),
      edit(14, 9, 18, texts.Width),
      label(20, 9, 1, MHeightLabel),
      edit(28, 9, 32, texts.Height),
      separator(10),
      button(11, MOk),
      button(11, MCancel),
  };
  d[kConfigOkItem].Default = true;
  d[focusItem >= 0 && focusItem < static_cast<int>(d.size()) ? focusItem : kConfigFirstItem].Focus = true;
  return d;
}
