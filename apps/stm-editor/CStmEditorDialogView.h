// Draws any of the layer's dialogs (CDialog: controls as plain state) as a window of the
// overlay, and feeds what the user does there back to the dialog as the layer expects it.
//
// How to use it:
// - Inside an overlay frame, call DrawModeless for a dialog that stays up beside the view (it is
//   drawn only while IsWindowVisible) or DrawModal for one that a CUiHost::RunModal runs; then,
//   after the frame, call Deliver. Keys, clicks and changes are gathered while drawing and handed
//   over by Deliver, because a dialog's answer may run a tool, and a tool may open a modal dialog
//   or a message box that runs frames of its own.
// - Controls stand where their template rectangles (dialog units) put them. Statics show their
//   caption, edits their text, buttons, check boxes and radio buttons their caption and check,
//   combo boxes their entries (m_arItems, choice m_nSel) and sliders m_nSel between m_nMin and
//   m_nMax. Radio buttons that follow one another in the control list form one group. Disabled
//   controls are greyed; hidden ones are left out.
// - Typing into an edit changes its text at once (OnControlChanged follows in Deliver). Every
//   character is first offered to the dialog's PreTranslateMessage as WM_CHAR, right away, so
//   that the dialog can swallow it or move the focus; characters typed after the focus moved
//   within the same frame go to the new control. Every key pressed while the dialog holds the
//   keyboard reaches PreTranslateMessage as WM_KEYDOWN in Deliver (Enter, Esc, F8, ...). A
//   modeless dialog holds the keyboard while one of its edits is being typed in; otherwise keys
//   belong to the view. A modal dialog holds it while it is up. Tab moves the keyboard on to the
//   next edit, except from an edit without a tab stop (m_bTabStop), whose dialog gets Tab as a
//   key and decides.
// - The layer steers the focus: SetFocus on the dialog with SetFocusId puts the keyboard into
//   that control (SetSel selects its text), SetFocus on another window takes it out of the
//   dialog. A text or selection set by the layer while the user types replaces what the edit
//   shows. A click into a control gives the dialog the focus and that control.
// - A modeless dialog stands where its window rectangle (client pixels of the view) puts it,
//   kept against the nearer left or right and top or bottom edge of the view's free area (the
//   view less the overlay's bars, see SetViewInsets), whatever size it is laid out at.
// - The wheel turned over a dialog reaches its OnMouseWheel in Deliver, with the pointer in the
//   view's client pixels.
// - Every control is noted for the editor's idle report as "dlg<template>.<control id>".
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "host/platform/CDialog.h"

class CStmEditorDialogView {
public:
  using NoteItemFn = std::function<void(const std::string& name, bool enabled)>;

  // The heights that the overlay's bars take at the top and the bottom of the view, in overlay
  // units.
  void SetViewInsets(float top, float bottom) {
    m_fInsetTop = top;
    m_fInsetBottom = bottom;
  }

  void DrawModeless(CDialog& dialog, const NoteItemFn& note);
  void DrawModal(CDialog& dialog, const NoteItemFn& note);
  // A key the window received: taken (and queued for the dialog, true) when a dialog drawn in the
  // last frame holds the keyboard. Keys come from the window's own key events, since a press and
  // release that fall into one frame never show in the overlay's key state.
  bool OnKey(int glfwKey);
  // Hands the dialogs, in order, what was gathered while drawing them.
  void Deliver();
  // Drops what is kept about a dialog that goes away, with anything still to be delivered to it.
  void Forget(const CDialog* dialog);
  // Whether the dialog's window held the keyboard in the last frame.
  bool HasKeyboard(const CDialog* dialog) const;
  // "template:control=text,..." of the dialogs drawn in the last frame, for the idle report.
  std::string Describe() const;

private:
  struct SControlState {
    std::string buffer;
    int revision = -1;
    // The focus was asked for: the edit takes the layer's text and selection when it activates.
    bool syncOnActivation = false;
  };
  struct SDialogState {
    std::map<int, SControlState> controls;
    int focusRevision = -1;
    bool hadFocus = false;
    bool keyboard = false;
    bool drawn = false;
  };
  struct SDelivery {
    enum EKind { kKey, kClicked, kChanged, kWheel } kind;
    CDialog* dialog;
    int value;
    CPoint pt;
  };

  void DrawBody(CDialog& dialog, SDialogState& state, bool modal, const NoteItemFn& note);
  void DrawEdit(CDialog& dialog, SDlgControl& control, SDialogState& state, bool takeFocus);

  std::map<const CDialog*, SDialogState> m_states;
  std::deque<SDelivery> m_queue;
  float m_fInsetTop = 0.0f;
  float m_fInsetBottom = 0.0f;
};
