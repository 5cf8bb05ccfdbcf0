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

TEST(StmModel, IdsAreUniquePerKindAndWalkedAscendingAndElementsJoinTwoNodes) {
  CStmModel model;
  EXPECT_NE(model.AddNode(XZ(0, 0), 7), nullptr);
  EXPECT_NE(model.AddNode(XZ(1, 0), 3), nullptr);
  EXPECT_EQ(model.AddNode(XZ(2, 0), 3), nullptr) << "a taken id is refused";
  EXPECT_EQ(model.AddNode(XZ(2, 0), 0), nullptr) << "ids start at 1";
  CStmObjNode* next = model.AddNode(XZ(2, 0));
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->GetId(), 8);
  std::vector<int> ids;
  for (const auto& [id, node] : model.GetNodes()) ids.push_back(id);
  EXPECT_EQ(ids, (std::vector<int>{3, 7, 8}));
  // Elements need two distinct nodes that exist.
  EXPECT_EQ(model.AddElement(3, 3, SStmPropElement()), nullptr);
  EXPECT_EQ(model.AddElement(3, 9, SStmPropElement()), nullptr);
  CStmObjElement* element = model.AddElement(7, 3, SStmPropElement(0, 2, 0.0));
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->GetCoordEnd(), XZ(1, 0));
  // Outer and inner boundaries share one id range, so an id names one boundary of either type.
  CStmObjBoundary* outer = model.SetBoundary(STM_BOUNDARY_OUTER, {XZ(0, 0), XZ(1, 0), XZ(1, 1)});
  CStmObjBoundary* inner = model.SetBoundary(STM_BOUNDARY_INNER, {XZ(0, 0), XZ(1, 0), XZ(1, 1)});
  EXPECT_NE(outer->GetId(), inner->GetId());
}

TEST(StmModel, NodeByCoordinateUsesInclusiveToleranceOverEnabledNodes) {
  CStmModel model;
  for (const CVector& p : {CVector(0, 0, 0), CVector(5, 5, 5)}) model.AddNode(p);
  EXPECT_EQ(model.GetNode(CVector(1e-5, -1e-5, 1e-5)), model.GetNode(1));
  EXPECT_EQ(model.GetNode(CVector(1.1e-5, 0, 0)), nullptr);
  EXPECT_EQ(model.GetNode(CVector(0, 0, -1.1e-5)), nullptr);
  EXPECT_EQ(model.GetNode(CVector(5, 5 + 1e-5, 5)), model.GetNode(2));
  // Two nodes at one place: the lowest enabled id answers, a disabled one never does.
  model.AddNode(CVector(0, 0, 0));
  model.SetEnableNode(1, 0);
  EXPECT_EQ(model.GetNode(CVector(0, 0, 0)), model.GetNode(3));
  model.SetEnableNode(3, 0);
  EXPECT_EQ(model.GetNode(CVector(0, 0, 0)), nullptr);
  EXPECT_NE(model.GetNode(1), nullptr) << "disabled records stay";
}

TEST(StmModel, DisabledRecordsStayAndCountsFollowTheEnabledOnes) {
  CStmModel model;
  Square(model);
  model.SetEnableElement(2, 0);
  model.SetEnableNode(4, 0);
  EXPECT_EQ(model.GetCountElement(0), 4);
  EXPECT_EQ(model.GetCountElement(1), 3);
  EXPECT_EQ(model.GetCountNode(1), 3);
  EXPECT_EQ(model.GetCountInvolvedElements(2), 1) << "element 2 is disabled";
  EXPECT_EQ(model.GetCountInvolvedElements(3), 1);
  std::vector<CStmObjElement*> at1 = model.GetInvolvedElements(1);
  ASSERT_EQ(at1.size(), 2u);
  EXPECT_EQ(at1[0]->GetId(), 1);
  EXPECT_EQ(at1[1]->GetId(), 4);
  model.SetEnableElement(2, 1);
  EXPECT_EQ(model.GetCountInvolvedElements(2), 2);

  model.SetBoundary(STM_BOUNDARY_INNER, {XZ(0, 0), XZ(1, 0), XZ(1, 1)});
  model.SetBoundary(STM_BOUNDARY_INNER, {XZ(2, 0), XZ(3, 0), XZ(3, 1)});
  model.SetEnableBoundary(STM_BOUNDARY_INNER, 1, 0);
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_INNER, 0), 2);
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_INNER, 1), 1);
  // By index counts only enabled boundaries; by id -1 takes the first enabled one.
  EXPECT_EQ(model.GetBoundaryObj(STM_BOUNDARY_INNER, 0, 1)->GetId(), 2);
  EXPECT_EQ(model.GetBoundaryObj(STM_BOUNDARY_INNER, 1, 1), nullptr);
  EXPECT_EQ(model.GetBoundaryObj(STM_BOUNDARY_INNER, -1, 0)->GetId(), 2);
  EXPECT_EQ(model.GetBoundaryObj(STM_BOUNDARY_INNER, 1, 0)->GetId(), 1);
  EXPECT_EQ(model.GetBoundaryObj(STM_BOUNDARY_OUTER, -1, 0), nullptr);
  EXPECT_EQ(model.GetBoundary(STM_BOUNDARY_INNER, -1).front(), XZ(2, 0));
}

