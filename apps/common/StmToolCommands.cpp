#include "StmToolCommands.h"

#include "actions/CStmActionAddBoundary.h"
#include "host/model/CStmModel.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {

// Marks a text for the catalogue where it is looked up later.
constexpr const char* StmTextNoop(const char* id) { return id; }

struct SToolEntry {
  const char* id;
  const char* label;
  long action;
};

std::vector<SStmCommand> ToolCommands(const std::vector<SToolEntry>& entries, const char* menu, CStmUbRenderer& wnd,
                                      CStmModel& model, const std::function<void(long)>& start) {
  std::vector<SStmCommand> commands;
  for (const SToolEntry& entry : entries) {
    const long action = entry.action;
    commands.push_back({entry.id, entry.label, {menu}, "", "", "", [&model] { return model.IsLock() == 0; },
                        [&wnd, action] { return wnd.GetActionTypeCur() == action; },
                        [start, action] { start(action); }, commands.empty()});
  }
  return commands;
}

}  // namespace

std::vector<SStmCommand> StmOutlineCommands(CStmUbRenderer& wnd, CStmModel& model, const std::function<void(long)>& start) {
  return ToolCommands({{"draw.outerOutline", StmTextNoop("Outer outline from elements"), CStmActionAddBoundary::kActionOuter},
                       {"draw.opening", StmTextNoop("Opening from elements"), CStmActionAddBoundary::kActionInner},
                       {"draw.area", StmTextNoop("Property area from elements"), CStmActionAddBoundary::kActionArea}},
                      StmTextNoop("Draw"), wnd, model, start);
}

std::vector<SStmCommand> StmTemplateCommands(CStmUbRenderer& wnd, CStmModel& model, const std::function<void(long)>& start) {
  return ToolCommands({{"templates.truss", StmTextNoop("Truss"), CStmUbManager::kActionTruss},
                       {"templates.arch", StmTextNoop("Arch"), CStmUbManager::kActionArch},
                       {"templates.bottleShape", StmTextNoop("Bottle shape"), CStmUbManager::kActionBottleShape},
                       {"templates.combinedMechanism", StmTextNoop("Combined mechanism"),
                        CStmUbManager::kActionCombinedMechanism}},
                      StmTextNoop("Templates"), wnd, model, start);
}

const std::vector<SStmChoice<EStmTypeTrussPoint>>& StmTrussPointChoices() {
  static const std::vector<SStmChoice<EStmTypeTrussPoint>> kChoices = {
      {STM_TRUSS_POINT_HEIGHT, StmTextNoop("height")}, {STM_TRUSS_POINT_CORNER, StmTextNoop("top corner")}};
  return kChoices;
}

const std::vector<SStmChoice<EStmTypeTrussDirection>>& StmTrussDirectionChoices() {
  static const std::vector<SStmChoice<EStmTypeTrussDirection>> kChoices = {
      {STM_TRUSS_DIAGONAL_TO_P0, StmTextNoop("up to 1st")},
      {STM_TRUSS_DIAGONAL_TO_P1, StmTextNoop("up to 2nd")},
      {STM_TRUSS_DIAGONAL_BOTH, StmTextNoop("both")}};
  return kChoices;
}

const std::vector<SStmChoice<int>>& StmBottleTieChoices() {
  static const std::vector<SStmChoice<int>> kChoices = {{1, StmTextNoop("one")}, {2, StmTextNoop("two")}};
  return kChoices;
}

const std::vector<SStmChoice<EStmTypeCombinedMechanism>>& StmCombinedChoices() {
  static const std::vector<SStmChoice<EStmTypeCombinedMechanism>> kChoices = {
      {STM_COMBINED_TIE_HORIZONTAL, StmTextNoop("across")},
      {STM_COMBINED_TIE_VERTICAL_ONE, StmTextNoop("one upright")},
      {STM_COMBINED_TIE_VERTICAL_TWO, StmTextNoop("two upright")}};
  return kChoices;
}

CString StmOutlinePrompt() {
  return StmText("Select Element") + ": " +
         StmText("click or frame the elements of one closed chain, then press the right button; Esc cancels");
}

CString StmOutlineOutcome(UINT message, WPARAM wParam, LPARAM lParam) {
  // The area tool leaves its outcome to the main window.
  if (message != CStmActionAddBoundary::kMsgAdded || wParam != static_cast<WPARAM>(CStmActionAddBoundary::kActionArea))
    return CString();
  return lParam ? StmText("Property area added") : StmText("No property area was added");
}
