// The editor's Analyse and Clear results: neither is an edit of the member, so neither takes an
// undo step or marks the model modified; results lock the model until they are cleared.
#include "CStmEditorAnalysis.h"

#include <algorithm>
#include <utility>

#include "CStmEditor.h"
#include "CStmEditorUiHost.h"
#include "analysis/CStmChecks.h"
#include "analysis/StmAnalysisPasses.h"
#include "host/platform/StmTextN.h"

namespace {

// Below this a solve passes unnoticed; beyond it the status line counts the steps.
constexpr double kBlinkSeconds = 0.2;
// Names listed on the status line before the rest are only counted.
constexpr size_t kNamesShown = 6;

}  // namespace

CStmEditorAnalysis::CStmEditorAnalysis(const CStmModel& model, CStmTrussAnalysis kept)
    : m_analysis(std::move(kept)), m_start(std::chrono::steady_clock::now()) {
  // The widths the last second pass solved with are that model's, not this one's.
  m_analysis.SetMemberStiffness({});
  m_analysis.Prepare(model);
  m_thread = std::thread([this] {
    m_analysis.Solve(&m_nStep);
    m_bDone = true;
  });
}

CStmEditorAnalysis::~CStmEditorAnalysis() {
  if (m_thread.joinable()) m_thread.join();
}

double CStmEditorAnalysis::GetSeconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

void CStmEditor::Analyse() {
  if (m_pAnalysis) return;
  if (m_model.IsLock()) {
    m_pHost->SetStatusText(StmText("The model already holds results; clear them first (Results > Clear results)"));
    return;
  }
  m_manager.ClearRenderMarkPos();
  m_wnd.CancelCommand();
  m_pAnalysis = std::make_unique<CStmEditorAnalysis>(m_model, std::move(m_keptAnalysis));
  // Locked while the solve reads its copy, so that no tool edits what it is solving.
  m_model.SetLock(1);
  m_bInputModel = false;
  m_pHost->SetStatusText(StmText("Analysing..."));
}

void CStmEditor::PollAnalysis() {
  if (!m_pAnalysis) return;
  // A frame that waited for input would hold the answer back.
  ++m_nInputs;
  if (!m_pAnalysis->IsDone()) {
    if (m_pAnalysis->GetSeconds() > kBlinkSeconds) {
      CString text;
      text.Format(StmText("Analysing: step %d of %d, %.1f s").c_str(), m_pAnalysis->GetStep() + 1,
                  m_pAnalysis->GetCountSteps(), m_pAnalysis->GetSeconds());
      m_pHost->SetStatusText(text);
    }
    return;
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
  m_pHost->SetStatusText(text);
}

void CStmEditor::ClearAnalysisResults() {
  if (m_pAnalysis || !m_model.IsLock()) {
    m_pHost->SetStatusText(StmText("There are no results to clear"));
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
  m_pHost->SetStatusText(StmText("Results cleared; the model can be edited again"));
}
