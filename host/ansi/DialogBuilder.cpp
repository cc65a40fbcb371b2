#include "host/ansi/DialogBuilder.h"

#include <cstring>

#include "host/DialogItemTypes.h"

void CopyToField(char* field, size_t fieldSize, const char* text) {
  if (fieldSize == 0) return;
  size_t n = text ? strnlen(text, fieldSize - 1) : 0;
  if (n) std::memcpy(field, text, n);
  field[n] = '\0';
}

std::vector<FarDialogItem> BuildDialogItems(const TDialogDescription& description, const char* (*getMsg)(int),
                                            std::string (*toField)(const std::string&)) {
  std::vector<FarDialogItem> items(description.size());  // value-initialised: Data all zero
  for (size_t i = 0; i < description.size(); ++i) {
    const TDialogItem& d = description[i];
    FarDialogItem& item = items[i];
    item.Type = HostItemType(d.Kind);
    item.X1 = d.X1;
    item.Y1 = d.Y1;
    item.X2 = d.X2;
    item.Flags = HostItemFlags(d.Kind);
    item.Focus = d.Focus ? -1 : 0;
    item.DefaultButton = d.Default ? -1 : 0;
    if (d.Check) item.Selected = *d.Check != 0 ? 1 : 0;
    if (d.Text >= 0) CopyToField(item.Data, sizeof item.Data, getMsg(d.Text));
    if (d.Edit) CopyToField(item.Data, sizeof item.Data, toField(*d.Edit).c_str());
  }
  if (!items.empty()) {
    items[0].Y1 = 1;
    items[0].Y2 = items.back().Y1 + 1;
  }
  return items;
}

void StoreDialogResults(const TDialogDescription& description, const std::vector<FarDialogItem>& items,
                        std::string (*fromField)(const std::string&)) {
  for (size_t i = 0; i < description.size() && i < items.size(); ++i) {
    const TDialogItem& d = description[i];
    if (d.Check) *d.Check = items[i].Selected != 0 ? 1 : 0;
    if (d.Edit) *d.Edit = fromField(std::string(items[i].Data, strnlen(items[i].Data, sizeof items[i].Data)));
  }
}
