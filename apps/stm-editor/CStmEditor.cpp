// The on-screen editor's window, event loop and overlay.
#include "CStmEditor.h"

#include <GLFW/glfw3.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>
#include <stb/stb_image_write.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "CStmEditorSelectAction.h"
#include "CStmEditorSurface.h"
#include "CStmEditorUiHost.h"
#include "host/framework/CUbActionZoomMove.h"
#include "host/framework/StmGlfwInput.h"
#include "host/model/CStmModelFile.h"
#include "host/platform/StmText.h"
#include "StmPicture.h"
#include "StmTooltipTable.h"
#include "StmViewOfPlane.h"
#include "entities/CStmEntityObject.h"

namespace {

constexpr long kActionSelect = 48;
constexpr long kActionPan = 63;
// One notch of a mouse wheel, as Windows counts it.
constexpr double kWheelNotch = 120.0;
// Frames without input before the editor counts as idle: the overlay takes a burst of input
// one event per frame, so a click on a menu settles only a frame or two after it arrived.
constexpr int kQuietFramesForIdle = 3;
// How long an idle editor waits for input before it looks at its timers again.
constexpr double kIdleWaitSeconds = 0.05;

// Marks a text for the catalogue where it is looked up later, under a name held elsewhere.
constexpr const char* StmTextNoop(const char* id) { return id; }

// A text on one line of the idle report.
std::string OneLine(const char* text) {
  std::string out = text ? text : "";
  for (char& c : out) {
    if (c == '\n' || c == '\t' || c == '\r') c = ' ';
  }
  return out;
}

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
  ImGui::StyleColorsDark();
  ImGui_ImplGlfw_InitForOpenGL(m_window, true);
  ImGui_ImplOpenGL2_Init();
  m_bImGui = true;

  m_manager.AddAction(kActionSelect, new CStmEditorSelectAction);
  m_manager.AddAction(kActionPan, new CUbActionZoomMove);
  m_manager.SetStmModel(&m_model);
  // The view looks at the model's own plane; any other shows a plane model edge-on.
  m_wnd.SetViewPos(StmViewOfPlane(m_model.GetPlane()));
  m_manager.UpdateStmRenderer();
  m_wnd.SetAction(kActionSelect, -1, 1);
  m_wnd.ZoomAll(0);
  m_wnd.InvalidateAllWnd();
  m_pHost->SetStatusText(IdleStatus());
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
  return StmWritePicture(m_options.screenshot, m_shotWidth, m_shotHeight, m_shot, error);
}

bool CStmEditor::RunFrame() {
  if (m_options.frames > 0 && m_nFrames >= m_options.frames) return false;
  // A settled editor sleeps until input comes; a counted run never waits.
  if (m_options.frames == 0 && m_nQuietFrames >= kQuietFramesForIdle) glfwWaitEventsTimeout(kIdleWaitSeconds);
  else glfwPollEvents();
  if (!m_pHost->IsMessageBoxOpen()) {
    const std::vector<UINT> due = m_pHost->TakeDueTimers();
    for (UINT id : due) m_wnd.OnTimer(id);
    if (!due.empty()) {
      // A timer that fired changes what is shown as much as input does.
      ++m_nInputs;
      m_ptHover = m_pHost->GetCursorPos();
    }
  }
  UpdateTitle();
  if (!m_pSurface->MakeCurrent()) return false;
  ImGui_ImplOpenGL2_NewFrame();
  ImGui_ImplGlfw_NewFrame();
  ImGui::NewFrame();
  DrawOverlay();
  ImGui::Render();
  // Known before the frame is drawn, so that only a reported frame is read back.
  const bool quiet = m_nInputs == 0 && m_events.empty() && m_commands.empty();
  m_nInputs = 0;
  m_nQuietFrames = quiet ? m_nQuietFrames + 1 : 0;
  m_wnd.Render();
  ++m_nFrames;
  if (m_nQuietFrames == kQuietFramesForIdle) ReportIdle();
  return true;
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
                     "\tkeys=" + std::to_string(m_bShowKeys ? 1 : 0) + "\ttooltip=" + OneLine(m_strTooltip.c_str()) +
                     "\twhere=" + OneLine(m_strWhere.c_str()) +
                     "\tbox=" + OneLine(m_pHost->GetMessageBoxText().c_str()) +
                     "\tstatus=" + OneLine(m_pHost->GetStatusText().c_str()) + "\ttitle=" + OneLine(m_strTitle.c_str());
  // Where the menu entries drawn in the last frame lie, by their untranslated names, so that a
  // harness can click them.
  line += "\titems=";
  for (size_t i = 0; i < m_items.size(); ++i) line += (i ? "|" : "") + m_items[i];
  line += "\n";
  // The picture is on disk before the report that it belongs to.
  if (!m_options.screenshot.empty() && !m_shot.empty()) {
    // A picture per report is for a quick look, so speed beats size.
    stbi_write_png_compression_level = 1;
    std::string error;
    if (!StmWritePicture(m_options.screenshot, m_shotWidth, m_shotHeight, m_shot, error))
      std::fprintf(stderr, "stm-editor: %s\n", error.c_str());
  }
  // A harness that went away must not stop the editor.
  if (write(m_options.idleFd, line.data(), line.size()) < 0) m_options.idleFd = -1;
}

