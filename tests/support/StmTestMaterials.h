// The materials the analysis and check tests build on, so that a hand calculation reads its
// strengths and moduli from one place.
#pragma once

#include "host/model/StmMaterials.h"

// Concrete of 30 MPa with E_c 30 GPa and steel of 420 MPa with E_s 200 GPa, in kN and mm (unit
// 1000: in N and mm); the member `thickness` thick, with `cover` to the ties' axis.
inline SStmMaterials StmTestMaterials(double thickness, double cover = 0.0,
                                      EStmDesignCode code = STM_CODE_ACI_318_19, double unit = 1.0) {
  SStmMaterials m;
  m.eCode = code;
  m.dConcreteStrength = 0.030 * unit;
  m.dConcreteModulus = 30.0 * unit;
  m.dSteelYield = 0.420 * unit;
  m.dSteelModulus = 200.0 * unit;
  m.dThickness = thickness;
  m.dCover = cover;
  return m;
}
