// The on-screen editor's window, event loop, idle reports and input.
#include "CStmEditor.h"

#include <GLFW/glfw3.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>
#include <stb/stb_image_write.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "CStmEditorSurface.h"
#include "CStmEditorUiHost.h"
#include "entities/CStmEntityObject.h"
#include "host/framework/StmGlfwInput.h"
#include "host/model/CStmModelFile.h"
#include "host/platform/StmText.h"
#include "StmPicture.h"
#include "StmViewOfPlane.h"

namespace {

// One notch of a mouse wheel, as Windows counts it.
constexpr double kWheelNotch = 120.0;
// Frames without input before the editor counts as idle: the overlay takes a burst of input
// one event per frame, so a click on a menu settles only a frame or two after it arrived.
constexpr int kQuietFramesForIdle = 3;
// How long an idle editor waits for input before it looks at its timers again.
constexpr double kIdleWaitSeconds = 0.05;

// A text on one line of the idle report.
std::string OneLine(const char* text) {
  std::string out = text ? text : "";
  for (char& c : out) {
    if (c == '\n' || c == '\t' || c == '\r') c = ' ';
  }
  return out;
}

// The dialogs of two drawers as one list.
std::string JoinDescriptions(const std::string& a, const std::string& b) { return a.empty() || b.empty() ? a + b : a + ";" + b; }

}  // namespace

CStmEditor::CStmEditor() { BuildCommandTable(); }

CStmEditor::~CStmEditor() {
  if (m_bImGui) {
    m_pSurface->MakeCurrent();
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext();
  }
}

bool CStmEditor::Open(const SOptions& options, std::string& error) {
  m_options = options;
  if (!options.model.empty()) {
    if (!CStmModelFile::Load(options.model, m_model, &error)) return false;
    m_actions.SetPath(options.model);
  }
  m_actions.SetRecentFiles(CStmRecentFiles::DefaultLocation());
  m_actions.SetAskSavePath([this](std::string& path) { return AskForPath(CStmEditorFileDialog::EMode::kSave, path); });
  m_actions.SetOnModelShown([this] { AfterModelShown(); });

  std::string surfaceError;
  auto window = CUbGlfwSurface::Create(options.width, options.height, "stm-editor", &surfaceError);
  if (!window) {
    CString text;
    text.Format(StmText("no window could be opened: %s").c_str(), surfaceError.c_str());
    error = text.c_str();
    return false;
  }
  auto surface = std::make_unique<CStmEditorSurface>(std::move(window));
  m_pSurface = surface.get();
  m_window = surface->GetWindow();
  surface->SetBeforeSwap([this] { BeforeSwap(); });
  if (m_wnd.Create(&m_manager, std::move(surface)) < 0) {
    error = StmText("the render window could not be created").c_str();
    return false;
  }
  m_pHost = std::make_unique<CStmEditorUiHost>(m_window, [this] { return RunFrame(); });

  // Callbacks first, so that the overlay's backend chains to them.
  glfwSetWindowUserPointer(m_window, this);
  glfwSetMouseButtonCallback(m_window, &CStmEditor::OnMouseButton);
  glfwSetCursorPosCallback(m_window, &CStmEditor::OnCursorPos);
  glfwSetScrollCallback(m_window, &CStmEditor::OnScroll);
  glfwSetKeyCallback(m_window, &CStmEditor::OnKey);
  glfwGetCursorPos(m_window, &m_dCursorX, &m_dCursorY);
  m_pSurface->MakeCurrent();
  // A counted run goes as fast as it can; a user's run keeps to the display's pace.
  glfwSwapInterval(options.frames > 0 ? 0 : 1);
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;
  // The scene's actions choose the cursor.
  io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;
  ImGui_ImplGlfw_InitForOpenGL(m_window, true);
  ImGui_ImplOpenGL2_Init();
  m_bImGui = true;

  m_manager.SetStmModel(&m_model);
  m_actions.ShowModel();
  if (!m_actions.GetPath().empty()) m_actions.RememberFile(m_actions.GetPath());
  return true;
}