TEST(StmModel, NamingStylesRenameNodesAndElements) {
  CStmModel model;
  for (int i = 0; i < 28; ++i) model.AddNode(XZ(i, 0));
  for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {26, 27}}) model.AddElement(a, b, SStmPropElement());
  EXPECT_EQ(model.GetNode(3)->GetName(), "3");
  EXPECT_EQ(model.GetElement(2)->GetName(), "2");

  CStmDataView& view = *model.GetStmDataView();
  view.SetTypeNamingNode(STM_NAMING_PREFIX);
  view.SetTypeNamingElement(STM_NAMING_PREFIX);
  model.RenameObject();
  EXPECT_EQ(model.GetNode(3)->GetName(), "N3");
  EXPECT_EQ(model.GetElement(2)->GetName(), "E2");

  view.SetTypeNamingNode(STM_NAMING_LETTER);
  view.SetTypeNamingElement(STM_NAMING_LETTER);
  model.RenameObject();
  for (const auto& [id, name] : {std::pair{1, "A"}, {26, "Z"}, {27, "AA"}})
    EXPECT_EQ(model.GetNode(id)->GetName(), name) << id;
  for (const auto& [id, name] : {std::pair{1, "AB"}, {2, "BC"}, {3, "ZAA"}})
    EXPECT_EQ(model.GetElement(id)->GetName(), name) << id;
  // Letter names follow the element's nodes when it is re-linked, as a split does.
  model.GetElement(1)->SetIdNodeEnd(4);
  EXPECT_EQ(model.GetElement(1)->GetName(), "AD");
  // New records are named in the current style.
  EXPECT_EQ(model.AddNode(XZ(0, 5))->GetName(), "AC");
}

TEST(StmModel, ChainOutOfOrderAndReversedBecomesOnePolygon) {
  CStmModel model;
  Square(model);
  // Element 3 reversed (node 4 to node 3) and the ids given out of walking order.
  model.GetElement(3)->SetIdNodeBegin(4);
  model.GetElement(3)->SetIdNodeEnd(3);
  // An area takes a chain too but leaves membership to the boundaries.
  CStmObjArea* area = model.AddPropertyArea({4, 3, 2, 1});
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->GetBoundaryPos().size(), 4u);
  EXPECT_EQ(model.GetElement(1)->GetAttributeInt(CStmObject::kAttrBoundary), 0);
  EXPECT_EQ(model.GetPropertyArea(0, 1), area);
  model.SetEnablePropertyArea(area->GetId(), 0);
  EXPECT_EQ(model.GetPropertyArea(0, 1), nullptr);
  CStmObjBoundary* boundary = model.SetBoudaryByElementGroup(STM_BOUNDARY_OUTER, {2, 4, 1, 3}, -1);
  ASSERT_NE(boundary, nullptr);
  EXPECT_EQ(boundary->GetBoundaryPos(), (std::vector<CVector>{XZ(1, 0), XZ(1, 1), XZ(0, 1), XZ(0, 0)}));
  EXPECT_EQ(boundary->GetIdElements(), (std::vector<int>{2, 3, 4, 1}));
  for (int id = 1; id <= 4; ++id) {
    EXPECT_EQ(model.GetElement(id)->GetAttributeInt(CStmObject::kAttrBoundary), 1);
    EXPECT_TRUE(boundary->IsIncludeElement(id));
  }
  EXPECT_TRUE(model.GetElement(1)->IsBoundaryElement());
  EXPECT_FALSE(boundary->IsIncludeElement(5));

  // Disabling the boundary takes the membership away; enabling gives it back.
  model.SetEnableBoundary(STM_BOUNDARY_OUTER, boundary->GetId(), 0);
  EXPECT_EQ(model.GetElement(1)->GetAttributeInt(CStmObject::kAttrBoundary), 0);
  boundary->SetEnable(1);
  EXPECT_EQ(model.GetElement(1)->GetAttributeInt(CStmObject::kAttrBoundary), 1);

  // An element split off later joins the boundary on request.
  model.AddNode(XZ(2, 0));
  const int extra = model.AddElement(2, 5, SStmPropElement())->GetId();
  boundary->AddElement(extra, 1);
  EXPECT_EQ(model.GetElement(extra)->GetAttributeInt(CStmObject::kAttrBoundary), 1);
}

