// The overlay's form of the layer's dialogs: controls laid out from their templates, the
// keyboard focus kept in step with the dialog's, and the user's doings handed back as messages.
#include "CStmEditorDialogView.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cstring>

#include "host/framework/StmGlfwInput.h"

namespace {

// Room for any number or name a dialog field takes.
constexpr size_t kEditCapacity = 512;

std::string DialogName(const CDialog& dialog) { return "dlg" + std::to_string(dialog.GetTemplateId()); }

std::string ControlName(const CDialog& dialog, int id) { return DialogName(dialog) + "." + std::to_string(id); }

// Dialog units as pixels of the overlay's font, as a dialog template would be laid out.
ImVec2 Units() { return ImVec2(ImGui::CalcTextSize("M").x / 4.0f, ImGui::GetFontSize() / 8.0f); }

struct SFilterContext {
  CDialog* dialog;
  int id;
  SDlgControl* control;
  int* revision;
  bool* sync;
};

int EditCallback(ImGuiInputTextCallbackData* data) {
  auto* context = static_cast<SFilterContext*>(data->UserData);
  CDialog& dialog = *context->dialog;
  if (data->EventFlag == ImGuiInputTextFlags_CallbackCharFilter) {
    // An edit without a tab stop lets its dialog have Tab, as a key (Deliver); never as text.
    if (data->EventChar == '\t') return 1;
    // Once the dialog has moved the focus, the rest of what was typed belongs to the new control;
    // after the layer set the text or the selection, it goes where the layer put the caret, for
    // the edit shows the layer's text only at the end of this frame's typing.
    int taken = 0;
    if (dialog.GetFocusId() != context->id || context->control->m_nRevision != *context->revision) {
      dialog.SendChar(data->EventChar);
      taken = 1;
    } else {
      MSG msg;
      msg.hwnd = dialog.GetSafeHwnd();
      msg.message = WM_CHAR;
      msg.wParam = data->EventChar;
      taken = dialog.PreTranslateMessage(&msg);
    }
    return taken;
  }
  // While the user types, the edit keeps its own copy; what the layer set since replaces it.
  SDlgControl& control = *context->control;
  if (control.m_nRevision == *context->revision && !*context->sync) return 0;
  *context->revision = control.m_nRevision;
  *context->sync = false;
  data->DeleteChars(0, data->BufTextLen);
  data->InsertChars(0, control.m_strText.c_str());
  const int length = data->BufTextLen;
  const int start = std::clamp(control.m_nSelStart < 0 ? length : control.m_nSelStart, 0, length);
  const int end = std::clamp(control.m_nSelEnd < 0 ? length : control.m_nSelEnd, 0, length);
  data->SelectionStart = start;
  data->SelectionEnd = end;
  data->CursorPos = end;
  return 0;
}

}  // namespace

void CStmEditorDialogView::DrawModeless(CDialog& dialog, const NoteItemFn& note) {
  SDialogState& state = m_states[&dialog];
  state.drawn = false;
  state.keyboard = false;
  if (!dialog.IsWindowVisible()) {
    state.hadFocus = false;
    return;
  }
  // Kept against the nearer edges of the view's free area, whatever size the layout gives.
  const ImGuiIO& io = ImGui::GetIO();
  const ImGuiViewport* viewport = ImGui::GetMainViewport();
  const float sx = io.DisplayFramebufferScale.x > 0.0f ? io.DisplayFramebufferScale.x : 1.0f;
  const float sy = io.DisplayFramebufferScale.y > 0.0f ? io.DisplayFramebufferScale.y : 1.0f;
  const CRect& rect = dialog.GetWindowRect();
  const float width = viewport->Size.x;
  const float height = viewport->Size.y;
  const float left = rect.left / sx, right = rect.right / sx, top = rect.top / sy, bottom = rect.bottom / sy;
  const bool toRight = width - right < left;
  const bool toBottom = height - bottom < top;
  ImVec2 pos(toRight ? right : left, toBottom ? bottom - m_fInsetBottom : top + m_fInsetTop);
  pos.x += viewport->Pos.x;
  pos.y += viewport->Pos.y;
  ImGui::SetNextWindowPos(pos, ImGuiCond_Always, ImVec2(toRight ? 1.0f : 0.0f, toBottom ? 1.0f : 0.0f));
  const std::string title = std::string(dialog.GetCaption().c_str()) + "##" + DialogName(dialog);
  const ImGuiWindowFlags flags = ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse |
                                 ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                                 ImGuiWindowFlags_NoFocusOnAppearing;
  if (ImGui::Begin(title.c_str(), nullptr, flags)) {
    DrawBody(dialog, state, false, note);
    if (io.MouseWheel != 0.0f && ImGui::IsWindowHovered(ImGuiHoveredFlags_ChildWindows)) {
      const CPoint pt(static_cast<int>((io.MousePos.x - viewport->Pos.x) * sx),
                      static_cast<int>((io.MousePos.y - viewport->Pos.y) * sy));
      m_queue.push_back({SDelivery::kWheel, &dialog, static_cast<int>(io.MouseWheel * 120.0f), pt});
    }
  }
  ImGui::End();
}

