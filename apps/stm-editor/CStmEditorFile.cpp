// The editor's file commands: new, open, recent files, save and save as, the question about
// unsaved changes before any of them replaces the model, and the title that names the file.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "CStmEditor.h"
#include "CStmEditorUiHost.h"
#include "StmViewOfPlane.h"
#include "host/model/CStmModelFile.h"
#include "host/model/StmDxfImport.h"
#include "manager/StmDxfImportEdit.h"
#include "host/platform/StmText.h"
#include "StmDrawingExport.h"
#include "StmPicture.h"
#include "StmReport.h"

namespace fs = std::filesystem;

namespace {

// Where the file dialog starts: the folder of the model's file, else the one the dialog showed
// last, else the working folder.
std::string StartFolder(const std::string& path, const std::string& lastFolder) {
  std::error_code ec;
  if (!path.empty()) return fs::path(path).parent_path().string();
  if (!lastFolder.empty()) return lastFolder;
  const fs::path here = fs::current_path(ec);
  return ec ? std::string("/") : here.string();
}

}  // namespace

bool CStmEditor::IsModal() const {
  return m_pHost->IsMessageBoxOpen() || m_pHost->IsDialogOpen() || m_fileDialog.IsOpen() || m_newDialog.IsOpen() || m_results.IsAnalysing();
}

void CStmEditor::AnswerDialogByKey(int glfwKey) {
  const bool enter = glfwKey == GLFW_KEY_ENTER || glfwKey == GLFW_KEY_KP_ENTER;
  if (glfwKey != GLFW_KEY_ESCAPE && !enter) return;
  if (m_fileDialog.IsOpen()) enter ? m_fileDialog.Confirm() : m_fileDialog.Cancel();
  if (m_newDialog.IsOpen()) enter ? m_newDialog.Confirm() : m_newDialog.Cancel();
}

void CStmEditor::NewModel() {
  // A new model starts from what a fresh one has, whatever the model shown uses.
  CStmModel fresh;
  m_newDialog.Show(fresh.GetPlane(), fresh.GetUnitLength().str(), fresh.GetUnitForce().str());
  while (m_newDialog.IsOpen()) {
    if (!RunFrame()) m_newDialog.Cancel();
  }
  const bool chosen = m_newDialog.GetState() == CStmEditorNewModelDialog::EState::kChosen;
  m_newDialog.Close();
  if (!chosen) {
    m_pHost->SetStatusText(StmText("No new model; the model shown is as it was"));
    return;
  }
  m_actions.NewModel({m_newDialog.GetPlane(), m_newDialog.GetUnitLength(), m_newDialog.GetUnitForce(),
                      m_newDialog.GetDesignCode()});
}

void CStmEditor::OpenModel() {
  std::string path;
  if (!AskForPath(CStmEditorFileDialog::EMode::kOpen, path)) return;
  m_actions.OpenPath(path);
}

bool CStmEditor::AskForPath(CStmEditorFileDialog::EMode mode, std::string& path, const std::string& name,
                            const std::vector<std::string>& extensions, const std::string& title) {
  const std::string start = !name.empty() ? name
                            : mode == CStmEditorFileDialog::EMode::kSave && !m_actions.GetPath().empty()
                                ? fs::path(m_actions.GetPath()).filename().string()
                                : std::string();
  m_fileDialog.Show(mode, StartFolder(m_actions.GetPath(), m_fileDialog.GetFolder()), start, extensions, title);
  for (;;) {
    while (m_fileDialog.IsOpen()) {
      if (!RunFrame()) m_fileDialog.Cancel();
    }
    if (m_fileDialog.GetState() != CStmEditorFileDialog::EState::kChosen) break;
    path = m_fileDialog.GetPath();
    std::error_code ec;
    if (mode == CStmEditorFileDialog::EMode::kOpen || path == m_actions.GetPath() || !fs::exists(path, ec)) {
      m_fileDialog.Close();
      return true;
    }
    CString text;
    text.Format(StmText("%s already exists. Replace it?").c_str(), path.c_str());
    if (m_pHost->MessageBox(text, CString("stm-editor"), MB_YESNO | MB_ICONQUESTION) == IDYES) {
      m_fileDialog.Close();
      return true;
    }
    // Back to the dialog, to pick another name.
    m_fileDialog.Reopen();
  }
  m_fileDialog.Close();
  m_pHost->SetStatusText(StmText("Cancelled"));
  return false;
}