TEST(StmModel, ChainsThatAreNotOneClosedLoopAreRefused) {
  CStmModel model;
  Square(model);
  // A second, separate triangle.
  for (const CVector& p : {XZ(5, 0), XZ(6, 0), XZ(5, 1)}) model.AddNode(p);
  for (const auto& [a, b] : {std::pair{5, 6}, {6, 7}, {7, 5}}) model.AddElement(a, b, SStmPropElement());
  // A dangling element at node 1.
  model.AddNode(XZ(-1, 0));
  model.AddElement(1, 8, SStmPropElement());
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
    EXPECT_EQ(model.SetBoudaryByElementGroup(STM_BOUNDARY_INNER, c.ids, -1), nullptr) << c.what;
    EXPECT_EQ(model.AddPropertyArea(c.ids), nullptr) << c.what;
  }
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_INNER, 0), 0);
  EXPECT_EQ(model.GetElement(1)->GetAttributeInt(CStmObject::kAttrBoundary), 0);
}

TEST(StmModel, CombinationsOfCombinationsAndTheirCycles) {
  CStmModel model;
  model.AddNode(XZ(0, 0));
  model.AddLoadConditionStatic("A");
  EXPECT_EQ(model.AddLoadConditionStatic("A"), nullptr) << "names are unique";
  ASSERT_NE(model.AddLoadNode("A", 1, CVector(0, 0, -10)), nullptr);
  EXPECT_EQ(model.AddLoadNode("A", 9, CVector(0, 0, -10)), nullptr);
  EXPECT_EQ(model.AddLoadNode("B", 1, CVector(0, 0, -10)), nullptr);
  for (const char* name : {"C1", "C2", "C3"}) model.AddLoadConditionCombo(name);
  ASSERT_NE(model.AddComboFactor("C1", "A", CStmObjLoadComboFactor::kTypeStatic, 1.5), nullptr);
  ASSERT_NE(model.AddComboFactor("C2", "C1", CStmObjLoadComboFactor::kTypeCombo, 2.0), nullptr);
  ASSERT_NE(model.AddComboFactor("C3", "C2", CStmObjLoadComboFactor::kTypeCombo, 1.0), nullptr);
  EXPECT_EQ(model.AddComboFactor("C1", "C3", CStmObjLoadComboFactor::kTypeCombo, 1.0), nullptr)
      << "C1 would contain itself through C3 and C2";
  EXPECT_EQ(model.AddComboFactor("C1", "C1", CStmObjLoadComboFactor::kTypeCombo, 1.0), nullptr);
  EXPECT_EQ(model.AddComboFactor("C1", "A", 2, 1.0), nullptr) << "unknown term type";
}

