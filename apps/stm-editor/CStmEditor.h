// The on-screen editor: one model at a time in a GLFW window, the scene's input handlers fed
// from the window's events, and an overlay with the menu, the status line, dialogs and message
// boxes.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CStmCommandTable.h"
#include "CStmEditorActions.h"
#include "StmEditorCommandLine.h"
#include "CStmEditorDrawTools.h"
#include "CStmEditorFileDialog.h"
#include "CStmEditorNewModelDialog.h"
#include "CStmEditorProperties.h"
#include "CStmEditorResults.h"
#include "CStmEditorOutlineTools.h"
#include "CStmEditorViewPanel.h"
#include "CStmRecentFiles.h"
#include "analysis/CStmChecks.h"
#include "host/model/CStmModel.h"
#include "host/platform/CRect.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

class CStmEditorSurface;
class CStmEditorUiHost;
struct GLFWwindow;

class CStmEditor {
public:
  struct SOptions : SStmEditorCommandLine {
    // For test harnesses: a descriptor that gets one line of state each time the editor has
    // drawn everything it was given and waits for input; -1 for none. With it, the Pause key
    // is the harness's marker and only counted.
    int idleFd = -1;
  };

  CStmEditor();
  ~CStmEditor();
  CStmEditor(const CStmEditor&) = delete;
  CStmEditor& operator=(const CStmEditor&) = delete;

  // Loads the model (if one is given) and opens the window; false with the message when either
  // fails.
  bool Open(const SOptions& options, std::string& error);
  // The event loop; false with the message when the screenshot could not be written.
  bool Run(std::string& error);

private:
  // The scene's action ids of the selection command and the pan command.
  static constexpr long kActionSelect = 48;
  static constexpr long kActionPan = 63;
  static constexpr long kActionPaste = 55;

  // What the window reported, kept until the loop can hand it to the scene: handlers may open
  // message boxes, which run frames of their own and so must not run inside GLFW's callbacks.
  struct SEvent {
    enum EKind { kButtonDown, kButtonUp, kMove, kWheel, kKey } kind;
    int button;  // GLFW mouse button, or the virtual key for kKey
    UINT flags;
    CPoint pt;
    short delta;
  };
  enum class ECommand {
    kNew, kOpen, kOpenRecent, kSave, kSaveAs, kImportDxf, kExportDrawing, kExportReport, kExportTable, kQuit, kUndo, kRedo, kCopy, kCut, kPaste,
    kDelete, kCancel, kOrtho, kKeys,
    kZoomAll, kPan, kViewXY, kViewXZ, kViewYZ, kStyleDark, kStyleLight, kResultCase, kInputModel,
    kOutlineFromElements, kAreaFromElements, kAnalyse, kLoadPath, kClearResults, kProperties,
    kModifyTool,  // index: the tool's action id
    kRun          // run: a handler of its own
  };
  struct SCommand {
    ECommand command;
    // The file a recent-files entry names.
    std::string path;
    // The load case or combination a results entry names, in the model's one list of cases.
    int index = -1;
    std::function<void()> run = nullptr;
  };

  static void OnMouseButton(GLFWwindow* window, int button, int action, int mods);
  static void OnCursorPos(GLFWwindow* window, double x, double y);
  static void OnScroll(GLFWwindow* window, double dx, double dy);
  static void OnKey(GLFWwindow* window, int key, int scancode, int action, int mods);
  static CStmEditor* FromWindow(GLFWwindow* window);

  // One frame with the overlay; false once the frame budget is spent.
  bool RunFrame();
  void DrawOverlay();
  // Runs after the scene is drawn, before the frame is shown.
  void BeforeSwap();
  void DispatchEvents();
  void RunCommand(const SCommand& command);
  // Every command into the table, once, at the start (CStmEditorCommandTable.cpp); the
  // templates' and the modify tools' entries come from their own files.
  void BuildCommandTable();
  void AddCommand(SStmCommand command);
  void AddTemplateCommands();
  // A menu of the table's commands; after runs behind each entry, for what the table does not
  // hold (recent files, load cases, submenus).
  void DrawCommandMenu(const std::string& menu, bool enabled,
                       const std::function<void(const SStmCommand&)>& after = nullptr);
  void DrawCommandEntries(const std::string& menu, const std::function<void(const SStmCommand&)>& after = nullptr);
  static SStmKeyChord ChordOfGlfwKey(int glfwKey, int mods);
  // The settings of the template tool in use (CStmEditorTemplates.cpp).
  void DrawTemplateSettings();
  // The caption of the results shown, under the menu bar at the right.
  void DrawResultCaption();
  // True (and the user told why) when the command must wait for the load path; Esc cancels it.
  bool RefuseWhileLoadPath(ECommand command);
  // A key while the load path runs: true when taken (Esc) or refused; false for the view's keys.
  bool OnLoadPathKey(int glfwKey, int mods);
  // Gives the overlay the colours of the model's style, which a file opened may have changed.
  void FollowStyle();
  // Whether an edit may run; tells the user why not on a locked model.
  bool CheckUnlocked() { return m_actions.CheckUnlocked(); }
  // What the status line says when nothing has happened yet.
  CString IdleStatus() const;
  // Follows the undo history: a step made below the saved state cuts the saved state off.
  void TrackHistory() { m_actions.TrackHistory(); }
  bool IsModified() const { return m_actions.IsModified(); }
  // One line of state on the idle descriptor.
  void ReportIdle();
  // Around each poll: a key pressed and released within it shows in the overlay as held for the
  // frame that follows, and is let go before the next poll.
  void HoldTappedKeys();
  void ReleaseTappedKeys();
  void UpdateOverlayModifiers();
  void DrawKeyReference();
  // The tooltip of what the cursor rests on, from the hover pick.
  void DrawTooltip();
  // Keeps where the overlay item just drawn lies and whether it can run, for the idle report.
  void NoteItem(const std::string& label, bool enabled);
  // Whether a dialog or a message box holds the input.
  bool IsModal() const;
  // Enter and Esc for the open dialog; they reach the editor whatever widget has the focus.
  void AnswerDialogByKey(int glfwKey);

