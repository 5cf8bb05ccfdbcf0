// Runs the real editor in a window on a private virtual X display and drives it with real X
// input, waiting after each gesture for the editor's own report that it has drawn the result.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "geometry/CVector.h"
#include "host/model/StmModelTypes.h"
#include "support/RenderCheck.h"

class CStmModel;

class StmEditorSession {
public:
  // One idle report: field name to value (status, title, selected, modified, view, ...).
  struct SState {
    std::map<std::string, std::string> fields;
    std::string Get(const std::string& key) const;
    int Int(const std::string& key) const;
    double Real(const std::string& key) const;
    // The index-th of the comma-separated numbers of a field ("window", "size", "centre").
    double Part(const std::string& key, int index) const;
  };

  // Why the session cannot run here (no Xvfb, no xdotool); empty when it can.
  static std::string Unavailable();

  StmEditorSession() = default;
  ~StmEditorSession();
  StmEditorSession(const StmEditorSession&) = delete;
  StmEditorSession& operator=(const StmEditorSession&) = delete;

  // Starts a display and the editor on the model (none: a new, untitled model), and waits until
  // the editor is idle. The editor keeps its settings in a folder of the test's own (see
  // ConfigDir), which every session of one test shares.
  testing::AssertionResult Start(const std::string& model, int width = 800, int height = 600);
  // The editor's configuration folder (its XDG_CONFIG_HOME) for the running test.
  static std::string ConfigDir();

  // The latest idle report.
  const SState& State() const { return m_state; }
  // What the window showed at the latest report, overlay included, rows from the top.
  testing::AssertionResult Picture(SRgbaImage& image) const;
  // Where a model point lies on the screen (in the picture), through the view of the latest report.
  void ScreenOf(const CVector& p, int& x, int& y, bool inPicture = false) const;

  // Gestures at model points; each returns once the editor has drawn its result.
  testing::AssertionResult MoveTo(const CVector& p);
  testing::AssertionResult Click(const CVector& p, int button = 1);
  testing::AssertionResult Drag(const CVector& from, const CVector& to, int button = 1);
  // Positive notches roll the wheel away from the user.
  testing::AssertionResult Wheel(const CVector& at, int notches);
  // xdotool key names, e.g. "Delete", "ctrl+z".
  testing::AssertionResult Key(const std::string& keys);
  // Types the text as a user would, key by key.
  testing::AssertionResult Type(const std::string& text);
  // Clicks an overlay item (a menu or a menu entry) by its untranslated name.
  testing::AssertionResult ClickItem(const std::string& name);
  // Rests the pointer on an overlay item by its untranslated name: a submenu opens so.
  testing::AssertionResult HoverItem(const std::string& name);
  // Whether the item was drawn in the latest report and could run: 1, 0, or -1 when not drawn.
  int ItemEnabled(const std::string& name) const;
  // The "x,y,enabled" of an item in the latest report; empty when it was not drawn.
  std::string FindItem(const std::string& name) const;
  // Reads reports until one satisfies the condition: for what the editor does on its own
  // after input, such as a tooltip once the cursor rests.
  testing::AssertionResult WaitFor(const std::function<bool(const SState&)>& condition, const std::string& what);
  // Any xdotool command line (empty for none), followed by the marker; returns once the editor
  // has drawn it.
  testing::AssertionResult Input(const std::string& xdotoolArgs);

  // Sends keys to a closing editor and waits for it to leave; the exit status, -1 on failure.
  int KeyAndWaitForExit(const std::string& keys);
  // What the editor wrote on stderr so far.
  std::string Stderr() const;

private:
  // Reads idle reports until one carries the marker; false on end of file or the guard time.
  testing::AssertionResult WaitForMark(int mark);
  // Moves the pointer onto the item, then does what the xdotool arguments say.
  testing::AssertionResult AtItem(const std::string& name, const std::string& then);
  // Reads the next report; false at end of file or after the guard time.
  bool ReadReport();
  bool ReadLine(std::string& line, bool* eof = nullptr);
  int Xdotool(const std::string& args) const;
  void Stop();

  pid_t m_xvfb = -1;
  pid_t m_editor = -1;
  int m_display = -1;
  int m_idleFd = -1;
  int m_marks = 0;
  std::string m_buffer;
  std::string m_errPath;
  std::string m_shotPath;
  SState m_state;
};

// A session test on its own file: skipped where no X server can run, the file and the
// editor's settings removed afterwards.
class StmEditorSessionFixture : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // 1000 mm sides and the diagonal 1-3, in the plane (its own two axes), saved to m_path.
  void SaveSquareTruss(int plane = STM_PLANE_XZ);
  static CVector At(double x, double z) { return CVector(x, 0.0, z); }
  // The model in the file (m_path when none is named); a failure is added when it does not load.
  std::unique_ptr<CStmModel> Saved(const std::string& path = std::string()) const;
  void Save(CStmModel& model, const std::string& path = std::string()) const;

  // A field of the latest idle report, and whether it holds the text.
  std::string Get(const char* field) const { return m_editor.State().Get(field); }
  bool Has(const char* field, const std::string& text) const { return Get(field).find(text) != std::string::npos; }
  std::string Status() const { return Get("status"); }
  // The title's mark of a model that differs from its file.
  bool TitleMarked() const;

  std::string m_path;
  StmEditorSession m_editor;
};
