#include "CStmQtFileCommands.h"

#include <QAction>
#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <stdexcept>

#include "CStmMainWindow.h"
#include "CStmQtFileDialogs.h"
#include "CStmQtRenderWidget.h"
#include "StmDrawingExport.h"
#include "StmEditorCommands.h"
#include "StmReport.h"
#include "host/model/StmDxfImport.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "manager/StmDxfImportEdit.h"

namespace fs = std::filesystem;

namespace {

// Marks a text for the catalogue where it is looked up later, under a name held elsewhere.
constexpr const char* StmTextNoop(const char* id) { return id; }

QString ToQt(const CString& text) { return QString::fromUtf8(text.c_str()); }

CString Said(const char* format, const std::string& what) {
  CString text;
  text.Format(StmText(format).c_str(), what.c_str());
  return text;
}

}  // namespace

void CStmQtFileCommands::AddCommands(CStmCommandTable& table) {
  std::string error;
  // The table is the program's own; a clash is a mistake in it.
  if (!table.Add({"help.keys", StmTextNoop("Keys"), {StmTextNoop("Help")}, StmTextNoop("this list"), "F1", "", nullptr,
                  [this] { return m_pKeys && m_pKeys->isVisible(); }, [this] { ToggleKeys(); }},
                 error))
    throw std::logic_error("command table: " + error);
}

void CStmQtFileCommands::AddHandlers(Handlers& run) {
  run["file.new"] = [this] { NewModel(); };
  run["file.importDxf"] = [this] { ImportDxf(); };
  run["file.exportDrawing"] = [this] { ExportDrawing(); };
  run["file.exportReport"] = [this] { ExportResults(true); };
  run["file.exportTable"] = [this] { ExportResults(false); };
}

void CStmQtFileCommands::AfterBuild() {
  QAction* open = m_window.Action("file.open");
  QMenu* file = nullptr;
  for (QObject* holder : open ? open->associatedObjects() : QList<QObject*>())
    if ((file = qobject_cast<QMenu*>(holder))) break;
  if (!file) return;
  m_pRecent = new QMenu(ToQt(StmText("Open recent")), file);
  m_pRecent->setObjectName("recentFiles");
  // After Open, before Save.
  const QList<QAction*> entries = file->actions();
  const qsizetype at = entries.indexOf(open);
  QAction* before = at + 1 < entries.size() ? entries[at + 1] : nullptr;
  file->insertMenu(before, m_pRecent);
  connect(m_pRecent, &QMenu::aboutToShow, this, [this] { FillRecent(); });
  FillRecent();
}

void CStmQtFileCommands::Refresh() {
  if (m_pRecent) m_pRecent->setEnabled(!m_window.Actions().GetRecentFiles().GetFiles().empty());
}

void CStmQtFileCommands::FillRecent() {
  m_pRecent->clear();
  for (const std::string& path : m_window.Actions().GetRecentFiles().GetFiles()) {
    QAction* entry = m_pRecent->addAction(QString::fromStdString(path));
    connect(entry, &QAction::triggered, this, [this, path] { OpenRecent(path); });
  }
}

void CStmQtFileCommands::OpenRecent(const std::string& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) m_window.Actions().ForgetFile(path);
  else m_window.Actions().OpenPath(path);
  m_window.AfterChange();
}

void CStmQtFileCommands::NewModel() {
  CStmQtNewModelDialog dialog(&m_window);
  if (dialog.exec() != QDialog::Accepted) {
    m_window.SetStatus(StmText("No new model; the model shown is as it was"));
    return;
  }
  m_window.Actions().NewModel(dialog.Choice());
}

QString CStmQtFileCommands::AskFile(bool save, const QString& title, const QString& filters, const QString& name) {
  const std::string& model = m_window.Actions().GetPath();
  QFileDialog dialog(&m_window, title);
  dialog.setObjectName("stmFileDialog");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilter(filters);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!model.empty()) dialog.setDirectory(QString::fromStdString(fs::path(model).parent_path().string()));
  if (!name.isEmpty()) dialog.selectFile(name);
  const auto suffix = [&dialog](const QString& filter) {
    const QRegularExpressionMatch match = QRegularExpression(R"(\*\.(\w+))").match(filter);
    dialog.setDefaultSuffix(match.hasMatch() ? match.captured(1) : QString());
  };
  if (save) {
    suffix(dialog.selectedNameFilter());
    connect(&dialog, &QFileDialog::filterSelected, &dialog, suffix);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().front();
}

