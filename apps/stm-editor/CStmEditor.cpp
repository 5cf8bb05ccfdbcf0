// The on-screen editor's window, event loop and overlay.
#include "CStmEditor.h"

#include <GLFW/glfw3.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>
#include <stb/stb_image_write.h>

#include "CStmEditorSelectAction.h"
#include "CStmEditorSurface.h"
#include "CStmEditorUiHost.h"
#include "host/framework/CUbActionZoomMove.h"
#include "host/framework/StmGlfwInput.h"
#include "host/model/CStmModelFile.h"
#include "host/platform/StmText.h"

namespace {

constexpr long kActionSelect = 48;
constexpr long kActionPan = 63;
// One notch of a mouse wheel, as Windows counts it.
constexpr double kWheelNotch = 120.0;

}  // namespace

CStmEditor::CStmEditor() = default;

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
  if (!CStmModelFile::Load(options.model, m_model, &error)) return false;

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
  m_pSurface->MakeCurrent();
  // A counted run goes as fast as it can; a user's run keeps to the display's pace.
  glfwSwapInterval(options.frames > 0 ? 0 : 1);
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;
  // The scene's actions choose the cursor.
  io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;
  ImGui::StyleColorsDark();
  ImGui_ImplGlfw_InitForOpenGL(m_window, true);
  ImGui_ImplOpenGL2_Init();
  m_bImGui = true;

  m_manager.AddAction(kActionSelect, new CStmEditorSelectAction);
  m_manager.AddAction(kActionPan, new CUbActionZoomMove);
  m_manager.SetStmModel(&m_model);
  m_wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
  m_manager.UpdateStmRenderer();
  m_wnd.SetAction(kActionSelect, -1, 1);
  m_wnd.ZoomAll(0);
  m_wnd.InvalidateAllWnd();
  m_pHost->SetStatusText(StmText("Ready"));
  UpdateTitle();
  return true;
}

bool CStmEditor::Run(std::string& error) {
  while (RunFrame()) {
    DispatchEvents();
    while (!m_commands.empty()) {
      const ECommand command = m_commands.front();
      m_commands.pop_front();
      RunCommand(command);
    }
    if (glfwWindowShouldClose(m_window)) {
      if (ConfirmClose()) break;
      glfwSetWindowShouldClose(m_window, GLFW_FALSE);
    }
  }
  if (m_options.screenshot.empty()) return true;
  if (m_shot.empty()) {
    error = StmText("no frame was drawn for the screenshot").c_str();
    return false;
  }
  // GL rows count from the bottom; the PNG's from the top.
  stbi_flip_vertically_on_write(1);
  if (!stbi_write_png(m_options.screenshot.c_str(), m_shotWidth, m_shotHeight, 4, m_shot.data(), m_shotWidth * 4)) {
    CString text;
    text.Format(StmText("%s: the PNG could not be written").c_str(), m_options.screenshot.c_str());
    error = text.c_str();
    return false;
  }
  return true;
}

bool CStmEditor::RunFrame() {
  if (m_options.frames > 0 && m_nFrames >= m_options.frames) return false;
  glfwPollEvents();
  if (!m_pHost->IsMessageBoxOpen()) {
    for (UINT id : m_pHost->TakeDueTimers()) m_wnd.OnTimer(id);
  }
  UpdateTitle();
  if (!m_pSurface->MakeCurrent()) return false;
  ImGui_ImplOpenGL2_NewFrame();
  ImGui_ImplGlfw_NewFrame();
  ImGui::NewFrame();
  DrawOverlay();
  ImGui::Render();
  m_wnd.Render();
  ++m_nFrames;
  return true;
}

void CStmEditor::BeforeSwap() {
  // The scene leaves its camera and state; the overlay's backend sets and restores its own.
  glViewport(0, 0, m_pSurface->GetWidth(), m_pSurface->GetHeight());
  ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
  if (m_options.screenshot.empty() || m_nFrames + 1 != m_options.frames) return;
  m_shotWidth = m_pSurface->GetWidth();
  m_shotHeight = m_pSurface->GetHeight();
  m_shot.assign(static_cast<size_t>(m_shotWidth) * m_shotHeight * 4, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, m_shotWidth, m_shotHeight, GL_RGBA, GL_UNSIGNED_BYTE, m_shot.data());
}

