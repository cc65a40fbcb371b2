#include "host/FARLang.h"
#include "settings/ConfigDialog.h"
#include "settings/PluginConfig.h"

namespace {

// The low-order byte of a record field: what a check box shows and sets.
// The record is little-endian wherever the plugin runs.
uint8_t* LowByte(int32_t& field) { return reinterpret_cast<uint8_t*>(&field); }

}  // namespace

TDialogDescription DescribeConfigDialog(TConfigTexts& texts, int focusItem) {
  using V = TDialogValue;
  const V none = V::RefText(nullptr);
  const int32_t separator = DIF_SEPARATOR | DIF_BOXCOLOR;
  TDialogDescription description = {
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
  if (focusItem >= 0)
    for (size_t item = 0; item * kValuesPerItem < description.size(); ++item)
      description[item * kValuesPerItem + 4] = V::Of(static_cast<int>(item) == focusItem ? 1 : 0);
  return description;
}
