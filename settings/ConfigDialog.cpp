#include "settings/ConfigDialog.h"

#include "host/FARLang.h"
#include "host/FarUtil.h"
#include "settings/NumberText.h"
#include "settings/PluginConfig.h"
#include "settings/Registry.h"

namespace {

void FillTexts(TConfigTexts& texts) {
  texts.BgColor = PluginConfig.BgColor;
  texts.Cols = DecimalText(PluginConfig.Cols);
  texts.ColsTh = DecimalText(PluginConfig.ColsTh);
  texts.Width = DecimalText(PluginConfig.Width);
  texts.Height = DecimalText(PluginConfig.Height);
}

void StoreSettings() {
  WriteRegInt("Template", PluginConfig.Template);
  WriteRegInt("Blank", PluginConfig.Blank);
  WriteRegInt("Cols", PluginConfig.Cols);
  WriteRegInt("ColsTh", PluginConfig.ColsTh);
  WriteRegInt("Width", PluginConfig.Width);
  WriteRegInt("Height", PluginConfig.Height);
  WriteRegStr("BgColor", PluginConfig.BgColor);
}

}  // namespace

void ConfigureSettings() {
  const int32_t templateOnEntry = PluginConfig.Template;
  const int32_t blankOnEntry = PluginConfig.Blank;
  TConfigTexts texts;
  FillTexts(texts);
  int focus = -1;
  for (;;) {
    const TDialogDescription description = DescribeConfigDialog(texts, focus);
    if (RunDialog(nullptr, description, kConfigDialogWidth, kConfigDialogHeight) != kConfigOkItem) {
      // The dialog has already written the boxes into the record; a closing
      // that stores nothing takes them back.
      PluginConfig.Template = templateOnEntry;
      PluginConfig.Blank = blankOnEntry;
      return;
    }
    // The four numbers in the dialog's order; the first that does not parse
    // is named, and the dialog comes back as the user left it.
    const struct {
      const std::string& Text;
      int32_t& Value;
      int Item, Label;
    } fields[] = {{texts.Cols, PluginConfig.Cols, 8, MColsLabel},
                  {texts.ColsTh, PluginConfig.ColsTh, 11, MColsThLabel},
                  {texts.Width, PluginConfig.Width, 13, MWidthLabel},
                  {texts.Height, PluginConfig.Height, 15, MHeightLabel}};
    int32_t numbers[4];
    focus = -1;
    for (int i = 0; i < 4 && focus < 0; ++i) {
      if (ParseConfigNumber(fields[i].Text, numbers[i])) continue;
      focus = fields[i].Item;
      ShowMessage({std::string(GetMsg(fields[i].Label)) + " " + fields[i].Text, GetMsg(MNotANumber)});
    }
    if (focus >= 0) continue;
    for (int i = 0; i < 4; ++i) fields[i].Value = numbers[i];
    PluginConfig.BgColor = texts.BgColor;
    StoreSettings();
    return;
  }
}