void CStmEditor::BeforeSwap() {
  // The scene leaves its camera and state; the overlay's backend sets and restores its own.
  glViewport(0, 0, m_pSurface->GetWidth(), m_pSurface->GetHeight());
  ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
  // A harness that asks for pictures gets the frame of every idle report.
  const bool reported = m_options.idleFd >= 0 && m_options.frames == 0 && m_nQuietFrames == kQuietFramesForIdle;
  if (m_options.screenshot.empty() || (!reported && m_nFrames + 1 != m_options.frames)) return;
  m_shotWidth = m_pSurface->GetWidth();
  m_shotHeight = m_pSurface->GetHeight();
  m_shot.assign(static_cast<size_t>(m_shotWidth) * m_shotHeight * 4, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, m_shotWidth, m_shotHeight, GL_RGBA, GL_UNSIGNED_BYTE, m_shot.data());
}

void CStmEditor::DrawOverlay() {
  const bool idle = !m_pHost->IsMessageBoxOpen();
  const bool unlocked = m_model.IsLock() == 0;
  const bool selected = m_manager.GetSelectMap().GetCount() > 0;
  m_items.clear();
  const auto item = [this](const char* label, const char* keys, ECommand command, bool enabled = true,
                           bool checked = false) {
    if (ImGui::MenuItem(StmText(label).c_str(), keys, checked, enabled)) m_commands.push_back(command);
    NoteItem(label, enabled);
  };
  const auto menu = [this, idle](const char* label) {
    const bool open = ImGui::BeginMenu(StmText(label).c_str(), idle);
    NoteItem(label, idle);
    return open;
  };
  if (ImGui::BeginMainMenuBar()) {
    if (menu(StmTextNoop("File"))) {
      item(StmTextNoop("Save"), "Ctrl+S", ECommand::kSave);
      item(StmTextNoop("Quit"), "Ctrl+Q", ECommand::kQuit);
      ImGui::EndMenu();
    }
    if (menu(StmTextNoop("Edit"))) {
      item(StmTextNoop("Undo"), "Ctrl+Z", ECommand::kUndo, m_manager.CanUndo() != 0);
      item(StmTextNoop("Redo"), "Ctrl+Y", ECommand::kRedo, m_manager.CanRedo() != 0);
      ImGui::Separator();
      item(StmTextNoop("Cut"), "Ctrl+X", ECommand::kCut, unlocked && selected);
      item(StmTextNoop("Copy"), "Ctrl+C", ECommand::kCopy, selected);
      // Placing a paste needs a paste tool, which the editor does not have yet.
      item(StmTextNoop("Paste"), "Ctrl+V", ECommand::kPaste, false);
      item(StmTextNoop("Delete"), "Delete", ECommand::kDelete, unlocked && selected);
      item(StmTextNoop("Cancel and select none"), "Esc", ECommand::kCancel);
      ImGui::Separator();
      item(StmTextNoop("Orthogonal drawing"), "F8", ECommand::kOrtho, true, m_wnd.GetVHDraw() != 0);
      ImGui::EndMenu();
    }
    if (menu(StmTextNoop("View"))) {
      const CUbRenderWnd::VIEW_POS pos = m_wnd.GetViewPos();
      item(StmTextNoop("Zoom all"), nullptr, ECommand::kZoomAll);
      item(StmTextNoop("Pan"), "Esc ends", ECommand::kPan);
      ImGui::Separator();
      item(StmTextNoop("Plane x-y"), nullptr, ECommand::kViewXY, true, pos == CUbRenderWnd::VIEW_POS_XY);
      item(StmTextNoop("Plane x-z"), nullptr, ECommand::kViewXZ, true, pos == CUbRenderWnd::VIEW_POS_XZ);
      item(StmTextNoop("Plane y-z"), nullptr, ECommand::kViewYZ, true, pos == CUbRenderWnd::VIEW_POS_YZ);
      ImGui::EndMenu();
    }
    if (menu(StmTextNoop("Help"))) {
      item(StmTextNoop("Keys"), "F1", ECommand::kKeys, true, m_bShowKeys);
      ImGui::EndMenu();
    }
    ImGui::EndMainMenuBar();
  }

  // The status line along the bottom edge: the message on the left; where the cursor points,
  // in the model's units, and how much is selected on the right.
  const ImGuiViewport* viewport = ImGui::GetMainViewport();
  const float height = ImGui::GetFrameHeight();
  ImGui::SetNextWindowPos(ImVec2(viewport->Pos.x, viewport->Pos.y + viewport->Size.y - height));
  ImGui::SetNextWindowSize(ImVec2(viewport->Size.x, height));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(6.0f, 2.0f));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 0.0f);
  const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                 ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing |
                                 ImGuiWindowFlags_NoNav;
  if (ImGui::Begin("##status", nullptr, flags)) {
    ImGui::TextUnformatted(m_pHost->GetStatusText().c_str());
    const CVector p = m_wnd.ClientToExt(m_pHost->GetCursorPos(), 0.0);
    static const char* const kAxes[] = {"x", "y", "z"};
    int first = 0, second = 1;
    if (m_wnd.GetViewPos() == CUbRenderWnd::VIEW_POS_XZ) second = 2;
    if (m_wnd.GetViewPos() == CUbRenderWnd::VIEW_POS_YZ) first = 1, second = 2;
    const double coords[] = {p.x, p.y, p.z};
    CString where;
    where.Format(StmText("%s %.1f  %s %.1f %s   %d selected").c_str(), kAxes[first], coords[first], kAxes[second],
                 coords[second], m_model.GetUnitLength().c_str(), m_manager.GetSelectMap().GetCount());
    m_strWhere = where.c_str();
    const float width = ImGui::CalcTextSize(where.c_str()).x;
    ImGui::SameLine(std::max(ImGui::GetWindowWidth() - width - 8.0f, 0.0f));
    ImGui::TextUnformatted(where.c_str());
  }
  ImGui::End();
  ImGui::PopStyleVar(2);

  DrawTooltip();
  if (m_bShowKeys) DrawKeyReference();
  m_pHost->DrawMessageBox();
}

