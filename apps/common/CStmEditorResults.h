// The results an editor shows, whatever window it runs in: the truss analysed and the load path
// of the concrete computed beside the view, the case shown or the model as put in, and clearing
// them. None of it is an edit: no undo step, no modified mark; results lock the model until they
// are cleared. It speaks to the user through the UI host's status line.
#pragma once

#include <memory>

#include "CStmEditorAnalysis.h"
#include "CStmEditorLoadPath.h"
#include "analysis/CStmChecks.h"
#include "host/platform/CString.h"

class CStmModel;
class CStmUbManager;
class CStmUbRenderer;

class CStmEditorResults {
public:
  CStmEditorResults(CStmUbManager& manager, CStmUbRenderer& wnd, CStmModel& model);
  // A load path still running is cancelled and waited for.
  ~CStmEditorResults();
  CStmEditorResults(const CStmEditorResults&) = delete;
  CStmEditorResults& operator=(const CStmEditorResults&) = delete;

  // Solves the truss on a worker; the model is locked meanwhile so that no tool edits it.
  void Analyse();
  // Now and then while it runs: true while the analysis runs or when it has just ended, with the
  // progress or the answer on the status line (forces shown, or the mechanism marked).
  bool PollAnalysis();
  bool IsAnalysing() const { return m_pAnalysis != nullptr; }
  void ClearResults();

  // Shows the results of one load case or combination; the loads on screen follow.
  void ShowResultCase(int index);
  // Hides every result layer so that the model can be looked at as it was put in; choosing a
  // case shows the results again.
  void ShowInputModel();
  bool IsInputModelShown() const { return m_bInputModel; }
  // "Load case DL" or "Combination ULS" for the results on screen; empty while none stand.
  CString CaseCaption() const;
  // A model opened, made or taken back has nothing of the old one's hidden.
  void ModelReplaced() { m_bInputModel = false; }

  // The load path of the concrete for the load case shown, on a worker: the model can be
  // looked at, not changed, while it runs.
  void StartLoadPath();
  // True when it has just ended, its answer applied or its end said on the status line. The
  // progress replaces the status line only while it still shows the progress put there before:
  // a message the user was given meanwhile stays until the next input.
  bool PollLoadPath(const CString& statusShown);
  bool IsLoadPathRunning() const { return m_pLoadPath != nullptr; }
  // Esc: the worker stops at its next step and the model is left as it was.
  void CancelLoadPath();
  // Cancels and waits: what is closed must not be computed on.
  void StopLoadPath();
  // The progress line while the load path runs; empty otherwise.
  CString LoadPathProgress() const;
  static CString LoadPathBusyText();

private:
  CStmUbManager& m_manager;
  CStmUbRenderer& m_wnd;
  CStmModel& m_model;
  // The result layers that were on when the input model was asked for; set while it is shown.
  unsigned m_nHiddenResultLayers = 0;
  bool m_bInputModel = false;
  std::unique_ptr<CStmEditorAnalysis> m_pAnalysis;
  // What one Analyse leaves for the next (the factorisation's pattern, each member's room in the
  // concrete), so that analysing again after an edit redoes only what the edit touched.
  CStmTrussAnalysis m_keptAnalysis;
  CStmCheckCache m_checkCache;
  // The load path being computed, if any; whether the model was locked before it started, and
  // the progress line last put on the status line.
  std::unique_ptr<CStmEditorLoadPath> m_pLoadPath;
  bool m_bLockedBeforeLoadPath = false;
  CString m_strProgressShown;
};
