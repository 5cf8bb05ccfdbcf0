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
      OpenPath(entry.path);
      break;
    case ECommand::kInputModel:
      ShowInputModel();
      return;
    case ECommand::kResultCase:
      ShowResultCase(entry.index);
      break;
    case ECommand::kSave:
      Save();
      break;
    case ECommand::kSaveAs:
      SaveAs();
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
    case ECommand::kRedo: {
      const bool undo = command == ECommand::kUndo;
      // Going back past the analysis would leave forces of another truss on screen.
      if (!CheckUnlocked()) break;
      if ((undo ? m_manager.Undo() : m_manager.Redo()) == 0) {
        // Nothing was ever done on a locked model; say why rather than only that.
        if (CheckUnlocked()) m_pHost->SetStatusText(undo ? StmText("Nothing to undo") : StmText("Nothing to redo"));
        break;
      }
      // Undo and redo move along the history; only new steps can cut the saved state off.
      m_modified.Moved(m_manager.GetUndoCount());
      m_wnd.InvalidateAllWnd();
      m_pHost->SetStatusText(undo ? StmText("Undone") : StmText("Redone"));
      break;
    }
    case ECommand::kPaste:
      StartModifyTool(kActionPaste);
      break;
    case ECommand::kModifyTool:
      StartModifyTool(entry.index);
      break;
    case ECommand::kCopy:
    case ECommand::kCut:
    case ECommand::kDelete:
    case ECommand::kOrtho:
      RunEditCommand(command);
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
      MakeFromSelectedElements(command == ECommand::kAreaFromElements);
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
      m_wnd.SetAction(kActionPan, -1, 1);
      m_pHost->SetStatusText(StmText("Drag to move the view; Esc returns to selection"));
      break;
    case ECommand::kViewXY:
      SetViewPlane(CUbRenderWnd::VIEW_POS_XY);
      break;
    case ECommand::kViewXZ:
      SetViewPlane(CUbRenderWnd::VIEW_POS_XZ);
      break;
    case ECommand::kViewYZ:
      SetViewPlane(CUbRenderWnd::VIEW_POS_YZ);
      break;
    case ECommand::kStyleDark:
      SetStyle(STM_COLOR_DARK);
      break;
    case ECommand::kStyleLight:
      SetStyle(STM_COLOR_LIGHT);
      break;
  }
  TrackHistory();
}

namespace {
// "1 node", "2 nodes": a count in the form its number takes.
CString Count(const char* singular, const char* plural, size_t count) {
  CString text;
  text.Format(StmTextN(singular, plural, count).c_str(), static_cast<int>(count));
  return text;
}
}  // namespace

void CStmEditor::RunEditCommand(ECommand command) {
  const int selected = m_manager.GetSelectMap().GetCount();
  CString text;
  switch (command) {
    case ECommand::kCopy: {
      if (selected == 0) {
        m_pHost->SetStatusText(StmText("Nothing is selected to copy"));
        return;
      }
      m_manager.Copy();
      std::vector<CStmObjNode*> nodes;
      std::vector<CStmObjElement*> elements;
      m_manager.GetSelectedNodeObjects(nodes);
      m_manager.GetSelectedElementObjects(elements);
      text.Format(StmText("Copied %s and %s").c_str(), Count("%d node", "%d nodes", nodes.size()).c_str(),
                  Count("%d element", "%d elements", elements.size()).c_str());
      m_pHost->SetStatusText(text);
      return;
    }
    case ECommand::kCut:
    case ECommand::kDelete: {
      const bool cut = command == ECommand::kCut;
      if (!CheckUnlocked()) return;
      if (selected == 0) {
        m_pHost->SetStatusText(cut ? StmText("Nothing is selected to cut") : StmText("Nothing is selected to delete"));
        return;
      }
      const int before = m_manager.GetUndoCount();
      // A node goes only with its last element; those that stay are counted afterwards.
      std::vector<CStmObjNode*> nodes;
      m_manager.GetSelectedNodeObjects(nodes);
      std::vector<int> nodeIds;
      for (const CStmObjNode* node : nodes) nodeIds.push_back(node->GetId());
      if (cut) m_manager.Cut();
      else m_manager.DeleteSelectedEntity();
      // The grips belong to what was selected, so they go with it.
      if (auto* normal = dynamic_cast<CUbActionNormal*>(m_wnd.GetActionCurrent()))
        normal->GetSnapPointManage().OnChangeSelectedMember(&m_wnd);
      m_wnd.InvalidateAllWnd();
      int kept = 0;
      for (int id : nodeIds) {
        const CStmObjNode* node = m_model.GetNode(id);
        if (node && node->IsEnable()) ++kept;
      }
      if (m_manager.GetUndoCount() == before) {
        m_pHost->SetStatusText(kept > 0 ? StmText("Nothing was removed: a node goes only with the last element that uses it")
                                        : StmText("Nothing was removed: the selection holds nothing that can be deleted"));
        return;
      }
      const int gone = selected - kept;
      text.Format(cut ? StmTextN("Cut %d object to the clipboard", "Cut %d objects to the clipboard", gone).c_str()
                      : StmTextN("Deleted %d object", "Deleted %d objects", gone).c_str(),
                  gone);
      if (kept > 0) {
        text.AppendFormat(StmTextN("; %d node stays, as elements still use it",
                                   "; %d nodes stay, as elements still use them", kept)
                              .c_str(),
                          kept);
      }
      const CStmModel::SRemovedOfNode& went = m_manager.GetRemovedOfLastDelete();
      if (went.nLoads + went.nSupports > 0) {
        text.AppendFormat(StmText("; with the deleted nodes went nodal loads: %d, supports: %d").c_str(), went.nLoads,
                          went.nSupports);
      }
      m_pHost->SetStatusText(text);
      return;
    }
    case ECommand::kOrtho:
      m_wnd.OnKeyDown(VK_F8, 1, 0);
      m_pHost->SetStatusText(m_wnd.GetVHDraw() != 0 ? StmText("Orthogonal drawing on (F8 turns it off)")
                                                    : StmText("Orthogonal drawing off"));
      return;
    default:
      return;
  }
}