void CStmEditor::DrawTooltip() {
  m_strTooltip.clear();
  // Only while the cursor rests where the hover pick was made, and nothing else claims it.
  if (m_buttonsHeld != 0 || m_pHost->IsMessageBoxOpen() || ImGui::GetIO().WantCaptureMouse) return;
  if (!(m_pHost->GetCursorPos() == m_ptHover)) return;
  // A node sits on the ends of its elements, so pointing there means the node.
  CUbEntityObj* entity = nullptr;
  for (const auto& entry : m_manager.GetHoverMap()) {
    auto* candidate = static_cast<CUbEntityObj*>(entry.second);
    if (!candidate) continue;
    if (!entity || (candidate->GetTypeEntity() == CStmEntityObject::kKindNode &&
                    entity->GetTypeEntity() != CStmEntityObject::kKindNode))
      entity = candidate;
  }
  if (!entity) return;
  const StmTooltipRows rows = StmReadTooltipTable(entity->GetTooltipPropInfoTable().c_str());
  if (rows.empty()) return;
  size_t columns = 0;
  for (const auto& row : rows) {
    columns = std::max(columns, row.size());
    for (size_t i = 0; i < row.size(); ++i) m_strTooltip += (i ? " " : (m_strTooltip.empty() ? "" : "; ")) + row[i];
  }
  ImGui::BeginTooltip();
  if (ImGui::BeginTable("##tooltip", static_cast<int>(columns))) {
    for (const auto& row : rows) {
      ImGui::TableNextRow();
      for (size_t i = 0; i < row.size(); ++i) {
        ImGui::TableSetColumnIndex(static_cast<int>(i));
        ImGui::TextUnformatted(row[i].c_str());
      }
    }
    ImGui::EndTable();
  }
  ImGui::EndTooltip();
}