void CStmEditor::DrawOverlay() {
  const bool idle = !m_pHost->IsMessageBoxOpen();
  if (ImGui::BeginMainMenuBar()) {
    if (ImGui::BeginMenu(StmText("File").c_str(), idle)) {
      if (ImGui::MenuItem(StmText("Save").c_str(), "Ctrl+S")) m_commands.push_back(ECommand::kSave);
      if (ImGui::MenuItem(StmText("Quit").c_str())) m_commands.push_back(ECommand::kQuit);
      ImGui::EndMenu();
    }
    if (ImGui::BeginMenu(StmText("Edit").c_str(), idle)) {
      if (ImGui::MenuItem(StmText("Undo").c_str(), "Ctrl+Z", false, m_manager.CanUndo() != 0))
        m_commands.push_back(ECommand::kUndo);
      if (ImGui::MenuItem(StmText("Redo").c_str(), "Ctrl+Y", false, m_manager.CanRedo() != 0))
        m_commands.push_back(ECommand::kRedo);
      ImGui::EndMenu();
    }
    if (ImGui::BeginMenu(StmText("View").c_str(), idle)) {
      if (ImGui::MenuItem(StmText("Zoom all").c_str())) m_commands.push_back(ECommand::kZoomAll);
      if (ImGui::MenuItem(StmText("Pan").c_str(), "Esc ends")) m_commands.push_back(ECommand::kPan);
      ImGui::EndMenu();
    }
    ImGui::EndMainMenuBar();
  }

  // The status line along the bottom edge.
  const ImGuiViewport* viewport = ImGui::GetMainViewport();
  const float height = ImGui::GetFrameHeight();
  ImGui::SetNextWindowPos(ImVec2(viewport->Pos.x, viewport->Pos.y + viewport->Size.y - height));
  ImGui::SetNextWindowSize(ImVec2(viewport->Size.x, height));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(6.0f, 2.0f));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 0.0f);
  const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                 ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing |
                                 ImGuiWindowFlags_NoNav;
  if (ImGui::Begin("##status", nullptr, flags)) ImGui::TextUnformatted(m_pHost->GetStatusText().c_str());
  ImGui::End();
  ImGui::PopStyleVar(2);

  m_pHost->DrawMessageBox();
}

void CStmEditor::DispatchEvents() {
  while (!m_events.empty()) {
    SEvent event = m_events.front();
    m_events.pop_front();
    m_pHost->SetCursorPosition(event.pt);
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
  }
}

void CStmEditor::RunCommand(ECommand command) {
  switch (command) {
    case ECommand::kSave:
      Save();
      break;
    case ECommand::kUndo:
    case ECommand::kRedo: {
      const bool undo = command == ECommand::kUndo;
      if ((undo ? m_manager.Undo() : m_manager.Redo()) == 0) {
        m_pHost->SetStatusText(undo ? StmText("Nothing to undo") : StmText("Nothing to redo"));
        break;
      }
      m_model.SetStmModifiedFlag(1);
      m_wnd.InvalidateAllWnd();
      m_pHost->SetStatusText(undo ? StmText("Undone") : StmText("Redone"));
      break;
    }
    case ECommand::kZoomAll:
      m_wnd.ZoomAll(0);
      break;
    case ECommand::kPan:
      m_wnd.SetAction(kActionPan, -1, 1);
      m_pHost->SetStatusText(StmText("Drag to move the view; Esc returns to selection"));
      break;
    case ECommand::kQuit:
      glfwSetWindowShouldClose(m_window, GLFW_TRUE);
      break;
  }
}

bool CStmEditor::Save() {
  std::string error;
  if (!CStmModelFile::Save(m_options.model, m_model, &error)) {
    CString text;
    text.Format(StmText("The model could not be saved; the file on disk is unchanged.\n%s").c_str(), error.c_str());
    m_pHost->SetStatusText(StmText("Save failed"));
    AfxMessageBox(text, MB_OK | MB_ICONSTOP);
    return false;
  }
  CString text;
  text.Format(StmText("Saved %s").c_str(), m_options.model.c_str());
  m_pHost->SetStatusText(text);
  return true;
}

