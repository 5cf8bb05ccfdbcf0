// Analysis and the load path beside the view, the case shown, the input model.
#pragma once

#include "CStmQtCommandArea.h"

class CStmQtResultsCommands : public CStmQtCommandArea {
  Q_OBJECT
public:
  using CStmQtCommandArea::CStmQtCommandArea;

  void AddHandlers(Handlers& run) override;
  // A computation runs that holds edits off.
  bool IsBusy() const { return false; }
  // The results are hidden so that the model can be seen as put in.
  bool IsInputModelShown() const { return false; }
};
