#include "CStmMainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include <QDockWidget>

#include "CStmQtDialog.h"
#include "CStmQtDocks.h"
#include "CStmQtRenderWidget.h"
#include "CStmQtUiHost.h"
#include "CStmRecentFiles.h"
#include "StmEditorCommands.h"
#include "StmQtLook.h"
#include "StmToolbars.h"
#include "StmTooltipTable.h"
#include "areas/CStmQtFileCommands.h"
#include "areas/CStmQtResultsCommands.h"
#include "areas/CStmQtToolsCommands.h"
#include "dialogs/CStmDlgViewControl.h"
#include "host/framework/CUbEntityObj.h"
#include "host/model/CStmModelFile.h"
#include "host/platform/StmTextN.h"

namespace {

QString Tr(const std::string& id) { return QString::fromUtf8(StmText(id.c_str()).c_str()); }
QString ToQt(const CString& text) { return QString::fromUtf8(text.c_str()); }

// How often the autosave looks whether its interval has passed.
constexpr int kAutosaveTickMs = 1000;

const char* const kModelFilter = "STM models (*.stm.json);;All files (*)";

const char* const kMenus[] = {"File", "Edit", "Draw", "Modify", "View", "Style", "Results", "Templates", "Help"};

}  // namespace

QString CStmMainWindow::SettingsDir() {
  const std::string recent = CStmRecentFiles::DefaultLocation();
  if (recent.empty()) return QString();
  return QString::fromStdString(std::filesystem::path(recent).parent_path().string());
}

CStmMainWindow::CStmMainWindow(const SOptions& options, QWidget* parent)
    : QMainWindow(parent),
      m_options(options),
      m_autosave(SettingsDir().toStdString(), options.autosave) {
  // The icons live in a static library, whose resources register only when asked.
  Q_INIT_RESOURCE(icons);
  setObjectName("stmMainWindow");
  m_pView = new CStmQtRenderWidget(this);
  m_pView->setObjectName("stmView");
  setCentralWidget(m_pView);
  m_pHost = std::make_unique<CStmQtUiHost>(*this, *m_pView, [this] { return m_pView->GetLastCursor(); });
  if (m_wnd.Create(&m_manager, m_pView->CreateSurface()) < 0)
    throw std::runtime_error("the render window could not be created");
  m_pView->SetRenderWnd(&m_wnd);
  m_manager.SetStmModel(&m_model);
  m_actions.SetRecentFiles(CStmRecentFiles::DefaultLocation());
  m_actions.SetAskSavePath([this](std::string& path) { return AskSavePath(path); });

  connect(m_pView, &CStmQtRenderWidget::BeforeInput, this,
          [this] { m_pHost->SetStatusText(CString(IdleStatus().toUtf8().constData())); });
  connect(m_pView, &CStmQtRenderWidget::SceneInput, this, [this] { AfterChange(); });
  connect(m_pView, &CStmQtRenderWidget::CursorMoved, this, [this] { UpdateWhere(); });
  m_pView->SetTooltipText([this] { return HoverTooltip(); });
  connect(m_pHost.get(), &CStmQtUiHost::TimerDue, this, [this](unsigned id) {
    m_wnd.OnTimer(id);
    m_pView->UpdateIfInvalid();
  });
  connect(m_pHost.get(), &CStmQtUiHost::StatusChanged, this, [this](const QString& text) {
    if (m_pMessage) m_pMessage->setText(text);
  });

  m_pFile = new CStmQtFileCommands(*this);
  m_pResults = new CStmQtResultsCommands(*this);
  m_pTools = new CStmQtToolsCommands(*this);
  BuildCommands();
  BuildMenus();
  BuildToolBars();
  BuildStatusBar();
  BuildViewPanel();
  m_pDocks = new CStmQtDocks(*this, m_manager, m_model);
  // Stacked, the docks would ask for more height than a laptop's screen has: they share one
  // place as tabs, Properties in front.
  const QList<QDockWidget*> docks = m_pDocks->Docks();
  for (QDockWidget* dock : docks) {
    addDockWidget(Qt::RightDockWidgetArea, dock);
    if (dock != docks.front()) tabifyDockWidget(docks.front(), dock);
  }
  if (!docks.isEmpty()) docks.front()->raise();
  for (CStmQtCommandArea* area : {static_cast<CStmQtCommandArea*>(m_pFile), static_cast<CStmQtCommandArea*>(m_pResults),
                                  static_cast<CStmQtCommandArea*>(m_pTools)})
    area->AfterBuild();
  connect(m_pDocks, &CStmQtDocks::Changed, this, [this] {
    m_wnd.InvalidateAllWnd();
    AfterChange();
  });
  // Reached before Changed, so that the steps walked are not taken for a new one.
  connect(m_pDocks, &CStmQtDocks::HistoryMoved, this, [this](int) { m_actions.HistoryMoved(); });

  m_pAutosaveTimer = new QTimer(this);
  connect(m_pAutosaveTimer, &QTimer::timeout, this, [this] { AutosaveTick(); });
  m_pAutosaveTimer->start(std::min<int>(kAutosaveTickMs, static_cast<int>(options.autosave.count())));

  resize(options.width, options.height);
  RestoreLayout();
}

