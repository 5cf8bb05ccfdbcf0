// Materials a new model starts from: normal-strength concrete and reinforcing steel as each design
// code describes them, written in the model's own force and length units.
#pragma once

#include <string>

#include "host/model/StmMaterials.h"

// False (and out untouched) for a unit it does not know; the units are those a new model offers:
// N, kN, MN and mm, cm, m.
bool StmDefaultMaterials(EStmDesignCode code, const std::string& unitForce, const std::string& unitLength,
                         SStmMaterials& out);