TEST(StmModel, MergeNodeHandsOverLinksLoadsAndSupports) {
  CStmModel model;
  for (const CVector& p : {XZ(0, 0), XZ(1, 0), XZ(1, 0)}) model.AddNode(p);
  model.AddElement(1, 3, SStmPropElement());
  SStmDof pin;
  pin.Ux = pin.Uz = 1;
  model.AddRestraint(3, pin, 30.0);
  model.AddSpring(2, CVector(0, 0, 5), CVector());
  model.AddSpring(3, CVector(0, 0, 7), CVector());
  model.AddLoadConditionStatic("A");
  model.AddLoadNode("A", 3, CVector(0, 0, -1));

  EXPECT_EQ(model.MergeNode(2, 2), 0);
  EXPECT_EQ(model.MergeNode(2, 9), 0);
  ASSERT_EQ(model.MergeNode(2, 3), 1);
  EXPECT_EQ(model.GetElement(1)->GetIdNodeEnd(), 2);
  EXPECT_EQ(model.GetRestraintNode(2)->GetRollerAngle(), 30.0) << "keep had no restraint";
  EXPECT_EQ(model.GetSpringNode(2)->GetU(), CVector(0, 0, 5)) << "keep's own spring wins";
  EXPECT_EQ(model.GetSpringNode(3), nullptr);
  EXPECT_EQ(model.GetLoadConditionStatic("A")->GetLoadNode(1)->GetIdNode(), 2);
  EXPECT_TRUE(model.GetNode(3)->IsEnable()) << "the caller disables the old node";
}

TEST(StmModel, ElementTypesFollowForcesAtTheCurrentDecimals) {
  CStmModel model;
  Square(model);
  model.GetStmDataView()->SetFixedPointNumber(2);
  CStmObjElement* element = model.GetElement(1);
  element->SetResultAxialForces({-0.004, -0.005, 0.006, 0.0, -12.0});
  // -0.004 rounds to 0.00; case 5 is outside the stored cases.
  const EStmTypeElement types[] = {STM_ELEMENT_NONE, STM_ELEMENT_STRUT, STM_ELEMENT_TIE,
                                   STM_ELEMENT_NONE, STM_ELEMENT_STRUT, STM_ELEMENT_NONE};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(element->GetType(k), types[k]) << "case " << k;
  EXPECT_EQ(element->GetResultAxialForce(-1), 0.0);

  model.GetStmDataView()->SetFixedPointNumber(3);
  model.SetElementType();
  EXPECT_EQ(element->GetType(0), STM_ELEMENT_STRUT);
  model.GetStmDataView()->SetFixedPointNumber(0);
  model.SetElementType();
  EXPECT_EQ(element->GetType(2), STM_ELEMENT_NONE);

  // Node types come from the classified elements, only while results stand.
  model.GetStmDataView()->SetFixedPointNumber(2);
  model.SetElementType();
  model.GetElement(4)->SetResultAxialForces({0, 0, 0, 0, 3.0});
  EXPECT_EQ(model.GetNodeType(model.GetNode(1), 4), "");
  model.SetLock(1);
  EXPECT_EQ(model.GetNodeType(model.GetNode(1), 4), "CT");
  EXPECT_EQ(model.GetNodeType(model.GetNode(3), 4), "");
}

TEST(StmModel, SupportsOnePerNodeAndTheirGroups) {
  CStmModel model;
  for (int i = 0; i < 4; ++i) model.AddNode(XZ(i, 0));
  SStmDof pin, roller;
  pin.Ux = pin.Uz = 1;
  roller.Uz = 1;
  model.AddRestraint(3, roller);
  model.AddRestraint(1, pin);
  model.AddRestraint(2, roller);
  EXPECT_EQ(model.AddRestraint(4, roller, 15.0)->GetId(), 4);
  EXPECT_EQ(model.AddRestraint(9, pin), nullptr);
  // A second restraint on a node changes the first.
  EXPECT_EQ(model.AddRestraint(1, roller)->GetId(), 2);
  EXPECT_EQ(model.GetRestraints().size(), 4u);
  EXPECT_EQ(model.GetRestraintGroup(), (std::vector<std::vector<int>>{{3, 1, 2}, {4}}));
  model.GetRestraintNode(2)->SetEnable(0);
  EXPECT_EQ(model.GetRestraintNode(2, 1), nullptr);
  EXPECT_NE(model.GetRestraintNode(2, 0), nullptr);

  for (const auto& [node, u] : {std::pair{1, 5.0}, {2, 6.0}, {3, 5.0}})
    model.AddSpring(node, CVector(0, 0, u), CVector());
  EXPECT_EQ(model.GetSpringGroup(), (std::vector<std::vector<int>>{{1, 3}, {2}}));
  model.AddBearingPlate(4, SStmPropBearingPlate{200.0, 20.0});
  EXPECT_EQ(model.GetBearingPlateNode(4)->GetProperty().dWidth, 200.0);
  EXPECT_EQ(model.GetBearingPlateNode(3), nullptr);
}

TEST(StmModel, SwapKeepsRecordsTiedToTheirModel) {
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