CStmMainWindow::~CStmMainWindow() {
  // The widgets outlive the scene, the model and the panel they show (Qt deletes children after
  // the members are gone): nothing of theirs may reach back once this goes.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  // A computation beside the view ends before the model it reads goes.
  delete m_pResults;
  delete m_pTools;
  delete m_pFile;
  m_pResults = nullptr;
  m_pTools = nullptr;
  m_pFile = nullptr;
  delete m_pDocks;
  m_pDocks = nullptr;
  if (m_pViewPanel) delete m_pViewPanel->parentWidget();
  m_pView->SetRenderWnd(nullptr);
}

bool CStmMainWindow::Open(std::string& error) {
  if (!m_options.model.empty()) {
    if (!CStmModelFile::Load(m_options.model, m_model, &error)) return false;
    m_actions.SetPath(m_options.model);
  }
  m_actions.ShowModel();
  if (!m_actions.GetPath().empty()) m_actions.RememberFile(m_actions.GetPath());
  // Keys go to the drawing unless the user clicks elsewhere.
  m_pView->setFocus(Qt::OtherFocusReason);
  m_pHost->SetStatusText(CString(IdleStatus().toUtf8().constData()));
  AfterChange();
  if (!m_options.screenshot.empty()) {
    // Counted frames, then the picture and the end: one paint asks for the next.
    connect(m_pView, &CStmQtRenderWidget::frameSwapped, this, [this] {
      if (m_pView->GetPaintCount() >= std::max(1, m_options.frames)) TakeScreenshot();
      else m_pView->RequestFrame();
    });
  }
  return true;
}

void CStmMainWindow::TakeScreenshot() {
  if (m_options.screenshot.empty()) return;
  const QImage picture = m_pView->GrabWindow();
  const std::string path = m_options.screenshot;
  m_options.screenshot.clear();
  if (!picture.save(QString::fromStdString(path))) {
    std::fprintf(stderr, "stm-editor: %s: %s\n", path.c_str(), StmText("the picture could not be written").c_str());
    QApplication::exit(1);
    return;
  }
  QApplication::exit(0);
}

void CStmMainWindow::OfferRecovery() {
  std::string recovery, original;
  if (!m_autosave.FindRecovery(recovery, original)) return;
  QMessageBox box(this);
  box.setObjectName("stmRecoveryOffer");
  box.setIcon(QMessageBox::Question);
  box.setWindowTitle("stm-editor");
  const QString name = original.empty() ? ToQt(StmText("untitled"))
                                        : QString::fromStdString(std::filesystem::path(original).filename().string());
  box.setText(ToQt(StmText("The editor did not close cleanly last time. A copy of %1 with the changes made then "
                           "was kept. Open it?"))
                  .arg(name));
  QPushButton* open = box.addButton(ToQt(StmText("Open it")), QMessageBox::AcceptRole);
  open->setObjectName("openRecovery");
  box.addButton(ToQt(StmText("Discard")), QMessageBox::RejectRole)->setObjectName("discardRecovery");
  box.exec();
  if (box.clickedButton() != open) {
    m_autosave.Discard();
    return;
  }
  CStmModel loaded;
  std::string error;
  if (!CStmModelFile::Load(recovery, loaded, &error)) {
    AfxMessageBox(CString((ToQt(StmText("The copy could not be read; it stays where it is.")) + "\n" +
                           QString::fromStdString(error)).toUtf8().constData()),
                  MB_OK | MB_ICONSTOP);
    return;
  }
  m_actions.TakeModel(loaded, original);
  // It is the changed model, not the file: saving it is the user's choice.
  m_actions.MarkRecovered();
  m_autosave.Discard();
  m_pHost->SetStatusText(StmText("The recovered copy is shown; save it to keep it"));
  AfterChange();
}