void CStmEditorDialogView::DrawModal(CDialog& dialog, const NoteItemFn& note) {
  SDialogState& state = m_states[&dialog];
  state.drawn = false;
  const std::string title = std::string(dialog.GetCaption().c_str()) + "##" + DialogName(dialog);
  if (!ImGui::IsPopupOpen(title.c_str())) ImGui::OpenPopup(title.c_str());
  ImGui::SetNextWindowPos(ImGui::GetMainViewport()->GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
  if (!ImGui::BeginPopupModal(title.c_str(), nullptr,
                              ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoMove |
                                  ImGuiWindowFlags_NoSavedSettings)) {
    return;
  }
  DrawBody(dialog, state, true, note);
  // A modal dialog has the keyboard for as long as it is up.
  state.keyboard = true;
  if (dialog.GetResult() != 0) ImGui::CloseCurrentPopup();
  ImGui::EndPopup();
}

void CStmEditorDialogView::DrawBody(CDialog& dialog, SDialogState& state, bool modal, const NoteItemFn& note) {
  state.drawn = true;
  const bool focused = CWnd::GetFocus() == &dialog;
  // The layer asked for the keyboard in one of the controls, or moved it away from the dialog.
  const bool focusRequest = focused && state.focusRevision != dialog.GetFocusRevision();
  if (focusRequest) ImGui::SetWindowFocus();
  if (!focused && state.hadFocus && !modal) ImGui::SetWindowFocus(nullptr);
  state.focusRevision = dialog.GetFocusRevision();
  state.hadFocus = focused;

  const ImVec2 unit = Units();
  const ImVec2 origin = ImGui::GetCursorPos();
  std::vector<SDlgControl>& controls = dialog.GetControls();
  for (size_t i = 0; i < controls.size(); ++i) {
    SDlgControl& control = controls[i];
    if (!control.m_bVisible) continue;
    ImGui::PushID(control.m_nId);
    ImGui::SetCursorPos(ImVec2(origin.x + control.m_rect.left * unit.x, origin.y + control.m_rect.top * unit.y));
    const float width = std::max(1.0f, control.m_rect.Width() * unit.x);
    const bool disabled = !control.m_bEnabled;
    if (disabled) ImGui::PushStyleVar(ImGuiStyleVar_Alpha, ImGui::GetStyle().Alpha * 0.5f);
    switch (control.m_eKind) {
      case EDlgControlKind::kStatic:
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(control.m_strCaption.c_str());
        break;
      case EDlgControlKind::kEdit:
        DrawEdit(dialog, control, state, focusRequest && dialog.GetFocusId() == control.m_nId);
        break;
      case EDlgControlKind::kButton:
        if (ImGui::Button(control.m_strCaption.c_str(), ImVec2(width, 0.0f)) && !disabled)
          m_queue.push_back({SDelivery::kClicked, &dialog, control.m_nId, CPoint()});
        break;
      case EDlgControlKind::kCheck: {
        bool checked = control.m_nCheck != 0;
        if (ImGui::Checkbox(control.m_strCaption.c_str(), &checked) && !disabled) {
          control.m_nCheck = checked ? 1 : 0;
          m_queue.push_back({SDelivery::kClicked, &dialog, control.m_nId, CPoint()});
        }
        break;
      }
      case EDlgControlKind::kRadio:
        if (ImGui::RadioButton(control.m_strCaption.c_str(), control.m_nCheck != 0) && !disabled) {
          // The radio buttons next to it in the list are its group.
          size_t first = i, last = i;
          while (first > 0 && controls[first - 1].m_eKind == EDlgControlKind::kRadio) --first;
          while (last + 1 < controls.size() && controls[last + 1].m_eKind == EDlgControlKind::kRadio) ++last;
          for (size_t j = first; j <= last; ++j) controls[j].m_nCheck = j == i ? 1 : 0;
          m_queue.push_back({SDelivery::kClicked, &dialog, control.m_nId, CPoint()});
        }
        break;
      case EDlgControlKind::kCombo: {
        ImGui::SetNextItemWidth(width);
        const bool inRange = control.m_nSel >= 0 && control.m_nSel < static_cast<int>(control.m_arItems.size());
        const char* preview = inRange ? control.m_arItems[static_cast<size_t>(control.m_nSel)].c_str() : "";
        if (ImGui::BeginCombo("##combo", preview)) {
          for (size_t j = 0; j < control.m_arItems.size(); ++j) {
            const bool chosen = static_cast<int>(j) == control.m_nSel;
            if (ImGui::Selectable(control.m_arItems[j].c_str(), chosen) && !chosen && !disabled) {
              control.m_nSel = static_cast<int>(j);
              m_queue.push_back({SDelivery::kChanged, &dialog, control.m_nId, CPoint()});
            }
          }
          ImGui::EndCombo();
        }
        break;
      }
      case EDlgControlKind::kSlider: {
        ImGui::SetNextItemWidth(width);
        int value = control.m_nSel;
        if (ImGui::SliderInt("##slider", &value, control.m_nMin, control.m_nMax) && !disabled &&
            value != control.m_nSel) {
          control.m_nSel = value;
          m_queue.push_back({SDelivery::kChanged, &dialog, control.m_nId, CPoint()});
        }
        break;
      }
    }
    if (disabled) ImGui::PopStyleVar();
    if (note) note(ControlName(dialog, control.m_nId), control.m_bEnabled);
    ImGui::PopID();
  }
  // Room below the lowest control, as the template's margin gives.
  ImGui::SetCursorPos(ImVec2(origin.x, origin.y + dialog.GetTemplateSize().cy * unit.y));
  ImGui::Dummy(ImVec2(dialog.GetTemplateSize().cx * unit.x, 0.0f));
}

void CStmEditorDialogView::DrawEdit(CDialog& dialog, SDlgControl& control, SDialogState& state, bool takeFocus) {
  SControlState& edit = state.controls[control.m_nId];
  if (edit.buffer.size() < kEditCapacity) edit.buffer.resize(kEditCapacity, '\0');
  const ImGuiID id = ImGui::GetID("##edit");
  const bool active = ImGui::GetActiveID() == id;
  // An edit nobody types in shows what the layer holds.
  if (!active && edit.revision != control.m_nRevision) {
    const std::string& text = control.m_strText.str();
    std::memset(edit.buffer.data(), 0, edit.buffer.size());
    std::memcpy(edit.buffer.data(), text.data(), std::min(text.size(), edit.buffer.size() - 1));
    edit.revision = control.m_nRevision;
  }
  if (takeFocus && control.m_bEnabled) {
    ImGui::SetKeyboardFocusHere();
    edit.syncOnActivation = true;
  } else if (edit.syncOnActivation && ImGui::GetActiveID() == 0) {
    // Between the edit left and the edit taking the keyboard no widget reads what is typed; the
    // dialog takes it, so that it lands where the focus went.
    ImVector<ImWchar>& typed = ImGui::GetIO().InputQueueCharacters;
    for (const ImWchar ch : typed) dialog.SendChar(ch);
    typed.resize(0);
  }
  ImGui::SetNextItemWidth(std::max(1.0f, control.m_rect.Width() * Units().x));
  SFilterContext context{&dialog, control.m_nId, &control, &edit.revision, &edit.syncOnActivation};
  ImGuiInputTextFlags flags = ImGuiInputTextFlags_CallbackCharFilter | ImGuiInputTextFlags_CallbackAlways;
  if (!control.m_bEnabled) flags |= ImGuiInputTextFlags_ReadOnly;
  // Keeps the overlay from moving the keyboard on by itself.
  if (!control.m_bTabStop) flags |= ImGuiInputTextFlags_AllowTabInput;
  // Nor may the overlay's Tab from elsewhere land in it: the dialog places the keyboard itself.
  if (!control.m_bTabStop) ImGui::PushItemFlag(ImGuiItemFlags_NoTabStop, true);
  const bool changed = ImGui::InputText("##edit", edit.buffer.data(), edit.buffer.size(), flags, &EditCallback, &context);
  if (!control.m_bTabStop) ImGui::PopItemFlag();
  if (changed) {
    // Typed by the user: the control takes the text without counting it as the layer's.
    control.m_strText = CString(edit.buffer.data());
    m_queue.push_back({SDelivery::kChanged, &dialog, control.m_nId, CPoint()});
  }
  if (ImGui::IsItemActivated()) {
    // A click into the edit gives it the focus in the dialog's terms too.
    dialog.SetFocus();
    if (dialog.GetFocusId() != control.m_nId) dialog.SetFocusId(control.m_nId);
    state.focusRevision = dialog.GetFocusRevision();
    state.hadFocus = true;
  }
  if (ImGui::IsItemActive()) state.keyboard = true;
}

bool CStmEditorDialogView::OnKey(int glfwKey) {
  for (auto& [dialog, state] : m_states) {
    if (!state.drawn || !state.keyboard) continue;
    const int key = GlfwKeyToVirtualKey(glfwKey);
    if (key == 0) return true;
    m_queue.push_back({SDelivery::kKey, const_cast<CDialog*>(dialog), key, CPoint()});
    return true;
  }
  return false;
}

void CStmEditorDialogView::Deliver() {
  while (!m_queue.empty()) {
    const SDelivery delivery = m_queue.front();
    m_queue.pop_front();
    switch (delivery.kind) {
      case SDelivery::kKey:
        delivery.dialog->SendKey(static_cast<UINT>(delivery.value));
        break;
      case SDelivery::kClicked:
        delivery.dialog->OnClicked(delivery.value);
        break;
      case SDelivery::kChanged:
        delivery.dialog->OnControlChanged(delivery.value);
        break;
      case SDelivery::kWheel:
        delivery.dialog->OnMouseWheel(0, static_cast<short>(delivery.value), delivery.pt);
        break;
    }
  }
}

void CStmEditorDialogView::Forget(const CDialog* dialog) {
  m_states.erase(dialog);
  m_queue.erase(std::remove_if(m_queue.begin(), m_queue.end(),
                               [dialog](const SDelivery& delivery) { return delivery.dialog == dialog; }),
                m_queue.end());
}

bool CStmEditorDialogView::HasKeyboard(const CDialog* dialog) const {
  const auto it = m_states.find(dialog);
  return it != m_states.end() && it->second.drawn && it->second.keyboard;
}

std::string CStmEditorDialogView::Describe() const {
  std::string out;
  for (const auto& [dialog, state] : m_states) {
    if (!state.drawn) continue;
    if (!out.empty()) out += ";";
    out += std::to_string(dialog->GetTemplateId()) + ":";
    bool first = true;
    for (const SDlgControl& control : const_cast<CDialog*>(dialog)->GetControls()) {
      if (control.m_eKind != EDlgControlKind::kEdit) continue;
      out += (first ? "" : ",") + std::to_string(control.m_nId) + "=" + control.m_strText.c_str();
      first = false;
    }
    if (state.keyboard) out += ",keyboard=" + std::to_string(dialog->GetFocusId());
  }
  return out;
}
