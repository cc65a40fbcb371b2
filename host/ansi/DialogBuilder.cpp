#include "host/ansi/DialogBuilder.h"

#include <cstring>

namespace {

enum TPlace { pType, pX1, pY1, pX2, pFocus, pSelected, pFlags, pData };

}  // namespace

void CopyToField(char* field, size_t fieldSize, const char* text) {
  if (fieldSize == 0) return;
  size_t n = text ? strnlen(text, fieldSize - 1) : 0;
  if (n) std::memcpy(field, text, n);
  field[n] = '\0';
}

std::vector<FarDialogItem> BuildDialogItems(const TDialogDescription& description, TMessageLookup getMsg,
                                            TTextConvert toField) {
  const size_t count = description.size() / kValuesPerItem;
  std::vector<FarDialogItem> items(count);  // value-initialised: Data all zero
  bool defaultGiven = false;
  for (size_t i = 0; i < count; ++i) {
    const TDialogValue* v = &description[i * kValuesPerItem];
    FarDialogItem& item = items[i];
    item.Type = v[pType].Int;
    item.X1 = v[pX1].Int;
    item.Y1 = v[pY1].Int;
    item.X2 = v[pX2].Int;
    item.Y2 = 0;
    item.Focus = DialogFocus(v[pFocus]) ? -1 : 0;
    item.Selected = DialogSelected(v[pSelected]);
    item.Flags = static_cast<uint32_t>(v[pFlags].Int);
    item.DefaultButton = 0;
    if (item.Type == DI_BUTTON && !defaultGiven) {
      item.DefaultButton = -1;
      defaultGiven = true;
    }
    const TDialogValue& data = v[pData];
    if (data.Kind == TDialogValue::vkInt)
      CopyToField(item.Data, sizeof item.Data, getMsg(data.Int & 0xFF));
    else if (data.Kind == TDialogValue::vkTextRef && data.TextRef)
      CopyToField(item.Data, sizeof item.Data, (toField ? toField(*data.TextRef) : *data.TextRef).c_str());
  }
  if (count > 0) {
    int32_t lastRow = items[count - 1].Y1;  // taken before the frame's own row changes
    items[0].Y1 = 1;
    items[0].Y2 = lastRow + 1;
  }
  return items;
}

void StoreDialogResults(const TDialogDescription& description, const std::vector<FarDialogItem>& items,
                        TTextConvert fromField) {
  const size_t count = description.size() / kValuesPerItem;
  for (size_t i = 0; i < count && i < items.size(); ++i) {
    const TDialogValue* v = &description[i * kValuesPerItem];
    if (v[pSelected].Kind == TDialogValue::vkBoolRef && v[pSelected].BoolRef)
      *v[pSelected].BoolRef = static_cast<uint8_t>(items[i].Selected & 0xFF);
    if (v[pData].Kind == TDialogValue::vkTextRef && v[pData].TextRef) {
      const std::string text(items[i].Data, strnlen(items[i].Data, sizeof items[i].Data));
      *v[pData].TextRef = fromField ? fromField(text) : text;
    }
  }
}
