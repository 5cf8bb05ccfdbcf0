// Results > Analyse, Load path, Clear results, Input model and the case shown. Each run is
// prepared on the model's thread, solved on a worker and applied on the model's thread again.
#include "CStmEditorResults.h"

#include <utility>

#include "analysis/StmAnalysisPasses.h"
#include "host/model/CStmModel.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmTextN.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {

// Below this a solve passes unnoticed; beyond it the status line counts the steps.
constexpr double kBlinkSeconds = 0.2;
// Names listed on the status line before the rest are only counted.
constexpr size_t kNamesShown = 6;
// Every layer that draws analysis results: forces and their values, widths, zones, flow,
// contour, legend, mesh and reactions.
constexpr unsigned kResultLayers = STM_SHOW_WIDTHS | STM_SHOW_NODAL_ZONES | STM_SHOW_RESULTS | STM_SHOW_RESULT_VALUES |
                                   STM_SHOW_STRESS_FLOW | STM_SHOW_ARROW_HEADS | STM_SHOW_LEGEND | STM_SHOW_MESH |
                                   STM_SHOW_WIDTHS_DESIGNED | STM_SHOW_NODAL_ZONES_MAX | STM_SHOW_REACTIONS;
// Every layer the load path draws: the contour of the step shown with its legend, the stress
// flow and the mesh it was computed on.
constexpr unsigned kLoadPathLayers = STM_SHOW_STRESS_FLOW | STM_SHOW_LEGEND | STM_SHOW_MESH;

}  // namespace

CStmEditorResults::CStmEditorResults(CStmUbManager& manager, CStmUbRenderer& wnd, CStmModel& model)
    : m_manager(manager), m_wnd(wnd), m_model(model) {}

CStmEditorResults::~CStmEditorResults() { StopLoadPath(); }

void CStmEditorResults::Analyse() {
  if (m_pAnalysis) return;
  if (m_model.IsLock()) {
    GetUiHost().SetStatusText(StmText("The model already holds results; clear them first (Results > Clear results)"));
    return;
  }
  m_manager.ClearRenderMarkPos();
  m_wnd.CancelCommand();
  m_pAnalysis = std::make_unique<CStmEditorAnalysis>(m_model, std::move(m_keptAnalysis));
  // Locked while the solve reads its copy, so that no tool edits what it is solving.
  m_model.SetLock(1);
  m_bInputModel = false;
  GetUiHost().SetStatusText(StmText("Analysing..."));
}

