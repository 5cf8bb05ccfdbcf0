// The model operations the layer relies on where they can go wrong: id order, the 1e-5 point
// look-up, disabled records, naming styles, chains into polygons, combinations and merging.
#include <gtest/gtest.h>

#include "host/model/CStmModel.h"

namespace {

CVector XZ(double x, double z) { return CVector(x, 0.0, z); }

// A unit square of four nodes and four elements, element i running from node i to node i+1.
void Square(CStmModel& model) {
  for (const CVector& p : {XZ(0, 0), XZ(1, 0), XZ(1, 1), XZ(0, 1)}) model.AddNode(p);
  for (int i = 1; i <= 4; ++i) model.AddElement(i, i % 4 + 1, SStmPropElement(0, 2, 0.0));
}

class StmModel : public testing::Test {
protected:
  CStmModel m_model;
};

TEST_F(StmModel, IdsAreUniquePerKindAndWalkedAscendingAndElementsJoinTwoNodes) {
  EXPECT_NE(m_model.AddNode(XZ(0, 0), 7), nullptr);
  EXPECT_NE(m_model.AddNode(XZ(1, 0), 3), nullptr);
  EXPECT_EQ(m_model.AddNode(XZ(2, 0), 3), nullptr) << "a taken id is refused";
  EXPECT_EQ(m_model.AddNode(XZ(2, 0), 0), nullptr) << "ids start at 1";
  CStmObjNode* next = m_model.AddNode(XZ(2, 0));
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->GetId(), 8);
  std::vector<int> ids;
  for (const auto& [id, node] : m_model.GetNodes()) ids.push_back(id);
  EXPECT_EQ(ids, (std::vector<int>{3, 7, 8}));
  // Elements need two distinct nodes that exist.
  EXPECT_EQ(m_model.AddElement(3, 3, SStmPropElement()), nullptr);
  EXPECT_EQ(m_model.AddElement(3, 9, SStmPropElement()), nullptr);
  CStmObjElement* element = m_model.AddElement(7, 3, SStmPropElement(0, 2, 0.0));
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->GetCoordEnd(), XZ(1, 0));
  // Outer and inner boundaries share one id range, so an id names one boundary of either type.
  CStmObjBoundary* outer = m_model.SetBoundary(STM_BOUNDARY_OUTER, {XZ(0, 0), XZ(1, 0), XZ(1, 1)});
  CStmObjBoundary* inner = m_model.SetBoundary(STM_BOUNDARY_INNER, {XZ(0, 0), XZ(1, 0), XZ(1, 1)});
  EXPECT_NE(outer->GetId(), inner->GetId());
}

TEST_F(StmModel, NodeByCoordinateUsesInclusiveToleranceOverEnabledNodes) {
  for (const CVector& p : {CVector(0, 0, 0), CVector(5, 5, 5)}) m_model.AddNode(p);
  EXPECT_EQ(m_model.GetNode(CVector(1e-5, -1e-5, 1e-5)), m_model.GetNode(1));
  EXPECT_EQ(m_model.GetNode(CVector(1.1e-5, 0, 0)), nullptr);
  EXPECT_EQ(m_model.GetNode(CVector(0, 0, -1.1e-5)), nullptr);
  EXPECT_EQ(m_model.GetNode(CVector(5, 5 + 1e-5, 5)), m_model.GetNode(2));
  // Two nodes at one place: the lowest enabled id answers, a disabled one never does.
  m_model.AddNode(CVector(0, 0, 0));
  m_model.SetEnableNode(1, 0);
  EXPECT_EQ(m_model.GetNode(CVector(0, 0, 0)), m_model.GetNode(3));
  m_model.SetEnableNode(3, 0);
  EXPECT_EQ(m_model.GetNode(CVector(0, 0, 0)), nullptr);
  EXPECT_NE(m_model.GetNode(1), nullptr) << "disabled records stay";
}