void CStmEditor::ExportResults(bool report) {
  if (!m_model.IsLock()) {
    m_pHost->SetStatusText(StmText("There are no results to export: analyse the model first (F5)"));
    return;
  }
  const std::string stem = m_actions.ExportStem();
  std::string path;
  // The dialog lists what this export writes, and a name typed without an extension takes the
  // first; the table's writer tells CSV from JSON by the extension.
  const std::vector<std::string> extensions =
      report ? std::vector<std::string>{".html", ".htm"} : std::vector<std::string>{".csv", ".json"};
  const CString title = report ? StmText("Export the report as") : StmText("Export the table as");
  if (!AskForPath(CStmEditorFileDialog::EMode::kSave, path, stem + extensions.front(), extensions, title.c_str())) {
    m_pHost->SetStatusText(StmText("Nothing was exported"));
    return;
  }
  std::string error;
  bool written = false;
  if (report) {
    // One frame more, with the dialog gone, gives the view as the user last saw it.
    m_bGrabScene = true;
    RunFrame();
    m_bGrabScene = false;
    const std::string png = m_scene.empty() ? std::string() : StmEncodePng(m_sceneWidth, m_sceneHeight, m_scene);
    m_scene.clear();
    written = StmWriteReport(m_model, DisplayName().c_str(), png, path, error);
  } else {
    written = StmWriteTable(m_model, path, error);
  }
  CString text;
  if (written)
    text.Format((report ? StmText("Report written to %s") : StmText("Table written to %s")).c_str(), path.c_str());
  else text = CString(error.c_str());
  m_pHost->SetStatusText(text);
}

void CStmEditor::ExportDrawing() {
  std::string path;
  const std::vector<std::string> extensions = {".pdf", ".svg", ".dxf"};
  if (!AskForPath(CStmEditorFileDialog::EMode::kSave, path, m_actions.ExportStem() + extensions.front(), extensions,
                  StmText("Export the drawing as").c_str())) {
    m_pHost->SetStatusText(StmText("Nothing was exported"));
    return;
  }
  SStmDrawingOptions options;
  options.fitScale = true;
  options.modelName = DisplayName().c_str();
  options.caseName = m_results.CaseCaption().c_str();
  // The drawing is made on an off-screen context of its own: one thread cannot hold the
  // window's context and that one current at once.
  glfwMakeContextCurrent(nullptr);
  std::string error;
  const bool written = StmExportDrawing(m_manager, path, options, error);
  glfwMakeContextCurrent(m_window);
  CString text;
  if (written) {
    text.Format(StmText("Drawing written to %s (1:%g, %s)").c_str(), path.c_str(), options.scale,
                options.sheet.c_str());
  } else {
    text = CString(error.c_str());
  }
  m_pHost->SetStatusText(text);
}

void CStmEditor::AfterModelShown() {
  m_results.ModelReplaced();
  m_ptHover = CPoint(-1, -1);
  m_strTooltip.clear();
  m_pHost->SetStatusText(IdleStatus());
  UpdateTitle();
}

void CStmEditor::UpdateTitle() {
  const std::string title = m_actions.Title();
  if (title == m_strTitle) return;
  m_strTitle = title;
  glfwSetWindowTitle(m_window, title.c_str());
}

void CStmEditor::ImportDxf() {
  if (!CheckUnlocked()) return;
  std::string path;
  if (!AskForPath(CStmEditorFileDialog::EMode::kOpen, path, std::string(), {".dxf"},
                  StmText("Import a DXF drawing").c_str())) {
    m_pHost->SetStatusText(StmText("Nothing was imported"));
    return;
  }
  // Without a layer picker, a layer named for guides is the user's way to ask for guidelines.
  SStmDxfOptions options;
  options.guideLayer = "GUIDE";
  options.modelUnit = m_model.GetUnitLength().c_str();
  SStmDxfDrawing drawing;
  std::string error;
  if (!StmReadDxf(path, options, drawing, error)) {
    m_pHost->SetStatusText(CString(error.c_str()));
    return;
  }
  if (!StmImportDxfDrawing(m_manager, drawing, error)) {
    CString text;
    text.Format(StmText("%s was not imported: %s").c_str(), path.c_str(), error.c_str());
    m_pHost->SetStatusText(text);
    return;
  }
  m_wnd.ZoomAll(0);
  m_wnd.InvalidateAllWnd();
  CString text;
  text.Format(StmText("Imported %s: %s").c_str(), fs::path(path).filename().string().c_str(),
              StmDescribeDxfDrawing(drawing).c_str());
  m_pHost->SetStatusText(text);
}
