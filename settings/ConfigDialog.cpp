#include "settings/ConfigDialog.h"

#include "core/Host.h"
#include "core/Messages.h"
#include "platform/Unicode.h"
#include "settings/ColourText.h"
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
  THost& host = Host();
  const int32_t templateOnEntry = PluginConfig.Template;
  const int32_t thumbsOnEntry = PluginConfig.MakeThumbs;
  const int32_t blankOnEntry = PluginConfig.Blank;
  TConfigTexts texts;
  FillTexts(texts);
  int focus = -1;
  for (;;) {
    const TDialogDescription description = DescribeConfigDialog(texts, focus);
    if (host.Dialog(description, kConfigDialogWidth, kConfigDialogHeight, kConfigHelpTopic) != kConfigOkItem) {
      // The dialog has already written the boxes into the record; a closing
      // that stores nothing takes them back.
      PluginConfig.Template = templateOnEntry;
      PluginConfig.MakeThumbs = thumbsOnEntry;
      PluginConfig.Blank = blankOnEntry;
      return false;
    }
    // The fields in the dialog's order; the first that does not hold is
    // named, and the dialog comes back as the user left it.
    const struct {
      const std::string& Text;
      int32_t* Value;
      int Item, Label;
    } fields[] = {{texts.BgColor, nullptr, kConfigColourItem, MBgColorLabel},
                  {texts.Cols, &PluginConfig.Cols, kConfigColsItem, MColsLabel},
                  {texts.ColsTh, &PluginConfig.ColsTh, kConfigColsThItem, MColsThLabel},
                  {texts.Width, &PluginConfig.Width, kConfigWidthItem, MWidthLabel},
                  {texts.Height, &PluginConfig.Height, kConfigHeightItem, MHeightLabel}};
    int32_t numbers[5] = {};
    focus = -1;
    for (int i = 0; i < 5 && focus < 0; ++i) {
      const bool valid = fields[i].Value ? ParseConfigNumber(fields[i].Text, numbers[i]) : IsPageColour(fields[i].Text);
      if (valid) continue;
      focus = fields[i].Item;
      host.Message({host.Msg(fields[i].Label) + L" " + WideFromUtf8(fields[i].Text),
                    host.Msg(fields[i].Value ? MNotANumber : MNotAColour)});
    }
    if (focus >= 0) continue;
    for (int i = 0; i < 5; ++i)
      if (fields[i].Value) *fields[i].Value = numbers[i];
    PluginConfig.BgColor = texts.BgColor;
    StoreSettings(host.Settings());
    return true;
  }
}
