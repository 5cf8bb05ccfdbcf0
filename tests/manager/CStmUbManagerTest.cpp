// The scene manager against real models and an off-screen window: rebuilds, lookups, the
// registry hooks with undo, selection by ids and combinations as loads.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityGuideline.h"
#include "entities/CStmEntityNode.h"
#include "host/model/CStmModelFile.h"
#include "support/StmSceneFixture.h"

namespace {

using Kind = CUbEntityObj::TYPE_ENTITY_OBJ;
Kind KindOf(int k) { return static_cast<Kind>(k); }

class CStmUbManagerTest : public StmSceneFixture {
protected:
  // A row of nodes 20 apart along x at z = 0, all inside the default view.
  void AddRow(int count) {
    for (int i = 0; i < count; ++i) m_model.AddNode(CVector(-40.0 + 20.0 * i, 0.0, 0.0));
  }
  CStmObjElement* Join(int a, int b) { return m_model.AddElement(a, b, SStmPropElement(0, 2, 0.0)); }
};

TEST_F(CStmUbManagerTest, RebuildFromEachExampleMirrorsEnabledRecordsInOrderAndLeavesTheModelAlone) {
  int examples = 0;
  for (const auto& file : std::filesystem::directory_iterator(std::string(STM_SOURCE_DIR) + "/examples")) {
    if (file.path().string().find(".stm.json") == std::string::npos) continue;
    ++examples;
    CStmModel model;
    std::string error;
    ASSERT_TRUE(CStmModelFile::Load(file.path().string(), model, &error)) << error;
    std::string before, after;
    ASSERT_TRUE(CStmModelFile::ToText(model, before, &error));

    m_manager.SetStmModel(&model);
    m_manager.AddEtt(new CStmEntityGuideline(&m_manager, 0, CVector(), CVector(0, 0, 1)), 0, 1);
    m_manager.UpdateStmRenderer();
    ASSERT_TRUE(CStmModelFile::ToText(model, after, &error));
    EXPECT_EQ(before, after) << file.path();
    EXPECT_EQ(model.GetStmModifiedFlag(), 0);
    EXPECT_EQ(m_manager.GetUndoCount(), 0);

    int elements = 0;
    for (const auto& [id, e] : model.GetElements())
      if (e->IsEnable() && model.GetNode(e->GetIdNodeBegin()) && model.GetNode(e->GetIdNodeEnd())) ++elements;
    EXPECT_EQ(m_manager.GetCount(KindOf(109)),
              model.GetCountBoundary(STM_BOUNDARY_OUTER, 1) + model.GetCountBoundary(STM_BOUNDARY_INNER, 1));
    EXPECT_EQ(m_manager.GetCount(KindOf(114)), model.GetCountPropertyArea(1));
    EXPECT_EQ(m_manager.GetCount(KindOf(110)), model.GetCountNode(1));
    EXPECT_EQ(m_manager.GetCount(KindOf(111)), elements);
    // Registry order: boundaries, areas, nodes, elements, after the surviving guidelines.
    std::vector<int> order;
    for (const auto& entry : m_manager.GetEttMap())
      if (entry.second->GetTypeEntity() != 113) order.push_back(entry.second->GetTypeEntity());
    const int rank[] = {0, 3, 4, 0, 0, 2};  // by kind - 109
    for (size_t i = 1; i < order.size(); ++i) EXPECT_LE(rank[order[i - 1] - 109], rank[order[i] - 109]);
    EXPECT_GE(m_manager.GetCount(KindOf(113)), 1);
    m_manager.RemoveAllStm();
  }
  EXPECT_EQ(examples, 3);
  m_manager.SetStmModel(&m_model);
}

TEST_F(CStmUbManagerTest, RebuildSkipsDisabledNodesAndElementsWithAMissingNode) {
  AddRow(4);
  Join(1, 2);
  Join(2, 3)->SetIdNodeEnd(99);
  Join(3, 4);
  m_model.SetEnableNode(4, 0);
  m_model.SetEnableElement(3, 0);
  m_manager.UpdateStmRenderer();
  EXPECT_EQ(m_manager.GetCount(KindOf(110)), 3);
  EXPECT_EQ(m_manager.GetCount(KindOf(111)), 1);
  EXPECT_NE(m_manager.GetEntElement(1), nullptr);
  EXPECT_EQ(m_manager.GetEntNode(4), nullptr);
}

TEST_F(CStmUbManagerTest, LookupsMatchWithinToleranceElementsEitherWayGuidelinesOneWay) {
  AddRow(3);
  Join(1, 2);
  m_manager.UpdateStmRenderer();
  const CVector a(-40, 0, 0), b(-20, 0, 0);
  ASSERT_NE(m_manager.GetEntElement(1), nullptr);
  EXPECT_EQ(m_manager.GetEntElement(b, a, nullptr), m_manager.GetEntElement(1));
  EXPECT_EQ(m_manager.GetEntElement(a, b + CVector(0, 0, 2e-5), nullptr), nullptr);

  auto* guide = new CStmEntityGuideline(&m_manager, 2, a, b);
  m_manager.AddEtt(guide, 0, 1);
  EXPECT_EQ(m_manager.GetEntGuideline(a, b), guide);
  EXPECT_EQ(m_manager.GetEntGuideline(b, a), nullptr);
  EXPECT_EQ(m_manager.GetCountEntityInvolvedElement(b, 0), 1);
}

TEST_F(CStmUbManagerTest, ANodeComingBackRestoresTheLinkOfAnElementThroughIt) {
  AddRow(3);
  CStmObjElement* record = Join(1, 3);
  m_manager.UpdateStmRenderer();
  CStmEntityNode* middle = m_manager.GetEntNode(2);
  m_manager.DetachEtt(middle);
  m_manager.AddEtt(middle, 0, 1);
  EXPECT_EQ(record->GetIdNodeEnd(), 2);
  // Leaving, the element falls back to the enabled model node at its end point.
  m_manager.DeleteEtt(middle, 0, 0, 1);
  EXPECT_EQ(record->GetIdNodeEnd(), 3);
}

TEST_F(CStmUbManagerTest, SelectionByIdsRemembersThePreviousSelection) {
  AddRow(5);
  Join(1, 2);
  Join(2, 3);
  m_manager.UpdateStmRenderer();
  CStmEntityNode* first = m_manager.GetEntNode(1);
  m_manager.SelectEtt(first, 1);
  m_manager.SelectNewNode({3, 5, 42});
  std::vector<CStmObjNode*> nodes;
  m_manager.GetSelectedNodeObjects(nodes);
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_EQ(nodes[0]->GetId(), 3);
  EXPECT_EQ(nodes[1]->GetId(), 5);
  EXPECT_FALSE(first->IsSelection());
  EXPECT_EQ(m_manager.GetPreviousSelection(), std::vector<CString>{first->GetName()});

  m_manager.SelectObject({1}, {2});
  std::vector<CStmObjElement*> elements;
  m_manager.GetSelectedElementObjects(elements);
  ASSERT_EQ(elements.size(), 1u);
  EXPECT_EQ(elements[0]->GetId(), 2);
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 2);

