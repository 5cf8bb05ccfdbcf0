// The toolbars' commands. Settings, snaps and the results' views stay in the menus, the status
// bar and the docks: a toolbar of every command would be a second menu bar.
#include "StmToolbars.h"

namespace {
// Marks a text for the catalogue where it is looked up later.
constexpr const char* StmTextNoop(const char* id) { return id; }
}  // namespace

const std::vector<SStmToolbar>& StmToolbars() {
  static const std::vector<SStmToolbar> kToolbars = {
      {StmTextNoop("File"), {"file.new", "file.open", "file.save"}},
      {StmTextNoop("Edit"), {"edit.undo", "edit.redo", "edit.cut", "edit.copy", "edit.paste", "edit.delete"}},
      {StmTextNoop("Draw"), {"draw.node", "draw.element", "draw.guideline"}},
      {StmTextNoop("Outline"), {"draw.outerOutline", "draw.opening", "draw.area"}},
      {StmTextNoop("Templates"),
       {"templates.truss", "templates.arch", "templates.bottleShape", "templates.combinedMechanism"}},
      {StmTextNoop("Modify"), {"modify.move", "modify.stretch", "modify.rotate", "modify.mirror", "modify.offset"}},
      {StmTextNoop("View"),
       {"view.zoomAll", "view.pan", "view.planeXY", "view.planeXZ", "view.planeYZ", "view.styleDark",
        "view.styleLight"}},
      {StmTextNoop("Results"), {"results.analyse", "results.loadPath", "results.clear"}},
  };
  return kToolbars;
}

std::string StmCommandIcon(const std::string& commandId) { return ":/icons/" + commandId + ".svg"; }