QAction* CStmMainWindow::Action(const std::string& id) const {
  const auto found = m_actionsById.find(id);
  return found == m_actionsById.end() ? nullptr : found->second;
}

QToolBar* CStmMainWindow::ToolBar(const QString& name) const {
  const auto found = m_toolBars.find(name);
  return found == m_toolBars.end() ? nullptr : found->second;
}

QString CStmMainWindow::StatusMessage() const { return m_pMessage ? m_pMessage->text() : QString(); }

int CStmMainWindow::PaintCount() const { return m_pView->GetPaintCount(); }

void CStmMainWindow::BuildCommands() {
  // The handlers this window offers; a command without one is left out of it.
  std::map<std::string, std::function<void()>> run = {
      {"file.open", [this] { OpenModel(); }},
      {"file.save", [this] { m_actions.Save(); }},
      {"file.saveAs", [this] { m_actions.SaveAs(); }},
      {"file.quit", [this] { close(); }},
      {"edit.undo", [this] { m_actions.UndoRedo(true); }},
      {"edit.redo", [this] { m_actions.UndoRedo(false); }},
      {"edit.cut", [this] { m_actions.CutOrDelete(true); }},
      {"edit.copy", [this] { m_actions.Copy(); }},
      {"edit.paste", [this] { m_actions.StartModifyTool(CStmUbManager::kActionPaste); }},
      {"edit.delete", [this] { m_actions.CutOrDelete(false); }},
      {"edit.cancel", [this] { m_wnd.CancelCommand(); }},
      {"edit.outlineFromElements", [this] { m_actions.MakeFromSelectedElements(false); }},
      {"edit.areaFromElements", [this] { m_actions.MakeFromSelectedElements(true); }},
      {"edit.ortho", [this] { m_actions.ToggleOrtho(); }},
      {"draw.node", [this] { m_actions.StartDrawTool(CStmUbManager::kActionAddNode); }},
      {"draw.element", [this] { m_actions.StartDrawTool(CStmUbManager::kActionAddElement); }},
      {"draw.guideline", [this] { m_actions.StartDrawTool(CStmUbManager::kActionAddGuideline); }},
      {"draw.askLength", [this] { m_actions.ToggleAskLength(); }},
      {"modify.move", [this] { m_actions.StartModifyTool(CStmUbManager::kActionMove); }},
      {"modify.stretch", [this] { m_actions.StartModifyTool(CStmUbManager::kActionStretch); }},
      {"modify.rotate", [this] { m_actions.StartModifyTool(CStmUbManager::kActionRotate); }},
      {"modify.mirror", [this] { m_actions.StartModifyTool(CStmUbManager::kActionMirror); }},
      {"modify.offset", [this] { m_actions.StartModifyTool(CStmUbManager::kActionOffset); }},
      {"view.zoomAll", [this] { m_wnd.ZoomAll(0); }},
      {"view.pan", [this] { m_actions.StartPan(); }},
      {"view.planeXY", [this] { m_actions.SetViewPlane(CUbRenderWnd::VIEW_POS_XY); }},
      {"view.planeXZ", [this] { m_actions.SetViewPlane(CUbRenderWnd::VIEW_POS_XZ); }},
      {"view.planeYZ", [this] { m_actions.SetViewPlane(CUbRenderWnd::VIEW_POS_YZ); }},
      {"view.styleDark", [this] { m_actions.SetStyle(STM_COLOR_DARK); }},
      {"view.styleLight", [this] { m_actions.SetStyle(STM_COLOR_LIGHT); }},
  };
  for (const SStmSnapMode& snap : StmSnapModes()) {
    const long bit = snap.bit;
    run[std::string("draw.snap.") + snap.id] = [this, bit] { m_actions.ToggleSnap(bit); };
  }
  m_pFile->AddHandlers(run);
  m_pResults->AddHandlers(run);
  m_pTools->AddHandlers(run);
  const SStmEditorCommandState state{[this] { return m_pResults && m_pResults->IsBusy(); },
                                     [this] { return m_pResults && m_pResults->IsInputModelShown(); }};
  for (SStmCommand& command : StmEditorCommands(m_manager, m_wnd, m_model, state)) {
    const auto handler = run.find(command.id);
    if (handler == run.end()) continue;
    command.run = handler->second;
    std::string error;
    // The table is the program's own; a clash is a mistake in it that must show at once.
    if (!m_table.Add(std::move(command), error)) throw std::logic_error("command table: " + error);
  }
  m_pFile->AddCommands(m_table);
  m_pResults->AddCommands(m_table);
  m_pTools->AddCommands(m_table);
  for (const SStmCommand& command : m_table.GetAll()) {
    auto* action = new QAction(Tr(command.label), this);
    action->setObjectName(QString::fromStdString(command.id));
    // A command without an icon of its own shows its text on the toolbar.
    const QString icon = QString::fromStdString(StmCommandIcon(command.id));
    if (QFile::exists(icon)) action->setIcon(QIcon(icon));
    if (!command.key.empty()) action->setShortcut(QKeySequence::fromString(QString::fromStdString(command.key)));
    QString tip = Tr(command.label);
    if (!command.help.empty()) tip = Tr(command.help);
    const std::string& keyText = CStmCommandTable::KeyText(command);
    if (!keyText.empty()) tip += QString(" (%1)").arg(QString::fromStdString(keyText));
    action->setToolTip(tip);
    action->setStatusTip(tip);
    action->setCheckable(static_cast<bool>(command.checked));
    const std::string id = command.id;
    connect(action, &QAction::triggered, this, [this, id, action] {
      // The table decides the check mark, not Qt's own toggling.
      if (action->isCheckable()) action->setChecked(!action->isChecked());
      m_pHost->SetStatusText(CString(IdleStatus().toUtf8().constData()));
      m_table.Run(id);
      AfterChange();
    });
    addAction(action);
    m_actionsById[id] = action;
  }
}

