// The scene counterpart of a model node: a screen-sized point with an optional name, the node
// snap, and transforms that write the new position straight back into the model node.
#pragma once

#include "entities/CStmEntityObject.h"

class CStmObjNode;

class CStmEntityNode : public CStmEntityObject {
  DECLARE_SERIAL(CStmEntityNode)

public:
  static constexpr double kDefaultRadius = 7.0;
  // A fixed node keeps this point size whatever its radius, so fixity shows at a glance.
  static constexpr double kFixedPointSize = 4.0;

  CStmEntityNode();
  explicit CStmEntityNode(CUbEttManage* manage);
  CStmEntityNode(CUbEttManage* manage, const CVector& coord);

  const CVector& GetCoord() const { return m_vCoord; }
  const CVector& GetCoordBeforeMove() const { return m_vCoordBeforeMove; }
  void SetCoord(const CVector& coord);
  double GetRadius() const { return m_dRadius; }
  void SetRadius(double radius) { m_dRadius = radius; }

  void Serialize(CArchive& ar) override;
  void GetRange(CCubeRange& range) override;
  CString GetStringEntType() override;
  CString GetTooltipPropInfoTable() override;
  void Translate(double factor) override;
  void Mirror(const CVector& p1, const CVector& p2) override;
  void Move(const CVector& d) override;
  // To the point itself, not by a difference: a coordinate typed for it is then the coordinate
  // it has, to the last bit, and undo gives the old one back as exactly.
  void MoveOnePoint(CVector from, CVector& to, int unused) override;
  void Rotate(const CVector& origin, const CVector& axis, const CDPoint& cs) override;
  int IsInRect(CRect rect) override;
  int GetOsnapNodePoint(CVector pt, CVector& out, int& first) override;
  void GetSnapMoveAllPointArray(CVectorArray& points) override;

  CStmEntityNode& operator=(const CStmEntityObject& other) override;
  CStmEntityNode& operator=(const CStmEntityNode& other);

protected:
  void Render(int pick) override;

private:
  void Init();
  // The model node of the id, through the manager's current model; null when any link is missing.
  CStmObjNode* GetModelNode() const;
  void SetCoordStm();

  CVector m_vCoord;
  CVector m_vCoordBeforeMove;
  double m_dRadius = kDefaultRadius;
};
