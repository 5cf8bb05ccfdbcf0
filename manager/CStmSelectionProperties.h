// What a properties panel shows and edits for the selection: node coordinates, supports, bearing
// plates and nodal loads; element member types, thickness scale and attribute text; the model's
// materials, design code, load cases and combinations. Every edit is one undo step through the scene's history, and
// bad input changes nothing and says why.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "host/platform/CString.h"

class CStmModel;
class CStmUbManager;

class CStmSelectionProperties {
public:
  // Typed values of the selection.
  enum EField {
    kNodeH = 0,  // the drawing plane's horizontal coordinate
    kNodeV,      // and its vertical one
    kRollerAngle,
    kSpringUx,
    kSpringUy,
    kSpringUz,
    kSpringRx,
    kSpringRy,
    kSpringRz,
    kPlateWidth,
    kPlateThickness,
    kElementThicknessScale,
    kElementAttribute,
    kFieldCount
  };
  // The model's materials, in its own force and length units (0: not given), and how its load
  // path is found (sizes of 0 are chosen from the outline).
  enum EMaterial {
    kConcreteStrength = 0,
    kConcreteModulus,
    kSteelYield,
    kSteelModulus,
    kThickness,
    kCover,
    kPoisson,
    kElementSize,
    kRejectionRatio,
    kEvolutionRate,
    kTargetFraction,
    kZoneRadius,
    kMaterialCount
  };
  enum ERestraint { kRestraintFree = 0, kRestraintPin, kRestraintRoller, kRestraintFixed, kRestraintOther };
  // Several selected objects that differ in a choice.
  static constexpr int kMixed = -2;

  // A value as shown: the text of the value the selection shares, or mixed.
  struct SValue {
    CString text;
    bool mixed = false;
  };
  struct STerm {
    int id = -1;
    // Into the one list of load cases (statics, then combinations); -1 for a name the model
    // does not know.
    int caseIndex = -1;
    CString name;
    SValue scale;
  };
  struct SCase {
    CString name;
    bool combo = false;
    // Static cases: the selected nodes' load along the plane's two axes.
    SValue load[2];
    // Combinations: their terms.
    std::vector<STerm> terms;
  };

  explicit CStmSelectionProperties(CStmUbManager& manager) : m_manager(manager) {}

  // Reads the selection and the model afresh; the panel calls it every frame.
  void Refresh();

  const CStmModel* GetModel() const;
  int GetCountNode() const { return m_nNodes; }
  int GetCountElement() const { return m_nElements; }
  const SValue& GetValue(EField field) const { return m_values[field]; }
  // kMixed when the selected nodes differ.
  int GetRestraint() const { return m_nRestraint; }
  // Member type (0 the analysis decides, 1 strut, 2 tie) and the indices of the strut and tie
  // type tables (-1 none); kMixed when the selected elements differ.
  int GetMember() const { return m_nMember; }
  int GetStrutType() const { return m_nStrutType; }
  int GetTieType() const { return m_nTieType; }
  // The names of the drawing plane's two axes, e.g. "x" and "z".
  const char* GetAxisName(int axis) const;
  // Whether a spring field acts in the model's plane: translation along its two axes, rotation
  // about its normal. The others do nothing in a plane truss, so they are neither offered nor set.
  bool IsSpringInPlane(EField field) const;
  // Static cases first, then combinations, as the view numbers them.
  const std::vector<SCase>& GetCases() const { return m_arCase; }
  // The case whose loads the view shows.
  int GetShownCase() const;
  const SValue& GetMaterial(EMaterial field) const { return m_materials[field]; }
  // EStmDesignCode of the model; -1 without a model.
  int GetDesignCode() const { return m_nDesignCode; }
  // What the last edit did or why it did nothing.
  const CString& GetMessage() const { return m_strMessage; }

  // Edits of the selection. Each returns false, with the reason as message, when the input is
  // bad or nothing is selected that it applies to; nothing then changes and no step is left.
  bool SetValue(EField field, const CString& text);
  bool SetRestraint(ERestraint kind);
  bool SetMember(int member);
  bool SetStrutType(int index);
  bool SetTieType(int index);
  // The nodal load of the selected nodes in a static case, along the plane's axis 0 or 1.
  bool SetLoad(int caseIndex, int axis, const CString& text);

  // The model's materials, load-path settings and design code; refused for a value outside the
  // field's range.
  bool SetMaterial(EMaterial field, const CString& text);
  bool SetDesignCode(int code);

  // Load cases and combinations.
  bool AddCase(bool combo, const CString& name);
  bool RenameCase(int caseIndex, const CString& name);
  // Refused while a combination names the case.
  bool DeleteCase(int caseIndex);
  // Adds the term, or changes its scale when the combination has one for that case.
  bool SetTerm(int comboIndex, int termCaseIndex, const CString& scaleText);
  bool RemoveTerm(int comboIndex, int termId);
  // Which case's loads the view shows; no edit.
  bool ShowCase(int caseIndex);

private:
  CStmModel* GetEditableModel();
  bool Refuse(const CString& message);
  // A name or text longer than a model file holds.
  bool RefuseLongText(std::size_t limit);
  // Runs the change as one undo step; says the message when a record changed, else that
  // nothing did (and leaves no step).
  bool Change(const CString& message, const std::function<void()>& change);
  bool Unchanged();
  bool Done(const CString& message);
  void SetNodeValues(EField field, double value);
  // The number in the text; false with the message when it is none.
  bool ParseNumber(const CString& text, double& value);
  void MoveNodes(int axis, double value);

  CStmUbManager& m_manager;
  int m_nNodes = 0;
  int m_nElements = 0;
  SValue m_values[kFieldCount];
  int m_nRestraint = kRestraintFree;
  int m_nMember = 0;
  int m_nStrutType = -1;
  int m_nTieType = -1;
  std::vector<SCase> m_arCase;
  SValue m_materials[kMaterialCount];
  int m_nDesignCode = -1;
  CString m_strMessage;
};
