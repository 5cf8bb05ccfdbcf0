// The drawing aids of the view. Grid points are laid over the visible region, thinned so that
// they stay at least 30 pixels apart, and moved rather than made again when the view changes;
// fixed guidelines span the visible region at the positions the model keeps.
#include <cmath>

#include "entities/CStmEntityGridPoint.h"
#include "entities/CStmEntityGuideline.h"
#include "geometry/StmGeometry.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {

constexpr int kMinGridPixels = 30;
// A spacing that thins to more columns than this is refused rather than flooding the registry.
constexpr double kMaxGridLines = 2000.0;

CUbEntityObj::TYPE_ENTITY_OBJ GuidelineKind() {
  return static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(CStmEntityObject::kKindGuideline);
}

std::vector<CStmEntityGuideline*> Guidelines(const CStmUbManager& manager) {
  std::vector<CStmEntityGuideline*> out;
  for (const auto& entry : manager.GetEttMap(GuidelineKind()))
    if (auto* guideline = dynamic_cast<CStmEntityGuideline*>(entry.second)) out.push_back(guideline);
  return out;
}

}  // namespace

void CStmUbManager::AddGridPoints() {
  CStmModel* model = GetStmModel();
  CStmUbRenderer* wnd = GetCurrentRenderer();
  if (!model || !wnd || !model->GetStmDataView()->IsShowOption(STM_SHOW_GRID_POINTS)) return;
  const CStmDataView& view = *model->GetStmDataView();
  const CDPoint origin = GetPointPlane(view.GetGridOrigin() / 1000.0);
  const CDPoint space = GetPointPlane(view.GetGridSpace());
  double su = std::fabs(space.x), sv = std::fabs(space.y);
  if (!(su > 0.0) || !(sv > 0.0)) return;
  const int width = wnd->GetWidth(), height = wnd->GetHeight();
  const CDPoint bottomLeft = GetPointPlane(wnd->ClientToExt(CPoint(0, height), 0.0));
  const CDPoint topRight = GetPointPlane(wnd->ClientToExt(CPoint(width, 0), 0.0));

  // Whole multiples of the stored spacing keep the thinned grid on the points of the full one.
  const double pixel = wnd->GetViewScale();
  if (su / pixel < kMinGridPixels) su = std::ceil(kMinGridPixels * pixel / su) * su;
  if (sv / pixel < kMinGridPixels) sv = std::ceil(kMinGridPixels * pixel / sv) * sv;

  const double firstU = std::trunc((bottomLeft.x + origin.x) / su) * su - origin.x;
  const double firstV = std::trunc((bottomLeft.y + origin.y) / sv) * sv - origin.y;
  const double columns = std::trunc((topRight.x - firstU) / su) + 1.0;
  const double rows = std::trunc((topRight.y - firstV) / sv) + 1.0;
  if (!(columns > 0.0) || !(rows > 0.0) || columns > kMaxGridLines || rows > kMaxGridLines) return;

  size_t k = 0;
  for (int c = 0; c < static_cast<int>(columns); ++c) {
    for (int r = 0; r < static_cast<int>(rows); ++r, ++k) {
      const CVector p = GetCoordPlane(CDPoint(firstU + c * su, firstV + r * sv));
      auto* point = k < m_arGridKey.size() ? dynamic_cast<CStmEntityGridPoint*>(GetEtt(m_arGridKey[k])) : nullptr;
      if (point) {
        point->SetCoord(p);
        continue;
      }
      point = new CStmEntityGridPoint(this, p);
      AddEtt(point, 0, 1);
      if (k < m_arGridKey.size()) {
        m_arGridKey[k] = point->GetName();
      } else {
        m_arGridKey.push_back(point->GetName());
      }
    }
  }
  for (size_t i = k; i < m_arGridKey.size(); ++i) {
    if (CUbEntityObj* point = GetEtt(m_arGridKey[i])) DeleteEtt(point, 0, 0, 1);
  }
  m_arGridKey.resize(k);
}

void CStmUbManager::AddGuidelines() {
  CStmModel* model = GetStmModel();
  CStmUbRenderer* wnd = GetCurrentRenderer();
  if (!model || !wnd || !model->GetStmDataView()->IsShowOption(STM_SHOW_GUIDELINES)) return;
  for (CStmEntityGuideline* guideline : Guidelines(*this))
    if (guideline->GetTypeGuideline() != CStmEntityGuideline::kTypeDynamic) DeleteEtt(guideline, 0, 0, 1);
  // The positions kept for the model axes that the view's plane shows across and up.
  const CStmDataView& view = *model->GetStmDataView();
  const int axisU = m_eViewPos == CUbRenderWnd::VIEW_POS_YZ ? 1 : 0;
  const int axisV = m_eViewPos == CUbRenderWnd::VIEW_POS_XY ? 1 : 2;
  const std::vector<double>& across = view.GetGuideline(axisU);
  const std::vector<double>& up = view.GetGuideline(axisV);
  if (across.empty() && up.empty()) return;
  const CDPoint bottomLeft = GetPointPlane(wnd->ClientToExt(CPoint(0, wnd->GetHeight()), 0.0));
  const CDPoint topRight = GetPointPlane(wnd->ClientToExt(CPoint(wnd->GetWidth(), 0), 0.0));
  for (double position : across) {
    const double u = position / 1000.0;
    AddEtt(new CStmEntityGuideline(this, CStmEntityGuideline::kTypeHorizontal, GetCoordPlane(CDPoint(u, bottomLeft.y)),
                                   GetCoordPlane(CDPoint(u, topRight.y))),
           0, 1);
  }
  for (double position : up) {
    const double v = position / 1000.0;
    AddEtt(new CStmEntityGuideline(this, CStmEntityGuideline::kTypeVertical, GetCoordPlane(CDPoint(bottomLeft.x, v)),
                                   GetCoordPlane(CDPoint(topRight.x, v))),
           0, 1);
  }
}

CStmEntityGuideline* CStmUbManager::AddGuidelines(const CVector& a, const CVector& b, int) {
  if (CompareVectorTolerance(a, b, "==", kStmPointTolerance)) return nullptr;
  if (CStmEntityGuideline* existing = GetEntGuideline(a, b)) return existing;
  auto* guideline = new CStmEntityGuideline(this, CStmEntityGuideline::kTypeDynamic, a, b);
  AddEtt(guideline, 0, 1);
  return guideline;
}

void CStmUbManager::DeleteDynamicGuidelines() {
  for (CStmEntityGuideline* guideline : Guidelines(*this))
    if (guideline->GetTypeGuideline() == CStmEntityGuideline::kTypeDynamic) DeleteEtt(guideline, 0, 0, 1);
  InvalidateAllWnd();
}

int CStmUbManager::GetCountDynamicGuidelines() const {
  int count = 0;
  for (CStmEntityGuideline* guideline : Guidelines(*this))
    count += guideline->GetTypeGuideline() == CStmEntityGuideline::kTypeDynamic ? 1 : 0;
  return count;
}
