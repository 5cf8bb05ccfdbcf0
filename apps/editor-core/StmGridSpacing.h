// The grid a new model starts with: a spacing that reads as a round step in its unit of length,
// about a tenth of a metre, so that a click in empty space has a point near it to snap to.
#pragma once

#include <string>

// 100 mm, 10 cm, 0.1 m, 4 in, 0.5 ft; 100 for a unit it does not know.
double StmGridSpacingForUnit(const std::string& unitLength);
