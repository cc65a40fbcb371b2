// A dialog described as a flat list of tagged values, eight per item:
// Type, X1, Y1, X2, Focus, Selected, Flags, Data. Some values refer to the
// caller's variables, which receive the edited states and texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/FARIntf.h"

struct TDialogValue {
  enum TKind : uint8_t { vkInt, vkBool, vkBoolRef, vkTextRef, vkTextPtr };

  TKind Kind = vkInt;
  int32_t Int = 0;
  bool Bool = false;
  uint8_t* BoolRef = nullptr;      // a one-byte boolean of the caller
  std::string* TextRef = nullptr;  // a text of the caller; may be null
  const char* TextPtr = nullptr;

  static TDialogValue Of(int32_t v) { TDialogValue d; d.Int = v; return d; }
  static TDialogValue OfBool(bool v) { TDialogValue d; d.Kind = vkBool; d.Bool = v; return d; }
  static TDialogValue RefBool(uint8_t* v) { TDialogValue d; d.Kind = vkBoolRef; d.BoolRef = v; return d; }
  static TDialogValue RefText(std::string* v) { TDialogValue d; d.Kind = vkTextRef; d.TextRef = v; return d; }
  static TDialogValue Ptr(const char* v) { TDialogValue d; d.Kind = vkTextPtr; d.TextPtr = v; return d; }
};

using TDialogDescription = std::vector<TDialogValue>;

typedef const char* (*TMessageLookup)(int msgId);

constexpr size_t kValuesPerItem = 8;

// Copies text into a fixed host field of fieldSize bytes, cutting it at
// fieldSize - 1 characters; the field always ends up terminated.
void CopyToField(char* field, size_t fieldSize, const char* text);

// The host's items for a description: values / 8 of them (a trailing
// incomplete group is ignored). The frame (item 0) is stretched from row 1
// to one row below the last item; the first button is the default button.
std::vector<FarDialogItem> BuildDialogItems(const TDialogDescription& description, TMessageLookup getMsg);

// Stores each referenced check-box state (low byte of Selected) and each
// referenced text (Data up to its first zero) back into the caller's variables.
void StoreDialogResults(const TDialogDescription& description, const std::vector<FarDialogItem>& items);