void CStmEditor::NoteItem(const char* label, bool enabled) {
  if (m_options.idleFd < 0) return;
  const ImVec2 lo = ImGui::GetItemRectMin();
  const ImVec2 hi = ImGui::GetItemRectMax();
  m_items.push_back(std::string(label) + ":" + std::to_string(static_cast<int>((lo.x + hi.x) * 0.5f)) + "," +
                    std::to_string(static_cast<int>((lo.y + hi.y) * 0.5f)) + "," + (enabled ? "1" : "0"));
}

void CStmEditor::DrawKeyReference() {
  static const char* const kKeys[][2] = {
      {StmTextNoop("Left click"), StmTextNoop("select what is under the cursor")},
      {StmTextNoop("Left drag to the right"), StmTextNoop("select what lies inside the window")},
      {StmTextNoop("Left drag to the left"), StmTextNoop("select what the window crosses or holds")},
      {StmTextNoop("Middle drag"), StmTextNoop("move the view")},
      {StmTextNoop("Wheel"), StmTextNoop("zoom about the cursor")},
      {StmTextNoop("Arrow keys"), StmTextNoop("move the view")},
      {StmTextNoop("Esc"), StmTextNoop("cancel the command and the selection")},
      {StmTextNoop("Delete"), StmTextNoop("delete the selection")},
      {StmTextNoop("Ctrl+C / Ctrl+X"), StmTextNoop("copy / cut the selection")},
      {StmTextNoop("Ctrl+Z / Ctrl+Y"), StmTextNoop("undo / redo")},
      {StmTextNoop("Ctrl+S"), StmTextNoop("save")},
      {StmTextNoop("Ctrl+Q"), StmTextNoop("quit (asks about unsaved changes)")},
      {StmTextNoop("F8"), StmTextNoop("orthogonal drawing on or off")},
      {StmTextNoop("F1"), StmTextNoop("this list")},
  };
  ImGui::SetNextWindowPos(ImVec2(40.0f, 60.0f), ImGuiCond_FirstUseEver);
  if (ImGui::Begin(StmText("Keys").c_str(), &m_bShowKeys, ImGuiWindowFlags_AlwaysAutoResize)) {
    if (ImGui::BeginTable("##keys", 2)) {
      for (const auto& row : kKeys) {
        ImGui::TableNextRow();
        ImGui::TableSetColumnIndex(0);
        ImGui::TextUnformatted(StmText(row[0]).c_str());
        ImGui::TableSetColumnIndex(1);
        ImGui::TextUnformatted(StmText(row[1]).c_str());
      }
      ImGui::EndTable();
    }
  }
  ImGui::End();
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

void CStmEditor::RunCommand(ECommand command) {
  m_pHost->SetStatusText(IdleStatus());
  switch (command) {
    case ECommand::kSave:
      Save();
      break;
    case ECommand::kQuit:
      glfwSetWindowShouldClose(m_window, GLFW_TRUE);
      break;
    case ECommand::kUndo:
    case ECommand::kRedo: {
      const bool undo = command == ECommand::kUndo;
      if ((undo ? m_manager.Undo() : m_manager.Redo()) == 0) {
        // Nothing was ever done on a locked model; say why rather than only that.
        if (CheckUnlocked()) m_pHost->SetStatusText(undo ? StmText("Nothing to undo") : StmText("Nothing to redo"));
        break;
      }
      // Undo and redo move along the history; only new steps can cut the saved state off.
      m_nUndoSeen = m_manager.GetUndoCount();
      m_wnd.InvalidateAllWnd();
      m_pHost->SetStatusText(undo ? StmText("Undone") : StmText("Redone"));
      break;
    }
    case ECommand::kCopy:
    case ECommand::kCut:
    case ECommand::kPaste:
    case ECommand::kDelete:
    case ECommand::kOrtho:
      RunEditCommand(command);
      break;
    case ECommand::kKeys:
      m_bShowKeys = !m_bShowKeys;
      break;
    case ECommand::kCancel:
      m_wnd.CancelCommand();
      break;
    case ECommand::kZoomAll:
      m_wnd.ZoomAll(0);
      break;
    case ECommand::kPan:
      m_wnd.SetAction(kActionPan, -1, 1);
      m_pHost->SetStatusText(StmText("Drag to move the view; Esc returns to selection"));
      break;
    case ECommand::kViewXY:
      SetViewPlane(CUbRenderWnd::VIEW_POS_XY);
      break;
    case ECommand::kViewXZ:
      SetViewPlane(CUbRenderWnd::VIEW_POS_XZ);
      break;
    case ECommand::kViewYZ:
      SetViewPlane(CUbRenderWnd::VIEW_POS_YZ);
      break;
  }
  TrackHistory();
}

void CStmEditor::RunEditCommand(ECommand command) {
  const int selected = m_manager.GetSelectMap().GetCount();
  CString text;
  switch (command) {
    case ECommand::kCopy: {
      if (selected == 0) {
        m_pHost->SetStatusText(StmText("Nothing is selected to copy"));
        return;
      }
      m_manager.Copy();
      std::vector<CStmObjNode*> nodes;
      std::vector<CStmObjElement*> elements;
      m_manager.GetSelectedNodeObjects(nodes);
      m_manager.GetSelectedElementObjects(elements);
      text.Format(StmText("Copied %d nodes and %d elements").c_str(), static_cast<int>(nodes.size()),
                  static_cast<int>(elements.size()));
      m_pHost->SetStatusText(text);
      return;
    }
    case ECommand::kCut:
    case ECommand::kDelete: {
      const bool cut = command == ECommand::kCut;
      if (!CheckUnlocked()) return;
      if (selected == 0) {
        m_pHost->SetStatusText(cut ? StmText("Nothing is selected to cut") : StmText("Nothing is selected to delete"));
        return;
      }
      const int before = m_manager.GetUndoCount();
      // A node goes only with its last element; those that stay are counted afterwards.
      std::vector<CStmObjNode*> nodes;
      m_manager.GetSelectedNodeObjects(nodes);
      std::vector<int> nodeIds;
      for (const CStmObjNode* node : nodes) nodeIds.push_back(node->GetId());
      // The scene's own keys do the work, so that the grips go with what is removed; a cut
      // from the menu has no Ctrl held, so it copies and deletes.
      if (!cut) {
        m_wnd.OnKeyDown(VK_DELETE, 1, 0);
      } else if (m_pHost->GetKeyState(VK_CONTROL) & 0x8000) {
        m_wnd.OnKeyDown('X', 1, 0);
      } else {
        m_manager.Copy();
        m_wnd.OnKeyDown(VK_DELETE, 1, 0);
      }
      int kept = 0;
      for (int id : nodeIds) {
        const CStmObjNode* node = m_model.GetNode(id);
        if (node && node->IsEnable()) ++kept;
      }
      if (m_manager.GetUndoCount() == before) {
        m_pHost->SetStatusText(kept > 0 ? StmText("Nothing was removed: a node goes only with the last element that uses it")
                                        : StmText("Nothing was removed: the selection holds nothing that can be deleted"));
        return;
      }
      text.Format(cut ? StmText("Cut %d objects to the clipboard").c_str() : StmText("Deleted %d objects").c_str(),
                  selected - kept);
      if (kept > 0) text.AppendFormat(StmText("; %d nodes stay, as elements still use them").c_str(), kept);
      m_pHost->SetStatusText(text);
      return;
    }
    case ECommand::kPaste:
      m_pHost->SetStatusText(m_manager.IsCopiedData()
                                 ? StmText("Pasting needs the paste tool, which this editor does not have yet")
                                 : StmText("Nothing to paste: copy a selection first (Ctrl+C)"));
      return;
    case ECommand::kOrtho:
      m_wnd.OnKeyDown(VK_F8, 1, 0);
      m_pHost->SetStatusText(m_wnd.GetVHDraw() != 0 ? StmText("Orthogonal drawing on (F8 turns it off)")
                                                    : StmText("Orthogonal drawing off"));
      return;
    default:
      return;
  }
}

void CStmEditor::SetViewPlane(CUbRenderWnd::VIEW_POS pos) {
  // The scene takes the view's plane as the model's, but a look from another side is no edit:
  // the file keeps the plane it opens in.
  const int plane = m_model.GetPlane();
  m_wnd.SetViewPos(pos);
  m_model.SetPlane(plane);
  m_wnd.ZoomAll(0);
  m_wnd.InvalidateAllWnd();
}

bool CStmEditor::CheckUnlocked() {
  if (m_model.IsLock() == 0) return true;
  m_pHost->SetStatusText(
      StmText("The model is locked: it holds analysis results, and editing would make them wrong. Nothing was changed."));
  return false;
}

CString CStmEditor::IdleStatus() const {
  return m_model.IsLock() ? StmText("Locked: the model holds analysis results; it can be viewed, not edited")
                          : StmText("Ready");
}

void CStmEditor::TrackHistory() {
  const int depth = m_manager.GetUndoCount();
  if (depth > m_nUndoSeen && m_nUndoSaved > m_nUndoSeen) m_nUndoSaved = -1;
  m_nUndoSeen = depth;
  // The model's own flag also rises for edits that changed nothing (a delete of nothing);
  // the history says whether the model differs from the file.
  m_model.SetStmModifiedFlag(IsModified() ? 1 : 0);
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
  m_nUndoSaved = m_nUndoSeen = m_manager.GetUndoCount();
  m_model.SetStmModifiedFlag(0);
  CString text;
  text.Format(StmText("Saved %s").c_str(), m_options.model.c_str());
  m_pHost->SetStatusText(text);
  return true;
}

bool CStmEditor::ConfirmClose() {
  if (!IsModified()) return true;
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
  std::string title = std::string("stm-editor - ") + m_options.model;
  if (m_model.IsLock()) title += std::string(" ") + StmText("[locked]").c_str();
  if (IsModified()) title += " *";
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

// The callbacks only queue, and nothing reaches the scene while a message box is up; what falls
// on the overlay is sorted out when the queue is dispatched.

void CStmEditor::OnMouseButton(GLFWwindow* window, int button, int action, int mods) {
  CStmEditor* editor = FromWindow(window);
  ++editor->m_nInputs;
  if (button < 0 || button > GLFW_MOUSE_BUTTON_MIDDLE) return;
  const unsigned bit = 1u << button;
  if (action == GLFW_PRESS && editor->m_pHost->IsMessageBoxOpen()) return;
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
  if (editor->m_pHost->IsMessageBoxOpen()) return;
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
  if (editor->m_pHost->IsMessageBoxOpen()) return;
  const double x = editor->m_dCursorX, y = editor->m_dCursorY;
  const short delta = static_cast<short>(dy * kWheelNotch);
  if (delta == 0) return;
  editor->m_events.push_back({SEvent::kWheel, 0, editor->MouseFlags(0), editor->ToClient(x, y), delta});
}

void CStmEditor::OnKey(GLFWwindow* window, int key, int, int action, int mods) {
  CStmEditor* editor = FromWindow(window);
  ++editor->m_nInputs;
  if (editor->m_options.idleFd >= 0 && key == GLFW_KEY_PAUSE) {
    if (action == GLFW_PRESS) ++editor->m_nMarks;
    return;
  }
  if (action == GLFW_RELEASE) return;
  if (editor->m_pHost->IsMessageBoxOpen()) {
    if (action == GLFW_PRESS) editor->m_pHost->AnswerByKey(key);
    return;
  }
  if (ImGui::GetIO().WantCaptureKeyboard) return;
  const auto command = [editor](ECommand c) { editor->m_commands.push_back(c); };
  if (mods & GLFW_MOD_CONTROL) {
    switch (key) {
      case GLFW_KEY_S: return command(ECommand::kSave);
      case GLFW_KEY_Q: return command(ECommand::kQuit);
      case GLFW_KEY_Z: return command(ECommand::kUndo);
      case GLFW_KEY_Y: return command(ECommand::kRedo);
      case GLFW_KEY_C: return command(ECommand::kCopy);
      case GLFW_KEY_X: return command(ECommand::kCut);
      case GLFW_KEY_V: return command(ECommand::kPaste);
      default: break;
    }
  } else {
    switch (key) {
      case GLFW_KEY_DELETE: return command(ECommand::kDelete);
      case GLFW_KEY_F8: return command(ECommand::kOrtho);
      case GLFW_KEY_F1: return command(ECommand::kKeys);
      default: break;
    }
  }
  const int virtualKey = GlfwKeyToVirtualKey(key);
  if (virtualKey == 0) return;
  const double x = editor->m_dCursorX, y = editor->m_dCursorY;
  editor->m_events.push_back({SEvent::kKey, virtualKey, editor->MouseFlags(mods), editor->ToClient(x, y), 0});
}
