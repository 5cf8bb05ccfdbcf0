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
      ShowInputModel();
      return;
    case ECommand::kResultCase:
      ShowResultCase(entry.index);
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
      Analyse();
      break;
    case ECommand::kLoadPath:
      StartLoadPath();
      break;
    case ECommand::kClearResults:
      ClearAnalysisResults();
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
  if (m_pLoadPath) return LoadPathProgress();
  return m_actions.IdleStatus();
}

namespace {
// Every layer that draws analysis results: forces and their values, widths, zones, flow,
// contour, legend, mesh and reactions.
constexpr unsigned kResultLayers = STM_SHOW_WIDTHS | STM_SHOW_NODAL_ZONES | STM_SHOW_RESULTS | STM_SHOW_RESULT_VALUES |
                                   STM_SHOW_STRESS_FLOW | STM_SHOW_ARROW_HEADS | STM_SHOW_LEGEND | STM_SHOW_MESH |
                                   STM_SHOW_WIDTHS_DESIGNED | STM_SHOW_NODAL_ZONES_MAX | STM_SHOW_REACTIONS;
}  // namespace

void CStmEditor::ShowInputModel() {
  if (!m_model.IsLock() || m_bInputModel) return;
  CStmDataView* view = m_model.GetStmDataView();
  m_nHiddenResultLayers = view->GetShowOptions() & kResultLayers;
  view->SetShowOptions(view->GetShowOptions() & ~kResultLayers);
  m_bInputModel = true;
  m_wnd.InvalidateAllWnd();
  m_pHost->SetStatusText(StmText("Input model shown without its results; it stays locked while it holds them. "
                                 "Choose a load case to show them again."));
}

void CStmEditor::ShowResultCase(int index) {
  const int count = m_model.GetCountLoadConditionStatic() + m_model.GetCountLoadConditionCombo();
  if (index < 0 || index >= count) return;
  if (m_bInputModel) {
    CStmDataView* view = m_model.GetStmDataView();
    view->SetShowOptions(view->GetShowOptions() | m_nHiddenResultLayers);
    m_bInputModel = false;
  }
  m_manager.SetIndexLoadConditionResult(index);
  CStmChecks::ShowCase(m_model, index);
  // Forces next to the loads of another case would read as the answer to those loads.
  m_manager.SetIndexLoadConditionLoad(index, -1);
  m_wnd.InvalidateAllWnd();
  CString text;
  text.Format(StmText("Results shown: %s").c_str(), ResultCaseCaption().c_str());
  const CString checks = CStmChecks::Summary(m_model, index);
  if (!checks.IsEmpty()) {
    text += "; ";
    text += checks;
  }
  m_pHost->SetStatusText(text);
}
