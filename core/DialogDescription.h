// A dialog described as a list of plain items, each bound to the variable
// it shows and sets. Each host interface turns the description into its
// own items and stores the results back into the bound variables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum TDialogItemKind : uint8_t {
  dkFrame,      // the double frame, with the dialog's title; always the first item
  dkSeparator,  // a line across the frame
  dkLabel,      // a text
  dkEdit,       // a field of fixed width: X1 to X2
  dkCheckBox,
  dkButton,     // buttons of one row are centred as a group
};

struct TDialogItem {
  TDialogItemKind Kind = dkLabel;
  int X1 = 0, Y1 = 0, X2 = 0;
  int Text = -1;                 // the message shown (label, box, button, title); -1 for none
  int32_t* Check = nullptr;      // a check box's variable: non-zero shows it ticked; gets 1 or 0
  std::string* Edit = nullptr;   // an edit field's text (UTF-8), shown and set
  bool Focus = false;            // the item that has the focus when the dialog opens
  bool Default = false;          // the button that Enter presses
};

using TDialogDescription = std::vector<TDialogItem>;
