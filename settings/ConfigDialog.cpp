#include "settings/ConfigDialog.h"

#include "host/FARLang.h"
#include "host/FarUtil.h"
#include "settings/NumberText.h"
#include "settings/PluginConfig.h"
#include "settings/Registry.h"

namespace {

// The low-order byte of a record field: what a check box shows and sets.
uint8_t* LowByte(int32_t& field) { return reinterpret_cast<uint8_t*>(&field); }

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

TDialogDescription DescribeConfigDialog(TConfigTexts& texts) {
  using V = TDialogValue;
  const V none = V::RefText(nullptr);
  const int32_t separator = DIF_SEPARATOR | DIF_BOXCOLOR;
  return {
      V::Of(DI_DOUBLEBOX), V::Of(3),  V::Of(0),  V::Of(37), V::Of(0), V::Of(0), V::Of(0), V::Of(MTitle),
      V::Of(DI_CHECKBOX),  V::Of(5),  V::Of(2),  V::Of(6),  V::Of(0), V::RefBool(LowByte(PluginConfig.Template)), V::Of(0), V::Of(MUseTemplates),
      V::Of(DI_TEXT),      V::Of(1),  V::Of(3),  V::Of(0),  V::Of(0), V::Of(0), V::Of(separator), none,
      V::Of(DI_TEXT),      V::Of(5),  V::Of(4),  V::Of(1),  V::Of(0), V::Of(0), V::Of(0), V::Of(MBgColorLabel),
      V::Of(DI_FIXEDIT),   V::Of(15), V::Of(4),  V::Of(20), V::Of(3), V::Of(0), V::Of(0), V::RefText(&texts.BgColor),
      V::Of(DI_CHECKBOX),  V::Of(22), V::Of(4),  V::Of(6),  V::Of(0), V::RefBool(LowByte(PluginConfig.Blank)), V::Of(0), V::Of(MNewWindow),
      V::Of(DI_TEXT),      V::Of(1),  V::Of(5),  V::Of(0),  V::Of(0), V::Of(0), V::Of(separator), none,
      V::Of(DI_TEXT),      V::Of(5),  V::Of(6),  V::Of(1),  V::Of(0), V::Of(0), V::Of(0), V::Of(MColsLabel),
      V::Of(DI_FIXEDIT),   V::Of(24), V::Of(6),  V::Of(27), V::Of(3), V::Of(0), V::Of(0), V::RefText(&texts.Cols),
      V::Of(DI_TEXT),      V::Of(1),  V::Of(7),  V::Of(0),  V::Of(0), V::Of(0), V::Of(separator), none,
      V::Of(DI_TEXT),      V::Of(5),  V::Of(8),  V::Of(1),  V::Of(0), V::Of(0), V::Of(0), V::Of(MColsThLabel),
      V::Of(DI_FIXEDIT),   V::Of(24), V::Of(8),  V::Of(27), V::Of(3), V::Of(0), V::Of(0), V::RefText(&texts.ColsTh),
      V::Of(DI_TEXT),      V::Of(5),  V::Of(9),  V::Of(10), V::Of(0), V::Of(0), V::Of(0), V::Of(MWidthLabel),
      V::Of(DI_FIXEDIT),   V::Of(14), V::Of(9),  V::Of(18), V::Of(0), V::Of(0), V::Of(0), V::RefText(&texts.Width),
      V::Of(DI_TEXT),      V::Of(20), V::Of(9),  V::Of(1),  V::Of(0), V::Of(0), V::Of(0), V::Of(MHeightLabel),
      V::Of(DI_FIXEDIT),   V::Of(28), V::Of(9),  V::Of(32), V::Of(0), V::Of(0), V::Of(0), V::RefText(&texts.Height),
      V::Of(DI_TEXT),      V::Of(1),  V::Of(10), V::Of(0),  V::Of(0), V::Of(0), V::Of(separator), none,
      V::Of(DI_BUTTON),    V::Of(0),  V::Of(11), V::Of(0),  V::Of(0), V::Of(1), V::Of(DIF_CENTERGROUP), V::Of(MOk),
      V::Of(DI_BUTTON),    V::Of(0),  V::Of(11), V::Of(0),  V::Of(0), V::Of(0), V::Of(DIF_CENTERGROUP), V::Of(MCancel),
  };
}

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
