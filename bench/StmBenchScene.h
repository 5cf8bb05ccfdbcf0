// What the benchmarks share: lattice models of a wanted size, the bare immediate-mode passes
// they are measured against, and the process's peak memory.
#pragma once

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "host/framework/CUbRenderWnd.h"
#include "host/framework/CUbSurface.h"
#include "host/model/CStmModel.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

constexpr int kBenchSize = 512;
constexpr double kCell = 100.0;

// A lattice of nodes kCell apart in the x-z plane inside an outer boundary, joined by
// horizontal, then vertical elements, cut off at the wanted count.
struct SLattice {
  int m_nColumns = 0, m_nRows = 0;
  // Element ids by lattice position; 0 where the count cut the element off.
  std::vector<int> m_arHorizontal, m_arVertical;

  int Node(int r, int c) const { return r * m_nColumns + c + 1; }
  CVector At(int r, int c) const { return CVector(c * kCell, 0.0, r * kCell); }
  int Horizontal(int r, int c) const { return m_arHorizontal[static_cast<size_t>(r * (m_nColumns - 1) + c)]; }
  int Vertical(int r, int c) const { return m_arVertical[static_cast<size_t>(r * m_nColumns + c)]; }

  void Build(CStmModel& model, int elements) {
    m_nColumns = 2;
    while ((m_nColumns - 1) * (m_nColumns - 1) < elements) ++m_nColumns;
    m_nRows = 1;
    while (m_nRows * (m_nColumns - 1) + (m_nRows - 1) * m_nColumns < elements) ++m_nRows;
    for (int r = 0; r < m_nRows; ++r) {
      for (int c = 0; c < m_nColumns; ++c) model.AddNode(At(r, c));
    }
    // The member's outline around it all, as in every real model: one box over the whole grid.
    const double m = kCell * 0.5;
    const CVector far = At(m_nRows - 1, m_nColumns - 1);
    model.SetBoundary(STM_BOUNDARY_OUTER, {CVector(-m, 0.0, -m), CVector(far.x + m, 0.0, -m),
                                           CVector(far.x + m, 0.0, far.z + m), CVector(-m, 0.0, far.z + m)});
    m_arHorizontal.assign(static_cast<size_t>(m_nRows * (m_nColumns - 1)), 0);
    m_arVertical.assign(static_cast<size_t>(m_nRows * m_nColumns), 0);
    int count = 0;
    for (int r = 0; r < m_nRows; ++r) {
      for (int c = 0; c + 1 < m_nColumns && count < elements; ++c, ++count) {
        m_arHorizontal[static_cast<size_t>(r * (m_nColumns - 1) + c)] =
            model.AddElement(Node(r, c), Node(r, c + 1), SStmPropElement(0, 2, 0.0))->GetId();
      }
    }
    for (int r = 0; r + 1 < m_nRows; ++r) {
      for (int c = 0; c < m_nColumns && count < elements; ++c, ++count) {
        m_arVertical[static_cast<size_t>(r * m_nColumns + c)] =
            model.AddElement(Node(r, c), Node(r + 1, c), SStmPropElement(0, 2, 0.0))->GetId();
      }
    }
  }

  // About `count` elements of a compact block whose lower-left lattice point is (r0, c0).
  std::set<int> Block(int r0, int c0, int count) const {
    std::set<int> ids;
    for (int side = 1; static_cast<int>(ids.size()) < count && side < m_nColumns; ++side) {
      ids.clear();
      for (int r = r0; r <= r0 + side && r < m_nRows; ++r) {
        for (int c = c0; c <= c0 + side && c < m_nColumns; ++c) {
          if (c < c0 + side && c + 1 < m_nColumns && Horizontal(r, c)) ids.insert(Horizontal(r, c));
          if (r < r0 + side && r + 1 < m_nRows && Vertical(r, c)) ids.insert(Vertical(r, c));
        }
      }
    }
    while (static_cast<int>(ids.size()) > count) ids.erase(std::prev(ids.end()));
    return ids;
  }
};

// What an analysis would leave on the lattice, made up: a force on every element (ties, struts and
// a few that round to zero, mixed along the registry so that no two neighbours need to share a
// drawing state), a band of calculated width around each element and a hexagonal zone around
// each node, all for result case 0. The model is locked, as results lock it.
void AddSyntheticResults(CStmModel& model);

// The picture of a frame with forces, widths and zones drawn with nothing of the layer: the
// regions (outline, then translucent fill), the elements and nodes, the force lines (dashed
// struts and unclassified ones in one run, solid ties in another) and the quads of the labels
// the frame placed.
void BareLayersPass(const CStmModel& model, const std::vector<CVector>& labelQuads);

