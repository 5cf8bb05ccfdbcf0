// What an editor does to its model on a command, whatever window system it runs on: the file
// (opened aside, saved, the question about unsaved changes), edits through the scene with a word
// on the status line, undo and redo along the history that says whether the model differs from
// its file, the tools started, the view's plane and style. It speaks to the user through the UI
// host in force; the editor adds only what its own window needs.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "CStmCommandTable.h"
#include "CStmRecentFiles.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/model/StmModelTypes.h"
#include "host/platform/CString.h"

class CStmModel;
class CStmUbManager;
class CStmUbRenderer;

// What a new model starts with, as the user chose it.
struct SStmNewModel {
  int plane = 0;  // EStmPlane
  std::string unitLength, unitForce;
  int designCode = 0;  // EStmDesignCode, whose usual materials the model starts with
};

class CStmEditorActions {
public:
  // Asks the user for a file to save to; false when cancelled.
  using AskPathFn = std::function<bool(std::string& path)>;

  CStmEditorActions(CStmUbManager& manager, CStmUbRenderer& wnd, CStmModel& model)
      : m_manager(manager), m_wnd(wnd), m_model(model) {}

  void SetAskSavePath(AskPathFn ask) { m_askSavePath = std::move(ask); }
  // Runs whenever the scene has been rebuilt for a model opened, made or taken back.
  void SetOnModelShown(std::function<void()> shown) { m_onModelShown = std::move(shown); }
  void SetRecentFiles(const std::string& location);
  const CStmRecentFiles& GetRecentFiles() const { return m_recent; }

  // The model's file, absolute; empty while the model is untitled.
  const std::string& GetPath() const { return m_strPath; }
  void SetPath(const std::string& path);
  // The file's name, or "untitled".
  CString DisplayName() const;
  // "stm-editor - name [locked] *".
  std::string Title() const;
  bool IsModified() const { return m_modified.IsModified(); }

  // Loads the file aside first, so that a broken file never costs the model shown; asks about
  // unsaved changes only once the file is known to be good.
  bool OpenPath(const std::string& path);
  // False (the file on disk untouched) when the save failed or was cancelled; the user has been
  // told. An untitled model asks for its path.
  bool Save();
  bool SaveAs();
  bool SaveTo(const std::string& path, bool newName);
  // Whether what is shown may be replaced or closed: asks Save / Discard / Cancel.
  bool ConfirmDiscard();
  // A fresh model as chosen, in place of the one shown once the user lets it go; the style the
  // user looks at models in stays.
  bool NewModel(const SStmNewModel& choice);
  // The model's file name without its extension ("untitled" while it has none): exports are
  // named after it, so that exports of several models in one folder stay apart.
  std::string ExportStem() const;
  // A file of the recent list that is gone: said on the status line and taken off the list.
  void ForgetFile(const std::string& path);
  // Shows the model given in place of the current one, which the given one takes away.
  void TakeModel(CStmModel& model, const std::string& path);
  // Rebuilds the scene from the model and faces its plane, as it is on disk.
  void ShowModel();
  void RememberFile(const std::string& path);

  // Whether an edit may run; tells the user why not on a locked model.
  bool CheckUnlocked();
  void UndoRedo(bool undo);
  // Something else (a history list) undid or redid steps: the modified state moves along the
  // history instead of counting a new step.
  void HistoryMoved();
  void Copy();
  // Cut to the clipboard or delete, with what went and what stayed on the status line.
  void CutOrDelete(bool cut);
  void ToggleOrtho();
  // Whether each element drawn asks for its length.
  void ToggleAskLength();
  // A drawing tool (node, element, guideline): a guideline may be drawn on a locked model.
  void StartDrawTool(long id);
  // Move, stretch, rotate, mirror, offset and paste, once there is something to work on.
  void StartModifyTool(long id);
  void ToggleSnap(long bit);
  void StartPan();
  // The outer outline or a property area from the selected elements, when they close into one
  // simple loop; otherwise marks show where they do not.
  void MakeFromSelectedElements(bool area);
  void SetViewPlane(CUbRenderWnd::VIEW_POS pos);
  void SetStyle(EStmTypeColor style);
  // What the running drawing tool waits for; empty when none runs.
  CString Prompt() const;
  // What the status line says when nothing has happened: the tool's prompt, or whether the
  // model can be edited.
  CString IdleStatus() const;
  // After any command or input: a step made below the saved state cuts the saved state off.
  void TrackHistory();
  // A copy taken back from a recovery file differs from the model's file until it is saved.
  void MarkRecovered();
  // The drawing tools snap to grid points, so while one runs the grid follows the view: laid
  // again whenever the view or the model's grid has changed since it was laid.
  void FollowGrid();

private:
  CStmUbManager& m_manager;
  CStmUbRenderer& m_wnd;
  CStmModel& m_model;
  std::string m_strPath;
  CStmModifiedState m_modified;
  CStmRecentFiles m_recent{std::string()};
  AskPathFn m_askSavePath;
  std::function<void()> m_onModelShown;
  // What the grid was last laid for: view, scale, centre, size, spacing and origin.
  std::vector<double> m_arGridFor;
};
