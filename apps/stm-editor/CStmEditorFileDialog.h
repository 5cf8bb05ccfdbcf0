// The editor's file dialog, drawn in the window: a folder's sub-folders and the files of the kind
// asked for (model files unless told otherwise), a name or path to type, the way up, OK and Cancel.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CStmEditorFileDialog {
public:
  enum class EMode { kOpen, kSave };
  enum class EState { kClosed, kOpen, kChosen, kCancelled };
  // Tells where an item of the dialog was drawn and whether it could run, by its name.
  using NoteItemFn = std::function<void(const std::string& name, bool enabled)>;

  // The extension model files carry; the listing shows only these among the files.
  static constexpr const char* kExtension = ".stm.json";

  // Shows the folder, with name in the edit ready to be typed over. The listing shows the files
  // with one of the extensions, and a name saved without any takes the first; the title, when
  // given, says what is being written.
  void Show(EMode mode, const std::string& folder, const std::string& name,
            std::vector<std::string> extensions = {kExtension}, const std::string& title = std::string());
  bool IsOpen() const { return m_eState == EState::kOpen; }
  EState GetState() const { return m_eState; }
  EMode GetMode() const { return m_eMode; }
  // The file chosen, absolute; valid once the state is kChosen.
  const std::string& GetPath() const { return m_strPath; }
  // Back from a chosen file to the dialog (a save the user would rather put elsewhere).
  void Reopen() { m_eState = EState::kOpen; m_bFocusEdit = true; }
  void Close() { m_eState = EState::kClosed; }

  // Keys that reach the editor rather than the overlay's widgets: Enter takes what the edit
  // holds, Esc cancels. They act in the next frame, once the edit has taken the typed text.
  void Confirm() { m_bConfirm = true; }
  void Cancel() { m_eState = EState::kCancelled; }

  // Inside an overlay frame: lays out the dialog while it is open.
  void Draw(const NoteItemFn& noteItem);

  const std::string& GetFolder() const { return m_strFolder; }
  const std::string& GetEdit() const { return m_strEdit; }
  // Why the last attempt to go on did not, for the dialog's own line; empty when it did.
  const std::string& GetProblem() const { return m_strProblem; }

private:
  // Reads the folder's listing: sub-folders, then the files of the kind asked for, each by name.
  void Enter(const std::string& folder);
  bool Wanted(const std::string& name) const;
  // Acts on what the edit holds: a folder is entered, a file chosen.
  void TakeEdit();

  EMode m_eMode = EMode::kOpen;
  EState m_eState = EState::kClosed;
  std::string m_strFolder;
  std::string m_strEdit;
  std::string m_strPath;
  std::string m_strProblem;
  std::vector<std::string> m_extensions;
  std::string m_strTitle;
  std::vector<std::string> m_folders;
  std::vector<std::string> m_files;
  bool m_bFocusEdit = false;
  bool m_bConfirm = false;
};