// The same nodes and elements drawn with nothing of the layer: one point or line each, and, when
// given, the quads of the labels a frame placed.
inline void BarePass(const CStmModel& model, const std::vector<CVector>* labelQuads = nullptr) {
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glLineWidth(1.0f);
  glColor3d(1.0, 1.0, 1.0);
  glBegin(GL_LINES);
  for (const auto& entry : model.GetElements()) {
    if (!entry.second->IsEnable()) continue;
    const CVector a = model.GetNode(entry.second->GetIdNodeBegin())->GetCoord();
    const CVector b = model.GetNode(entry.second->GetIdNodeEnd())->GetCoord();
    glVertex3d(a.x, a.y, a.z);
    glVertex3d(b.x, b.y, b.z);
  }
  glEnd();
  glPointSize(5.0f);
  glBegin(GL_POINTS);
  for (const auto& entry : model.GetNodes()) {
    if (!entry.second->IsEnable()) continue;
    const CVector p = entry.second->GetCoord();
    glVertex3d(p.x, p.y, p.z);
  }
  glEnd();
  glPointSize(1.0f);
  if (labelQuads) {
    glBegin(GL_QUADS);
    for (const CVector& v : *labelQuads) glVertex3d(v.x, v.y, v.z);
    glEnd();
  }
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}

// A selection pass with nothing of the layer over the candidates the index gives the
// renderer's pick: a name and a point or line each, in a pick region of box pixels around the
// window pixel pt.
int BareSelectionPass(const CUbEttManage& manage, CUbRenderWnd& wnd, const CPoint& pt, int box,
                      std::vector<GLuint>& buffer);

// Kibibytes from a line of /proc/self/status ("VmHWM:   1234 kB").
inline double StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, std::strlen(field), field) == 0) return std::atof(line.c_str() + std::strlen(field) + 1);
  }
  return 0.0;
}

// The peak resident size says something only in a process that has freed nothing yet: heap
// freed by earlier benchmarks is reused first and hides growth. So a memory benchmark runs
// again alone in a fresh process of this program, and reports that process's counters. False in
// that process itself, which then measures; true here, with the counters taken over. launcher,
// when given, goes before the program on its command line (a display for it, say).
inline bool MeasuredInOwnProcess(benchmark::State& state, const char* name,
                                 std::initializer_list<const char*> counters, const std::string& launcher = "") {
  if (std::getenv("STM_BENCH_OWN_PROCESS")) return false;
  char exe[4096] = {};
  const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (length <= 0) {
    state.SkipWithError("cannot find this program to start it again");
    return true;
  }
  const std::string command = "STM_BENCH_OWN_PROCESS=1 " + launcher + " '" + std::string(exe, static_cast<size_t>(length)) +
                              "' --benchmark_filter='^" + name + "/' --benchmark_format=json 2>/dev/null";
  std::string out;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    pclose(pipe);
  }
  for (auto _ : state) {
  }
  for (const char* counter : counters) {
    const std::string key = std::string("\"") + counter + "\": ";
    const size_t at = out.find(key);
    if (at == std::string::npos) {
      state.SkipWithError("the measuring process reported nothing");
      return true;
    }
    state.counters[counter] = std::strtod(out.c_str() + at + key.size(), nullptr);
  }
  return true;
}

// The peak resident size from now on, where the kernel lets a process reset it.
inline void ResetPeak() {
  if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
}

// A renderer off screen showing a model face on in the x-z plane, zoomed to all of it.
struct SBenchView {
  CStmUbManager manager;
  CStmUbRenderer wnd;

  // False (and the benchmark skipped with the reason) when no surface could be made.
  bool Open(benchmark::State& state, CStmModel& model) {
    std::string error;
    auto surface = CreateOffscreenSurface(kBenchSize, kBenchSize, &error);
    if (!surface) {
      state.SkipWithError(error.c_str());
      return false;
    }
    wnd.Create(&manager, std::move(surface));
    manager.SetStmModel(&model);
    wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
    manager.UpdateStmRenderer();
    wnd.ZoomAll(0);
    return true;
  }
};

// Per iteration: work() timed alone (false stops with the reason), then draw() timed in the
// window's context; reports work over draw as `ratio`, and both in milliseconds.
template <class Work, class Draw>
void TimeWorkAgainstDraw(benchmark::State& state, CUbRenderWnd& wnd, const char* ratio, const char* workMs,
                         const char* drawMs, Work work, Draw draw) {
  using Clock = std::chrono::steady_clock;
  double worked = 0.0, drawn = 0.0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    if (const char* why = work()) {
      state.SkipWithError(why);
      return;
    }
    const auto t1 = Clock::now();
    wnd.OpenGLRenderStart();
    const auto t2 = Clock::now();
    draw();
    glFinish();
    const auto t3 = Clock::now();
    wnd.OpenGLRenderEnd();
    worked += std::chrono::duration<double>(t1 - t0).count();
    drawn += std::chrono::duration<double>(t3 - t2).count();
  }
  state.counters[ratio] = drawn > 0.0 ? worked / drawn : 0.0;
  state.counters[workMs] = worked * 1e3 / static_cast<double>(state.iterations());
  state.counters[drawMs] = drawn * 1e3 / static_cast<double>(state.iterations());
}
