// Dialog item types and flags of the host, the same values in both of its
// interfaces (the Unicode one widens the flags to 64 bits).
#pragma once

#include <cstdint>

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

#include "core/DialogDescription.h"

// The host's type and flags for an item of a description.
inline int32_t HostItemType(TDialogItemKind kind) {
  switch (kind) {
    case dkFrame: return DI_DOUBLEBOX;
    case dkEdit: return DI_FIXEDIT;
    case dkCheckBox: return DI_CHECKBOX;
    case dkButton: return DI_BUTTON;
    default: return DI_TEXT;
  }
}

inline uint32_t HostItemFlags(TDialogItemKind kind) {
  if (kind == dkSeparator) return DIF_SEPARATOR | DIF_BOXCOLOR;
  return kind == dkButton ? uint32_t{DIF_CENTERGROUP} : 0u;
}
