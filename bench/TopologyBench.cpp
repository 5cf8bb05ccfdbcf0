// The editing gestures of the scene manager on lattice models of 1,000, 10,000 and 50,000
// elements, each as a ratio to a bare immediate-mode frame of the same model measured in the
// same run, and the resident memory after 1,000 gestures against after 10.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "host/framework/CUbSurface.h"
#include "host/model/CStmModel.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"
#include "StmBenchScene.h"

namespace {

using Clock = std::chrono::steady_clock;

// One model in a window, with the gestures a user makes on it.
class CScene {
public:
  bool Open(int elements, std::string& error) {
    auto surface = CreateOffscreenSurface(kBenchSize, kBenchSize, &error);
    if (!surface) return false;
    m_lattice.Build(m_model, elements);
    m_wnd.Create(&m_manager, std::move(surface));
    m_manager.SetStmModel(&m_model);
    m_wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
    m_manager.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
    m_manager.UpdateStmRenderer();
    m_wnd.ZoomAll(0);
    if (m_manager.GetCount(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(111)) != elements) {
      error = "the lattice does not have the wanted number of elements";
      return false;
    }
    // The work happens in the middle of the model, where every lookup has neighbours.
    m_nRow = m_lattice.m_nRows / 2 - 4;
    m_nColumn = m_lattice.m_nColumns / 2 - 4;
    return true;
  }

  double BareFrame() {
    m_wnd.OpenGLRenderStart();
    const auto t0 = Clock::now();
    BarePass(m_model);
    glFinish();
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    m_wnd.OpenGLRenderEnd();
    return seconds;
  }

  struct SGesture {
    const char* m_szName;
    std::function<void()> m_fnPrepare;  // outside the timing
    std::function<void()> m_fnRun;
    bool m_bUndo;  // whether the gesture made an undo step to take back
  };

  std::vector<SGesture> Gestures() {
    const SLattice& l = m_lattice;
    const int r = m_nRow, c = m_nColumn;
    return {
        {"add_reuse", nullptr,
         [this, &l, r, c] { m_manager.AddElement(l.At(r, c), l.At(r + 1, c + 1), 1, 1, 1, nullptr); }, true},
        {"add_new", nullptr,
         [this, &l, r, c] {
           m_manager.AddElement(l.At(r, c), l.At(r, c) + CVector(kCell * 0.3, 0.0, kCell * 0.6), 1, 1, 1, nullptr);
         },
         true},
        {"split", nullptr,
         [this, &l, r, c] { m_manager.AddNode((l.At(r, c) + l.At(r, c + 1)) * 0.5, 1, 1, 1, 1, nullptr); }, true},
        {"delete_10", [this, &l, r, c] { Select(l.Block(r, c, 10)); }, [this] { m_manager.DeleteSelectedEntity(); },
         true},
        {"paste_100",
         [this, &l, r, c] {
           Select(l.Block(r, c, 100));
           m_manager.Copy();
         },
         [this, &l, r, c] { m_manager.Paste(l.At(r, c) + CVector(kCell * 0.5, 0.0, kCell * 0.5)); }, true},
        {"select_window", [this] { m_manager.SelectRemoveAll(); },
         [this, &l, r, c] {
           const CPoint a = m_wnd.ExtToClient(l.At(r, c) - CVector(kCell * 0.25, 0.0, kCell * 0.25));
           const CPoint b = m_wnd.ExtToClient(l.At(r + 6, c + 6) + CVector(kCell * 0.25, 0.0, kCell * 0.25));
           m_wnd.SelectionRect(CPoint(a.x, b.y), CPoint(b.x, a.y), 1, 0, nullptr, 2);
         },
         false},
        {"move_100", [this, &l, r, c] { Select(l.Block(r, c, 100)); }, [this] { MoveSelection(); }, true},
    };
  }

  // Runs one gesture and takes it back; returns the seconds of the gesture alone.
  double Run(const SGesture& gesture) {
    if (gesture.m_fnPrepare) gesture.m_fnPrepare();
    const auto t0 = Clock::now();
    gesture.m_fnRun();
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    if (gesture.m_bUndo) m_manager.Undo();
    m_manager.SelectRemoveAll();
    return seconds;
  }

  CStmUbManager& Manager() { return m_manager; }

private:
  void Select(const std::set<int>& ids) {
    m_manager.SelectRemoveAll();
    m_manager.SelectElement(ids);
  }

  // As the move action does it: one step, each element moved and recorded, then re-linked and
  // its nodes merged into whatever they landed on.
  void MoveSelection() {
    const CVector d(kCell * 0.5, 0.0, kCell * 0.5);
    std::vector<CStmEntityElement*> elements;
    for (const auto& entry : m_manager.GetSelectMap()) {
      if (auto* e = dynamic_cast<CStmEntityElement*>(static_cast<CUbEntityObj*>(entry.second))) elements.push_back(e);
    }
    m_manager.SetHistoryStart();
    for (CStmEntityElement* e : elements) {
      e->Move(d);
      m_manager.AddHistory_ActionMoveAllPoint(e->GetName(), d);
    }
    for (CStmEntityElement* e : elements) {
      m_manager.AddNodeMovedElement(e);
      m_manager.DeleteNodeDuplication(e->GetIdStm());
    }
    m_manager.SetHistoryEnd();
  }

  CStmModel m_model;
  CStmUbManager m_manager;
  CStmUbRenderer m_wnd;
  SLattice m_lattice;
  int m_nRow = 0, m_nColumn = 0;
};

void BM_GesturesOverBareFrame(benchmark::State& state) {
  CScene scene;
  std::string error;
  if (!scene.Open(static_cast<int>(state.range(0)), error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  const std::vector<CScene::SGesture> gestures = scene.Gestures();
  std::vector<double> spent(gestures.size(), 0.0);
  double bare = 0.0;
  for (auto _ : state) {
    bare += scene.BareFrame();
    for (size_t i = 0; i < gestures.size(); ++i) spent[i] += scene.Run(gestures[i]);
  }
  const double frames = static_cast<double>(state.iterations());
  for (size_t i = 0; i < gestures.size(); ++i) {
    state.counters[gestures[i].m_szName] = bare > 0.0 ? spent[i] / bare : 0.0;
  }
  state.counters["bare_ms"] = bare * 1e3 / frames;
}

void BM_MemoryAfterGestures(benchmark::State& state) {
  CScene scene;
  std::string error;
  if (!scene.Open(10000, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  const std::vector<CScene::SGesture> gestures = scene.Gestures();
  double after10 = 0.0, after1000 = 0.0;
  for (auto _ : state) {
    ResetPeak();
    for (int i = 0; i < 1000; ++i) {
      scene.Run(gestures[static_cast<size_t>(i) % gestures.size()]);
      if (i + 1 == 10) after10 = StatusKb("VmHWM");
    }
    after1000 = StatusKb("VmHWM");
  }
  state.counters["peak_kb_after_10"] = after10;
  state.counters["peak_kb_after_1000"] = after1000;
  state.counters["growth"] = after10 > 0.0 ? after1000 / after10 : 0.0;
}

}  // namespace

BENCHMARK(BM_GesturesOverBareFrame)
    ->ArgName("elements")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(50000)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryAfterGestures)->Iterations(1)->Unit(benchmark::kSecond);
