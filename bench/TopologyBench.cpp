// The editing gestures of the scene manager on lattice models of 1,000, 10,000 and 50,000
// elements, each with its undo and its redo, as ratios to a bare immediate-mode frame of the
// same model measured in the same run; and, in a process of its own, the resident memory after
// 1,000 gestures against after 10.
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
        {"truss", [this, &l, r, c] { ZoomTo(l.At(r + 1, c + 2)); },
         [this, &l, r, c] { InsertTruss(l.At(r, c), l.At(r, c + 4), l.At(r + 2, c)); }, true},
    };
  }

  struct STimes {
    double m_dRun = 0.0, m_dUndo = 0.0, m_dRedo = 0.0;
  };

  // Runs one gesture, takes it back, does it again and takes it back once more; returns the
  // seconds of the gesture, of its undo and of its redo.
  STimes Run(const SGesture& gesture) {
    STimes times;
    if (gesture.m_fnPrepare) gesture.m_fnPrepare();
    const int steps = m_manager.GetUndoCount();
    auto t0 = Clock::now();
    gesture.m_fnRun();
    times.m_dRun = std::chrono::duration<double>(Clock::now() - t0).count();
    if (gesture.m_bUndo && m_manager.GetUndoCount() > steps) {
      t0 = Clock::now();
      m_manager.Undo();
      times.m_dUndo = std::chrono::duration<double>(Clock::now() - t0).count();
      t0 = Clock::now();
      m_manager.Redo();
      times.m_dRedo = std::chrono::duration<double>(Clock::now() - t0).count();
      m_manager.Undo();
    }
    m_manager.SelectRemoveAll();
    if (m_bZoomed) {
      m_wnd.SetAction(48, -1, 1);
      m_wnd.ZoomAll(0);
      m_bZoomed = false;
    }
    return times;
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

  // The template tool takes its points by clicks, which snap within a few pixels: close enough
  // in that the lattice's nodes lie far apart on screen.
  void ZoomTo(const CVector& centre) {
    m_wnd.SetViewScale(kCell / 40.0);
    m_wnd.SetViewCenter(centre.x, centre.z);
    m_bZoomed = true;
  }

  void InsertTruss(const CVector& start, const CVector& end, const CVector& top) {
    m_wnd.SetAction(58, -1, 1);
    for (const CVector& p : {start, end, top}) {
      CPoint pt = m_wnd.ExtToClient(p);
      m_wnd.OnMouseMove(0, pt);
      m_wnd.OnLButtonDown(MK_LBUTTON, pt);
      m_wnd.OnLButtonUp(0, pt);
    }
  }

  CStmModel m_model;
  CStmUbManager m_manager;
  CStmUbRenderer m_wnd;
  SLattice m_lattice;
  int m_nRow = 0, m_nColumn = 0;
  bool m_bZoomed = false;
};

void BM_GesturesOverBareFrame(benchmark::State& state) {
  CScene scene;
  std::string error;
  if (!scene.Open(static_cast<int>(state.range(0)), error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  const std::vector<CScene::SGesture> gestures = scene.Gestures();
  std::vector<CScene::STimes> spent(gestures.size());
  double bare = 0.0;
  for (auto _ : state) {
    bare += scene.BareFrame();
    for (size_t i = 0; i < gestures.size(); ++i) {
      const CScene::STimes times = scene.Run(gestures[i]);
      spent[i].m_dRun += times.m_dRun;
      spent[i].m_dUndo += times.m_dUndo;
      spent[i].m_dRedo += times.m_dRedo;
    }
  }
  const double frames = static_cast<double>(state.iterations());
  const auto ratio = [bare](double seconds) { return bare > 0.0 ? seconds / bare : 0.0; };
  for (size_t i = 0; i < gestures.size(); ++i) {
    const std::string name = gestures[i].m_szName;
    state.counters[name] = ratio(spent[i].m_dRun);
    if (!gestures[i].m_bUndo) continue;
    state.counters[name + "_undo"] = ratio(spent[i].m_dUndo);
    state.counters[name + "_redo"] = ratio(spent[i].m_dRedo);
  }
  state.counters["bare_ms"] = bare * 1e3 / frames;
}

void BM_MemoryAfterGestures(benchmark::State& state) {
  if (MeasuredInOwnProcess(state, "BM_MemoryAfterGestures", {"peak_kb_after_10", "peak_kb_after_1000", "growth"}))
    return;
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
