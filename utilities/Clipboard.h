#pragma once

#include <string>

#include "host/FARIntf.h"

// Puts the text on the clipboard as CF_TEXT. The clipboard is emptied first,
// so an empty text leaves it empty. True when it holds what was asked for.
bool CopyToClipboard(const std::string& text);

// The clipboard command: the full path of every selected item, each followed
// by CR LF, in the order of the selection, whatever kind of panel is active.
void CopySelectedNames(const PanelInfo& panel);