bool CStmEditorResults::PollAnalysis() {
  if (!m_pAnalysis) return false;
  if (!m_pAnalysis->IsDone()) {
    if (m_pAnalysis->GetSeconds() > kBlinkSeconds) {
      CString text;
      text.Format(StmText("Analysing: step %d of %d, %.1f s").c_str(), m_pAnalysis->GetStep() + 1,
                  m_pAnalysis->GetCountSteps(), m_pAnalysis->GetSeconds());
      GetUiHost().SetStatusText(text);
    }
    return true;
  }
  std::unique_ptr<CStmEditorAnalysis> run = std::move(m_pAnalysis);
  CStmTrussAnalysis& analysis = run->GetAnalysis();
  m_model.SetLock(0);
  CString text;
  // The second pass solves once more here, on the model's thread: a solve costs little next to
  // the checks that follow it anyway.
  switch (StmApplyAndCheck(analysis, m_model, 0, &m_checkCache)) {
    case CStmTrussAnalysis::kSolved: {
      m_model.GetStmDataView()->SetShowOption(STM_SHOW_REACTIONS, 1);
      ShowResultCase(0);
      const int statics = m_model.GetCountLoadConditionStatic();
      const int combos = m_model.GetCountLoadConditionCombo();
      CString cases, combinations;
      cases.Format(StmTextN("%d load case", "%d load cases", statics).c_str(), statics);
      combinations.Format(StmTextN("%d combination", "%d combinations", combos).c_str(), combos);
      if (analysis.GetIndeterminacy() == 0) {
        text.Format(StmText("Analysed %s and %s; the truss is statically determinate").c_str(), cases.c_str(),
                    combinations.c_str());
      } else {
        text.Format(StmText("Analysed %s and %s; the truss is statically indeterminate to degree %d").c_str(),
                    cases.c_str(), combinations.c_str(), analysis.GetIndeterminacy());
      }
      // Where stiffness shares the load, one EA for all members gives forces a designer must
      // not take for real ones.
      if (const int missing = analysis.GetMissingMaterials()) {
        CString what;
        const CString thickness = StmText("thickness");
        for (const auto& [bit, name] : {std::pair{int(CStmTrussAnalysis::kMissingConcreteModulus), "E_c"},
                                        {int(CStmTrussAnalysis::kMissingSteelModulus), "E_s"},
                                        {int(CStmTrussAnalysis::kMissingThickness), thickness.c_str()}}) {
          if (!(missing & bit)) continue;
          if (!what.IsEmpty()) what += ", ";
          what += name;
        }
        CString note;
        note.Format(StmText("; every member has the same stiffness, since %s is not given (Properties, Model)").c_str(),
                    what.c_str());
        text += note;
      }
      text += "; ";
      text += CStmChecks::Summary(m_model, 0);
      break;
    }
    case CStmTrussAnalysis::kMechanism: {
      std::vector<CVector> marks;
      CString names;
      for (size_t i = 0; i < analysis.GetMechanismNodes().size(); ++i) {
        const CStmObjNode* node = m_model.GetNode(analysis.GetMechanismNodes()[i]);
        if (!node) continue;
        marks.push_back(node->GetCoord());
        if (i >= kNamesShown) continue;
        if (i > 0) names += ", ";
        names += node->GetName();
      }
      if (analysis.GetMechanismNodes().size() > kNamesShown) names += ", ...";
      m_manager.SetRenderMarkPos(marks, STM_MARK_POINT, 1.5);
      if (marks.empty()) {
        // Singular by its pivots, yet no way to move stands out: nearly, not exactly, a mechanism.
        text = StmText("Not analysed: the truss is nearly a mechanism (look for elements almost in line and "
                       "supports that hold too little)");
        break;
      }
      text.Format(StmText("Not analysed: the truss is a mechanism. Nodes %s and %d elements can move without "
                          "straining it (marked)")
                      .c_str(),
                  names.c_str(), static_cast<int>(analysis.GetMechanismElements().size()));
      break;
    }
    case CStmTrussAnalysis::kNoLoadCase:
      text = StmText("Nothing to analyse: the truss is stable, but the model has no load case");
      break;
    default:
      text = StmText("Nothing to analyse: the model has no elements");
      break;
  }
  // What the analysis left out or doubts is never passed over: the count and the first; the
  // whole list is one stm-render run away.
  const std::vector<CString>& warnings = analysis.GetWarnings();
  if (!warnings.empty()) {
    CString more;
    const unsigned long count = warnings.size();
    more.Format(StmTextN(". %d warning: %s", ". %d warnings: %s; ...", count).c_str(), static_cast<int>(count),
                warnings.front().c_str());
    text += more;
  }
  m_keptAnalysis = std::move(analysis);
  m_wnd.InvalidateAllWnd();
  GetUiHost().SetStatusText(text);
  return true;
}

void CStmEditorResults::ClearResults() {
  if (m_pAnalysis || !m_model.IsLock()) {
    GetUiHost().SetStatusText(StmText("There are no results to clear"));
    return;
  }
  if (m_bInputModel) {
    CStmDataView* view = m_model.GetStmDataView();
    view->SetShowOptions(view->GetShowOptions() | m_nHiddenResultLayers);
    m_bInputModel = false;
  }
  m_model.ClearResults();
  m_manager.ClearRenderMarkPos();
  m_wnd.InvalidateAllWnd();
  GetUiHost().SetStatusText(StmText("Results cleared; the model can be edited again"));
}

void CStmEditorResults::ShowInputModel() {
  if (!m_model.IsLock() || m_bInputModel) return;
  CStmDataView* view = m_model.GetStmDataView();
  m_nHiddenResultLayers = view->GetShowOptions() & kResultLayers;
  view->SetShowOptions(view->GetShowOptions() & ~kResultLayers);
  m_bInputModel = true;
  m_wnd.InvalidateAllWnd();
  GetUiHost().SetStatusText(StmText("Input model shown without its results; it stays locked while it holds them. "
                                    "Choose a load case to show them again."));
}

void CStmEditorResults::ShowResultCase(int index) {
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
  text.Format(StmText("Results shown: %s").c_str(), CaseCaption().c_str());
  const CString checks = CStmChecks::Summary(m_model, index);
  if (!checks.IsEmpty()) {
    text += "; ";
    text += checks;
  }
  GetUiHost().SetStatusText(text);
}

CString CStmEditorResults::CaseCaption() const {
  if (!m_model.IsLock()) return CString();
  if (m_bInputModel) return StmText("Input model (results hidden)");
  const int index = m_manager.GetIndexLoadConditionResult();
  const int statics = m_model.GetCountLoadConditionStatic();
  CString caption;
  if (index >= 0 && index < statics) {
    caption.Format(StmText("Load case %s").c_str(), m_model.GetLoadConditionStaticIndex(index)->GetName().c_str());
  } else if (index >= statics && index < statics + m_model.GetCountLoadConditionCombo()) {
    caption.Format(StmText("Combination %s").c_str(),
                   m_model.GetLoadConditionComboIndex(index - statics)->GetName().c_str());
  }
  return caption;
}