void CStmMainWindow::BuildMenus() {
  QMenu* style = nullptr;
  for (const char* name : kMenus) {
    const std::vector<const SStmCommand*> commands = m_table.InMenu(name);
    if (commands.empty()) continue;
    QMenu* menu = std::string(name) == "Style" && style ? style : menuBar()->addMenu(Tr(name));
    bool first = true;
    for (const SStmCommand* command : commands) {
      if (command->separatorBefore && !first) menu->addSeparator();
      first = false;
      menu->addAction(Action(command->id));
    }
    if (std::string(name) == "View") style = menu->addMenu(ToQt(StmText("Style")));
  }
}

void CStmMainWindow::BuildToolBars() {
  for (const SStmToolbar& bar : StmToolbars()) {
    QToolBar* toolBar = addToolBar(Tr(bar.name));
    // The saved layout finds a toolbar by this name.
    const QString name = "toolbar." + QString(bar.name).toLower();
    toolBar->setObjectName(name);
    for (const std::string& id : bar.commands) {
      if (QAction* action = Action(id)) toolBar->addAction(action);
    }
    m_toolBars[name] = toolBar;
  }
}

void CStmMainWindow::BuildStatusBar() {
  m_pMessage = new QLabel(this);
  m_pMessage->setObjectName("statusMessage");
  statusBar()->addWidget(m_pMessage, 1);
  m_pWhere = new QLabel(this);
  m_pWhere->setObjectName("statusWhere");
  statusBar()->addPermanentWidget(m_pWhere);
  m_pSelected = new QLabel(this);
  m_pSelected->setObjectName("statusSelected");
  statusBar()->addPermanentWidget(m_pSelected);
  // The grid shown is a setting of the view, not a command with a key.
  m_pGridAction = new QAction(ToQt(StmText("Grid")), this);
  m_pGridAction->setObjectName("view.grid");
  m_pGridAction->setCheckable(true);
  connect(m_pGridAction, &QAction::triggered, this, [this](bool on) {
    m_model.GetStmDataView()->SetShowOption(STM_SHOW_GRID_POINTS, on ? 1 : 0);
    m_wnd.InvalidateAllWnd();
    AfterChange();
  });
  std::vector<QAction*> toggles;
  for (const SStmSnapMode& snap : StmSnapModes()) toggles.push_back(Action(std::string("draw.snap.") + snap.id));
  toggles.push_back(Action("edit.ortho"));
  toggles.push_back(m_pGridAction);
  // The bar has room for a word each.
  const std::map<QString, QString> shortNames = {
      {"draw.snap.node", ToQt(StmText("Node"))},       {"draw.snap.end", ToQt(StmText("End"))},
      {"draw.snap.middle", ToQt(StmText("Middle"))},   {"draw.snap.intersection", ToQt(StmText("Intersection"))},
      {"draw.snap.perpendicular", ToQt(StmText("Perpendicular"))}, {"draw.snap.nearest", ToQt(StmText("Nearest"))},
      {"edit.ortho", ToQt(StmText("Ortho"))},
  };
  for (QAction* action : toggles) {
    if (!action) continue;
    if (const auto name = shortNames.find(action->objectName()); name != shortNames.end())
      action->setIconText(name->second);
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setObjectName("status." + action->objectName());
    statusBar()->addPermanentWidget(button);
  }
}

