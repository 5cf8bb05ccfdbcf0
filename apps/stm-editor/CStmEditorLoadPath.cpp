// Results > Load path: prepared on the model's thread, solved on a worker, applied on the model's
// thread again. Like Analyse it is no edit: no undo step, no `*`, and the results lock the model.
#include "CStmEditorLoadPath.h"

#include <GLFW/glfw3.h>

#include "CStmEditor.h"
#include "CStmEditorUiHost.h"
#include "host/platform/StmText.h"

bool CStmEditorLoadPath::Start(const CStmModel& model, int loadCase) {
  m_nLoadCase = loadCase;
  if (!m_loadPath.Prepare(model, loadCase)) return false;
  m_thread = std::thread([this] {
    m_eStatus = m_loadPath.Solve(&m_progress, &m_bCancel);
    m_bDone = true;
  });
  return true;
}

CStmEditorLoadPath::~CStmEditorLoadPath() {
  m_bCancel = true;
  if (m_thread.joinable()) m_thread.join();
}

namespace {

// Every layer the load path draws: the contour of the step shown with its legend, the stress
// flow and the mesh it was computed on.
constexpr unsigned kLoadPathLayers = STM_SHOW_STRESS_FLOW | STM_SHOW_LEGEND | STM_SHOW_MESH;

}  // namespace

void CStmEditor::StartLoadPath() {
  if (m_pLoadPath || m_pAnalysis) return;
  const int loadCase = m_manager.GetIndexLoadConditionLoad();
  auto run = std::make_unique<CStmEditorLoadPath>();
  if (!run->Start(m_model, loadCase)) {
    m_pHost->SetStatusText(run->GetError());
    return;
  }
  m_manager.ClearRenderMarkPos();
  m_wnd.CancelCommand();
  m_pLoadPath = std::move(run);
  // No tool may edit what is being computed; the view stays free.
  m_bLockedBeforeLoadPath = m_model.IsLock() != 0;
  m_model.SetLock(1);
  m_strProgressShown = LoadPathProgress();
  m_pHost->SetStatusText(m_strProgressShown);
}

CString CStmEditor::LoadPathProgress() const {
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

void CStmEditor::PollLoadPath() {
  if (!m_pLoadPath) return;
  if (!m_pLoadPath->IsDone()) {
    // The progress line stands in for the idle status; a message the user was given meanwhile
    // stays until the next input.
    const CString progress = LoadPathProgress();
    if (m_pHost->GetStatusText() == m_strProgressShown) m_pHost->SetStatusText(progress);
    m_strProgressShown = progress;
    return;
  }
  // A frame that waited for input would hold the answer back.
  ++m_nInputs;
  std::unique_ptr<CStmEditorLoadPath> run = std::move(m_pLoadPath);
  if (run->GetStatus() != CStmLoadPath::kSolved) {
    m_model.SetLock(m_bLockedBeforeLoadPath ? 1 : 0);
    m_pHost->SetStatusText(run->GetStatus() == CStmLoadPath::kCancelled
                               ? StmText("Load path cancelled; the model is as it was")
                               : run->GetError());
    return;
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
              ResultCaseCaption().c_str(), result.GetCountCells(), m_model.GetCountStepEso(),
              100.0 * result.GetAreaLeft());
  // Why the removal stopped short of the target, when it did.
  if (!result.GetNote().IsEmpty()) text += ". " + result.GetNote();
  m_pHost->SetStatusText(text);
}

void CStmEditor::StopLoadPath() {
  if (!m_pLoadPath) return;
  m_pLoadPath.reset();
  m_model.SetLock(m_bLockedBeforeLoadPath ? 1 : 0);
}

bool CStmEditor::RefuseWhileLoadPath(ECommand command) {
  if (!m_pLoadPath) return false;
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
      m_pLoadPath->Cancel();
      m_strProgressShown = LoadPathProgress();
      m_pHost->SetStatusText(m_strProgressShown);
      return true;
    default:
      m_pHost->SetStatusText(LoadPathBusyText());
      return true;
  }
}

CString CStmEditor::LoadPathBusyText() {
  return StmText("The load path is being computed: the model can be looked at, not changed, until it ends "
                 "(Esc cancels)");
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
      m_pHost->SetStatusText(LoadPathBusyText());
      return true;
  }
}
