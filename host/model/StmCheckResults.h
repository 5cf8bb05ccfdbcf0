// What the design checks found after an analysis, per load case (statics, then combinations):
// widths, steel, capacity and utilisation of every element, node and bearing plate, with the
// clause that governs each. Written by the analysis, read by tooltips, colours and files.
#pragma once

#include <map>
#include <vector>

#include "host/platform/CString.h"

// What is wrong with a checked object, as bits.
enum EStmCheckFlag {
  STM_CHECK_OVER_CAPACITY = 0x01,
  // Its band or zone reaches beyond the concrete.
  STM_CHECK_OUTSIDE = 0x02,
  // Its band or zone overlaps that of an element or node it does not meet.
  STM_CHECK_OVERLAP = 0x04,
  // A strut meets a tie at less than the code's smallest angle.
  STM_CHECK_ANGLE = 0x08,
  // The capacity needs a value the model does not give (a tie without bars, a plate without width).
  STM_CHECK_INCOMPLETE = 0x10,
};

// Lengths, areas and forces in the model's units; utilisation is demand over capacity.
struct SStmCheckElement {
  double dForce = 0.0;
  // Width the force needs, and the width available: the designed one or the widest band in the
  // concrete; a tie's width is twice the cover.
  double dWidthRequired = 0.0;
  double dWidthAvailable = 0.0;
  double dSteelRequired = 0.0;
  double dSteelProvided = 0.0;
  double dCapacity = 0.0;
  double dUtilisation = 0.0;
  // Smallest angle in degrees to a member of the other kind at either end; 0 where none meets.
  double dAngle = 0.0;
  CString strClause;
  int nFlags = 0;

  bool operator==(const SStmCheckElement& b) const {
    return dForce == b.dForce && dWidthRequired == b.dWidthRequired && dWidthAvailable == b.dWidthAvailable &&
           dSteelRequired == b.dSteelRequired && dSteelProvided == b.dSteelProvided && dCapacity == b.dCapacity &&
           dUtilisation == b.dUtilisation && dAngle == b.dAngle && strClause == b.strClause && nFlags == b.nFlags;
  }
};

struct SStmCheckNode {
  // CCC, CCT or CTT: the class whose coefficient applies.
  CString strClass;
  // Design stress of the node's faces in the model's force per length squared.
  double dStress = 0.0;
  double dUtilisation = 0.0;
  CString strClause;
  int nFlags = 0;

  bool operator==(const SStmCheckNode& b) const {
    return strClass == b.strClass && dStress == b.dStress && dUtilisation == b.dUtilisation &&
           strClause == b.strClause && nFlags == b.nFlags;
  }
};

// By plate id.
struct SStmCheckPlate {
  double dForce = 0.0;
  double dCapacity = 0.0;
  double dUtilisation = 0.0;
  CString strClause;
  int nFlags = 0;

  bool operator==(const SStmCheckPlate& b) const {
    return dForce == b.dForce && dCapacity == b.dCapacity && dUtilisation == b.dUtilisation &&
           strClause == b.strClause && nFlags == b.nFlags;
  }
};

struct SStmCheckCase {
  std::map<int, SStmCheckElement> elements;
  std::map<int, SStmCheckNode> nodes;
  std::map<int, SStmCheckPlate> plates;

  bool operator==(const SStmCheckCase& b) const {
    return elements == b.elements && nodes == b.nodes && plates == b.plates;
  }
};

struct SStmCheckResults {
  // Why nothing was checked (a missing strength or thickness); empty when the checks ran.
  CString strError;
  std::vector<SStmCheckCase> cases;

  bool IsEmpty() const { return strError.IsEmpty() && cases.empty(); }
  const SStmCheckCase* GetCase(int loadCase) const {
    return loadCase >= 0 && loadCase < static_cast<int>(cases.size()) ? &cases[static_cast<size_t>(loadCase)]
                                                                        : nullptr;
  }
  bool operator==(const SStmCheckResults& b) const { return strError == b.strError && cases == b.cases; }
};
