// Deep copies and destruction of a load arrow set.
#include "manager/SStmLoadArrowSet.h"

SStmLoadArrowSet::SStmLoadArrowSet(const SStmLoadArrowSet& other) { *this = other; }

SStmLoadArrowSet& SStmLoadArrowSet::operator=(const SStmLoadArrowSet& other) {
  if (this == &other) return *this;
  ClearArrows();
  strLabel = other.strLabel;
  bConnect = other.bConnect;
  arrows.reserve(other.arrows.size());
  for (const SStmLoadArrow* arrow : other.arrows) {
    if (arrow) AddArrow(*arrow);
  }
  return *this;
}

SStmLoadArrowSet::~SStmLoadArrowSet() { ClearArrows(); }

void SStmLoadArrowSet::ClearArrows() {
  for (SStmLoadArrow* arrow : arrows) delete arrow;
  arrows.clear();
}