TEST_F(StmModel, DisabledRecordsStayAndCountsFollowTheEnabledOnes) {
  Square(m_model);
  m_model.SetEnableElement(2, 0);
  m_model.SetEnableNode(4, 0);
  EXPECT_EQ(m_model.GetCountElement(0), 4);
  EXPECT_EQ(m_model.GetCountElement(1), 3);
  EXPECT_EQ(m_model.GetCountNode(1), 3);
  EXPECT_EQ(m_model.GetCountInvolvedElements(2), 1) << "element 2 is disabled";
  EXPECT_EQ(m_model.GetCountInvolvedElements(3), 1);
  std::vector<CStmObjElement*> at1 = m_model.GetInvolvedElements(1);
  ASSERT_EQ(at1.size(), 2u);
  EXPECT_EQ(at1[0]->GetId(), 1);
  EXPECT_EQ(at1[1]->GetId(), 4);
  m_model.SetEnableElement(2, 1);
  EXPECT_EQ(m_model.GetCountInvolvedElements(2), 2);

  m_model.SetBoundary(STM_BOUNDARY_INNER, {XZ(0, 0), XZ(1, 0), XZ(1, 1)});
  m_model.SetBoundary(STM_BOUNDARY_INNER, {XZ(2, 0), XZ(3, 0), XZ(3, 1)});
  m_model.SetEnableBoundary(STM_BOUNDARY_INNER, 1, 0);
  EXPECT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_INNER, 0), 2);
  EXPECT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_INNER, 1), 1);
  // By index counts only enabled boundaries; by id -1 takes the first enabled one.
  EXPECT_EQ(m_model.GetBoundaryObj(STM_BOUNDARY_INNER, 0, 1)->GetId(), 2);
  EXPECT_EQ(m_model.GetBoundaryObj(STM_BOUNDARY_INNER, 1, 1), nullptr);
  EXPECT_EQ(m_model.GetBoundaryObj(STM_BOUNDARY_INNER, -1, 0)->GetId(), 2);
  EXPECT_EQ(m_model.GetBoundaryObj(STM_BOUNDARY_INNER, 1, 0)->GetId(), 1);
  EXPECT_EQ(m_model.GetBoundaryObj(STM_BOUNDARY_OUTER, -1, 0), nullptr);
  EXPECT_EQ(m_model.GetBoundary(STM_BOUNDARY_INNER, -1).front(), XZ(2, 0));
}

TEST_F(StmModel, NamingStylesRenameNodesAndElements) {
  for (int i = 0; i < 28; ++i) m_model.AddNode(XZ(i, 0));
  for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {26, 27}}) m_model.AddElement(a, b, SStmPropElement());
  EXPECT_EQ(m_model.GetNode(3)->GetName(), "3");
  EXPECT_EQ(m_model.GetElement(2)->GetName(), "2");

  CStmDataView& view = *m_model.GetStmDataView();
  view.SetTypeNamingNode(STM_NAMING_PREFIX);
  view.SetTypeNamingElement(STM_NAMING_PREFIX);
  m_model.RenameObject();
  EXPECT_EQ(m_model.GetNode(3)->GetName(), "N3");
  EXPECT_EQ(m_model.GetElement(2)->GetName(), "E2");

  view.SetTypeNamingNode(STM_NAMING_LETTER);
  view.SetTypeNamingElement(STM_NAMING_LETTER);
  m_model.RenameObject();
  for (const auto& [id, name] : {std::pair{1, "A"}, {26, "Z"}, {27, "AA"}})
    EXPECT_EQ(m_model.GetNode(id)->GetName(), name) << id;
  for (const auto& [id, name] : {std::pair{1, "AB"}, {2, "BC"}, {3, "ZAA"}})
    EXPECT_EQ(m_model.GetElement(id)->GetName(), name) << id;
  // Letter names follow the element's nodes when it is re-linked, as a split does.
  m_model.GetElement(1)->SetIdNodeEnd(4);
  EXPECT_EQ(m_model.GetElement(1)->GetName(), "AD");
  // New records are named in the current style.
  EXPECT_EQ(m_model.AddNode(XZ(0, 5))->GetName(), "AC");
}

