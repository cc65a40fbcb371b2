// The settings dialog: two check boxes, a colour field and four number fields.
#pragma once

#include <string>

#include "host/DialogBuilder.h"

// The five edit texts of one dialog showing.
struct TConfigTexts {
  std::string BgColor;
  std::string Cols;
  std::string ColsTh;
  std::string Width;
  std::string Height;
};

constexpr int kConfigDialogWidth = 41;
constexpr int kConfigDialogHeight = 14;
constexpr int kConfigOkItem = 17;

// The 152-value description, bound to the texts and to the low bytes of the
// record's Template and Blank fields.
TDialogDescription DescribeConfigDialog(TConfigTexts& texts);

// Shows the dialog until its numbers parse or the user leaves it. OK stores
// all seven settings; any other closing stores nothing and puts back the
// check-box states, so the record holds what it held before.
void ConfigureSettings();
