// The editor's commands on the model, shared by every front end.
#include "CStmEditorActions.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "StmGridSpacing.h"
#include "StmViewOfPlane.h"
#include "actions/CStmActionAddLine.h"
#include "actions/CStmActionAddNode.h"
#include "host/framework/CUbActionNormal.h"
#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"
#include "host/model/StmMaterialDefaults.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "host/platform/StmTextN.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace fs = std::filesystem;

namespace {

// Ten metres, the size of a large member, in the model's unit of length.
double StartingSpan(const std::string& unit) {
  if (unit == "m") return 10.0;
  if (unit == "cm") return 1000.0;
  return 10000.0;
}

void Status(const CString& text) { GetUiHost().SetStatusText(text); }

}  // namespace

void CStmEditorActions::SetRecentFiles(const std::string& location) {
  m_recent = CStmRecentFiles(location);
  m_recent.Load();
}

void CStmEditorActions::SetPath(const std::string& path) {
  // The path given may be this very member (a save to the file's own name).
  const std::string given = path;
  m_strPath.clear();
  if (given.empty()) return;
  std::error_code ec;
  m_strPath = fs::absolute(given, ec).lexically_normal().string();
  if (ec) m_strPath = given;
}

CString CStmEditorActions::DisplayName() const {
  return m_strPath.empty() ? StmText("untitled") : CString(fs::path(m_strPath).filename().string());
}

std::string CStmEditorActions::Title() const {
  std::string title = std::string("stm-editor - ") + DisplayName().c_str();
  if (m_model.IsLock()) title += std::string(" ") + StmText("[locked]").c_str();
  if (IsModified()) title += " *";
  return title;
}

bool CStmEditorActions::OpenPath(const std::string& path) {
  CStmModel loaded;
  std::string error;
  if (!CStmModelFile::Load(path, loaded, &error)) {
    CString text;
    text.Format(StmText("The file was not opened; the model shown is as it was.\n%s").c_str(), error.c_str());
    Status(StmText("Open failed"));
    AfxMessageBox(text, MB_OK | MB_ICONSTOP);
    return false;
  }
  if (!ConfirmDiscard()) {
    Status(StmText("Nothing was opened; the model shown is as it was"));
    return false;
  }
  TakeModel(loaded, path);
  CString text;
  text.Format(StmText("Opened %s").c_str(), m_strPath.c_str());
  Status(text);
  return true;
}

bool CStmEditorActions::Save() {
  if (m_strPath.empty()) return SaveAs();
  return SaveTo(m_strPath, false);
}

bool CStmEditorActions::SaveAs() {
  std::string path;
  if (!m_askSavePath || !m_askSavePath(path)) {
    Status(StmText("Not saved"));
    return false;
  }
  return SaveTo(path, path != m_strPath);
}

bool CStmEditorActions::SaveTo(const std::string& path, bool newName) {
  std::string error;
  if (!CStmModelFile::Save(path, m_model, &error)) {
    CString text;
    if (newName) {
      text.Format(StmText("The model could not be saved as %s; nothing was written, and it is still %s.\n%s").c_str(),
                  path.c_str(), DisplayName().c_str(), error.c_str());
    } else {
      text.Format(StmText("The model could not be saved; the file on disk is unchanged.\n%s").c_str(), error.c_str());
    }
    Status(StmText("Save failed"));
    AfxMessageBox(text, MB_OK | MB_ICONSTOP);
    // The saver clears the model's flag only on success; the history decides it either way.
    TrackHistory();
    return false;
  }
  SetPath(path);
  m_modified.MarkSaved(m_manager.GetUndoCount());
  m_model.SetStmModifiedFlag(0);
  CString text;
  text.Format(StmText("Saved %s").c_str(), m_strPath.c_str());
  Status(text);
  RememberFile(m_strPath);
  return true;
}