bool CStmEditor::Run(std::string& error) {
  while (RunFrame()) {
    DispatchEvents();
    while (!m_commands.empty()) {
      const SCommand command = m_commands.front();
      m_commands.pop_front();
      RunCommand(command);
    }
    m_drawTools.Run();
    if (!m_actions.Prompt().IsEmpty()) m_actions.FollowGrid();
    m_outlineTools.Run(*m_pHost);
    m_viewPanel.Run();
    TrackHistory();
    if (glfwWindowShouldClose(m_window)) {
      // What is closed must not be computed on: the load path stops first, leaving the model
      // as it was, so that the question about unsaved changes is about the model alone.
      m_results.StopLoadPath();
      if (ConfirmDiscard()) break;
      glfwSetWindowShouldClose(m_window, GLFW_FALSE);
    }
  }
  if (m_options.screenshot.empty()) return true;
  if (m_shot.empty()) {
    error = StmText("no frame was drawn for the screenshot").c_str();
    return false;
  }
  return StmWritePicture(m_options.screenshot, m_shotWidth, m_shotHeight, m_shot, error);
}

bool CStmEditor::RunFrame() {
  if (m_options.frames > 0 && m_nFrames >= m_options.frames) return false;
  // A settled editor sleeps until input comes; a counted run never waits.
  ReleaseTappedKeys();
  if (m_options.frames == 0 && m_nQuietFrames >= kQuietFramesForIdle) glfwWaitEventsTimeout(kIdleWaitSeconds);
  else glfwPollEvents();
  HoldTappedKeys();
  if (!IsModal()) {
    const std::vector<UINT> due = m_pHost->TakeDueTimers();
    for (UINT id : due) m_wnd.OnTimer(id);
    if (!due.empty()) {
      // A timer that fired changes what is shown as much as input does.
      ++m_nInputs;
      m_ptHover = m_pHost->GetCursorPos();
    }
  }
  // A frame that waited for input would hold the answer back.
  if (m_results.PollAnalysis()) ++m_nInputs;
  if (m_results.PollLoadPath(m_pHost->GetStatusText())) ++m_nInputs;
  UpdateTitle();
  if (!m_pSurface->MakeCurrent()) return false;
  FollowStyle();
  ImGui_ImplOpenGL2_NewFrame();
  ImGui_ImplGlfw_NewFrame();
  ImGui::NewFrame();
  DrawOverlay();
  ImGui::Render();
  // Known before the frame is drawn, so that only a reported frame is read back.
  // Input queued behind a modal window waits for it to close, so it does not keep the editor busy.
  const bool quiet = m_nInputs == 0 && ((m_events.empty() && m_commands.empty()) || IsModal());
  m_nInputs = 0;
  m_nQuietFrames = quiet ? m_nQuietFrames + 1 : 0;
  m_wnd.Render();
  ++m_nFrames;
  if (m_nQuietFrames == kQuietFramesForIdle) ReportIdle();
  return true;
}

void CStmEditor::HoldTappedKeys() {
  ImGuiIO& io = ImGui::GetIO();
  for (const int key : m_keysTapped) io.KeysDown[key] = true;
  m_keysShown.swap(m_keysTapped);
  m_keysTapped.clear();
  m_keysPressed.clear();
  UpdateOverlayModifiers();
}

void CStmEditor::ReleaseTappedKeys() {
  ImGuiIO& io = ImGui::GetIO();
  // One pressed again after it was tapped is held now.
  for (const int key : m_keysShown) io.KeysDown[key] = glfwGetKey(m_window, key) == GLFW_PRESS;
  m_keysShown.clear();
  UpdateOverlayModifiers();
}

