// What every editor's message boxes share, whatever draws them.
#pragma once

#include "host/platform/WinDefs.h"

// The answer a box gives when nobody can answer it (closed by its window's close box, or no
// frame will come): never yes, never go ahead.
inline int StmSafeMessageBoxAnswer(UINT type) {
  switch (type & 0x000Fu) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
      return IDCANCEL;
    case MB_YESNO:
      return IDNO;
    default:
      return IDOK;
  }
}