  m_model.GetElement(2)->SetResultAxialForces({-5.0});
  std::vector<CStmObjElement*> struts, ties;
  m_manager.GetSelectedStrutTieObjects(STM_ELEMENT_STRUT, struts);
  m_manager.GetSelectedStrutTieObjects(STM_ELEMENT_TIE, ties);
  EXPECT_EQ(struts.size(), 1u);
  EXPECT_TRUE(ties.empty());
}

TEST_F(CStmUbManagerTest, CombinationsConvertRecursivelyAndDriveTheLoadMaximum) {
  AddRow(2);
  for (const char* name : {"A", "B"}) m_model.AddLoadConditionStatic(name);
  m_model.AddLoadNode("A", 1, CVector(0, 0, -10));
  m_model.AddLoadNode("B", 1, CVector(3, 0, 0));
  m_model.AddLoadNode("B", 2, CVector(0, -7, 0));
  m_model.AddLoadConditionCombo("C1");
  m_model.AddComboFactor("C1", "A", 0, 1.0);
  m_model.AddLoadConditionCombo("C2");
  m_model.AddComboFactor("C2", "C1", 1, 1.5);
  m_model.AddComboFactor("C2", "missing", 0, 2.0);

  CStmObjLoadConditionStatic converted;
  m_manager.GetConvertLoadCondition(m_model.GetLoadConditionCombo("C2"), converted);
  ASSERT_EQ(converted.GetLoadNodes().size(), 1u);
  const CStmObjLoadNode* load = converted.GetLoadNodes().begin()->second;
  EXPECT_EQ(load->GetIdNode(), 1);
  EXPECT_EQ(load->GetLoad(), CVector(0, 0, -15));

  m_manager.SetIndexLoadConditionLoad(3, -1);
  EXPECT_DOUBLE_EQ(m_manager.GetMaxForceOfStaticLoad(), 15.0);
  m_manager.SetIndexLoadConditionLoad(1, 0);
  EXPECT_DOUBLE_EQ(m_manager.GetMaxForceOfStaticLoad(), 3.0);
  m_manager.SetIndexLoadConditionLoad(-1, -1);
  EXPECT_DOUBLE_EQ(m_manager.GetMaxForceOfStaticLoad(), 10.0);
}

}  // namespace