void CStmQtFileCommands::ImportDxf() {
  if (!m_window.Actions().CheckUnlocked()) return;
  const std::string path =
      AskFile(false, ToQt(StmText("Import a DXF drawing")), "DXF (*.dxf);;All files (*)")
          .toStdString();
  if (path.empty()) {
    m_window.SetStatus(StmText("Nothing was imported"));
    return;
  }
  // Until the user picks one, a layer named for guides gives the guidelines.
  SStmDxfOptions options;
  options.guideLayer = "GUIDE";
  options.modelUnit = m_window.Model().GetUnitLength().c_str();
  SStmDxfDrawing drawing;
  std::string error;
  if (!StmReadDxf(path, options, drawing, error)) {
    m_window.SetStatus(StmText("Nothing was imported"));
    AfxMessageBox(Said("The drawing was not imported; the model is as it was.\n%s", error), MB_OK | MB_ICONSTOP);
    return;
  }
  CStmQtDxfImportDialog preview(&m_window, path, options, drawing);
  if (preview.exec() != QDialog::Accepted) {
    m_window.SetStatus(StmText("Nothing was imported"));
    return;
  }
  if (!StmImportDxfDrawing(m_window.Manager(), preview.Drawing(), error)) {
    m_window.SetStatus(StmText("Nothing was imported"));
    AfxMessageBox(Said("%s was not imported: ", path) + CString(error.c_str()), MB_OK | MB_ICONSTOP);
    return;
  }
  m_window.RenderWnd().ZoomAll(0);
  m_window.RenderWnd().InvalidateAllWnd();
  CString text;
  text.Format(StmText("Imported %s: %s").c_str(), fs::path(path).filename().string().c_str(),
              StmDescribeDxfDrawing(preview.Drawing()).c_str());
  m_window.SetStatus(text);
}

void CStmQtFileCommands::ExportDrawing() {
  const QString path = AskFile(true, ToQt(StmText("Export the drawing as")),
                               "PDF (*.pdf);;SVG (*.svg);;DXF (*.dxf)",
                               QString::fromStdString(m_window.Actions().ExportStem() + ".pdf"));
  if (path.isEmpty()) {
    m_window.SetStatus(StmText("Nothing was exported"));
    return;
  }
  SStmDrawingOptions options;
  options.fitScale = true;
  options.modelName = m_window.Actions().DisplayName().c_str();
  options.caseName = StmShownCaseName(m_window.Manager(), m_window.Model());
  // The drawing is made on an off-screen context of its own, which cannot be current beside the
  // view's; the view takes its own back when it next draws.
  m_window.View()->doneCurrent();
  std::string error;
  CString text;
  if (StmExportDrawing(m_window.Manager(), path.toStdString(), options, error))
    text.Format(StmText("Drawing written to %s (1:%g, %s)").c_str(), path.toUtf8().constData(), options.scale,
                options.sheet.c_str());
  else text = CString(error.c_str());
  m_window.SetStatus(text);
}

void CStmQtFileCommands::ExportResults(bool report) {
  if (!m_window.Model().IsLock()) {
    m_window.SetStatus(StmText("There are no results to export: analyse the model first (F5)"));
    return;
  }
  const std::string stem = m_window.Actions().ExportStem();
  const QString path =
      report ? AskFile(true, ToQt(StmText("Export the report as")), "HTML (*.html *.htm)", QString::fromStdString(stem + ".html"))
             : AskFile(true, ToQt(StmText("Export the table as")), "CSV (*.csv);;JSON (*.json)",
                       QString::fromStdString(stem + ".csv"));
  if (path.isEmpty()) {
    m_window.SetStatus(StmText("Nothing was exported"));
    return;
  }
  std::string error;
  bool written = false;
  if (report) {
    // The report carries the view as the user last saw it.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    m_window.View()->grabFramebuffer().save(&buffer, "PNG");
    written = StmWriteReport(m_window.Model(), m_window.Actions().DisplayName().c_str(), png.toStdString(),
                             path.toStdString(), error);
  } else {
    written = StmWriteTable(m_window.Model(), path.toStdString(), error);
  }
  if (written)
    m_window.SetStatus(Said(report ? "Report written to %s" : "Table written to %s", path.toStdString()));
  else m_window.SetStatus(CString(error.c_str()));
}

void CStmQtFileCommands::ToggleKeys() {
  if (!m_pKeys) {
    m_pKeys = new QDialog(&m_window);
    m_pKeys->setObjectName("stmKeys");
    m_pKeys->setWindowTitle(ToQt(StmText("Keys")));
    const std::vector<StmKeyRow> rows = m_window.Table().KeyList(StmViewKeyRows());
    auto* table = new QTableWidget(static_cast<int>(rows.size()), 2, m_pKeys);
    table->setObjectName("keyList");
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
      table->setItem(i, 0, new QTableWidgetItem(ToQt(StmText(rows[i].first.c_str()))));
      table->setItem(i, 1, new QTableWidgetItem(ToQt(StmText(rows[i].second.c_str()))));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, m_pKeys, &QDialog::reject);
    auto* layout = new QVBoxLayout(m_pKeys);
    layout->addWidget(table);
    layout->addWidget(buttons);
    m_pKeys->resize(560, 520);
    // The check mark in the Help menu follows the list closed by its own button.
    connect(m_pKeys, &QDialog::finished, &m_window, [this] { m_window.AfterChange(); });
  }
  m_pKeys->setVisible(!m_pKeys->isVisible());
}
