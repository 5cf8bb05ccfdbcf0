// The cost of a framework pick (selection pass over the registry, hit parsing, map filling)
// against a bare GL selection pass over the same 10,000 segments, measured in the same run.
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "host/framework/CUbManage.h"
#include "host/framework/CUbRenderWnd.h"

namespace {

constexpr int kSide = 100;  // 100 x 100 segments
constexpr int kSize = 512;

class CBenchSegment : public CUbEntityObj {
public:
  CBenchSegment(CUbEttManage* m, const CVector& a, const CVector& b) : CUbEntityObj(m), m_a(a), m_b(b) {}

protected:
  int ExcuteCallList(CALL_LIST_TYPE, unsigned int, long) override {
    glBegin(GL_LINES);
    glVertex3d(m_a.x, m_a.y, m_a.z);
    glVertex3d(m_b.x, m_b.y, m_b.z);
    glEnd();
    return 1;
  }

private:
  CVector m_a, m_b;
};

struct SSegment {
  CVector a, b;
};

// The same selection pass with nothing of the framework: one name and one line per segment.
int BarePick(const std::vector<SSegment>& segments, CUbRenderWnd& wnd, const CPoint& pt, std::vector<GLuint>& buffer) {
  wnd.OpenGLRenderStart();
  GLint viewport[4] = {0, 0, kSize, kSize};
  glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPickMatrix(pt.x + 0.5, kSize - pt.y - 0.5, 14, 14, viewport);
  const double half = kSize * 0.5 * wnd.GetViewScale();
  double u = 0, v = 0;
  wnd.GetViewCenter(u, v);
  glOrtho(u - half, u + half, v - half, v + half, -1e6, 1e6);
  glMatrixMode(GL_MODELVIEW);
  GLuint name = 1;
  for (const SSegment& s : segments) {
    glLoadName(name++);
    glBegin(GL_LINES);
    glVertex3d(s.a.x, s.a.y, s.a.z);
    glVertex3d(s.b.x, s.b.y, s.b.z);
    glEnd();
  }
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  const int hits = glRenderMode(GL_RENDER);
  wnd.OpenGLRenderEnd();
  return hits;
}

void BM_PickAgainstBareSelection(benchmark::State& state) {
  std::string error;
  auto surface = CreateOffscreenSurface(kSize, kSize, &error);
  if (!surface) {
    state.SkipWithError(error.c_str());
    return;
  }
  CUbManage manage;
  CUbRenderWnd wnd;
  wnd.Create(&manage, std::move(surface));
  std::vector<SSegment> segments;
  for (int i = 0; i < kSide; ++i) {
    for (int j = 0; j < kSide; ++j) {
      const CVector a(i * 5.0, j * 5.0, 0.0), b(i * 5.0 + 3.0, j * 5.0 + 2.0, 0.0);
      segments.push_back({a, b});
      manage.AddEtt(new CBenchSegment(&manage, a, b), 0, 0);
    }
  }
  CCubeRange* range = manage.GetViewRange();
  range->Apply({0, 0, 0});
  range->Apply({kSide * 5.0, kSide * 5.0, 0});
  wnd.ZoomAll(0);
  const CPoint pt = wnd.ExtToClient({251.5, 251.0, 0});
  std::vector<GLuint> buffer(4 * segments.size() + 16);
  CMapStringToPtr found;

  using Clock = std::chrono::steady_clock;
  double framework = 0.0, bare = 0.0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    wnd.SelectionPoint(pt, CSize(14, 14), 1, 0, &found, CUbRenderWnd::kSelectQuery);
    const auto t1 = Clock::now();
    benchmark::DoNotOptimize(BarePick(segments, wnd, pt, buffer));
    const auto t2 = Clock::now();
    framework += std::chrono::duration<double>(t1 - t0).count();
    bare += std::chrono::duration<double>(t2 - t1).count();
  }
  if (found.IsEmpty()) state.SkipWithError("the pick found nothing");
  state.counters["framework_over_bare"] = bare > 0.0 ? framework / bare : 0.0;
  state.counters["framework_ms"] = framework * 1e3 / static_cast<double>(state.iterations());
  state.counters["bare_ms"] = bare * 1e3 / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_PickAgainstBareSelection)->Unit(benchmark::kMillisecond);
