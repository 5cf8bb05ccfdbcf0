// Code formulas for strut-and-tie checks: the strength reduction of ACI 318-19 chapter 23
// (phi on the nominal strength) and the partial factors of EN 1992-1-1 6.5 (on the material).
#include "analysis/StmDesignCode.h"

#include "host/platform/StmText.h"

namespace {

constexpr double kPhiAci = 0.75;  // struts, ties and nodes alike (ACI 318-19 21.2.1)
constexpr double kGammaConcrete = 1.5;
constexpr double kGammaSteel = 1.15;

double NewtonsPer(const CString& unit) {
  if (unit == "N") return 1.0;
  if (unit == "kN") return 1e3;
  if (unit == "MN") return 1e6;
  return 0.0;
}

double MillimetresPer(const CString& unit) {
  if (unit == "mm") return 1.0;
  if (unit == "cm") return 10.0;
  if (unit == "m") return 1e3;
  return 0.0;
}

}  // namespace

double CStmDesignCode::MpaPerStressUnit(const CString& unitForce, const CString& unitLength) {
  const double mm = MillimetresPer(unitLength);
  return mm > 0.0 ? NewtonsPer(unitForce) / (mm * mm) : 0.0;
}

CString CStmDesignCode::Validate(const SStmMaterials& m, const CString& unitForce, const CString& unitLength) {
  CString text;
  if (!(m.dConcreteStrength > 0.0)) return StmText("Checks need the concrete strength");
  if (!(m.dThickness > 0.0)) return StmText("Checks need the member thickness");
  if (!(m.dSteelYield > 0.0)) return StmText("Checks need the steel yield strength");
  if (m.eCode == STM_CODE_EN_1992_1_1) {
    // nu' takes f_ck in MPa.
    const double mpa = MpaPerStressUnit(unitForce, unitLength);
    if (mpa <= 0.0) {
      text.Format(StmText("Checks cannot convert the model's units (%s, %s) to MPa").c_str(), unitForce.c_str(), unitLength.c_str());
      return text;
    }
    if (m.dConcreteStrength * mpa >= 250.0) return StmText("The concrete strength is beyond 250 MPa");
  }
  return text;
}

const char* CStmDesignCode::NameOfClass(EStmNodeClass nodeClass) {
  static const char* const kNames[] = {"CCC", "CCT", "CTT"};
  return kNames[nodeClass];
}

CStmDesignCode::CStmDesignCode(const SStmMaterials& materials, double mpaPerUnit)
    : m_materials(materials), m_dMpaPerUnit(mpaPerUnit) {}

SStmDesignStress CStmDesignCode::Strut(double betaS) const {
  const double fc = m_materials.dConcreteStrength;
  if (m_materials.eCode == STM_CODE_EN_1992_1_1) {
    const double fcd = fc / kGammaConcrete;
    if (betaS >= 1.0) return {fcd, "EN 1992-1-1 6.5.2(1)"};
    const double nu = 1.0 - fc * m_dMpaPerUnit / 250.0;
    return {0.6 * nu * fcd, "EN 1992-1-1 6.5.2(2)"};
  }
  return {kPhiAci * 0.85 * betaS * fc, "ACI 318-19 23.4.3"};
}

SStmDesignStress CStmDesignCode::Node(EStmNodeClass nodeClass) const {
  const double fc = m_materials.dConcreteStrength;
  if (m_materials.eCode == STM_CODE_EN_1992_1_1) {
    static const double kK[] = {1.0, 0.85, 0.75};
    static const char* const kClause[] = {"EN 1992-1-1 6.5.4(4)a", "EN 1992-1-1 6.5.4(4)b", "EN 1992-1-1 6.5.4(4)c"};
    const double nu = 1.0 - fc * m_dMpaPerUnit / 250.0;
    return {kK[nodeClass] * nu * fc / kGammaConcrete, kClause[nodeClass]};
  }
  static const double kBetaN[] = {1.0, 0.8, 0.6};
  return {kPhiAci * 0.85 * kBetaN[nodeClass] * fc, "ACI 318-19 23.9.2"};
}

SStmDesignStress CStmDesignCode::Tie() const {
  if (m_materials.eCode == STM_CODE_EN_1992_1_1) {
    return {m_materials.dSteelYield / kGammaSteel, "EN 1992-1-1 6.5.3(1)"};
  }
  return {kPhiAci * m_materials.dSteelYield, "ACI 318-19 23.7.2"};
}

double CStmDesignCode::GetMinAngle() const { return m_materials.eCode == STM_CODE_ACI_318_19 ? 25.0 : 0.0; }

const char* CStmDesignCode::GetAngleClause() const { return "ACI 318-19 23.2.7"; }