bool CStmEditorActions::ConfirmDiscard() {
  if (!IsModified()) return true;
  CString text;
  text.Format(StmText("Save the changes to %s?").c_str(), DisplayName().c_str());
  switch (GetUiHost().MessageBox(text, CString("stm-editor"), MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return Save();
    case IDNO:
      return true;
    default:
      return false;
  }
}

bool CStmEditorActions::NewModel(const SStmNewModel& choice) {
  if (!ConfirmDiscard()) {
    Status(StmText("No new model; the model shown is as it was"));
    return false;
  }
  CStmModel fresh;
  fresh.SetPlane(choice.plane);
  fresh.SetUnitLength(choice.unitLength.c_str());
  fresh.SetUnitForce(choice.unitForce.c_str());
  SStmMaterials materials;
  if (StmDefaultMaterials(static_cast<EStmDesignCode>(choice.designCode), choice.unitForce, choice.unitLength,
                          materials))
    fresh.SetMaterials(materials);
  // The grid steps in round numbers of the unit chosen; a fresh model's own suits millimetres.
  const double grid = StmGridSpacingForUnit(choice.unitLength);
  fresh.GetStmDataView()->SetGridSpace(CVector(grid, grid, grid));
  fresh.GetStmDataView()->SetTypeColor(m_model.GetStmDataView()->GetTypeColor());
  TakeModel(fresh, std::string());
  const char* plane = m_model.GetPlane() == STM_PLANE_XY ? "x-y" : m_model.GetPlane() == STM_PLANE_YZ ? "y-z" : "x-z";
  CString text;
  text.Format(StmText("New model in the %s plane, lengths in %s, forces in %s").c_str(), plane,
              m_model.GetUnitLength().c_str(), m_model.GetUnitForce().c_str());
  Status(text);
  return true;
}

std::string CStmEditorActions::ExportStem() const {
  if (m_strPath.empty()) return "untitled";
  std::string stem = fs::path(m_strPath).filename().string();
  const std::string extension = ".stm.json";
  if (stem.size() > extension.size() && stem.compare(stem.size() - extension.size(), extension.size(), extension) == 0)
    stem.erase(stem.size() - extension.size());
  return stem;
}

void CStmEditorActions::ForgetFile(const std::string& path) {
  std::string error;
  m_recent.Remove(path, error);
  CString text;
  text.Format(StmText("%s is no longer there; it is taken off the recent files").c_str(), path.c_str());
  if (!error.empty()) text += CString(("; " + error).c_str());
  Status(text);
}

void CStmEditorActions::TakeModel(CStmModel& model, const std::string& path) {
  // The model shown goes to the caller's, which frees it once the scene no longer names it.
  m_model.Swap(model);
  SetPath(path);
  ShowModel();
  if (!m_strPath.empty()) RememberFile(m_strPath);
}

void CStmEditorActions::ShowModel() {
  // The view looks at the model's own plane; any other shows a plane model edge-on.
  m_wnd.SetViewPos(StmViewOfPlane(m_model.GetPlane()));
  m_manager.UpdateStmRenderer();
  m_wnd.SetAction(CStmUbManager::kActionNormal, -1, 1);
  if (m_model.GetCountNode(1) == 0 && m_model.GetBoundarys(STM_BOUNDARY_OUTER).empty()) {
    // Fitting an empty model would fit the axis symbol alone; a member-sized field around the
    // origin is a place to start drawing.
    const int side = std::max(1, std::min(m_wnd.GetWidth(), m_wnd.GetHeight()));
    m_wnd.SetViewCenter(0.0, 0.0);
    m_wnd.SetViewScale(StartingSpan(m_model.GetUnitLength().str()) / side);
  } else {
    m_wnd.ZoomAll(0);
  }
  m_wnd.InvalidateAllWnd();
  m_modified.MarkSaved(m_manager.GetUndoCount());
  m_model.SetStmModifiedFlag(0);
  if (m_onModelShown) m_onModelShown();
}

void CStmEditorActions::RememberFile(const std::string& path) {
  std::string error;
  // The list is a convenience: the user hears of a failure, but nothing else stops.
  if (!m_recent.Add(path, error)) std::fprintf(stderr, "stm-editor: %s\n", error.c_str());
}

bool CStmEditorActions::CheckUnlocked() {
  if (m_model.IsLock() == 0) return true;
  Status(StmLockedModelText());
  return false;
}

void CStmEditorActions::UndoRedo(bool undo) {
  // Going back past the analysis would leave forces of another truss on screen.
  if (!CheckUnlocked()) return;
  if ((undo ? m_manager.Undo() : m_manager.Redo()) == 0) {
    Status(undo ? StmText("Nothing to undo") : StmText("Nothing to redo"));
    return;
  }
  // Undo and redo move along the history; only new steps can cut the saved state off.
  m_modified.Moved(m_manager.GetUndoCount());
  m_wnd.InvalidateAllWnd();
  Status(undo ? StmText("Undone") : StmText("Redone"));
}

void CStmEditorActions::HistoryMoved() { m_modified.Moved(m_manager.GetUndoCount()); }

void CStmEditorActions::Copy() {
  if (m_manager.GetSelectMap().GetCount() == 0) {
    Status(StmText("Nothing is selected to copy"));
    return;
  }
  m_manager.Copy();
  std::vector<CStmObjNode*> nodes;
  std::vector<CStmObjElement*> elements;
  m_manager.GetSelectedNodeObjects(nodes);
  m_manager.GetSelectedElementObjects(elements);
  CString text;
  text.Format(StmText("Copied %s and %s").c_str(), StmTextCount("%d node", "%d nodes", nodes.size()).c_str(),
              StmTextCount("%d element", "%d elements", elements.size()).c_str());
  Status(text);
}

void CStmEditorActions::CutOrDelete(bool cut) {
  const int selected = m_manager.GetSelectMap().GetCount();
  if (!CheckUnlocked()) return;
  if (selected == 0) {
    Status(cut ? StmText("Nothing is selected to cut") : StmText("Nothing is selected to delete"));
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
    Status(kept > 0 ? StmText("Nothing was removed: a node goes only with the last element that uses it")
                    : StmText("Nothing was removed: the selection holds nothing that can be deleted"));
    return;
  }
  const int gone = selected - kept;
  CString text;
  text.Format(cut ? StmTextN("Cut %d object to the clipboard", "Cut %d objects to the clipboard", gone).c_str()
                  : StmTextN("Deleted %d object", "Deleted %d objects", gone).c_str(),
              gone);
  if (kept > 0) {
    text.AppendFormat(
        StmTextN("; %d node stays, as elements still use it", "; %d nodes stay, as elements still use them", kept)
            .c_str(),
        kept);
  }
  const CStmModel::SRemovedOfNode& went = m_manager.GetRemovedOfLastDelete();
  if (went.nLoads + went.nSupports > 0) {
    text.AppendFormat(StmText("; with the deleted nodes went nodal loads: %d, supports: %d").c_str(), went.nLoads,
                      went.nSupports);
  }
  Status(text);
}

void CStmEditorActions::ToggleOrtho() {
  m_wnd.OnKeyDown(VK_F8, 1, 0);
  Status(m_wnd.GetVHDraw() != 0 ? StmText("Orthogonal drawing on (F8 turns it off)")
                                : StmText("Orthogonal drawing off"));
}

void CStmEditorActions::StartDrawTool(long id) {
  if (id != CStmUbManager::kActionAddGuideline && !CheckUnlocked()) return;
  m_wnd.SetAction(id, -1, 1);
}

void CStmEditorActions::StartModifyTool(long id) {
  if (!CheckUnlocked()) return;
  if (id == CStmUbManager::kActionPaste) {
    if (!m_manager.IsCopiedData()) {
      Status(StmText("Nothing to paste: copy a selection first (Ctrl+C)"));
      return;
    }
  } else {
    std::vector<CStmObjNode*> nodes;
    std::vector<CStmObjElement*> elements;
    m_manager.GetSelectedNodeObjects(nodes);
    m_manager.GetSelectedElementObjects(elements);
    if (id == CStmUbManager::kActionOffset && elements.empty()) {
      Status(StmText("Select the element to offset first"));
      return;
    }
    if (nodes.empty() && elements.empty()) {
      Status(StmText("Nothing is selected: select nodes or elements first"));
      return;
    }
  }
  // The tool says on the status line what it waits for.
  m_wnd.SetAction(id, -1, 1);
}

void CStmEditorActions::ToggleSnap(long bit) { m_manager.SetOSnapMode(m_manager.GetOSnapMode() ^ bit); }

void CStmEditorActions::StartPan() {
  m_wnd.SetAction(CStmUbManager::kActionPan, -1, 1);
  Status(StmText("Drag to move the view; Esc returns to selection"));
}

void CStmEditorActions::MakeFromSelectedElements(bool area) {
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
    Status(StmText("The selected elements do not close into one loop; the marks show where"));
    return;
  }
  std::vector<int> ids;
  for (const CStmObjElement* element : elements) ids.push_back(element->GetId());
  const bool made = area ? m_manager.AddAreaByElement(ids, 1, 1) != nullptr
                         : m_manager.AddBoundaryByElement(STM_BOUNDARY_OUTER, ids, 1, 1) != nullptr;
  if (!made) {
    Status(StmText("Nothing changed: the outline stays as it was"));
    return;
  }
  m_manager.ClearRenderMarkPos();
  m_wnd.CancelCommand();
  CString text;
  const unsigned long count = ids.size();
  text.Format(area ? StmTextN("Property area made from %d element", "Property area made from %d elements", count).c_str()
                   : StmTextN("Outer outline made from %d element", "Outer outline made from %d elements", count).c_str(),
              static_cast<int>(count));
  Status(text);
}