TEST_F(StmModel, ChainOutOfOrderAndReversedBecomesOnePolygon) {
  Square(m_model);
  // Element 3 reversed (node 4 to node 3) and the ids given out of walking order.
  m_model.GetElement(3)->SetIdNodeBegin(4);
  m_model.GetElement(3)->SetIdNodeEnd(3);
  // An area takes a chain too but leaves membership to the boundaries.
  CStmObjArea* area = m_model.AddPropertyArea({4, 3, 2, 1});
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->GetBoundaryPos().size(), 4u);
  EXPECT_EQ(m_model.GetElement(1)->GetAttributeInt(CStmObject::kAttrBoundary), 0);
  EXPECT_EQ(m_model.GetPropertyArea(0, 1), area);
  m_model.SetEnablePropertyArea(area->GetId(), 0);
  EXPECT_EQ(m_model.GetPropertyArea(0, 1), nullptr);
  CStmObjBoundary* boundary = m_model.SetBoudaryByElementGroup(STM_BOUNDARY_OUTER, {2, 4, 1, 3}, -1);
  ASSERT_NE(boundary, nullptr);
  EXPECT_EQ(boundary->GetBoundaryPos(), (std::vector<CVector>{XZ(1, 0), XZ(1, 1), XZ(0, 1), XZ(0, 0)}));
  EXPECT_EQ(boundary->GetIdElements(), (std::vector<int>{2, 3, 4, 1}));
  for (int id = 1; id <= 4; ++id) {
    EXPECT_EQ(m_model.GetElement(id)->GetAttributeInt(CStmObject::kAttrBoundary), 1);
    EXPECT_TRUE(boundary->IsIncludeElement(id));
  }
  EXPECT_TRUE(m_model.GetElement(1)->IsBoundaryElement());
  EXPECT_FALSE(boundary->IsIncludeElement(5));

  // Disabling the boundary takes the membership away; enabling gives it back.
  m_model.SetEnableBoundary(STM_BOUNDARY_OUTER, boundary->GetId(), 0);
  EXPECT_EQ(m_model.GetElement(1)->GetAttributeInt(CStmObject::kAttrBoundary), 0);
  boundary->SetEnable(1);
  EXPECT_EQ(m_model.GetElement(1)->GetAttributeInt(CStmObject::kAttrBoundary), 1);

  // An element split off later joins the boundary on request.
  m_model.AddNode(XZ(2, 0));
  const int extra = m_model.AddElement(2, 5, SStmPropElement())->GetId();
  boundary->AddElement(extra, 1);
  EXPECT_EQ(m_model.GetElement(extra)->GetAttributeInt(CStmObject::kAttrBoundary), 1);
}

TEST_F(StmModel, ChainsThatAreNotOneClosedLoopAreRefused) {
  Square(m_model);
  // A second, separate triangle.
  for (const CVector& p : {XZ(5, 0), XZ(6, 0), XZ(5, 1)}) m_model.AddNode(p);
  for (const auto& [a, b] : {std::pair{5, 6}, {6, 7}, {7, 5}}) m_model.AddElement(a, b, SStmPropElement());
  // A dangling element at node 1.
  m_model.AddNode(XZ(-1, 0));
  m_model.AddElement(1, 8, SStmPropElement());
  const struct {
    const char* what;
    std::vector<int> ids;
  } cases[] = {
      {"open chain", {1, 2, 3}},
      {"two elements", {1, 2}},
      {"two loops", {1, 2, 3, 4, 5, 6, 7}},
      {"branch", {1, 2, 3, 4, 8}},
      {"missing element", {1, 2, 3, 99}},
      {"element twice", {1, 2, 3, 4, 4}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(m_model.SetBoudaryByElementGroup(STM_BOUNDARY_INNER, c.ids, -1), nullptr) << c.what;
    EXPECT_EQ(m_model.AddPropertyArea(c.ids), nullptr) << c.what;
  }
  EXPECT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_INNER, 0), 0);
  EXPECT_EQ(m_model.GetElement(1)->GetAttributeInt(CStmObject::kAttrBoundary), 0);
}

