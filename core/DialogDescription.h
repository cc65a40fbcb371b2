// A dialog described as a flat list of tagged values, eight per item:
// Type, X1, Y1, X2, Focus, Selected, Flags, Data. Some values refer to the
// caller's variables, which receive the edited states and texts (UTF-8).
// Each host interface turns the description into its own items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Item types and flags of the host's dialogs, the same in its interfaces.
enum : int32_t {
  DI_TEXT = 0,
  DI_DOUBLEBOX = 3,
  DI_FIXEDIT = 6,
  DI_BUTTON = 7,
  DI_CHECKBOX = 8,
};

enum : uint32_t {
  DIF_BOXCOLOR = 0x200,
  DIF_CENTERGROUP = 0x4000,
  DIF_SEPARATOR = 0x10000,
};

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

constexpr size_t kValuesPerItem = 8;

// The places of a group of eight.
enum TDialogPlace { dpType, dpX1, dpY1, dpX2, dpFocus, dpSelected, dpFlags, dpData };

// Place 6 by its kind.
inline intptr_t DialogSelected(const TDialogValue& v) {
  switch (v.Kind) {
    case TDialogValue::vkBool: return v.Bool ? 1 : 0;
    case TDialogValue::vkBoolRef: return v.BoolRef ? *v.BoolRef : 0;
    // Edit items take a history name or mask through Selected, which is as
    // wide as a pointer on either target.
    case TDialogValue::vkTextPtr: return reinterpret_cast<intptr_t>(v.TextPtr);
    // An integer describes no selection (the OK button's 1 in the settings
    // dialog among them): the box is left clear.
    default: return 0;
  }
}

// Place 5 by its kind: an integer counts by its low byte alone.
inline bool DialogFocus(const TDialogValue& v) {
  switch (v.Kind) {
    case TDialogValue::vkBool: return v.Bool;
    case TDialogValue::vkBoolRef: return v.BoolRef && *v.BoolRef != 0;
    default: return (v.Int & 0xFF) != 0;
  }
}

