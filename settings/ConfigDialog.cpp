#include "settings/ConfigDialog.h"

#include "core/Host.h"
#include "host/FARLang.h"
#include "platform/WidePath.h"
#include "settings/NumberText.h"
#include "settings/PluginConfig.h"

namespace {

void FillTexts(TConfigTexts& texts) {
  texts.BgColor = PluginConfig.BgColor;
  texts.Cols = DecimalText(PluginConfig.Cols);
  texts.ColsTh = DecimalText(PluginConfig.ColsTh);
  texts.Width = DecimalText(PluginConfig.Width);
  texts.Height = DecimalText(PluginConfig.Height);
}

}  // namespace

bool ConfigureSettings() {
  const int32_t templateOnEntry = PluginConfig.Template;
  const int32_t blankOnEntry = PluginConfig.Blank;
  TConfigTexts texts;
  FillTexts(texts);
  int focus = -1;
  for (;;) {
    const TDialogDescription description = DescribeConfigDialog(texts, focus);
    if (Host().Dialog(description, kConfigDialogWidth, kConfigDialogHeight, kConfigHelpTopic) != kConfigOkItem) {
      // The dialog has already written the boxes into the record; a closing
      // that stores nothing takes them back.
      PluginConfig.Template = templateOnEntry;
      PluginConfig.Blank = blankOnEntry;
      return false;
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
      Host().Message({Host().Msg(fields[i].Label) + L" " + Utf8Wide(fields[i].Text), Host().Msg(MNotANumber)});
    }
    if (focus >= 0) continue;
    for (int i = 0; i < 4; ++i) fields[i].Value = numbers[i];
    PluginConfig.BgColor = texts.BgColor;
    StoreSettings(Host().Settings());
    return true;
  }
}
