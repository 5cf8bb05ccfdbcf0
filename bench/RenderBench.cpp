// The cost of a renderer frame over a 10,000-element model, with node and element names off
// and on, against a bare immediate-mode pass that draws the same points and lines in the same
// context, measured in the same run.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "host/framework/CUbSurface.h"
#include "host/model/CStmModel.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {

constexpr int kColumns = 101;  // nodes per row
constexpr int kRows = 51;
constexpr int kElements = 10000;
constexpr int kSize = 512;
constexpr unsigned kNames = 0x40 | 0x80;

// A lattice of nodes joined by horizontal, then vertical elements, in the x-z plane.
void BuildModel(CStmModel& model) {
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kColumns; ++c) model.AddNode(CVector(c * 100.0, 0.0, r * 100.0));
  }
  auto id = [](int r, int c) { return r * kColumns + c + 1; };
  int count = 0;
  for (int r = 0; r < kRows && count < kElements; ++r) {
    for (int c = 0; c + 1 < kColumns && count < kElements; ++c, ++count) {
      model.AddElement(id(r, c), id(r, c + 1), SStmPropElement(0, 2, 0.0));
    }
  }
  for (int r = 0; r + 1 < kRows && count < kElements; ++r) {
    for (int c = 0; c < kColumns && count < kElements; ++c, ++count) {
      model.AddElement(id(r, c), id(r + 1, c), SStmPropElement(0, 2, 0.0));
    }
  }
}

// The same nodes and elements drawn with nothing of the layer: one point or line each.
void BarePass(const CStmModel& model) {
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glLineWidth(1.0f);
  glColor3d(1.0, 1.0, 1.0);
  glBegin(GL_LINES);
  for (const auto& entry : model.GetElements()) {
    const CVector a = model.GetNode(entry.second->GetIdNodeBegin())->GetCoord();
    const CVector b = model.GetNode(entry.second->GetIdNodeEnd())->GetCoord();
    glVertex3d(a.x, a.y, a.z);
    glVertex3d(b.x, b.y, b.z);
  }
  glEnd();
  glPointSize(5.0f);
  glBegin(GL_POINTS);
  for (const auto& entry : model.GetNodes()) {
    const CVector p = entry.second->GetCoord();
    glVertex3d(p.x, p.y, p.z);
  }
  glEnd();
  glPointSize(1.0f);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}

void BM_FrameAgainstBarePass(benchmark::State& state) {
  std::string error;
  auto surface = CreateOffscreenSurface(kSize, kSize, &error);
  if (!surface) {
    state.SkipWithError(error.c_str());
    return;
  }
  CStmModel model;
  BuildModel(model);
  model.GetStmDataView()->SetShowOption(kNames, state.range(0) != 0 ? 1 : 0);
  CStmUbManager manager;
  CStmUbRenderer wnd;
  wnd.Create(&manager, std::move(surface));
  manager.SetStmModel(&model);
  wnd.SetViewPos(CUbRenderWnd::VIEW_POS_XZ);
  manager.UpdateStmRenderer();
  wnd.ZoomAll(0);
  if (manager.GetCount(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(111)) != kElements) {
    state.SkipWithError("the model does not have 10,000 elements");
    return;
  }

  using Clock = std::chrono::steady_clock;
  double frame = 0.0, bare = 0.0;
  for (auto _ : state) {
    wnd.OpenGLRenderStart();
    const auto t0 = Clock::now();
    wnd.RenderNoDepth(0);
    glFinish();
    const auto t1 = Clock::now();
    BarePass(model);
    glFinish();
    const auto t2 = Clock::now();
    wnd.OpenGLRenderEnd();
    frame += std::chrono::duration<double>(t1 - t0).count();
    bare += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["frame_over_bare"] = bare > 0.0 ? frame / bare : 0.0;
  state.counters["frame_ms"] = frame * 1e3 / static_cast<double>(state.iterations());
  state.counters["bare_ms"] = bare * 1e3 / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_FrameAgainstBarePass)->ArgName("names")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
