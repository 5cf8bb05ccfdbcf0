// Node entity: drawing, snapping, tooltip, archive and transforms with write-back.
#include "entities/CStmEntityNode.h"

#include <GL/gl.h>

#include "host/framework/CUbGlState.h"
#include "geometry/StmGeometry.h"
#include "host/framework/CUbRenderAPI.h"
#include "host/platform/CArchive.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

IMPLEMENT_SERIAL(CStmEntityNode, CStmEntityObject, 1)

namespace {
constexpr std::int32_t kArchiveVersion = 0;
constexpr int kColorNodeMoveable = 5;
constexpr int kColorNodeFixed = 6;
constexpr int kColorNodeText = 7;
// Over capacity, as for elements: orange, readable on both backgrounds.
const CVector kColorOverCapacity(1.0, 0.55, 0.0);

const SStmCheckNode* FindCheck(const CStmModel& model, int loadCase, int idNode) {
  const SStmCheckCase* checks = model.GetCheckResults().GetCase(loadCase);
  if (!checks) return nullptr;
  const auto found = checks->nodes.find(idNode);
  return found == checks->nodes.end() ? nullptr : &found->second;
}

// A node set not to move says so and stays.
bool RefusesToMove(const CStmObjNode* node) {
  if (!node || node->IsMoveable()) return false;
  AfxMessageBox(StmText("이동할 수 없는 Node 입니다.\n이동 가능하도록 설정을 변경하여 주시기 바랍니다."));
  return true;
}
}  // namespace

CStmEntityNode::CStmEntityNode() { Init(); }

CStmEntityNode::CStmEntityNode(CUbEttManage* manage) : CStmEntityObject(manage) { Init(); }

CStmEntityNode::CStmEntityNode(CUbEttManage* manage, const CVector& coord) : CStmEntityObject(manage) {
  Init();
  m_vCoord = coord;
  m_vCoordBeforeMove = coord;
}

void CStmEntityNode::Init() {
  m_nTypeEntity = kKindNode;
  m_nSubType = -1;
  m_vDrawColor = CVector(0.0, 1.0, 0.0);
  m_vTextColor = CVector(1.0, 1.0, 1.0);
  m_dRadius = kDefaultRadius;
}

CStmObjNode* CStmEntityNode::GetModelNode() const {
  CStmUbManager* manager = GetManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  return FindNodeRecord(model);
}

void CStmEntityNode::SetCoord(const CVector& coord) {
  m_vCoordBeforeMove = coord;
  m_vCoord = coord;
  UpdateEttIndex();
  SetCoordStm();
}

void CStmEntityNode::SetCoordStm() {
  CStmObjNode* node = GetModelNode();
  if (!node) return;
  node->SetCoord(m_vCoord);
  SetStmModifiedFlag(1);
}

void CStmEntityNode::GetRange(CCubeRange& range) { range.Apply(m_vCoord); }

void CStmEntityNode::Translate(double factor) {
  m_vCoord *= factor;
  UpdateEttIndex();
  SetCoordStm();
}

void CStmEntityNode::Move(const CVector& d) {
  if (RefusesToMove(GetModelNode())) return;
  m_vCoordBeforeMove = m_vCoord;
  // 0.1 moved by 199.9 is 200.00000000000003 in doubles: the model takes the 200 the user picked.
  m_vCoord = StmCleanPoint(MoveAPoint(m_vCoord, d));
  UpdateEttIndex();
  SetCoordStm();
  CUbEntityObj::Move(d);
}

void CStmEntityNode::MoveOnePoint(CVector, CVector& to, int) {
  if (RefusesToMove(GetModelNode())) return;
  m_vCoordBeforeMove = m_vCoord;
  m_vCoord = to;
  UpdateEttIndex();
  SetCoordStm();
  CUbEntityObj::Move(to - m_vCoordBeforeMove);
}

void CStmEntityNode::Mirror(const CVector& p1, const CVector& p2) {
  m_vCoordBeforeMove = m_vCoord;
  m_vCoord = StmCleanPoint(GetMirrorPos(p1, p2, m_vCoord));
  UpdateEttIndex();
  SetCoordStm();
  CUbEntityObj::Mirror(p1, p2);
}

void CStmEntityNode::Rotate(const CVector& origin, const CVector& axis, const CDPoint& cs) {
  m_vCoordBeforeMove = m_vCoord;
  m_vCoord = StmCleanPoint(GetRotatedPoint(m_vCoord, origin, axis, cs));
  m_vNormal = GetRotatedPoint(m_vNormal, origin, axis, cs);
  UpdateEttIndex();
  SetCoordStm();
}