void CStmMainWindow::BuildViewPanel() {
  m_manager.ShowDlgViewControl();
  CStmDlgViewControl* panel = m_manager.GetDlgViewControl();
  if (!panel) return;
  auto* dock = new QDockWidget(ToQt(panel->GetCaption()), this);
  dock->setObjectName("dock.viewControl");
  m_pViewPanel = new CStmQtDialog(*panel, dock, true);
  dock->setWidget(m_pViewPanel);
  addDockWidget(Qt::LeftDockWidgetArea, dock);
  connect(m_pViewPanel, &CStmQtDialog::Changed, this, [this] {
    m_wnd.InvalidateAllWnd();
    AfterChange();
  });
  connect(dock, &QDockWidget::visibilityChanged, this, [panel](bool shown) { panel->ShowWindow(shown ? SW_SHOW : SW_HIDE); });
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
    if (menu->title() == ToQt(StmText("View"))) menu->addAction(dock->toggleViewAction());
  }
}

void CStmMainWindow::AfterChange() {
  m_actions.TrackHistory();
  // A drawing tool snaps to the grid of the view it draws in.
  const long tool = m_wnd.GetActionTypeCur();
  if (tool == CStmUbManager::kActionAddNode || tool == CStmUbManager::kActionAddElement ||
      tool == CStmUbManager::kActionAddGuideline)
    m_actions.FollowGrid();
  const QString title = QString::fromStdString(m_actions.Title());
  if (windowTitle() != title) setWindowTitle(title);
  RefreshActions();
  UpdateWhere();
  StmApplyQtLook(m_model.GetStmDataView()->GetTypeColor());
  m_pSelected->setText(ToQt(StmTextCount("%d selected", "%d selected", m_manager.GetSelectMap().GetCount())));
  m_pGridAction->setChecked(m_model.GetStmDataView()->IsShowOption(STM_SHOW_GRID_POINTS));
  if (m_pDocks) m_pDocks->Refresh();
  // The view's settings also change elsewhere (a file opened, the style menu); never under the
  // user's typing.
  if (m_pViewPanel && !m_pViewPanel->isAncestorOf(QApplication::focusWidget())) {
    if (CStmDlgViewControl* panel = m_manager.GetDlgViewControl()) panel->SetDataInit();
    m_pViewPanel->Refresh();
  }
  for (CStmQtCommandArea* area : {static_cast<CStmQtCommandArea*>(m_pFile), static_cast<CStmQtCommandArea*>(m_pResults),
                                  static_cast<CStmQtCommandArea*>(m_pTools)})
    if (area) area->Refresh();
  m_pView->UpdateIfInvalid();
}

void CStmMainWindow::RefreshActions() {
  for (const SStmCommand& command : m_table.GetAll()) {
    QAction* action = Action(command.id);
    action->setEnabled(CStmCommandTable::IsEnabled(command));
    if (action->isCheckable()) action->setChecked(CStmCommandTable::IsChecked(command));
  }
}

