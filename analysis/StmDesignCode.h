// The strengths of the strut-and-tie checks under the design code chosen on the model: design
// stresses of struts, nodes and ties, each with the clause that gives it.
#pragma once

#include "host/model/StmMaterials.h"
#include "host/platform/CString.h"

// Node classes by what meets there: only compression, one tie, two or more ties.
enum EStmNodeClass { STM_NODE_CCC = 0, STM_NODE_CCT = 1, STM_NODE_CTT = 2 };

// A design stress (strength factor included) in the model's force per length squared.
struct SStmDesignStress {
  double dStress = 0.0;
  CString strClause;
};

class CStmDesignCode {
public:
  // How many MPa one unit of the model's stress is (kN and mm: 1000); 0 for a unit not known.
  static double MpaPerStressUnit(const CString& unitForce, const CString& unitLength);
  // What stops the checks, named for the user; empty when the materials and units suffice.
  static CString Validate(const SStmMaterials& materials, const CString& unitForce, const CString& unitLength);
  static EStmNodeClass ClassOfNode(int ties) {
    return ties <= 0 ? STM_NODE_CCC : ties == 1 ? STM_NODE_CCT : STM_NODE_CTT;
  }
  static const char* NameOfClass(EStmNodeClass nodeClass);

  // Only after Validate said nothing.
  CStmDesignCode(const SStmMaterials& materials, double mpaPerUnit);

  EStmDesignCode GetCode() const { return m_materials.eCode; }
  // betaS from the strut's type (1 for a prismatic strut without transverse tension).
  SStmDesignStress Strut(double betaS) const;
  SStmDesignStress Node(EStmNodeClass nodeClass) const;
  // The stress the tie's steel is designed for.
  SStmDesignStress Tie() const;
  // The smallest angle between a strut and a tie at a node, in degrees; 0 where the code sets none.
  double GetMinAngle() const;
  const char* GetAngleClause() const;

private:
  SStmMaterials m_materials;
  double m_dMpaPerUnit;
};
