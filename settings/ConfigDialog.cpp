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
  const TDialogDescription description = DescribeConfigDialog(texts);
  for (;;) {
    FillTexts(texts);
    if (RunDialog(nullptr, description, kConfigDialogWidth, kConfigDialogHeight) != kConfigOkItem) {
      // The dialog has already written the boxes into the record; a closing
      // that stores nothing takes them back.
      PluginConfig.Template = templateOnEntry;
      PluginConfig.Blank = blankOnEntry;
      return;
    }
    int32_t cols, colsTh, width, height;
    if (!ParseConfigNumber(texts.Cols, cols) || !ParseConfigNumber(texts.ColsTh, colsTh) ||
        !ParseConfigNumber(texts.Width, width) || !ParseConfigNumber(texts.Height, height))
      continue;
    PluginConfig.Cols = cols;
    PluginConfig.ColsTh = colsTh;
    PluginConfig.Width = width;
    PluginConfig.Height = height;
    PluginConfig.BgColor = texts.BgColor;
    StoreSettings();
    return;
  }
}