void CStmEditorResults::StartLoadPath() {
  if (m_pLoadPath || m_pAnalysis) return;
  const int loadCase = m_manager.GetIndexLoadConditionLoad();
  auto run = std::make_unique<CStmEditorLoadPath>();
  if (!run->Start(m_model, loadCase)) {
    GetUiHost().SetStatusText(run->GetError());
    return;
  }
  m_manager.ClearRenderMarkPos();
  m_wnd.CancelCommand();
  m_pLoadPath = std::move(run);
  // No tool may edit what is being computed; the view stays free.
  m_bLockedBeforeLoadPath = m_model.IsLock() != 0;
  m_model.SetLock(1);
  m_strProgressShown = LoadPathProgress();
  GetUiHost().SetStatusText(m_strProgressShown);
}

CString CStmEditorResults::LoadPathProgress() const {
  if (!m_pLoadPath) return CString();
  if (m_pLoadPath->IsCancelling()) return StmText("Load path: cancelling...");
  const CStmLoadPath::SProgress& progress = m_pLoadPath->GetProgress();
  const int step = progress.nIteration.load();
  if (step == 0) return StmText("Load path: meshing and solving the concrete (Esc cancels)");
  CString text;
  text.Format(StmText("Load path: step %d, %.0f %% of the area left, ratio %.3f (Esc cancels)").c_str(), step,
              100.0 * progress.dAreaLeft.load(), progress.dRatio.load());
  return text;
}

bool CStmEditorResults::PollLoadPath(const CString& statusShown) {
  if (!m_pLoadPath) return false;
  if (!m_pLoadPath->IsDone()) {
    // The progress line stands in for the idle status; a message the user was given meanwhile
    // stays until the next input.
    const CString progress = LoadPathProgress();
    if (statusShown == m_strProgressShown) GetUiHost().SetStatusText(progress);
    m_strProgressShown = progress;
    return false;
  }
  std::unique_ptr<CStmEditorLoadPath> run = std::move(m_pLoadPath);
  if (run->GetStatus() != CStmLoadPath::kSolved) {
    m_model.SetLock(m_bLockedBeforeLoadPath ? 1 : 0);
    GetUiHost().SetStatusText(run->GetStatus() == CStmLoadPath::kCancelled
                                  ? StmText("Load path cancelled; the model is as it was")
                                  : run->GetError());
    return true;
  }
  run->GetLoadPath().Apply(m_model);
  m_model.SetLock(1);
  if (m_model.GetCurrentStepEso() < 0 || m_model.GetCurrentStepEso() >= m_model.GetCountStepEso())
    m_model.SetCurrentStepEso(m_model.GetCountStepEso() - 1);
  CStmDataView* view = m_model.GetStmDataView();
  if (m_bInputModel) {
    view->SetShowOptions(view->GetShowOptions() | m_nHiddenResultLayers);
    m_bInputModel = false;
  }
  view->SetShowOptions(view->GetShowOptions() | kLoadPathLayers);
  m_manager.SetIndexLoadConditionResult(run->GetLoadCase());
  m_wnd.InvalidateAllWnd();
  const CStmLoadPath& result = run->GetLoadPath();
  CString text;
  text.Format(StmText("Load path of %s: %d cells, %d steps, the last with %.0f %% of the area; the control panel "
                      "chooses the step shown")
                  .c_str(),
              CaseCaption().c_str(), result.GetCountCells(), m_model.GetCountStepEso(),
              100.0 * result.GetAreaLeft());
  // Why the removal stopped short of the target, when it did.
  if (!result.GetNote().IsEmpty()) text += ". " + result.GetNote();
  GetUiHost().SetStatusText(text);
  return true;
}

void CStmEditorResults::CancelLoadPath() {
  if (!m_pLoadPath) return;
  m_pLoadPath->Cancel();
  m_strProgressShown = LoadPathProgress();
  GetUiHost().SetStatusText(m_strProgressShown);
}

void CStmEditorResults::StopLoadPath() {
  if (!m_pLoadPath) return;
  m_pLoadPath.reset();
  m_model.SetLock(m_bLockedBeforeLoadPath ? 1 : 0);
}

CString CStmEditorResults::LoadPathBusyText() {
  return StmText("The load path is being computed: the model can be looked at, not changed, until it ends "
                 "(Esc cancels)");
}

