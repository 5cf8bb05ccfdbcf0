// The editor's commands: edits through the scene with a word on the status line, views, and
// the modified mark that follows the undo history.
#include <GLFW/glfw3.h>

#include "CStmEditor.h"
#include "CStmEditorUiHost.h"
#include "analysis/CStmChecks.h"
#include "host/framework/CUbActionNormal.h"
#include "host/platform/StmTextN.h"

void CStmEditor::RunCommand(const SCommand& entry) {
  const ECommand command = entry.command;
  m_pHost->SetStatusText(IdleStatus());
  if (RefuseWhileLoadPath(command)) return;
  switch (command) {
    case ECommand::kNew:
      NewModel();
      break;
    case ECommand::kOpen:
      OpenModel();
      break;
    case ECommand::kOpenRecent:
      m_actions.OpenPath(entry.path);
      break;
    case ECommand::kInputModel:
      m_results.ShowInputModel();
      return;
    case ECommand::kResultCase:
      m_results.ShowResultCase(entry.index);
      break;
    case ECommand::kSave:
      m_actions.Save();
      break;
    case ECommand::kSaveAs:
      m_actions.SaveAs();
      break;
    case ECommand::kImportDxf:
      ImportDxf();
      break;
    case ECommand::kExportDrawing:
      ExportDrawing();
      break;
    case ECommand::kExportReport:
    case ECommand::kExportTable:
      ExportResults(command == ECommand::kExportReport);
      break;
    case ECommand::kQuit:
      glfwSetWindowShouldClose(m_window, GLFW_TRUE);
      break;
    case ECommand::kUndo:
    case ECommand::kRedo:
      m_actions.UndoRedo(command == ECommand::kUndo);
      break;
    case ECommand::kPaste:
      m_actions.StartModifyTool(kActionPaste);
      break;
    case ECommand::kModifyTool:
      m_actions.StartModifyTool(entry.index);
      break;
    case ECommand::kCopy:
      m_actions.Copy();
      break;
    case ECommand::kCut:
    case ECommand::kDelete:
      m_actions.CutOrDelete(command == ECommand::kCut);
      break;
    case ECommand::kOrtho:
      m_actions.ToggleOrtho();
      break;
    case ECommand::kRun:
      entry.run();
      break;
    case ECommand::kKeys:
      m_bShowKeys = !m_bShowKeys;
      break;
    case ECommand::kCancel:
      m_wnd.CancelCommand();
      break;
    case ECommand::kZoomAll:
      m_wnd.ZoomAll(0);
      break;
    case ECommand::kOutlineFromElements:
    case ECommand::kAreaFromElements:
      m_actions.MakeFromSelectedElements(command == ECommand::kAreaFromElements);
      break;
    case ECommand::kAnalyse:
      m_results.Analyse();
      break;
    case ECommand::kLoadPath:
      m_results.StartLoadPath();
      break;
    case ECommand::kClearResults:
      m_results.ClearResults();
      break;
    case ECommand::kProperties:
      m_properties.ApplyPending();
      break;
    case ECommand::kPan:
      m_actions.StartPan();
      break;
    case ECommand::kViewXY:
      m_actions.SetViewPlane(CUbRenderWnd::VIEW_POS_XY);
      break;
    case ECommand::kViewXZ:
      m_actions.SetViewPlane(CUbRenderWnd::VIEW_POS_XZ);
      break;
    case ECommand::kViewYZ:
      m_actions.SetViewPlane(CUbRenderWnd::VIEW_POS_YZ);
      break;
    case ECommand::kStyleDark:
      m_actions.SetStyle(STM_COLOR_DARK);
      break;
    case ECommand::kStyleLight:
      m_actions.SetStyle(STM_COLOR_LIGHT);
      break;
  }
  TrackHistory();
}

CString CStmEditor::IdleStatus() const {
  if (m_results.IsLoadPathRunning()) return m_results.LoadPathProgress();
  return m_actions.IdleStatus();
}

bool CStmEditor::RefuseWhileLoadPath(ECommand command) {
  if (!m_results.IsLoadPathRunning()) return false;
  switch (command) {
    // Looking around is free while the concrete is computed.
    case ECommand::kQuit:
    case ECommand::kKeys:
    case ECommand::kCopy:
    case ECommand::kZoomAll:
    case ECommand::kPan:
    case ECommand::kViewXY:
    case ECommand::kViewXZ:
    case ECommand::kViewYZ:
    case ECommand::kStyleDark:
    case ECommand::kStyleLight:
    // The drawing tools and the snap modes: each says itself why it cannot run on a locked model.
    case ECommand::kRun:
      return false;
    case ECommand::kCancel:
      m_results.CancelLoadPath();
      return true;
    default:
      m_pHost->SetStatusText(CStmEditorResults::LoadPathBusyText());
      return true;
  }
}

bool CStmEditor::OnLoadPathKey(int glfwKey, int mods) {
  // Ctrl keys are commands, which say for themselves whether they may run now.
  if (mods & GLFW_MOD_CONTROL) return false;
  switch (glfwKey) {
    case GLFW_KEY_ESCAPE:
      m_commands.push_back({ECommand::kCancel, std::string()});
      return true;
    // The view's own keys.
    case GLFW_KEY_LEFT:
    case GLFW_KEY_RIGHT:
    case GLFW_KEY_UP:
    case GLFW_KEY_DOWN:
    case GLFW_KEY_F1:
    case GLFW_KEY_LEFT_SHIFT:
    case GLFW_KEY_RIGHT_SHIFT:
    case GLFW_KEY_LEFT_CONTROL:
    case GLFW_KEY_RIGHT_CONTROL:
    case GLFW_KEY_LEFT_ALT:
    case GLFW_KEY_RIGHT_ALT:
      return false;
    default:
      m_pHost->SetStatusText(CStmEditorResults::LoadPathBusyText());
      return true;
  }
}
