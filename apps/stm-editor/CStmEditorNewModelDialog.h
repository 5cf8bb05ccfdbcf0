// The editor's dialog for a new model, drawn in the window: the drawing plane, the units of
// length and force and the design code, whose usual materials the model starts with.
#pragma once

#include <functional>
#include <string>
#include <utility>

class CStmEditorNewModelDialog {
public:
  enum class EState { kClosed, kOpen, kChosen, kCancelled };
  using NoteItemFn = std::function<void(const std::string& name, bool enabled)>;

  // Opens with the choices a new model has unless the user changes them.
  void Show(int plane, const std::string& unitLength, const std::string& unitForce);
  bool IsOpen() const { return m_eState == EState::kOpen; }
  EState GetState() const { return m_eState; }
  void Close() { m_eState = EState::kClosed; }
  // Enter and Esc, which reach the editor rather than the overlay's widgets.
  void Confirm() { if (IsOpen()) m_eState = EState::kChosen; }
  void Cancel() { if (IsOpen()) m_eState = EState::kCancelled; }

  // Inside an overlay frame: lays out the dialog while it is open.
  void Draw(const NoteItemFn& noteItem);

  int GetPlane() const { return m_nPlane; }
  const std::string& GetUnitLength() const { return m_strLength; }
  const std::string& GetUnitForce() const { return m_strForce; }
  // EStmDesignCode.
  int GetDesignCode() const { return m_nCode; }

private:
  EState m_eState = EState::kClosed;
  int m_nPlane = 0;
  std::string m_strLength;
  std::string m_strForce;
  int m_nCode = 0;
};