int CStmEntityNode::IsInRect(CRect rect) { return rect.PtInRect(ProjectView(m_vCoord - GetCentre())) ? 1 : 0; }

int CStmEntityNode::GetOsnapNodePoint(CVector pt, CVector& out, int& first) {
  return GetOsnapPoint(m_vCoord, pt, out, first);
}

void CStmEntityNode::GetSnapMoveAllPointArray(CVectorArray& points) { points.Add(new CVector(m_vCoord)); }

CString CStmEntityNode::GetStringEntType() { return StmText("Node"); }

void CStmEntityNode::Render(int pick) {
  CStmUbManager* manager = GetManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  CStmObjNode* node = FindNodeRecord(model);
  if (!node || !node->IsEnable()) return;
  const CStmDataView* view = model->GetStmDataView();
  if (!view || !view->IsShowOption(STM_SHOW_NODES)) return;

  // Only nodes honour display groups.
  const SUbDisplayGroup& group = manager->GetCurDisplayGroup();
  if (group.m_bFilter && !group.m_setKeys.count(GetName())) return;

  const SStmColorSet& colors = view->GetColorSet();
  const bool moveable = node->IsMoveable() != 0;
  m_vDrawColor = colors[moveable ? kColorNodeMoveable : kColorNodeFixed];
  m_vTextColor = colors[kColorNodeText];
  const double size = moveable ? m_dRadius : kFixedPointSize;

  CUbGlState::Disable(GL_LIGHTING);
  CUbGlState::Disable(GL_DEPTH_TEST);
  const CVector p = m_vCoord - GetCentre();
  if (pick == 0 && model->IsLock()) {
    // A node or its bearing plate over capacity in the case shown gets a wide orange dot under it.
    const int loadCase = manager->GetIndexLoadConditionResult();
    const SStmCheckNode* check = FindCheck(*model, loadCase, node->GetId());
    bool over = check && (check->nFlags & STM_CHECK_OVER_CAPACITY);
    const CStmObjBearingPlate* plate = model->GetBearingPlateNode(node->GetId());
    const SStmCheckCase* checks = model->GetCheckResults().GetCase(loadCase);
    if (plate && checks) {
      const auto found = checks->plates.find(plate->GetId());
      over = over || (found != checks->plates.end() && (found->second.nFlags & STM_CHECK_OVER_CAPACITY));
    }
    if (over) {
      CUbGlState::PointSize(static_cast<GLfloat>(size + 10.0));
      CUbGlState::Color(kColorOverCapacity.x, kColorOverCapacity.y, kColorOverCapacity.z);
      CUbGlState::Begin(GL_POINTS);
      glVertex3d(p.x, p.y, p.z);
      CUbGlState::End();
    }
  }
  if (pick == 0) {
    CUbGlState::PointSize(static_cast<GLfloat>(size));
    CUbGlState::Color(m_vDrawColor.x, m_vDrawColor.y, m_vDrawColor.z);
  }
  CUbGlState::Begin(GL_POINTS);
  glVertex3d(p.x, p.y, p.z);
  CUbGlState::End();
  if (pick == 0) CUbGlState::PointSize(1.0f);

  if (view->IsShowOption(STM_SHOW_NODE_NAMES)) {
    node->SetEnable(1);
    CUbGlState::LineWidth(1.0f);
    const double s = m_dViewScale;
    const bool xz = m_eViewPos == CUbRenderWnd::VIEW_POS_XZ;
    const CVector dir = xz ? CVector(1.0, 0.0, 0.0) : CVector(0.0, 1.0, 0.0);
    const CVector offset = xz ? CVector(3.0 * s, 0.0, 3.0 * s) : CVector(0.0, 3.0 * s, 3.0 * s);
    CUbRenderAPI::OutVectorText(p + offset, dir, dir, node->GetName(), view->GetSizeNumberNode() * s, 1.0, 0, 1,
                                0.0, 0, m_vTextColor, 1);
  }
  CUbGlState::Enable(GL_DEPTH_TEST);
  CUbGlState::Enable(GL_LIGHTING);
}