TEST_F(StmModel, CombinationsOfCombinationsAndTheirCycles) {
  m_model.AddNode(XZ(0, 0));
  m_model.AddLoadConditionStatic("A");
  EXPECT_EQ(m_model.AddLoadConditionStatic("A"), nullptr) << "names are unique";
  ASSERT_NE(m_model.AddLoadNode("A", 1, CVector(0, 0, -10)), nullptr);
  EXPECT_EQ(m_model.AddLoadNode("A", 9, CVector(0, 0, -10)), nullptr);
  EXPECT_EQ(m_model.AddLoadNode("B", 1, CVector(0, 0, -10)), nullptr);
  for (const char* name : {"C1", "C2", "C3"}) m_model.AddLoadConditionCombo(name);
  ASSERT_NE(m_model.AddComboFactor("C1", "A", CStmObjLoadComboFactor::kTypeStatic, 1.5), nullptr);
  ASSERT_NE(m_model.AddComboFactor("C2", "C1", CStmObjLoadComboFactor::kTypeCombo, 2.0), nullptr);
  ASSERT_NE(m_model.AddComboFactor("C3", "C2", CStmObjLoadComboFactor::kTypeCombo, 1.0), nullptr);
  EXPECT_EQ(m_model.AddComboFactor("C1", "C3", CStmObjLoadComboFactor::kTypeCombo, 1.0), nullptr)
      << "C1 would contain itself through C3 and C2";
  EXPECT_EQ(m_model.AddComboFactor("C1", "C1", CStmObjLoadComboFactor::kTypeCombo, 1.0), nullptr);
  EXPECT_EQ(m_model.AddComboFactor("C1", "A", 2, 1.0), nullptr) << "unknown term type";
}

TEST_F(StmModel, MergeNodeHandsOverLinksLoadsAndSupports) {
  for (const CVector& p : {XZ(0, 0), XZ(1, 0), XZ(1, 0)}) m_model.AddNode(p);
  m_model.AddElement(1, 3, SStmPropElement());
  SStmDof pin;
  pin.Ux = pin.Uz = 1;
  m_model.AddRestraint(3, pin, 30.0);
  m_model.AddSpring(2, CVector(0, 0, 5), CVector());
  m_model.AddSpring(3, CVector(0, 0, 7), CVector());
  m_model.AddLoadConditionStatic("A");
  m_model.AddLoadNode("A", 3, CVector(0, 0, -1));

  EXPECT_EQ(m_model.MergeNode(2, 2), 0);
  EXPECT_EQ(m_model.MergeNode(2, 9), 0);
  ASSERT_EQ(m_model.MergeNode(2, 3), 1);
  EXPECT_EQ(m_model.GetElement(1)->GetIdNodeEnd(), 2);
  EXPECT_EQ(m_model.GetRestraintNode(2)->GetRollerAngle(), 30.0) << "keep had no restraint";
  EXPECT_EQ(m_model.GetSpringNode(2)->GetU(), CVector(0, 0, 5)) << "keep's own spring wins";
  EXPECT_EQ(m_model.GetSpringNode(3), nullptr);
  EXPECT_EQ(m_model.GetLoadConditionStatic("A")->GetLoadNode(1)->GetIdNode(), 2);
  EXPECT_TRUE(m_model.GetNode(3)->IsEnable()) << "the caller disables the old node";
}

