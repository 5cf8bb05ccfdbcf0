// What a transform or a paste would do, drawn over the scene while the user picks the point:
// the lines and nodes at the places they would take.
#pragma once

#include <utility>
#include <vector>

#include "geometry/CVector.h"

class CUbRenderWnd;

struct SStmPreview {
  std::vector<std::pair<CVector, CVector>> m_arLine;
  std::vector<CVector> m_arNode;

  bool IsEmpty() const { return m_arLine.empty() && m_arNode.empty(); }
};

// In the window's highlight colour, leaving the GL state as it found it.
void StmDrawPreview(CUbRenderWnd* wnd, const SStmPreview& preview);