bool CStmEditor::ConfirmClose() {
  if (m_model.GetStmModifiedFlag() == 0) return true;
  CString text;
  text.Format(StmText("Save the changes to %s?").c_str(), m_options.model.c_str());
  switch (m_pHost->MessageBox(text, CString("stm-editor"), MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return Save();
    case IDNO:
      return true;
    default:
      return false;
  }
}

void CStmEditor::UpdateTitle() {
  const std::string title =
      std::string("stm-editor - ") + m_options.model + (m_model.GetStmModifiedFlag() ? " *" : "");
  if (title == m_strTitle) return;
  m_strTitle = title;
  glfwSetWindowTitle(m_window, title.c_str());
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

// The callbacks only queue; the overlay keeps what falls on it, and nothing reaches the scene
// while a message box is up.

void CStmEditor::OnMouseButton(GLFWwindow* window, int button, int action, int mods) {
  CStmEditor* editor = FromWindow(window);
  if (button < 0 || button > GLFW_MOUSE_BUTTON_MIDDLE) return;
  const unsigned bit = 1u << button;
  // A release is delivered for a press the scene saw even when it ends over the overlay.
  const bool sceneHasIt = (editor->m_buttonsHeld & bit) != 0;
  if (action == GLFW_PRESS && (ImGui::GetIO().WantCaptureMouse || editor->m_pHost->IsMessageBoxOpen())) return;
  if (action == GLFW_RELEASE && !sceneHasIt) return;
  if (action == GLFW_PRESS) editor->m_buttonsHeld |= bit;
  else editor->m_buttonsHeld &= ~bit;
  double x = 0.0, y = 0.0;
  glfwGetCursorPos(window, &x, &y);
  editor->m_events.push_back({action == GLFW_PRESS ? SEvent::kButtonDown : SEvent::kButtonUp, button,
                              editor->MouseFlags(mods), editor->ToClient(x, y), 0});
}

void CStmEditor::OnCursorPos(GLFWwindow* window, double x, double y) {
  CStmEditor* editor = FromWindow(window);
  if (editor->m_pHost->IsMessageBoxOpen()) return;
  if (editor->m_buttonsHeld == 0 && ImGui::GetIO().WantCaptureMouse) return;
  int mods = 0;
  if (glfwGetKey(window, GLFW_KEY_LEFT_SHIFT) == GLFW_PRESS || glfwGetKey(window, GLFW_KEY_RIGHT_SHIFT) == GLFW_PRESS)
    mods |= GLFW_MOD_SHIFT;
  if (glfwGetKey(window, GLFW_KEY_LEFT_CONTROL) == GLFW_PRESS ||
      glfwGetKey(window, GLFW_KEY_RIGHT_CONTROL) == GLFW_PRESS)
    mods |= GLFW_MOD_CONTROL;
  const CPoint pt = editor->ToClient(x, y);
  // Moves pile up between frames; only the latest matters.
  if (!editor->m_events.empty() && editor->m_events.back().kind == SEvent::kMove) editor->m_events.pop_back();
  editor->m_events.push_back({SEvent::kMove, 0, editor->MouseFlags(mods), pt, 0});
}

void CStmEditor::OnScroll(GLFWwindow* window, double, double dy) {
  CStmEditor* editor = FromWindow(window);
  if (ImGui::GetIO().WantCaptureMouse || editor->m_pHost->IsMessageBoxOpen()) return;
  double x = 0.0, y = 0.0;
  glfwGetCursorPos(window, &x, &y);
  const short delta = static_cast<short>(dy * kWheelNotch);
  if (delta == 0) return;
  editor->m_events.push_back({SEvent::kWheel, 0, editor->MouseFlags(0), editor->ToClient(x, y), delta});
}

void CStmEditor::OnKey(GLFWwindow* window, int key, int, int action, int mods) {
  CStmEditor* editor = FromWindow(window);
  if (action == GLFW_RELEASE) return;
  if (ImGui::GetIO().WantCaptureKeyboard || editor->m_pHost->IsMessageBoxOpen()) return;
  if (mods & GLFW_MOD_CONTROL) {
    if (key == GLFW_KEY_S) {
      editor->m_commands.push_back(ECommand::kSave);
      return;
    }
    if (key == GLFW_KEY_Z) {
      editor->m_commands.push_back(ECommand::kUndo);
      return;
    }
    if (key == GLFW_KEY_Y) {
      editor->m_commands.push_back(ECommand::kRedo);
      return;
    }
  }
  const int virtualKey = GlfwKeyToVirtualKey(key);
  if (virtualKey == 0) return;
  double x = 0.0, y = 0.0;
  glfwGetCursorPos(window, &x, &y);
  editor->m_events.push_back({SEvent::kKey, virtualKey, editor->MouseFlags(mods), editor->ToClient(x, y), 0});
}