TEST_F(StmModel, ElementTypesFollowForcesAtTheCurrentDecimals) {
  Square(m_model);
  m_model.GetStmDataView()->SetFixedPointNumber(2);
  CStmObjElement* element = m_model.GetElement(1);
  element->SetResultAxialForces({-0.004, -0.005, 0.006, 0.0, -12.0});
  // -0.004 rounds to 0.00; case 5 is outside the stored cases.
  const EStmTypeElement types[] = {STM_ELEMENT_NONE, STM_ELEMENT_STRUT, STM_ELEMENT_TIE,
                                   STM_ELEMENT_NONE, STM_ELEMENT_STRUT, STM_ELEMENT_NONE};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(element->GetType(k), types[k]) << "case " << k;
  EXPECT_EQ(element->GetResultAxialForce(-1), 0.0);

  m_model.GetStmDataView()->SetFixedPointNumber(3);
  m_model.SetElementType();
  EXPECT_EQ(element->GetType(0), STM_ELEMENT_STRUT);
  m_model.GetStmDataView()->SetFixedPointNumber(0);
  m_model.SetElementType();
  EXPECT_EQ(element->GetType(2), STM_ELEMENT_NONE);

  // Node types come from the classified elements, only while results stand.
  m_model.GetStmDataView()->SetFixedPointNumber(2);
  m_model.SetElementType();
  m_model.GetElement(4)->SetResultAxialForces({0, 0, 0, 0, 3.0});
  EXPECT_EQ(m_model.GetNodeType(m_model.GetNode(1), 4), "");
  m_model.SetLock(1);
  EXPECT_EQ(m_model.GetNodeType(m_model.GetNode(1), 4), "CT");
  EXPECT_EQ(m_model.GetNodeType(m_model.GetNode(3), 4), "");
}

TEST_F(StmModel, SupportsOnePerNodeAndTheirGroups) {
  for (int i = 0; i < 4; ++i) m_model.AddNode(XZ(i, 0));
  SStmDof pin, roller;
  pin.Ux = pin.Uz = 1;
  roller.Uz = 1;
  m_model.AddRestraint(3, roller);
  m_model.AddRestraint(1, pin);
  m_model.AddRestraint(2, roller);
  EXPECT_EQ(m_model.AddRestraint(4, roller, 15.0)->GetId(), 4);
  EXPECT_EQ(m_model.AddRestraint(9, pin), nullptr);
  // A second restraint on a node changes the first.
  EXPECT_EQ(m_model.AddRestraint(1, roller)->GetId(), 2);
  EXPECT_EQ(m_model.GetRestraints().size(), 4u);
  EXPECT_EQ(m_model.GetRestraintGroup(), (std::vector<std::vector<int>>{{3, 1, 2}, {4}}));
  m_model.GetRestraintNode(2)->SetEnable(0);
  EXPECT_EQ(m_model.GetRestraintNode(2, 1), nullptr);
  EXPECT_NE(m_model.GetRestraintNode(2, 0), nullptr);

  for (const auto& [node, u] : {std::pair{1, 5.0}, {2, 6.0}, {3, 5.0}})
    m_model.AddSpring(node, CVector(0, 0, u), CVector());
  EXPECT_EQ(m_model.GetSpringGroup(), (std::vector<std::vector<int>>{{1, 3}, {2}}));
  m_model.AddBearingPlate(4, SStmPropBearingPlate{200.0, 20.0});
  EXPECT_EQ(m_model.GetBearingPlateNode(4)->GetProperty().dWidth, 200.0);
  EXPECT_EQ(m_model.GetBearingPlateNode(3), nullptr);
}

TEST_F(StmModel, SwapKeepsRecordsTiedToTheirModel) {
  CStmModel a, b;
  Square(a);
  a.SetStmModifiedFlag(1);
  b.Swap(a);
  EXPECT_EQ(a.GetCountNode(0), 0);
  EXPECT_EQ(b.GetElement(1)->GetModel(), &b);
  EXPECT_EQ(b.GetElement(1)->GetNodeEnd(), b.GetNode(2));
  EXPECT_EQ(b.GetStmModifiedFlag(), 1);
}

}  // namespace
