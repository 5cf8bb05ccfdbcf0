// The consistency check itself: silent on a scene rebuilt from a sound model, and naming each
// kind of drift between scene and model, and each dangling model record, when there is one.
#include <gtest/gtest.h>

#include <string>

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "support/StmSceneFixture.h"

namespace {

class CStmUbManagerCheckTest : public StmSceneFixture {
protected:
  // Two elements on three nodes, a boundary, an area and a load, as a rebuild shows them.
  void SetUp() override {
    StmSceneFixture::SetUp();
    for (const CVector& p : {CVector(0, 0, 0), CVector(40, 0, 0), CVector(40, 0, 40)}) m_model.AddNode(p, -1);
    m_model.AddElement(1, 2, SStmPropElement(0, 2, 0.0));
    m_model.AddElement(2, 3, SStmPropElement(0, 2, 0.0));
    m_model.SetBoundary(STM_BOUNDARY_OUTER, {CVector(-10, 0, -10), CVector(50, 0, -10), CVector(50, 0, 50)});
    m_model.AddLoadConditionStatic("DL");
    m_model.AddLoadNode("DL", 3, CVector(0, 0, -10));
    m_manager.UpdateStmRenderer();
  }
  std::string Check() const { return m_manager.CheckConsistency().str(); }
};

TEST_F(CStmUbManagerCheckTest, ARebuiltSceneOfASoundModelIsConsistentAndSceneAndModelThatDriftApartAreNamed) {
  EXPECT_EQ(Check(), "");
  // Disabled records and what hangs on them are no difference while nothing refers to them.
  m_model.AddNode(CVector(80, 0, 0), -1)->SetEnable(0);
  m_model.AddRestraint(4, SStmDof())->SetEnable(0);
  EXPECT_EQ(Check(), "");

  m_model.GetNode(3)->SetCoord(CVector(40, 0, 30));
  EXPECT_NE(Check().find("node 3: drawn at (40, 0, 40), model at (40, 0, 30)"), std::string::npos) << Check();
  EXPECT_NE(Check().find("element 2: drawn"), std::string::npos) << Check();
  m_model.GetNode(3)->SetCoord(CVector(40, 0, 40));

  m_model.GetElement(2)->SetEnable(0);
  EXPECT_NE(Check().find("element 2: drawn (40, 0, 0)-(40, 0, 40) but disabled"), std::string::npos) << Check();
  m_model.GetElement(2)->SetEnable(1);

  m_model.AddElement(1, 3, SStmPropElement(0, 2, 0.0));
  EXPECT_NE(Check().find("element 3: enabled in the model (nodes 1-3) but not in the scene"), std::string::npos)
      << Check();
  m_model.GetElement(3)->SetEnable(0);

  // A reversed element draws the same line, yet a rebuild would draw it the other way round.
  m_model.GetElement(1)->SetIdNodeBegin(2);
  m_model.GetElement(1)->SetIdNodeEnd(1);
  EXPECT_NE(Check().find("(reversed)"), std::string::npos) << Check();
  m_model.GetElement(1)->SetIdNodeBegin(1);
  m_model.GetElement(1)->SetIdNodeEnd(2);

  m_manager.AddElement(CVector(0, 0, 0), CVector(0, 0, 40), 1, 0, 0, nullptr);  // scene only
  EXPECT_NE(Check().find("has no model id"), std::string::npos) << Check();
}

TEST_F(CStmUbManagerCheckTest, MissingOrDisabledEntitiesOfEveryKindAreNamed) {
  CStmEntityNode* first = m_manager.GetEntNode(1);
  ASSERT_NE(first, nullptr);
  first->SetIdStm(-1);
  EXPECT_NE(Check().find("node entity"), std::string::npos);
  EXPECT_NE(Check().find("node 1: enabled in the model at (0, 0, 0) but not in the scene"), std::string::npos);
  first->SetIdStm(1);

  m_model.SetBoundary(STM_BOUNDARY_INNER, {CVector(0, 0, 0), CVector(10, 0, 0), CVector(10, 0, 10)});
  EXPECT_NE(Check().find("boundary 2 (type 1): enabled in the model but not in the scene"), std::string::npos)
      << Check();
  m_model.SetEnableBoundary(STM_BOUNDARY_INNER, 2, 0);
  m_model.SetEnableBoundary(STM_BOUNDARY_OUTER, 1, 0);
  EXPECT_NE(Check().find("boundary 1 (type 0): drawn but disabled"), std::string::npos) << Check();
  m_model.SetEnableBoundary(STM_BOUNDARY_OUTER, 1, 1);

  m_model.AddElement(1, 3, SStmPropElement(0, 2, 0.0));
  m_model.AddPropertyArea({1, 2, 3});
  EXPECT_NE(Check().find("area 1: enabled in the model but not in the scene"), std::string::npos) << Check();
}

TEST_F(CStmUbManagerCheckTest, ModelRecordsOnMissingOrDisabledNodesAndCoincidentNodesAreNamed) {
  m_model.AddSpring(3, CVector(1, 0, 1), CVector());
  m_model.AddBearingPlate(3, SStmPropBearingPlate{100.0, 10.0});
  m_model.AddRestraint(3, SStmDof{1, 0, 1, 0, 0, 0});
  m_model.SetEnableNode(3, 0);
  const std::string report = Check();
  for (const char* line : {"model element 2: end node 3 is disabled", "restraint 1: node 3 is disabled",
                           "spring 1: node 3 is disabled", "bearing plate 1: node 3 is disabled",
                           "load 1 of condition \"DL\": node 3 is disabled"})
    EXPECT_NE(report.find(line), std::string::npos) << line << " in\n" << report;
  m_model.SetEnableNode(3, 1);

  m_model.GetElement(1)->SetIdNodeEnd(9);
  EXPECT_NE(Check().find("model element 1: end node 9 is missing"), std::string::npos) << Check();
  m_model.GetElement(1)->SetIdNodeEnd(1);
  EXPECT_NE(Check().find("model element 1 joins node 1 to itself"), std::string::npos) << Check();
  m_model.GetElement(1)->SetIdNodeEnd(2);

  // Coincident within the tolerance, across a cell border, is still coincident.
  m_model.AddNode(CVector(40 + 5e-6, 0, -1e-5), -1);
  EXPECT_NE(Check().find("model nodes 2 and 4 coincide"), std::string::npos) << Check();
  m_model.GetNode(4)->SetCoord(CVector(40 + 2e-5, 0, 0));
  EXPECT_EQ(Check().find("coincide"), std::string::npos) << Check();
}

}  // namespace
