// The tools' own dialogs (typed coordinates, angle, offset), templates and their settings, outline tools.
#pragma once

#include "CStmQtCommandArea.h"

class CStmQtToolsCommands : public CStmQtCommandArea {
  Q_OBJECT
public:
  using CStmQtCommandArea::CStmQtCommandArea;

  void AddHandlers(Handlers& run) override;
};
