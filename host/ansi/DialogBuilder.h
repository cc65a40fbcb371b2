// The 1.x interface's dialog items from a dialog description.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/DialogDescription.h"
#include "host/ansi/FARIntf.h"

// Copies text into a fixed host field of fieldSize bytes, cutting it at
// fieldSize - 1 characters; the field always ends up terminated.
void CopyToField(char* field, size_t fieldSize, const char* text);

// The host's items for a description: message texts through getMsg, the
// bound texts through toField (UTF-8 to the host's code page). The frame
// runs from row 1 to one row below the last item.
std::vector<FarDialogItem> BuildDialogItems(const TDialogDescription& description, const char* (*getMsg)(int),
                                            std::string (*toField)(const std::string&));

// Stores each check box's state (1 or 0) and each edit field's text (Data
// up to its first zero, through fromField) into the bound variables.
void StoreDialogResults(const TDialogDescription& description, const std::vector<FarDialogItem>& items,
                        std::string (*fromField)(const std::string&));