void CStmMainWindow::UpdateWhere() {
  // Where a click would put the point: on the snap marked under the cursor while a tool takes
  // points, else under the cursor itself.
  const long tool = m_wnd.GetActionTypeCur();
  const bool snapped = m_wnd.GetOSnapType() >= 0 && tool != CStmUbManager::kActionNormal && tool != CStmUbManager::kActionPan;
  const CVector p = snapped ? m_wnd.GetOSnapPos() : m_wnd.ClientToExt(m_pView->GetLastCursor(), 0.0);
  const double coords[] = {p.x, p.y, p.z};
  static const char* const kAxes[] = {"x", "y", "z"};
  int first = 0, second = 1;
  if (m_wnd.GetViewPos() == CUbRenderWnd::VIEW_POS_XZ) second = 2;
  if (m_wnd.GetViewPos() == CUbRenderWnd::VIEW_POS_YZ) first = 1, second = 2;
  m_pWhere->setText(QString("%1 %2  %3 %4 %5")
                        .arg(kAxes[first])
                        .arg(coords[first], 0, 'g', 6)
                        .arg(kAxes[second])
                        .arg(coords[second], 0, 'g', 6)
                        .arg(ToQt(m_model.GetUnitLength())));
}

void CStmMainWindow::SetStatus(const CString& text) { m_pHost->SetStatusText(text); }

QString CStmMainWindow::HoverTooltip() const {
  CUbEntityObj* entity = m_wnd.GetHoverEntity();
  if (!entity) return QString();
  StmTooltipRows rows = StmReadTooltipTable(entity->GetTooltipPropInfoTable().c_str());
  StmPresentTooltip(rows, m_model.GetStmDataView()->GetFixedPointNumber(), m_model.GetUnitLength().str(),
                    m_model.GetUnitForce().str());
  if (rows.empty()) return QString();
  QString html = "<table>";
  for (const auto& row : rows) {
    html += "<tr>";
    for (const std::string& cell : row) html += "<td>" + QString::fromStdString(cell).toHtmlEscaped() + "</td>";
    html += "</tr>";
  }
  return html + "</table>";
}

QString CStmMainWindow::IdleStatus() {
  // A computation's progress stands in for the idle status while it runs.
  if (m_pResults && !m_pResults->Progress().IsEmpty()) return ToQt(m_pResults->Progress());
  return ToQt(m_actions.IdleStatus());
}

bool CStmMainWindow::AskSavePath(std::string& path) {
  const QString start = m_actions.GetPath().empty() ? QString() : QString::fromStdString(m_actions.GetPath());
  const QString chosen = QFileDialog::getSaveFileName(this, ToQt(StmText("Save as")), start, kModelFilter);
  if (chosen.isEmpty()) return false;
  path = chosen.toStdString();
  return true;
}

void CStmMainWindow::OpenModel() {
  const QString start =
      m_actions.GetPath().empty() ? QString()
                                  : QString::fromStdString(std::filesystem::path(m_actions.GetPath()).parent_path().string());
  const QString chosen = QFileDialog::getOpenFileName(this, ToQt(StmText("Open")), start, kModelFilter);
  if (chosen.isEmpty()) return;
  m_actions.OpenPath(chosen.toStdString());
}

void CStmMainWindow::AutosaveTick() {
  std::string error;
  const bool wrote = m_autosave.Tick(
      CStmAutosave::Clock::now(), m_actions.IsModified(), m_actions.GetPath(),
      [this](const std::string& path, std::string& message) { return CStmModelFile::Save(path, m_model, &message); },
      error);
  // The saver takes the copy for the file; the history still says the model differs from it.
  if (wrote) m_actions.TrackHistory();
  if (!error.empty()) {
    CString text;
    text.Format(StmText("The recovery copy could not be written: %s").c_str(), error.c_str());
    m_pHost->SetStatusText(text);
  }
}

void CStmMainWindow::RestoreLayout() {
  QSettings settings;
  restoreGeometry(settings.value("window/geometry").toByteArray());
  restoreState(settings.value("window/state").toByteArray());
}

void CStmMainWindow::SaveLayout() {
  QSettings settings;
  settings.setValue("window/geometry", saveGeometry());
  settings.setValue("window/state", saveState());
}

void CStmMainWindow::closeEvent(QCloseEvent* event) {
  // What is closed must not be computed on; the question is then about the model alone.
  m_pResults->Stop();
  m_wnd.CancelCommand();
  if (!m_actions.ConfirmDiscard()) {
    event->ignore();
    AfterChange();
    return;
  }
  SaveLayout();
  m_autosave.Discard();
  event->accept();
}