void CStmEditor::UpdateOverlayModifiers() {
  ImGuiIO& io = ImGui::GetIO();
  io.KeyCtrl = io.KeysDown[GLFW_KEY_LEFT_CONTROL] || io.KeysDown[GLFW_KEY_RIGHT_CONTROL];
  io.KeyShift = io.KeysDown[GLFW_KEY_LEFT_SHIFT] || io.KeysDown[GLFW_KEY_RIGHT_SHIFT];
  io.KeyAlt = io.KeysDown[GLFW_KEY_LEFT_ALT] || io.KeysDown[GLFW_KEY_RIGHT_ALT];
  io.KeySuper = io.KeysDown[GLFW_KEY_LEFT_SUPER] || io.KeysDown[GLFW_KEY_RIGHT_SUPER];
}

void CStmEditor::ReportIdle() {
  if (m_options.idleFd < 0) return;
  int x = 0, y = 0;
  glfwGetWindowPos(m_window, &x, &y);
  double u = 0.0, v = 0.0;
  m_wnd.GetViewCenter(u, v);
  char view[256];
  std::snprintf(view, sizeof view, "view=%d\tscale=%.17g\tcentre=%.17g,%.17g", static_cast<int>(m_wnd.GetViewPos()),
                m_wnd.GetViewScale(), u, v);
  std::string line = "idle\tmark=" + std::to_string(m_nMarks) + "\tframe=" + std::to_string(m_nFrames) +
                     "\twindow=" + std::to_string(x) + "," + std::to_string(y) +
                     "\tsize=" + std::to_string(m_pSurface->GetWidth()) + "," + std::to_string(m_pSurface->GetHeight()) +
                     "\t" + view + "\tselected=" + std::to_string(m_manager.GetSelectMap().GetCount()) +
                     "\tmodified=" + std::to_string(m_model.GetStmModifiedFlag()) +
                     "\tlocked=" + std::to_string(m_model.IsLock()) + "\tundo=" + std::to_string(m_manager.GetUndoCount()) +
                     "\tredo=" + std::to_string(m_manager.GetRedoCount()) +
                     "\tortho=" + std::to_string(m_wnd.GetVHDraw() != 0 ? 1 : 0) +
                     "\tsnap=" + std::to_string(m_manager.GetOSnapMode()) +
                     "\tkeys=" + std::to_string(m_bShowKeys ? 1 : 0) +
                     "\tstyle=" + (m_model.GetStmDataView()->GetTypeColor() == STM_COLOR_LIGHT ? "light" : "dark") +
                     "\ttooltip=" + OneLine(m_strTooltip.c_str()) +
                     "\twhere=" + OneLine(m_strWhere.c_str()) +
                     "\tbox=" + OneLine(m_pHost->GetMessageBoxText().c_str()) +
                     "\tstatus=" + OneLine(m_pHost->GetStatusText().c_str()) +
                     "\tshown=" + OneLine(m_strStatusShown.c_str()) + "\ttitle=" + OneLine(m_strTitle.c_str()) +
                     "\tcase=" + OneLine(m_results.CaseCaption().c_str()) +
                     "\tloadpath=" + (m_results.IsLoadPathRunning() ? "running" : "") +
                     "\teso=" + std::to_string(m_model.GetCurrentStepEso() + 1) + "/" +
                     std::to_string(m_model.GetCountStepEso()) + "\tdialogs=" + OneLine(JoinDescriptions(m_drawTools.Describe(), m_viewPanel.Describe()).c_str()) +
                     "\tmodal=" + OneLine(m_pHost->DescribeDialog().c_str());
  // The model's file and settings, and the dialog that is open with what it shows.
  const char* dialog = m_newDialog.IsOpen() ? "new"
                       : !m_fileDialog.IsOpen() ? ""
                       : m_fileDialog.GetMode() == CStmEditorFileDialog::EMode::kOpen ? "open" : "save";
  line += "\tfile=" + OneLine(m_actions.GetPath().c_str()) + "\tplane=" + std::to_string(m_model.GetPlane()) +
          "\tunits=" + OneLine(m_model.GetUnitLength().c_str()) + "," + OneLine(m_model.GetUnitForce().c_str()) +
          "\tdialog=" + dialog + "\tfolder=" + OneLine(m_fileDialog.GetFolder().c_str()) +
          "\tedit=" + OneLine(m_fileDialog.GetEdit().c_str()) + "\tproblem=" + OneLine(m_fileDialog.GetProblem().c_str());
  line += "\tgrid=" + std::to_string(m_manager.GetGridPointKeys().size()) + "\tguidelines=" +
          std::to_string(m_manager.GetCount(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(CStmEntityObject::kKindGuideline)));
  // Where the menu entries drawn in the last frame lie, by their untranslated names, so that a
  // harness can click them.
  line += "\titems=";
  for (size_t i = 0; i < m_items.size(); ++i) line += (i ? "|" : "") + m_items[i];
  line += "\n";
  // The picture is on disk before the report that it belongs to, and whole: a harness may be
  // reading the last one when a timer brings the next.
  if (!m_options.screenshot.empty() && !m_shot.empty()) {
    // A picture per report is for a quick look, so speed beats size.
    stbi_write_png_compression_level = 1;
    std::filesystem::path part(m_options.screenshot);
    part.replace_filename(part.stem().string() + ".part" + part.extension().string());
    std::string error;
    std::error_code ec;
    if (!StmWritePicture(part.string(), m_shotWidth, m_shotHeight, m_shot, error))
      std::fprintf(stderr, "stm-editor: %s\n", error.c_str());
    else if (std::filesystem::rename(part, m_options.screenshot, ec); ec)
      std::fprintf(stderr, "stm-editor: %s: %s\n", m_options.screenshot.c_str(), ec.message().c_str());
  }
  // A harness that went away must not stop the editor.
  if (write(m_options.idleFd, line.data(), line.size()) < 0) m_options.idleFd = -1;
}

