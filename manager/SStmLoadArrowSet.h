// A labelled set of load arrows that owns its arrows; copies are deep.
#pragma once

#include <vector>

#include "host/platform/CString.h"
#include "manager/SStmLoadArrow.h"

struct SStmLoadArrowSet {
  CString strLabel;
  // Non-zero: consecutive arrows are the ordinates of one distributed load.
  int bConnect = 0;
  std::vector<SStmLoadArrow*> arrows;

  SStmLoadArrowSet() = default;
  SStmLoadArrowSet(const SStmLoadArrowSet& other);
  SStmLoadArrowSet& operator=(const SStmLoadArrowSet& other);
  ~SStmLoadArrowSet();

  // Appends a copy of the arrow.
  void AddArrow(const SStmLoadArrow& arrow) { arrows.push_back(new SStmLoadArrow(arrow)); }
  void ClearArrows();
};
