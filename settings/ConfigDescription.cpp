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
      check(5, 3, MMakeThumbnails, PluginConfig.MakeThumbs),
      separator(4),
      label(5, 5, 1, MBgColorLabel),
      edit(15, 5, 20, texts.BgColor),
      check(22, 5, MNewWindow, PluginConfig.Blank),
      separator(6),
      label(5, 7, 1, MColsLabel),
      edit(24, 7, 27, texts.Cols),
      separator(8),
      label(5, 9, 1, MColsThLabel),
      edit(24, 9, 27, texts.ColsTh),
      label(5, 10, 12, MWidthLabel),
      edit(14, 10, 18, texts.Width),
      label(20, 10, 1, MHeightLabel),
      edit(28, 10, 32, texts.Height),
      separator(11),
      button(12, MOk),
      button(12, MCancel),
  };
  d[kConfigOkItem].Default = true;
  d[focusItem >= 0 && focusItem < static_cast<int>(d.size()) ? focusItem : kConfigFirstItem].Focus = true;
  return d;
}
