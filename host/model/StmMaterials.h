// The materials of the concrete member and the design code its checks follow. Stresses and
// moduli are in the model's force per length squared (kN and mm: kN/mm², so 30 MPa is 0.03),
// lengths in the model's length unit: what is stored never depends on a unit conversion. A value
// of 0 means "not given"; what needs it names it instead of computing.
#pragma once

enum EStmDesignCode {
  STM_CODE_ACI_318_19 = 0,   // chapter 23
  STM_CODE_EN_1992_1_1 = 1,  // clause 6.5
};

// How the load path of the concrete is found: the plane-stress mesh and the evolutionary removal of
// the cells that carry little. 0 for a size means "chosen from the outline".
struct SStmLoadPathSettings {
  // Target edge length of the mesh cells; 0: a fortieth of the outline's longer side.
  double dElementSize = 0.0;
  // Cells under this fraction of the largest von Mises stress go in the first step...
  double dRejectionRatio = 0.01;
  // ...and the fraction rises by this much each time a step removes nothing more.
  double dEvolutionRate = 0.01;
  // The removal stops when this fraction of the concrete's area is left.
  double dTargetFraction = 0.4;
  // Radius of a node's zone where the checks give none; 0: three cell sizes.
  double dZoneRadius = 0.0;

  bool operator==(const SStmLoadPathSettings& b) const {
    return dElementSize == b.dElementSize && dRejectionRatio == b.dRejectionRatio &&
           dEvolutionRate == b.dEvolutionRate && dTargetFraction == b.dTargetFraction &&
           dZoneRadius == b.dZoneRadius;
  }
};

struct SStmMaterials {
  EStmDesignCode eCode = STM_CODE_ACI_318_19;
  // f'c (ACI) or f_ck (EN): the specified compressive strength of the concrete.
  double dConcreteStrength = 0.0;
  double dConcreteModulus = 0.0;
  double dPoisson = 0.2;
  double dSteelYield = 0.0;
  double dSteelModulus = 0.0;
  // Out of plane; a property area's own thickness, where it gives one, holds inside it.
  double dThickness = 0.0;
  // From the concrete face to the centroid of a tie's bars: half the width a tie occupies.
  double dCover = 0.0;
  // The load path's settings belong to the member's analysis as the materials do, and change
  // with them as one value (one undo step, one record in the file).
  SStmLoadPathSettings loadPath;

  bool operator==(const SStmMaterials& b) const {
    return eCode == b.eCode && dConcreteStrength == b.dConcreteStrength &&
           dConcreteModulus == b.dConcreteModulus && dPoisson == b.dPoisson &&
           dSteelYield == b.dSteelYield && dSteelModulus == b.dSteelModulus &&
           dThickness == b.dThickness && dCover == b.dCover && loadPath == b.loadPath;
  }
  bool operator!=(const SStmMaterials& b) const { return !(*this == b); }
};