void CStmEditor::BeforeSwap() {
  // The scene leaves its camera and state; the overlay's backend sets and restores its own.
  glViewport(0, 0, m_pSurface->GetWidth(), m_pSurface->GetHeight());
  if (m_bGrabScene) {
    m_bGrabScene = false;
    ReadBackBuffer(m_scene, m_sceneWidth, m_sceneHeight);
  }
  ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
  // A harness that asks for pictures gets the frame of every idle report.
  const bool reported = m_options.idleFd >= 0 && m_options.frames == 0 && m_nQuietFrames == kQuietFramesForIdle;
  if (m_options.screenshot.empty() || (!reported && m_nFrames + 1 != m_options.frames)) return;
  ReadBackBuffer(m_shot, m_shotWidth, m_shotHeight);
}

void CStmEditor::ReadBackBuffer(std::vector<unsigned char>& rgba, int& width, int& height) const {
  width = m_pSurface->GetWidth();
  height = m_pSurface->GetHeight();
  rgba.assign(static_cast<size_t>(width) * height * 4, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

void CStmEditor::DispatchEvents() {
  while (!m_events.empty()) {
    SEvent event = m_events.front();
    m_events.pop_front();
    // The overlay has laid out a frame since these events arrived, so it knows by now whether
    // a press or a turn of the wheel fell on it; in the callbacks it still judged by the place
    // the cursor had before.
    const unsigned bit = event.kind == SEvent::kButtonDown || event.kind == SEvent::kButtonUp ? 1u << event.button : 0u;
    const bool overOverlay = ImGui::GetIO().WantCaptureMouse;
    if ((event.kind == SEvent::kButtonDown || event.kind == SEvent::kWheel) && overOverlay) continue;
    if (event.kind == SEvent::kMove && m_sceneButtons == 0 && overOverlay) continue;
    // A release goes to the scene only for a press the scene had.
    if (event.kind == SEvent::kButtonUp && (m_sceneButtons & bit) == 0) continue;
    // While the load path is computed the middle button and the wheel move the view; the
    // others would select or edit.
    if (event.kind == SEvent::kButtonDown && m_results.IsLoadPathRunning() && event.button != GLFW_MOUSE_BUTTON_MIDDLE) {
      m_pHost->SetStatusText(CStmEditorResults::LoadPathBusyText());
      continue;
    }
    if (event.kind == SEvent::kButtonDown) m_sceneButtons |= bit;
    if (event.kind == SEvent::kButtonUp) m_sceneButtons &= ~bit;
    m_pHost->SetCursorPosition(event.pt);
    // A message stands until the user does something else.
    if (event.kind == SEvent::kButtonDown || event.kind == SEvent::kWheel || event.kind == SEvent::kKey)
      m_pHost->SetStatusText(IdleStatus());
    switch (event.kind) {
      case SEvent::kButtonDown:
        if (event.button == GLFW_MOUSE_BUTTON_LEFT) m_wnd.OnLButtonDown(event.flags, event.pt);
        if (event.button == GLFW_MOUSE_BUTTON_RIGHT) m_wnd.OnRButtonDown(event.flags, event.pt);
        if (event.button == GLFW_MOUSE_BUTTON_MIDDLE) m_wnd.OnMButtonDown(event.flags, event.pt);
        break;
      case SEvent::kButtonUp:
        if (event.button == GLFW_MOUSE_BUTTON_LEFT) m_wnd.OnLButtonUp(event.flags, event.pt);
        if (event.button == GLFW_MOUSE_BUTTON_RIGHT) m_wnd.OnRButtonUp(event.flags, event.pt);
        if (event.button == GLFW_MOUSE_BUTTON_MIDDLE) m_wnd.OnMButtonUp(event.flags, event.pt);
        break;
      case SEvent::kMove:
        m_wnd.OnMouseMove(event.flags, event.pt);
        break;
      case SEvent::kWheel:
        m_wnd.OnMouseWheel(event.flags, event.delta, event.pt);
        break;
      case SEvent::kKey:
        m_wnd.OnKeyDown(static_cast<UINT>(event.button), 1, 0);
        break;
    }
    TrackHistory();
  }
}

CPoint CStmEditor::ToClient(double x, double y) const {
  int windowWidth = 0, windowHeight = 0;
  glfwGetWindowSize(m_window, &windowWidth, &windowHeight);
  const double sx = windowWidth > 0 ? static_cast<double>(m_pSurface->GetWidth()) / windowWidth : 1.0;
  const double sy = windowHeight > 0 ? static_cast<double>(m_pSurface->GetHeight()) / windowHeight : 1.0;
  return CPoint(static_cast<int>(x * sx), static_cast<int>(y * sy));
}

UINT CStmEditor::MouseFlags(int mods) const { return GlfwMouseFlags(m_buttonsHeld, mods); }

CStmEditor* CStmEditor::FromWindow(GLFWwindow* window) {
  return static_cast<CStmEditor*>(glfwGetWindowUserPointer(window));
}

// The callbacks only queue, and nothing reaches the scene while a message box is up; what falls
// on the overlay is sorted out when the queue is dispatched.

void CStmEditor::OnMouseButton(GLFWwindow* window, int button, int action, int mods) {
  CStmEditor* editor = FromWindow(window);
  ++editor->m_nInputs;
  if (button < 0 || button > GLFW_MOUSE_BUTTON_MIDDLE) return;
  const unsigned bit = 1u << button;
  if (action == GLFW_PRESS && editor->IsModal()) return;
  if (action == GLFW_RELEASE && (editor->m_buttonsHeld & bit) == 0) return;
  if (action == GLFW_PRESS) editor->m_buttonsHeld |= bit;
  else editor->m_buttonsHeld &= ~bit;
  const double x = editor->m_dCursorX, y = editor->m_dCursorY;
  editor->m_events.push_back({action == GLFW_PRESS ? SEvent::kButtonDown : SEvent::kButtonUp, button,
                              editor->MouseFlags(mods), editor->ToClient(x, y), 0});
}

void CStmEditor::OnCursorPos(GLFWwindow* window, double x, double y) {
  CStmEditor* editor = FromWindow(window);
  ++editor->m_nInputs;
  editor->m_dCursorX = x;
  editor->m_dCursorY = y;
  if (editor->IsModal()) return;
  const CPoint pt = editor->ToClient(x, y);
  int mods = 0;
  if (glfwGetKey(window, GLFW_KEY_LEFT_SHIFT) == GLFW_PRESS || glfwGetKey(window, GLFW_KEY_RIGHT_SHIFT) == GLFW_PRESS)
    mods |= GLFW_MOD_SHIFT;
  if (glfwGetKey(window, GLFW_KEY_LEFT_CONTROL) == GLFW_PRESS ||
      glfwGetKey(window, GLFW_KEY_RIGHT_CONTROL) == GLFW_PRESS)
    mods |= GLFW_MOD_CONTROL;
  // Moves pile up between frames; only the latest matters.
  if (!editor->m_events.empty() && editor->m_events.back().kind == SEvent::kMove) editor->m_events.pop_back();
  editor->m_events.push_back({SEvent::kMove, 0, editor->MouseFlags(mods), pt, 0});
}

void CStmEditor::OnScroll(GLFWwindow* window, double, double dy) {
  CStmEditor* editor = FromWindow(window);
  ++editor->m_nInputs;
  if (editor->IsModal()) return;
  const double x = editor->m_dCursorX, y = editor->m_dCursorY;
  const short delta = static_cast<short>(dy * kWheelNotch);
  if (delta == 0) return;
  editor->m_events.push_back({SEvent::kWheel, 0, editor->MouseFlags(0), editor->ToClient(x, y), delta});
}

void CStmEditor::OnKey(GLFWwindow* window, int key, int, int action, int mods) {
  CStmEditor* editor = FromWindow(window);
  ++editor->m_nInputs;
  // The overlay's backend sets its key state after this returns, so a tapped key is only noted here.
  if (key >= 0 && key < static_cast<int>(IM_ARRAYSIZE(ImGui::GetIO().KeysDown))) {
    std::vector<int>& pressed = editor->m_keysPressed;
    if (action == GLFW_PRESS) pressed.push_back(key);
    if (action == GLFW_RELEASE && std::find(pressed.begin(), pressed.end(), key) != pressed.end())
      editor->m_keysTapped.push_back(key);
  }
  if (editor->m_options.idleFd >= 0 && key == GLFW_KEY_PAUSE) {
    if (action == GLFW_PRESS) ++editor->m_nMarks;
    return;
  }
  if (action == GLFW_RELEASE) return;
  if (editor->m_pHost->IsMessageBoxOpen()) {
    if (action == GLFW_PRESS) editor->m_pHost->AnswerByKey(key);
    return;
  }
  // A dialog of the scene's tools that holds the keyboard takes the key.
  if (editor->m_pHost->OnDialogKey(key)) return;
  if (!editor->IsModal()) {
    if (editor->m_viewPanel.OnKey(key)) return;
    if (editor->m_results.IsLoadPathRunning() && editor->OnLoadPathKey(key, mods)) return;
    if (editor->m_drawTools.OnKey(key)) return;
  }
  // The dialog's widgets have the other keys.
  if (editor->IsModal()) {
    if (action == GLFW_PRESS) editor->AnswerDialogByKey(key);
    return;
  }
  if (ImGui::GetIO().WantCaptureKeyboard) return;
  if (editor->m_table.RunKey(ChordOfGlfwKey(key, mods))) return;
  const int virtualKey = GlfwKeyToVirtualKey(key);
  if (virtualKey == 0) return;
  const double x = editor->m_dCursorX, y = editor->m_dCursorY;
  editor->m_events.push_back({SEvent::kKey, virtualKey, editor->MouseFlags(mods), editor->ToClient(x, y), 0});
}
