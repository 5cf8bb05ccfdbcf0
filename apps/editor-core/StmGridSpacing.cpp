#include "StmGridSpacing.h"

double StmGridSpacingForUnit(const std::string& unitLength) {
  if (unitLength == "m") return 0.1;
  if (unitLength == "cm") return 10.0;
  if (unitLength == "in") return 4.0;
  if (unitLength == "ft") return 0.5;
  return 100.0;
}