void CStmEditorActions::SetViewPlane(CUbRenderWnd::VIEW_POS pos) {
  // The scene takes the view's plane as the model's, but a look from another side is no edit:
  // the file keeps the plane it opens in.
  const int plane = m_model.GetPlane();
  m_wnd.SetViewPos(pos);
  m_model.SetPlane(plane);
  m_wnd.ZoomAll(0);
  m_wnd.InvalidateAllWnd();
}

void CStmEditorActions::SetStyle(EStmTypeColor style) {
  // How the model looks is the user's preference, not a change to the member: it goes into the
  // file with the next save but leaves the history and the modified mark alone, so that
  // looking at a model never makes closing it ask, and works on a locked model too.
  m_model.GetStmDataView()->SetTypeColor(style);
  m_wnd.InvalidateAllWnd();
  Status(style == STM_COLOR_LIGHT ? StmText("Light style; the model keeps it when saved")
                                  : StmText("Dark style; the model keeps it when saved"));
}

void CStmEditorActions::TrackHistory() {
  m_modified.Follow(m_manager.GetUndoCount());
  // The model's own flag also rises for edits that changed nothing (a delete of nothing);
  // the history says whether the model differs from the file.
  m_model.SetStmModifiedFlag(IsModified() ? 1 : 0);
}

