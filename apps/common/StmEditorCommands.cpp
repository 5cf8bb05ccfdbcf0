#include "StmEditorCommands.h"

#include "dialogs/CStmDlgAngle.h"
#include "dialogs/CStmDlgCoord.h"
#include "host/model/CStmModel.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {

// Marks a text for the catalogue where it is looked up later, under a name held elsewhere.
constexpr const char* StmTextNoop(const char* id) { return id; }

}  // namespace

const std::vector<SStmSnapMode>& StmSnapModes() {
  static const std::vector<SStmSnapMode> kSnaps = {
      {"node", StmTextNoop("Snap to nodes and grid points"), CUbManage::kSnapNode},
      {"end", StmTextNoop("Snap to ends"), CUbManage::kSnapEnd},
      {"middle", StmTextNoop("Snap to middles"), CUbManage::kSnapMid},
      {"intersection", StmTextNoop("Snap to intersections"), CUbManage::kSnapCross},
      {"perpendicular", StmTextNoop("Snap perpendicular"), CUbManage::kSnapPer},
      {"nearest", StmTextNoop("Snap to the nearest point on a line"), CUbManage::kSnapNear},
  };
  return kSnaps;
}

const std::vector<StmKeyRow>& StmViewKeyRows() {
  static const std::vector<StmKeyRow> kView = {
      {StmTextNoop("Left click"), StmTextNoop("select what is under the cursor")},
      {StmTextNoop("Left drag to the right"), StmTextNoop("select what lies inside the window")},
      {StmTextNoop("Left drag to the left"), StmTextNoop("select what the window crosses or holds")},
      {StmTextNoop("Middle drag"), StmTextNoop("move the view")},
      {StmTextNoop("Wheel"), StmTextNoop("zoom about the cursor")},
      {StmTextNoop("Arrow keys"), StmTextNoop("move the view")},
      {StmTextNoop("Esc"), StmTextNoop("cancel the command and the selection")},
      {StmTextNoop("Tab"), StmTextNoop("type a coordinate; a comma goes to the second field, Enter takes it")},
  };
  return kView;
}

