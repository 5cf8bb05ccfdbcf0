// The editor session of the end-to-end tests.
#include "support/StmEditorSession.h"

#include <cstdio>
#include <filesystem>

#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/RenderCheck.h"
#include "support/RunProgram.h"

namespace {

// A guard against a hung editor, never a way to wait for one: every wait ends on a report.
constexpr int kGuardMilliseconds = 60000;
constexpr int kReportFd = 3;

bool HasCommand(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

// Reads from fd until a newline or end of file, within the guard time; eof tells the two apart.
bool ReadUpToNewline(int fd, std::string& buffer, std::string& line, bool* eof = nullptr) {
  for (;;) {
    const size_t newline = buffer.find('\n');
    if (newline != std::string::npos) {
      line = buffer.substr(0, newline);
      buffer.erase(0, newline + 1);
      return true;
    }
    pollfd pfd{fd, POLLIN, 0};
    if (poll(&pfd, 1, kGuardMilliseconds) <= 0) return false;
    char chunk[4096];
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n <= 0) {
      if (eof) *eof = true;
      return false;
    }
    buffer.append(chunk, static_cast<size_t>(n));
  }
}

void EndChild(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

}  // namespace

std::string StmEditorSession::SState::Get(const std::string& key) const {
  const auto it = fields.find(key);
  return it == fields.end() ? std::string() : it->second;
}

int StmEditorSession::SState::Int(const std::string& key) const { return std::atoi(Get(key).c_str()); }

double StmEditorSession::SState::Real(const std::string& key) const { return std::atof(Get(key).c_str()); }

double StmEditorSession::SState::Part(const std::string& key, int index) const {
  std::stringstream parts(Get(key));
  std::string part;
  for (int i = 0; i <= index; ++i) std::getline(parts, part, ',');
  return std::atof(part.c_str());
}

std::string StmEditorSession::Unavailable() {
  if (!HasCommand("Xvfb")) return "Xvfb is not installed";
  if (!HasCommand("xdotool")) return "xdotool is not installed";
  return std::string();
}

StmEditorSession::~StmEditorSession() { Stop(); }

void StmEditorSession::Stop() {
  EndChild(m_editor);
  EndChild(m_xvfb);
  if (m_idleFd >= 0) close(m_idleFd);
  m_idleFd = -1;
}

testing::AssertionResult StmEditorSession::Start(const std::string& model, int width, int height) {
  // Xvfb picks a free display and names it on a pipe once it accepts clients.
  int displayPipe[2];
  if (pipe(displayPipe) != 0) return testing::AssertionFailure() << "no pipe";
  m_xvfb = fork();
  if (m_xvfb == 0) {
    // Neither the display nor the editor outlives a test run that dies.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    close(displayPipe[0]);
    const std::string fd = std::to_string(displayPipe[1]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(displayPipe[1]);
  std::string buffer, line;
  const bool named = ReadUpToNewline(displayPipe[0], buffer, line);
  close(displayPipe[0]);
  if (!named) return testing::AssertionFailure() << "Xvfb did not name its display";
  m_display = std::atoi(line.c_str());

  int reportPipe[2];
  if (pipe(reportPipe) != 0) return testing::AssertionFailure() << "no pipe";
  // What the editor said and what the user would see at the latest report, per test, for a
  // look after a failure.
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = RenderOutputDir() + "/session-" + (test ? test->name() : "editor");
  // One file per test, begun afresh by its first session, so that runs do not pile up files
  // and the file holds only what this run said.
  m_errPath = name + ".stderr";
  static std::string s_errBegun;
  if (s_errBegun != m_errPath) {
    s_errBegun = m_errPath;
    std::ofstream(m_errPath, std::ios::trunc);
  }
  m_shotPath = name + ".png";
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  const std::string display = ":" + std::to_string(m_display);
  const std::string config = ConfigDir();
  std::vector<std::string> args = {"stm-editor"};
  if (!model.empty()) args.push_back(model);
  for (const std::string& arg : {std::string("--size"), size, std::string("--idle-fd"), std::to_string(kReportFd),
                                 std::string("--screenshot"), m_shotPath})
    args.push_back(arg);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  m_editor = fork();
  if (m_editor == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    close(reportPipe[0]);
    dup2(reportPipe[1], kReportFd);
    if (reportPipe[1] != kReportFd) close(reportPipe[1]);
    const int err = open(m_errPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    dup2(err, 2);
    setenv("DISPLAY", display.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    // The user's own recent files are neither read nor written by a test.
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    execv(STM_EDITOR_EXE, argv.data());
    _exit(127);
  }
  close(reportPipe[1]);
  m_idleFd = reportPipe[0];
  if (testing::AssertionResult ready = WaitForMark(0); !ready) return ready;
  // Without a window manager the keyboard follows the pointer, so it starts over the window.
  const int x = static_cast<int>(m_state.Part("window", 0)) + width / 2;
  const int y = static_cast<int>(m_state.Part("window", 1)) + height / 2;
  return Input("mousemove " + std::to_string(x) + " " + std::to_string(y));
}

std::string StmEditorSession::ConfigDir() {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  return RenderOutputDir() + "/session-" + (test ? test->name() : "editor") + "." + std::to_string(getpid()) +
         ".config";
}

bool StmEditorSession::ReadLine(std::string& line, bool* eof) { return ReadUpToNewline(m_idleFd, m_buffer, line, eof); }

bool StmEditorSession::ReadReport() {
  std::string line;
  if (!ReadLine(line)) return false;
  SState state;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) {
    const size_t eq = field.find('=');
    if (eq != std::string::npos) state.fields[field.substr(0, eq)] = field.substr(eq + 1);
  }
  m_state = state;
  return true;
}

testing::AssertionResult StmEditorSession::WaitForMark(int mark) {
  return WaitFor([mark](const SState& state) { return state.Int("mark") >= mark; },
                 "marker " + std::to_string(mark));
}

testing::AssertionResult StmEditorSession::WaitFor(const std::function<bool(const SState&)>& condition,
                                                   const std::string& what) {
  if (!m_state.fields.empty() && condition(m_state)) return testing::AssertionSuccess();
  while (ReadReport()) {
    if (condition(m_state)) return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "the editor stopped reporting before " << what << " (last seen: " << m_shotPath
                                     << "); stderr: " << Stderr();
}

testing::AssertionResult StmEditorSession::Picture(SRgbaImage& image) const {
  image = SRgbaImage::FromPng(m_shotPath);
  if (image.rgba.empty()) return testing::AssertionFailure() << "no picture in " << m_shotPath;
  return testing::AssertionSuccess();
}

void StmEditorSession::ScreenOf(const CVector& p, int& x, int& y, bool inPicture) const {
  double u = p.x, v = p.y;
  const int view = m_state.Int("view");
  if (view == 2) u = p.y, v = p.z;
  if (view == 4) u = p.x, v = p.z;
  const double scale = m_state.Real("scale");
  x = static_cast<int>(std::floor(m_state.Part("size", 0) * 0.5 + (u - m_state.Part("centre", 0)) / scale));
  y = static_cast<int>(std::floor(m_state.Part("size", 1) * 0.5 - (v - m_state.Part("centre", 1)) / scale));
  if (inPicture) return;
  x += static_cast<int>(m_state.Part("window", 0));
  y += static_cast<int>(m_state.Part("window", 1));
}

int StmEditorSession::Xdotool(const std::string& args) const {
  const std::string command = "DISPLAY=:" + std::to_string(m_display) + " xdotool " + args + " 2>>" + ShellQuote(m_errPath);
  return std::system(command.c_str());
}

testing::AssertionResult StmEditorSession::Input(const std::string& xdotoolArgs) {
  // X delivers events in order, so once the editor has counted the marker it has seen all
  // that came before it.
  if (Xdotool(xdotoolArgs + (xdotoolArgs.empty() ? "" : " ") + "key Pause") != 0) return testing::AssertionFailure() << "xdotool " << xdotoolArgs << " failed";
  return WaitForMark(++m_marks);
}

namespace {

std::string At(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }

}  // namespace

testing::AssertionResult StmEditorSession::MoveTo(const CVector& p) {
  int x = 0, y = 0;
  ScreenOf(p, x, y);
  return Input("mousemove " + At(x, y));
}

testing::AssertionResult StmEditorSession::Click(const CVector& p, int button) {
  int x = 0, y = 0;
  ScreenOf(p, x, y);
  return Input("mousemove " + At(x, y) + " click " + std::to_string(button));
}

testing::AssertionResult StmEditorSession::Drag(const CVector& from, const CVector& to, int button) {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  ScreenOf(from, x0, y0);
  ScreenOf(to, x1, y1);
  const std::string b = std::to_string(button);
  // A move half way, as a hand makes, before the end.
  return Input("mousemove " + At(x0, y0) + " mousedown " + b + " mousemove " + At((x0 + x1) / 2, (y0 + y1) / 2) +
               " mousemove " + At(x1, y1) + " mouseup " + b);
}

testing::AssertionResult StmEditorSession::Wheel(const CVector& at, int notches) {
  int x = 0, y = 0;
  ScreenOf(at, x, y);
  const int button = notches > 0 ? 4 : 5;
  return Input("mousemove " + At(x, y) + " click --repeat " + std::to_string(std::abs(notches)) + " " +
               std::to_string(button));
}

testing::AssertionResult StmEditorSession::Key(const std::string& keys) {
  // Each press and its release go out together, as a busy machine hands them to the editor:
  // a key must count even when it comes and goes between two frames.
  return Input("key --delay 0 " + keys);
}

testing::AssertionResult StmEditorSession::Type(const std::string& text) {
  // xdotool's type takes every argument after it as text, so the marker follows on its own.
  if (Xdotool("type " + ShellQuote(text)) != 0) return testing::AssertionFailure() << "xdotool type failed";
  return Input(std::string());
}

std::string StmEditorSession::FindItem(const std::string& name) const {
  std::stringstream items(m_state.Get("items"));
  std::string item;
  while (std::getline(items, item, '|')) {
    const size_t colon = item.rfind(':');
    if (colon != std::string::npos && item.substr(0, colon) == name) return item.substr(colon + 1);
  }
  return std::string();
}

int StmEditorSession::ItemEnabled(const std::string& name) const {
  const std::string at = FindItem(name);
  if (at.empty()) return -1;
  return at.substr(at.rfind(',') + 1) == "1" ? 1 : 0;
}

testing::AssertionResult StmEditorSession::ClickItem(const std::string& name) { return AtItem(name, " click 1"); }

testing::AssertionResult StmEditorSession::HoverItem(const std::string& name) { return AtItem(name, std::string()); }

testing::AssertionResult StmEditorSession::AtItem(const std::string& name, const std::string& then) {
  const std::string at = FindItem(name);
  if (at.empty()) return testing::AssertionFailure() << "no item \"" << name << "\" among " << m_state.Get("items");
  const int x = static_cast<int>(m_state.Part("window", 0)) + std::atoi(at.c_str());
  const int y = static_cast<int>(m_state.Part("window", 1)) + std::atoi(at.substr(at.find(',') + 1).c_str());
  return Input("mousemove " + At(x, y) + then);
}

int StmEditorSession::KeyAndWaitForExit(const std::string& keys) {
  // The report pipe closes when the editor leaves; a report of the marker means it stayed.
  if (Xdotool("key " + keys + " key Pause") != 0) return -1;
  const int mark = ++m_marks;
  std::string line;
  bool eof = false;
  while (ReadLine(line, &eof)) {
    if (line.find("\tmark=" + std::to_string(mark) + "\t") != std::string::npos) return -1;
  }
  if (!eof) return -1;
  int status = 0;
  if (waitpid(m_editor, &status, 0) != m_editor) return -1;
  m_editor = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string StmEditorSession::Stderr() const {
  std::ifstream in(m_errPath);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void StmEditorSessionFixture::SetUp() {
  const std::string why = StmEditorSession::Unavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  m_path = RenderOutputDir() + "/session-" + testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
           std::to_string(getpid()) + ".stm.json";
}

void StmEditorSessionFixture::TearDown() {
  if (!m_path.empty()) std::remove(m_path.c_str());
  std::filesystem::remove_all(StmEditorSession::ConfigDir());
}

void StmEditorSessionFixture::SaveSquareTruss(int plane) {
  CStmModel model;
  model.SetPlane(plane);
  const auto corner = [plane](double a, double b) {
    if (plane == STM_PLANE_XY) return CVector(a, b, 0.0);
    if (plane == STM_PLANE_YZ) return CVector(0.0, a, b);
    return CVector(a, 0.0, b);
  };
  for (const CVector& p : {corner(0, 0), corner(1000, 0), corner(1000, 1000), corner(0, 1000)}) model.AddNode(p);
  for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 3}})
    model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
  Save(model);
}

void StmEditorSessionFixture::Save(CStmModel& model, const std::string& path) const {
  std::string error;
  EXPECT_TRUE(CStmModelFile::Save(path.empty() ? m_path : path, model, &error)) << error;
}

std::unique_ptr<CStmModel> StmEditorSessionFixture::Saved(const std::string& path) const {
  auto model = std::make_unique<CStmModel>();
  std::string error;
  EXPECT_TRUE(CStmModelFile::Load(path.empty() ? m_path : path, *model, &error)) << error;
  return model;
}

bool StmEditorSessionFixture::TitleMarked() const {
  const std::string title = Get("title");
  return title.size() >= 2 && title.compare(title.size() - 2, 2, " *") == 0;
}