CString CStmEntityNode::GetTooltipPropInfoTable() {
  CStmUbManager* manager = GetManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model) return CString();
  const CStmDataView* view = model->GetStmDataView();
  CStmObjNode* node = model->GetNode(m_nIdStm);
  if (!view || !view->IsShowOption(STM_SHOW_NODE_TOOLTIPS) || !node) return CString();

  CString restraint;
  if (const CStmObjRestraint* r = model->GetRestraintNode(m_nIdStm, 1)) {
    const SStmDof& dof = r->GetDof();
    const int flags[6] = {dof.Ux, dof.Uy, dof.Uz, dof.Rx, dof.Ry, dof.Rz};
    const char* names[6] = {"Ux, ", "Uy, ", "Uz, ", "Rx, ", "Ry, ", "Rz, "};
    for (int i = 0; i < 6; ++i) {
      if (flags[i]) restraint += names[i];
    }
    if (restraint.IsEmpty()) {
      restraint = "N/A";
    } else {
      restraint.Trim();
      restraint = restraint.Left(restraint.GetLength() - 1);
    }
  } else {
    restraint = StmText("N/A");
  }

  CString nodeType = "-";
  const CString type = model->GetNodeType(node, manager->GetIndexLoadConditionResult());
  if (!type.IsEmpty()) nodeType = type;

  const CDPoint plane = manager->GetPointPlane(m_vCoord);
  CString text;
  text.Format(
      "<table border=0><tr><td><b>%s %s</b></td><td align=right>%.4f,</td><td align=right>%.4f</td></tr></table>"
      "<table border=0><tr><td>Restraint</td><td align=right>%s</td></tr><tr><td>Thickness Scale Factor</td>"
      "<td align=right>%.4f</td></tr><tr><td>Node Type</td><td align=right>%s</td></tr></table>",
      GetStringEntType().c_str(), node->GetName().c_str(), plane.x, plane.y, restraint.c_str(),
      node->GetThicknessScale(), nodeType.c_str());
  // What the support holds the node with in the case shown.
  const auto reaction = model->GetResultReactions().find(m_nIdStm);
  const int shown = manager->GetIndexLoadConditionResult();
  if (model->IsLock() && reaction != model->GetResultReactions().end() && shown >= 0 &&
      static_cast<size_t>(shown) < reaction->second.size()) {
    text += CString("<table border=0><tr><td>") + StmText("Reaction") + "</td><td align=right>" +
            model->GetReactionText(reaction->second[static_cast<size_t>(shown)]) + "</td></tr></table>";
  }
  const int loadCase = manager->GetIndexLoadConditionResult();
  if (const SStmCheckNode* check = model->IsLock() ? FindCheck(*model, loadCase, node->GetId()) : nullptr) {
    text.AppendFormat(
        "<table border=0><tr><td>Node Class</td><td align=right>%s</td></tr><tr><td>Utilisation</td>"
        "<td align=right>%.3f</td></tr><tr><td>Clause</td><td align=right>%s</td></tr>",
        check->strClass.c_str(), check->dUtilisation, check->strClause.c_str());
    const CStmObjBearingPlate* plate = model->GetBearingPlateNode(node->GetId());
    const SStmCheckCase* checks = model->GetCheckResults().GetCase(loadCase);
    const auto found = plate ? checks->plates.find(plate->GetId()) : checks->plates.end();
    if (found != checks->plates.end() && !(found->second.nFlags & STM_CHECK_INCOMPLETE))
      text.AppendFormat("<tr><td>Bearing Plate Utilisation</td><td align=right>%.3f</td></tr>", found->second.dUtilisation);
    if (check->nFlags & STM_CHECK_OVER_CAPACITY) text += "<tr><td>Over capacity</td></tr>";
    if (check->nFlags & STM_CHECK_OUTSIDE) text += "<tr><td>Leaves the concrete</td></tr>";
    if (check->nFlags & STM_CHECK_OVERLAP) text += "<tr><td>Overlaps another zone</td></tr>";
    text += "</table>";
  }
  return text;
}

void CStmEntityNode::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    CUbEntityObj::Serialize(ar);
    ar << kArchiveVersion << m_vCoord << m_dRadius;
    return;
  }
  SArchivedBase base;
  ReadArchiveBase(ar, base);
  std::int32_t version = 0;
  CVector coord;
  double radius = 0.0;
  ar >> version;
  ar >> coord >> radius;
  AfxCheckArchiveFinite({coord.x, coord.y, coord.z, radius});
  ApplyArchiveBase(base);
  m_vCoord = coord;
  m_dRadius = radius;
  UpdateEttIndex();
}

CStmEntityNode& CStmEntityNode::operator=(const CStmEntityObject& other) {
  if (this == &other) return *this;
  CUbEntityObj::operator=(other);
  if (const auto* node = dynamic_cast<const CStmEntityNode*>(&other)) {
    m_vCoord = node->m_vCoord;
    m_dRadius = node->m_dRadius;
    UpdateEttIndex();
  }
  return *this;
}

CStmEntityNode& CStmEntityNode::operator=(const CStmEntityNode& other) {
  return operator=(static_cast<const CStmEntityObject&>(other));
}