std::vector<SStmCommand> StmEditorCommands(CStmUbManager& manager, CStmUbRenderer& wnd, CStmModel& model,
                                           const SStmEditorCommandState& state) {
  const auto busy = [state] { return state.busy && state.busy(); };
  const auto unlocked = [&model] { return model.IsLock() == 0; };
  const auto selected = [&manager] { return manager.GetSelectMap().GetCount() > 0; };
  const auto editSelected = [unlocked, selected] { return unlocked() && selected(); };
  const auto running = [&wnd](long id) { return [&wnd, id] { return wnd.GetActionTypeCur() == id; }; };
  // Every tool that shows the coordinate or angle dialog takes a typed value.
  const auto takesPoints = [&manager] {
    const CStmDlgCoord* coord = manager.GetDlgCoord();
    const CStmDlgAngle* angle = manager.GetDlgAngle();
    return (coord && coord->IsWindowVisible()) || (angle && angle->IsWindowVisible());
  };
  // There is nothing to report before an analysis.
  const auto analysed = [&model] { return model.IsLock() != 0; };
  // Results of a model whose load path is being computed are not there yet.
  const auto results = [&model, busy] { return model.IsLock() != 0 && !busy(); };
  const auto inputShown = [state] { return state.inputModelShown && state.inputModelShown(); };
  const auto plane = [&wnd](CUbRenderWnd::VIEW_POS pos) { return [&wnd, pos] { return wnd.GetViewPos() == pos; }; };
  const auto light = [&model] { return model.GetStmDataView()->GetTypeColor() == STM_COLOR_LIGHT; };
  const std::vector<std::string> file = {StmTextNoop("File")};
  const std::vector<std::string> edit = {StmTextNoop("Edit")};
  const std::vector<std::string> draw = {StmTextNoop("Draw")};
  const std::vector<std::string> modify = {StmTextNoop("Modify")};
  const std::vector<std::string> view = {StmTextNoop("View")};
  const std::vector<std::string> style = {StmTextNoop("Style")};
  const std::vector<std::string> resultsMenu = {StmTextNoop("Results")};
  const char* const drawHelp = StmTextNoop("draw nodes / elements / guidelines");
  // One row of the key list for all of them.
  const char* const modifyHelp = StmTextNoop("move / stretch / rotate / mirror / offset the selection");

  std::vector<SStmCommand> c = {
      {"file.new", StmTextNoop("New..."), file, StmTextNoop("new model (asks for its plane and units)"), "Ctrl+N", "",
       nullptr, nullptr, nullptr},
      {"file.open", StmTextNoop("Open..."), file, StmTextNoop("open a model file"), "Ctrl+O", "", nullptr, nullptr,
       nullptr},
      {"file.save", StmTextNoop("Save"), file, StmTextNoop("save"), "Ctrl+S", "", nullptr, nullptr, nullptr, true},
      {"file.saveAs", StmTextNoop("Save as..."), file, StmTextNoop("save under another name"), "Ctrl+Shift+S", "",
       nullptr, nullptr, nullptr},
      {"file.importDxf", StmTextNoop("Import DXF..."), file, "", "", "", unlocked, nullptr, nullptr, true},
      {"file.exportDrawing", StmTextNoop("Export drawing..."), file,
       StmTextNoop("what the view shows, to scale, as PDF, SVG or DXF"), "", "", nullptr, nullptr, nullptr, true},
      {"file.exportReport", StmTextNoop("Export report..."), file, "", "", "", analysed, nullptr, nullptr, true},
      {"file.exportTable", StmTextNoop("Export table..."), file, "", "", "", analysed, nullptr, nullptr},
      {"file.quit", StmTextNoop("Quit"), file, StmTextNoop("quit (asks about unsaved changes)"), "Ctrl+Q", "", nullptr,
       nullptr, nullptr, true},

      {"edit.undo", StmTextNoop("Undo"), edit, StmTextNoop("undo / redo"), "Ctrl+Z", "",
       [&model, &manager] { return model.IsLock() == 0 && manager.CanUndo() != 0; }, nullptr, nullptr},
      {"edit.redo", StmTextNoop("Redo"), edit, StmTextNoop("undo / redo"), "Ctrl+Y", "",
       [&model, &manager] { return model.IsLock() == 0 && manager.CanRedo() != 0; }, nullptr, nullptr},
      {"edit.cut", StmTextNoop("Cut"), edit, StmTextNoop("cut / copy the selection"), "Ctrl+X", "", editSelected,
       nullptr, nullptr, true},
      {"edit.copy", StmTextNoop("Copy"), edit, StmTextNoop("cut / copy the selection"), "Ctrl+C", "", selected,
       nullptr, nullptr},
      {"edit.paste", StmTextNoop("Paste"), {StmTextNoop("Edit"), StmTextNoop("Modify")},
       StmTextNoop("paste the clipboard at each click, until Esc"), "Ctrl+V", "",
       [&model, &manager] { return model.IsLock() == 0 && manager.IsCopiedData() != 0; },
       running(CStmUbManager::kActionPaste), nullptr},
      {"edit.delete", StmTextNoop("Delete"), edit, StmTextNoop("delete the selection"), "Delete", "", editSelected,
       nullptr, nullptr},
      // Esc itself goes to the view, which cancels what runs there.
      {"edit.cancel", StmTextNoop("Cancel and select none"), edit, "", "", "Esc", nullptr, nullptr, nullptr},
      {"edit.outlineFromElements", StmTextNoop("Outline from selected elements"), edit, "", "", "", editSelected,
       nullptr, nullptr, true},
      {"edit.areaFromElements", StmTextNoop("Area from selected elements"), edit, "", "", "", editSelected, nullptr,
       nullptr},

      {"draw.node", StmTextNoop("Node"), draw, drawHelp, "N", "", unlocked, running(CStmUbManager::kActionAddNode),
       nullptr},
      {"draw.element", StmTextNoop("Element"), draw, drawHelp, "E", "", unlocked,
       running(CStmUbManager::kActionAddElement), nullptr},
      {"draw.guideline", StmTextNoop("Guideline"), draw, drawHelp, "G", "", nullptr,
       running(CStmUbManager::kActionAddGuideline), nullptr},
      // Tab itself goes to the view, which opens the dialog with the typing started.
      {"draw.typedCoordinate", StmTextNoop("Typed coordinate"), draw, "", "", "Tab", takesPoints, nullptr, nullptr,
       true},
      {"draw.askLength", StmTextNoop("Ask for the length of each element"), draw, "", "", "", nullptr,
       [&wnd] { return wnd.IsDistPrompt() != 0; }, nullptr},
      {"edit.ortho", StmTextNoop("Orthogonal drawing"), {StmTextNoop("Edit"), StmTextNoop("Draw")},
       StmTextNoop("orthogonal drawing on or off"), "F8", "", nullptr, [&wnd] { return wnd.GetVHDraw() != 0; },
       nullptr, true},
  };
  bool first = true;
  for (const SStmSnapMode& snap : StmSnapModes()) {
    const long bit = snap.bit;
    // Orthogonal drawing takes the nearest-point snap away while it is on.
    std::function<bool()> enabled;
    if (bit == CUbManage::kSnapNear) enabled = [&wnd] { return wnd.GetVHDraw() == 0; };
    c.push_back({std::string("draw.snap.") + snap.id, snap.label, draw, "", "", "", enabled,
                 [&manager, bit] { return (manager.GetOSnapMode() & bit) != 0; }, nullptr, first});
    first = false;
  }
  const struct {
    const char* id;
    long action;
    const char* label;
    const char* key;
  } kModify[] = {
      {"modify.move", CStmUbManager::kActionMove, StmTextNoop("Move"), "M"},
      {"modify.stretch", CStmUbManager::kActionStretch, StmTextNoop("Stretch"), "T"},
      {"modify.rotate", CStmUbManager::kActionRotate, StmTextNoop("Rotate"), "R"},
      {"modify.mirror", CStmUbManager::kActionMirror, StmTextNoop("Mirror"), "I"},
      {"modify.offset", CStmUbManager::kActionOffset, StmTextNoop("Offset"), "O"},
  };
  for (const auto& tool : kModify)
    c.push_back({tool.id, tool.label, modify, modifyHelp, tool.key, "", editSelected, running(tool.action), nullptr});

  const std::vector<SStmCommand> rest = {
      {"view.zoomAll", StmTextNoop("Zoom all"), view, "", "", "", nullptr, nullptr, nullptr},
      {"view.pan", StmTextNoop("Pan"), view, "", "", "Esc ends", nullptr, nullptr, nullptr},
      {"view.planeXY", StmTextNoop("Plane x-y"), view, "", "", "", nullptr, plane(CUbRenderWnd::VIEW_POS_XY), nullptr,
       true},
      {"view.planeXZ", StmTextNoop("Plane x-z"), view, "", "", "", nullptr, plane(CUbRenderWnd::VIEW_POS_XZ), nullptr},
      {"view.planeYZ", StmTextNoop("Plane y-z"), view, "", "", "", nullptr, plane(CUbRenderWnd::VIEW_POS_YZ), nullptr},
      {"view.styleDark", StmTextNoop("Dark"), style, "", "", "", nullptr, [light] { return !light(); }, nullptr},
      {"view.styleLight", StmTextNoop("Light"), style, "", "", "", nullptr, light, nullptr},
      {"results.analyse", StmTextNoop("Analyse"), resultsMenu, StmTextNoop("analyse the truss"), "F5", "", unlocked,
       nullptr, nullptr},
      // The load path is the concrete's: without an outline there is nothing to compute.
      {"results.loadPath", StmTextNoop("Load path"), resultsMenu, StmTextNoop("load path of the concrete (Esc cancels)"),
       "F6", "", [&model, busy] { return !busy() && model.GetCountBoundary(STM_BOUNDARY_OUTER, 1) > 0; }, nullptr,
       nullptr},
      {"results.clear", StmTextNoop("Clear results"), resultsMenu, "", "", "", results, nullptr, nullptr},
      {"results.inputModel", StmTextNoop("Input model"), resultsMenu, "", "", "",
       [results, inputShown] { return results() && !inputShown(); }, inputShown, nullptr, true},
  };
  c.insert(c.end(), rest.begin(), rest.end());
  return c;
}
