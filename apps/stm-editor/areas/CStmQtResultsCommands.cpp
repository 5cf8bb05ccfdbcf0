// The results beside the view: a timer looks at a running computation now and then, so that the
// editor draws nothing and wakes seldom while it waits, and stops when nothing runs.
#include "CStmQtResultsCommands.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>

#include "CStmEditorResults.h"
#include "CStmMainWindow.h"
#include "CStmQtDocks.h"
#include "CStmQtRenderWidget.h"
#include "CStmQtUiHost.h"
#include "docks/CStmQtResultsPanel.h"
#include "host/platform/StmText.h"

namespace {

// Often enough for the progress line to move, seldom enough to cost nothing.
constexpr int kPollMs = 50;

QString ToQt(const CString& text) { return QString::fromUtf8(text.c_str()); }

}  // namespace

CStmQtResultsCommands::CStmQtResultsCommands(CStmMainWindow& window)
    : CStmQtCommandArea(window),
      m_pResults(std::make_unique<CStmEditorResults>(window.Manager(), window.RenderWnd(), window.Model())),
      m_pPoll(new QTimer(this)) {
  m_pPoll->setInterval(kPollMs);
  connect(m_pPoll, &QTimer::timeout, this, [this] { Poll(); });
}

CStmQtResultsCommands::~CStmQtResultsCommands() = default;

void CStmQtResultsCommands::AddHandlers(Handlers& run) {
  run["results.analyse"] = [this] {
    m_pResults->Analyse();
    StartPolling();
  };
  run["results.loadPath"] = [this] {
    m_pResults->StartLoadPath();
    StartPolling();
  };
  run["results.clear"] = [this] { m_pResults->ClearResults(); };
  run["results.inputModel"] = [this] { m_pResults->ShowInputModel(); };
}

void CStmQtResultsCommands::AfterBuild() {
  m_pCaption = new QLabel(&m_window);
  m_pCaption->setObjectName("resultCaption");
  m_window.statusBar()->addPermanentWidget(m_pCaption);
  const QString results = ToQt(StmText("Results"));
  for (QAction* action : m_window.menuBar()->actions()) {
    if (action->menu() && action->text() == results) m_pResultsMenu = action->menu();
  }
  if (m_pResultsMenu) connect(m_pResultsMenu, &QMenu::aboutToShow, this, [this] { FillCaseMenu(); });
  if (CStmQtDocks* docks = m_window.Docks()) {
    connect(docks, &CStmQtDocks::ResultCaseChosen, this, [this](int index) { ShowCase(index); });
    docks->GetResults()->SetInputModelShown([this] { return IsInputModelShown(); });
  }
  m_window.View()->SetInputFilter([this](QEvent* event) { return AllowInput(event); });
  FillCaseMenu();
}

void CStmQtResultsCommands::Refresh() {
  if (m_pCaption) m_pCaption->setText(Caption());
  const bool editable = !IsComputing();
  CStmQtDocks* docks = m_window.Docks();
  if (docks && editable != m_bDocksEditable) docks->SetEditable(editable);
  m_bDocksEditable = editable;
  FillCaseMenu();
}

bool CStmQtResultsCommands::IsBusy() const { return m_pResults->IsLoadPathRunning(); }

bool CStmQtResultsCommands::IsComputing() const { return m_pResults->IsAnalysing() || IsBusy(); }

bool CStmQtResultsCommands::IsInputModelShown() const { return m_pResults->IsInputModelShown(); }

CString CStmQtResultsCommands::Progress() const { return m_pResults->LoadPathProgress(); }

void CStmQtResultsCommands::Stop() {
  if (!m_pResults->IsLoadPathRunning()) return;
  m_pResults->StopLoadPath();
  m_pPoll->stop();
  m_window.AfterChange();
}

QString CStmQtResultsCommands::Caption() const { return ToQt(m_pResults->CaseCaption()); }