  // The file commands. Each asks about unsaved changes only once it knows what would replace
  // them, and a refusal or a Cancel anywhere leaves everything as it was.
  void NewModel();
  void OpenModel();
  // Runs the file dialog until it is answered; false when cancelled. name: what the edit starts
  // with (empty: the model file's name when saving).
  bool AskForPath(CStmEditorFileDialog::EMode mode, std::string& path, const std::string& name = std::string(),
                  const std::vector<std::string>& extensions = {CStmEditorFileDialog::kExtension},
                  const std::string& title = std::string());
  // The results of an analysed model written beside it: the report carries the view as shown.
  // Neither touches the model nor its history.
  void ExportResults(bool report);
  // What the view shows as a drawing to scale (PDF, SVG or DXF by the name), in the light style.
  void ExportDrawing();
  // The outline, openings and guidelines of a DXF drawing, into the model as one undo step.
  void ImportDxf();
  bool ConfirmDiscard() { return m_actions.ConfirmDiscard(); }
  // What the scene's rebuild leaves to this window: the hover, the status line, the title.
  void AfterModelShown();
  CString DisplayName() const { return m_actions.DisplayName(); }
  void UpdateTitle();
  // A window position in framebuffer pixels, which is what the render window counts in.
  CPoint ToClient(double x, double y) const;
  UINT MouseFlags(int mods) const;

  SOptions m_options;
  CStmModel m_model;
  CStmUbManager m_manager;
  CStmUbRenderer m_wnd;
  // The file, the history's modified state and the commands' work on the model.
  CStmEditorActions m_actions{m_manager, m_wnd, m_model};
  CStmEditorProperties m_properties{m_manager};
  CStmEditorDrawTools m_drawTools{m_manager};
  CStmEditorOutlineTools m_outlineTools{m_wnd, m_model};
  CStmEditorViewPanel m_viewPanel{m_manager};
  CStmEditorSurface* m_pSurface = nullptr;
  GLFWwindow* m_window = nullptr;
  std::unique_ptr<CStmEditorUiHost> m_pHost;
  bool m_bImGui = false;
  int m_nFrames = 0;
  // Buttons held down, and those of them whose press went to the scene.
  unsigned m_buttonsHeld = 0;
  unsigned m_sceneButtons = 0;
  // Where the latest motion event left the cursor. GLFW's own query asks the X server where the
  // pointer is now, which gives a press that arrived with later moves the place of the last.
  double m_dCursorX = 0.0;
  double m_dCursorY = 0.0;
  std::deque<SEvent> m_events;
  std::deque<SCommand> m_commands;
  CStmEditorFileDialog m_fileDialog;
  CStmEditorNewModelDialog m_newDialog;
  CStmCommandTable m_table;
  // Keys pressed in the latest poll, those of them also released in it, and those held down in
  // the overlay's key state for one frame since: the overlay reads its keys as held or not at
  // each frame, so a key tapped between two frames (a quick hand, or a busy machine that polls
  // late) would never reach a text field.
  std::vector<int> m_keysPressed;
  std::vector<int> m_keysTapped;
  std::vector<int> m_keysShown;
  // Input that arrived in the latest poll, quiet frames since, and harness markers counted.
  int m_nInputs = 0;
  int m_nQuietFrames = 0;
  int m_nMarks = 0;
  bool m_bShowKeys = false;
  // The style the overlay's colours were last set for; -1 before the first frame.
  int m_nOverlayStyle = -1;
  std::vector<std::string> m_items;
  // Where the cursor was when the hover pick was last made, and the tooltip shown, as text.
  CPoint m_ptHover{-1, -1};
  std::string m_strTooltip;
  // The right-hand part of the status line: the cursor's model point and the selection count.
  std::string m_strWhere;
  // The message as the status line shows it: cut short when the line has no room for all of it.
  std::string m_strStatusShown;
  std::string m_strTitle;
  // The frame drawn so far, as the window will show it.
  void ReadBackBuffer(std::vector<unsigned char>& rgba, int& width, int& height) const;
  std::vector<unsigned char> m_shot;
  int m_shotWidth = 0;
  int m_shotHeight = 0;
  // The scene alone, without the overlay, read from the next frame for a report's picture.
  bool m_bGrabScene = false;
  std::vector<unsigned char> m_scene;
  int m_sceneWidth = 0;
  int m_sceneHeight = 0;
  // Analysis and load path beside the frames, the case shown; the model takes no input while the
  // analysis runs.
  CStmEditorResults m_results{m_manager, m_wnd, m_model};
};
