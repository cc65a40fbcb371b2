// The settings dialog: three check boxes, a colour field and four number fields.
#pragma once

#include <string>

#include "core/DialogDescription.h"

// The five edit texts of one dialog showing.
struct TConfigTexts {
  std::string BgColor;
  std::string Cols;
  std::string ColsTh;
  std::string Width;
  std::string Height;
};

constexpr int kConfigDialogWidth = 41;
constexpr int kConfigDialogHeight = 15;
// The items by their place in the description.
enum : int {
  kConfigFirstItem = 1,  // the templates' check box
  kConfigColourItem = 5,
  kConfigColsItem = 9,
  kConfigColsThItem = 12,
  kConfigWidthItem = 14,
  kConfigHeightItem = 16,
  kConfigOkItem = 18,
};
// The topic of the plugin's help file that F1 in the dialog opens.
constexpr const char* kConfigHelpTopic = "Config";

// The 20 items, bound to the texts and to the record's Template, MakeThumbs
// and Blank fields. The focus is on focusItem, or on the first check box.
TDialogDescription DescribeConfigDialog(TConfigTexts& texts, int focusItem = -1);

// Shows the dialog until its fields hold what they must or the user leaves
// it. A number that does not parse, or a colour that is neither hex digits
// nor a colour's name, brings the dialog back as the user left it, with the
// focus on that field, after a message that says so. OK with valid fields
// stores all seven settings; any other closing stores nothing and puts back
// the check-box states, so the record holds what it held before. True when
// the settings were stored.
bool ConfigureSettings();