void CStmQtResultsCommands::StartPolling() {
  if (IsComputing()) m_pPoll->start();
}

void CStmQtResultsCommands::Poll() {
  const bool ended = m_pResults->PollAnalysis() && !m_pResults->IsAnalysing();
  const bool loadPathEnded = m_pResults->PollLoadPath(m_window.Host().GetStatusText());
  if (!IsComputing()) m_pPoll->stop();
  if (ended || loadPathEnded) m_window.AfterChange();
}

void CStmQtResultsCommands::ShowCase(int index) {
  CStmModel& model = m_window.Model();
  // Cases have results only on a locked model, and not yet while the load path computes them.
  if (!model.IsLock() && index < 0) {
    // The model as put in is all there is to show.
  } else if (!model.IsLock() || IsComputing()) {
    m_window.SetStatus(StmText("There are no results to show yet: Results > Analyse first"));
  } else if (index < 0) {
    m_pResults->ShowInputModel();
  } else {
    m_pResults->ShowResultCase(index);
  }
  m_window.AfterChange();
}

bool CStmQtResultsCommands::AllowInput(QEvent* event) {
  if (!IsComputing()) {
    if (event->type() != QEvent::KeyPress) return true;
    // The key of a command greyed out reaches the view; the command itself says why it cannot
    // run (results already there, no outline to compute on).
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->modifiers() | key->key());
    for (const SStmCommand& command : m_window.Table().GetAll()) {
      if (command.id != "results.analyse" && command.id != "results.loadPath") continue;
      QAction* action = m_window.Action(command.id);
      if (!action || action->isEnabled() || action->shortcut() != pressed) continue;
      command.run();
      return false;
    }
    return true;
  }
  switch (event->type()) {
    case QEvent::Wheel:
    case QEvent::MouseMove:
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      // The middle button pans; the others would select or edit.
      if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) return true;
      break;
    case QEvent::KeyPress:
      switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Escape:
          m_pResults->CancelLoadPath();
          return false;
        // The view's own keys.
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
          return true;
        default:
          break;
      }
      break;
    default:
      return true;
  }
  if (IsBusy()) m_window.SetStatus(CStmEditorResults::LoadPathBusyText());
  return false;
}

void CStmQtResultsCommands::FillCaseMenu() {
  if (!m_pResultsMenu) return;
  const CStmModel& model = m_window.Model();
  const int statics = model.GetCountLoadConditionStatic();
  const int count = statics + model.GetCountLoadConditionCombo();
  QStringList names;
  for (int i = 0; i < count; ++i) {
    names << ToQt(i < statics ? model.GetLoadConditionStaticIndex(i)->GetName()
                              : model.GetLoadConditionComboIndex(i - statics)->GetName());
  }
  QStringList shown;
  for (QAction* action : m_caseActions) shown << action->text();
  if (count == 0) names << ToQt(StmText("No load cases"));
  if (shown != names) {
    if (!m_pCaseSeparator) m_pCaseSeparator = m_pResultsMenu->addSeparator();
    for (QAction* action : m_caseActions) delete action;
    m_caseActions.clear();
    for (int i = 0; i < names.size(); ++i) {
      QAction* action = m_pResultsMenu->addAction(names[i]);
      action->setObjectName(QString("results.case.%1").arg(i));
      action->setCheckable(count > 0);
      connect(action, &QAction::triggered, this, [this, i] { ShowCase(i); });
      m_caseActions << action;
    }
  }
  // The same choice as the Results dock's list: results of a case, once there are any.
  const bool results = model.IsLock() != 0 && !IsComputing();
  const int current = m_window.Manager().GetIndexLoadConditionResult();
  for (int i = 0; i < m_caseActions.size(); ++i) {
    m_caseActions[i]->setEnabled(results && count > 0);
    m_caseActions[i]->setChecked(results && !IsInputModelShown() && i == current);
  }
}
