// The 1.x interface's dialog items from a dialog description.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/DialogDescription.h"
#include "host/ansi/FARIntf.h"

typedef const char* (*TMessageLookup)(int msgId);
// A text between the description's form (UTF-8) and the host's (OEM).
typedef std::string (*TTextConvert)(const std::string& text);


// Copies text into a fixed host field of fieldSize bytes, cutting it at
// fieldSize - 1 characters; the field always ends up terminated.
void CopyToField(char* field, size_t fieldSize, const char* text);

// The host's items for a description: values / 8 of them (a trailing
// incomplete group is ignored). The frame (item 0) is stretched from row 1
// to one row below the last item; the first button is the default button.
// Referenced texts go through toField when it is given.
std::vector<FarDialogItem> BuildDialogItems(const TDialogDescription& description, TMessageLookup getMsg,
                                            TTextConvert toField = nullptr);

// Stores each referenced check-box state (low byte of Selected) and each
// referenced text (Data up to its first zero) back into the caller's variables.
// Texts go through fromField when it is given.
void StoreDialogResults(const TDialogDescription& description, const std::vector<FarDialogItem>& items,
                        TTextConvert fromField = nullptr);
