// New, open, the recent files, DXF import with its preview, exports, the key list.
#pragma once

#include "CStmQtCommandArea.h"

class CStmQtFileCommands : public CStmQtCommandArea {
  Q_OBJECT
public:
  using CStmQtCommandArea::CStmQtCommandArea;

  void AddHandlers(Handlers& run) override;
};
