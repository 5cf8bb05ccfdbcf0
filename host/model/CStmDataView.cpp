// Display settings: defaults and the two colour sets.
#include "host/model/CStmDataView.h"

namespace {

// Entries (see the renderer's table): 0/1 background, 2 boundary, 3 spare, 4 area, 5 movable
// node, 6 fixed node, 7 node name, 8 element name, 9 element, 10 restraint, 11/12 springs,
// 13 load arrows, 14 reaction arrows and values, 15 spare, 16 grid, 17 guideline, 18 spare,
// 19 load text, 20 result text, 21 selection, 22 axis. Each set keeps every entry readable on its own background.
const double kDark[kStmColorCount][3] = {
    {0.10, 0.11, 0.14}, {0.20, 0.22, 0.27}, {0.80, 0.80, 0.80}, {0.50, 0.50, 0.50}, {0.30, 0.55, 0.85},
    {0.30, 1.00, 0.30}, {1.00, 0.55, 0.15}, {1.00, 1.00, 1.00}, {0.85, 0.85, 0.60}, {0.90, 0.90, 0.90},
    {0.20, 0.90, 0.90}, {0.95, 0.75, 0.20}, {0.85, 0.45, 0.95}, {1.00, 0.35, 0.35}, {0.95, 0.95, 0.35},
    {0.50, 0.50, 0.50}, {0.55, 0.55, 0.60}, {0.35, 0.60, 0.75}, {0.50, 0.50, 0.50}, {1.00, 0.60, 0.60},
    {0.60, 1.00, 1.00}, {1.00, 0.85, 0.00}, {0.90, 0.90, 0.90}};

const double kLight[kStmColorCount][3] = {
    {1.00, 1.00, 1.00}, {0.88, 0.90, 0.94}, {0.25, 0.25, 0.25}, {0.50, 0.50, 0.50}, {0.25, 0.45, 0.80},
    {0.00, 0.55, 0.00}, {0.80, 0.35, 0.00}, {0.00, 0.00, 0.00}, {0.30, 0.30, 0.10}, {0.15, 0.15, 0.15},
    {0.00, 0.45, 0.55}, {0.65, 0.45, 0.00}, {0.55, 0.15, 0.65}, {0.80, 0.00, 0.00}, {0.55, 0.45, 0.00},
    {0.50, 0.50, 0.50}, {0.45, 0.45, 0.50}, {0.30, 0.50, 0.70}, {0.50, 0.50, 0.50}, {0.75, 0.10, 0.10},
    {0.00, 0.30, 0.60}, {0.90, 0.45, 0.00}, {0.15, 0.15, 0.15}};

SStmColorSet MakeSet(const double (&table)[kStmColorCount][3]) {
  SStmColorSet set;
  for (int i = 0; i < kStmColorCount; ++i) set[i] = CVector(table[i][0], table[i][1], table[i][2]);
  return set;
}

const std::vector<double> kNoGuidelines;

}  // namespace

CStmDataView::CStmDataView()
    : m_colorDark(GetDefaultColorSet(STM_COLOR_DARK)), m_colorLight(GetDefaultColorSet(STM_COLOR_LIGHT)) {}

void CStmDataView::SetShowOption(unsigned option, int show) {
  if (show) {
    m_nShowOption |= option;
  } else {
    m_nShowOption &= ~option;
  }
}

const SStmColorSet& CStmDataView::GetColorSet(EStmTypeColor style) const {
  return style == STM_COLOR_LIGHT ? m_colorLight : m_colorDark;
}

void CStmDataView::SetColorSet(EStmTypeColor style, const SStmColorSet& set) {
  (style == STM_COLOR_LIGHT ? m_colorLight : m_colorDark) = set;
}

SStmColorSet CStmDataView::GetDefaultColorSet(EStmTypeColor style) {
  return MakeSet(style == STM_COLOR_LIGHT ? kLight : kDark);
}

const std::vector<double>& CStmDataView::GetGuideline(int axis) const {
  if (axis < 0 || axis > 2) return kNoGuidelines;
  return m_guidelines[axis];
}

void CStmDataView::SetGuideline(int axis, std::vector<double> positions) {
  if (axis < 0 || axis > 2) return;
  m_guidelines[axis] = std::move(positions);
}