void CStmEditorActions::FollowGrid() {
  double u = 0.0, v = 0.0;
  m_wnd.GetViewCenter(u, v);
  const CStmDataView& view = *m_model.GetStmDataView();
  const CVector& space = view.GetGridSpace();
  const CVector& origin = view.GetGridOrigin();
  const std::vector<double> now = {static_cast<double>(m_wnd.GetViewPos()), m_wnd.GetViewScale(), u, v,
                                   static_cast<double>(m_wnd.GetWidth()), static_cast<double>(m_wnd.GetHeight()),
                                   space.x, space.y, space.z, origin.x, origin.y, origin.z,
                                   static_cast<double>(view.IsShowOption(STM_SHOW_GRID_POINTS))};
  if (now == m_arGridFor) return;
  m_arGridFor = now;
  m_manager.AddGridPoints();
  m_wnd.InvalidateAllWnd();
}

void CStmEditorActions::MarkRecovered() {
  m_modified.MarkSaved(-1);
  m_modified.Moved(m_manager.GetUndoCount());
  TrackHistory();
}

CString CStmEditorActions::Prompt() const {
  CUbActionBase* action = m_manager.GetActionCurrent();
  if (const auto* line = dynamic_cast<const CStmActionAddLine*>(action)) return line->GetPrompt();
  if (dynamic_cast<const CStmActionAddNode*>(action)) return CStmActionAddNode::GetPrompt();
  return CString();
}

CString CStmEditorActions::IdleStatus() const {
  // A drawing tool's prompt stands until the tool has something else to say.
  if (const CString prompt = Prompt(); !prompt.IsEmpty() && !m_model.IsLock()) return prompt;
  return m_model.IsLock() ? StmText("Locked: the model holds analysis results; it can be viewed, not edited")
                          : StmText("Ready");
}

void CStmEditorActions::ToggleAskLength() {
  m_wnd.SetDistPrompt(m_wnd.IsDistPrompt() ? 0 : 1);
  Status(m_wnd.IsDistPrompt() ? StmText("Each element asks for its length") : StmText("Elements end at the picked point"));
}