void CStmEditor::MakeFromSelectedElements(bool area) {
  if (!CheckUnlocked()) return;
  std::vector<CStmObjElement*> elements;
  m_manager.GetSelectedElementObjects(elements);
  std::vector<CVector> marks;
  if (m_manager.CheckLineClosed(elements, marks) == 0) {
    // The manager starts with marks that draw nothing; these must be seen, and stand out round
    // the node they sit on.
    const bool shown = m_manager.GetTypeRenderMark() != STM_MARK_NONE;
    m_manager.SetRenderMarkPos(marks, shown ? m_manager.GetTypeRenderMark() : STM_MARK_POINT,
                               shown ? m_manager.GetSizeRenderMark() : 2.0);
    m_wnd.InvalidateAllWnd();
    m_pHost->SetStatusText(StmText("The selected elements do not close into one loop; the marks show where"));
    return;
  }
  std::vector<int> ids;
  for (const CStmObjElement* element : elements) ids.push_back(element->GetId());
  const bool made = area ? m_manager.AddAreaByElement(ids, 1, 1) != nullptr
                         : m_manager.AddBoundaryByElement(STM_BOUNDARY_OUTER, ids, 1, 1) != nullptr;
  if (!made) {
    m_pHost->SetStatusText(StmText("Nothing changed: the outline stays as it was"));
    return;
  }
  m_manager.ClearRenderMarkPos();
  m_wnd.CancelCommand();
  CString text;
  const unsigned long count = ids.size();
  text.Format(area ? StmTextN("Property area made from %d element", "Property area made from %d elements", count).c_str()
                   : StmTextN("Outer outline made from %d element", "Outer outline made from %d elements", count).c_str(),
              static_cast<int>(count));
  m_pHost->SetStatusText(text);
}

void CStmEditor::SetViewPlane(CUbRenderWnd::VIEW_POS pos) {
  // The scene takes the view's plane as the model's, but a look from another side is no edit:
  // the file keeps the plane it opens in.
  const int plane = m_model.GetPlane();
  m_wnd.SetViewPos(pos);
  m_model.SetPlane(plane);
  m_wnd.ZoomAll(0);
  m_wnd.InvalidateAllWnd();
}

void CStmEditor::SetStyle(EStmTypeColor style) {
  // How the model looks is the user's preference, not a change to the member: it goes into the
  // file with the next save but leaves the history and the modified mark alone, so that
  // looking at a model never makes closing it ask, and works on a locked model too.
  m_model.GetStmDataView()->SetTypeColor(style);
  m_wnd.InvalidateAllWnd();
  m_pHost->SetStatusText(style == STM_COLOR_LIGHT ? StmText("Light style; the model keeps it when saved")
                                                  : StmText("Dark style; the model keeps it when saved"));
}

bool CStmEditor::CheckUnlocked() {
  if (m_model.IsLock() == 0) return true;
  m_pHost->SetStatusText(
      StmLockedModelText());
  return false;
}

CString CStmEditor::IdleStatus() const {
  if (m_pLoadPath) return LoadPathProgress();
  // A drawing tool's prompt stands until the tool has something else to say.
  if (const CString prompt = m_drawTools.Prompt(); !prompt.IsEmpty() && !m_model.IsLock()) return prompt;
  return m_model.IsLock() ? StmText("Locked: the model holds analysis results; it can be viewed, not edited")
                          : StmText("Ready");
}

void CStmEditor::TrackHistory() {
  m_modified.Follow(m_manager.GetUndoCount());
  // The model's own flag also rises for edits that changed nothing (a delete of nothing);
  // the history says whether the model differs from the file.
  m_model.SetStmModifiedFlag(IsModified() ? 1 : 0);
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
