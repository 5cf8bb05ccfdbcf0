// The values are in MPa and mm, turned into the model's units on the way out.
#include "host/model/StmMaterialDefaults.h"

namespace {

// Newtons per force unit, millimetres per length unit; 0 for an unknown unit.
double Newtons(const std::string& unit) { return unit == "N" ? 1.0 : unit == "kN" ? 1e3 : unit == "MN" ? 1e6 : 0.0; }
double Millimetres(const std::string& unit) {
  return unit == "mm" ? 1.0 : unit == "cm" ? 10.0 : unit == "m" ? 1000.0 : 0.0;
}

}  // namespace

bool StmDefaultMaterials(EStmDesignCode code, const std::string& unitForce, const std::string& unitLength,
                         SStmMaterials& out) {
  const double n = Newtons(unitForce), mm = Millimetres(unitLength);
  if (n == 0.0 || mm == 0.0) return false;
  const double mpa = mm * mm / n;
  SStmMaterials m;
  m.eCode = code;
  m.dConcreteStrength = 30.0 * mpa;
  if (code == STM_CODE_EN_1992_1_1) {
    // C30/37: E_cm = 22 (f_cm / 10)^0.3 GPa with f_cm = f_ck + 8, rounded as the code's table
    // gives it; B500 reinforcement.
    m.dConcreteModulus = 33000.0 * mpa;
    m.dSteelYield = 500.0 * mpa;
  } else {
    // E_c = 4700 sqrt(f'c) for normal-weight concrete; Grade 420 reinforcement.
    m.dConcreteModulus = 25700.0 * mpa;
    m.dSteelYield = 420.0 * mpa;
  }
  m.dSteelModulus = 200000.0 * mpa;
  m.dThickness = 300.0 / mm;
  m.dCover = 50.0 / mm;
  out = m;
  return true;
}
