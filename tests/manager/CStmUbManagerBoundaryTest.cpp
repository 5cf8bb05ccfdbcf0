// Outlines and property areas made from chains of elements: the closed-chain test with what it
// marks, the replace-the-outer question, element membership, and undo and redo of each.
#include <gtest/gtest.h>

#include <vector>

#include "entities/CStmEntityArea.h"
#include "entities/CStmEntityBoundary.h"
#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "manager/StmDxfImportEdit.h"
#include "support/StmSceneFixture.h"

namespace {

class CStmUbManagerBoundaryTest : public StmSceneFixture {
protected:
  // Nodes 1-4 the square (0,0)-(40,40), 5-7 a triangle beside it; elements 1-4 the square's
  // sides in order, 5-7 the triangle's.
  void SetUp() override {
    StmSceneFixture::SetUp();
    for (const CVector& p : {CVector(0, 0, 0), CVector(40, 0, 0), CVector(40, 0, 40), CVector(0, 0, 40),
                             CVector(60, 0, 0), CVector(80, 0, 0), CVector(70, 0, 20)})
      m_model.AddNode(p);
    for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 4}, {4, 1}, {5, 6}, {6, 7}, {7, 5}})
      m_model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
    m_manager.UpdateStmRenderer();
    FitView();
  }

  int Closed(const std::vector<int>& ids, std::vector<CVector>& points) {
    std::vector<CStmObjElement*> elements;
    for (int id : ids) elements.push_back(m_model.GetElement(id));
    return m_manager.CheckLineClosed(elements, points);
  }

  void ExpectUndoRedoConsistent() {
    EXPECT_EQ(m_manager.CheckConsistency(), CString());
    ASSERT_EQ(m_manager.Undo(), 1);
    EXPECT_EQ(m_manager.CheckConsistency(), CString());
    ASSERT_EQ(m_manager.Redo(), 1);
    EXPECT_EQ(m_manager.CheckConsistency(), CString());
  }
};

TEST_F(CStmUbManagerBoundaryTest, TheClosedChainTestMarksOpenEndsCrossingsAndASecondLoop) {
  std::vector<CVector> points{CVector(9, 9, 9)};
  EXPECT_EQ(Closed({1, 2}, points), 0);
  EXPECT_EQ(points.size(), 1u);  // too few to judge: nothing marked

  points.clear();
  EXPECT_EQ(Closed({4, 2, 3, 1}, points), 1);
  EXPECT_EQ(points.size(), 4u);

  points.clear();
  EXPECT_EQ(Closed({1, 2, 3}, points), 0);
  EXPECT_EQ(points, (std::vector<CVector>{CVector(0, 0, 0), CVector(0, 0, 40)}));

  points.clear();
  EXPECT_EQ(Closed({1, 2, 3, 4, 5, 6, 7}, points), 0);
  EXPECT_EQ(points.size(), 7u);
  // A loop that crosses itself: the outline tool's refusal, which marks its corners and crossing.
}

TEST_F(CStmUbManagerBoundaryTest, OutlinesAndAreasFromPolygonsOrElementsAndTheBoxesOfPointsAndEntities) {
  const std::vector<CVector> square{CVector(-10, 0, -10), CVector(50, 0, -10), CVector(50, 0, 50), CVector(-10, 0, 50)};
  CStmEntityBoundary* outer = m_manager.AddBoundary(STM_BOUNDARY_OUTER, square, 1, 1);
  ASSERT_TRUE(outer);
  EXPECT_GT(outer->GetIdStm(), 0);
  EXPECT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);
  EXPECT_EQ(m_model.GetBoundary(STM_BOUNDARY_OUTER, -1), square);
  ExpectUndoRedoConsistent();

  // An area by its polygon stays in the scene: the model's areas are made of elements.
  CStmEntityArea* area = m_manager.AddAreaByPos({CVector(0, 0, 0), CVector(10, 0, 0), CVector(0, 0, 10)}, 1, 0);
  ASSERT_TRUE(area);
  EXPECT_EQ(area->GetAreaPosArray().size(), 3u);
  EXPECT_EQ(m_model.GetCountPropertyArea(1), 0);

  CVector min(7, 7, 7), max(7, 7, 7);
  m_manager.GetBoundary(CVectorArray(), min, max);
  EXPECT_EQ(min, CVector(7, 7, 7));
  CVectorArray one;
  one.Add(CVector(-1, 0, -2));
  m_manager.GetBoundary(one, min, max);
  EXPECT_EQ(min, CVector(-1, 0, -2));
  EXPECT_EQ(max, CVector(-1, 0, -2));

  // Nodes and element ends count; the outline around them does not.
  std::vector<CUbEntityObj*> entities{m_manager.GetEntNode(7), m_manager.GetEntElement(1), outer};
  m_manager.GetBoundaryOfNodeAndElement(entities, min, max);
  EXPECT_EQ(min, CVector(0, 0, 0));
  EXPECT_EQ(max, CVector(70, 0, 20));
  m_manager.GetBoundaryOfNodeAndElement(std::vector<CUbEntityObj*>{}, min, max);
  EXPECT_EQ(max, CVector(70, 0, 20));

  // An area from elements takes the chain's polygon into the model.
  CStmEntityArea* chained = m_manager.AddAreaByElement({5, 6, 7}, 1, 1);
  ASSERT_TRUE(chained);
  EXPECT_GT(chained->GetIdStm(), 0);
  EXPECT_EQ(chained->GetAreaPosArray().size(), 3u);
  EXPECT_EQ(m_model.GetCountPropertyArea(1), 1);
}

TEST_F(CStmUbManagerBoundaryTest, ADxfDrawingIsOneUndoStepAndASecondOuterOutlineIsRefused) {
  SStmDxfDrawing drawing;
  std::string error;
  ASSERT_TRUE(StmReadDxf(std::string(STM_SOURCE_DIR) + "/tests/data/dxf/two-openings-guides.dxf", SStmDxfOptions(),
                         drawing, error))
      << error;
  ASSERT_TRUE(StmImportDxfDrawing(m_manager, drawing, error)) << error;
  EXPECT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);
  EXPECT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_INNER, 1), 2);
  EXPECT_EQ(m_model.GetBoundary(STM_BOUNDARY_OUTER, -1).front().y, 0.0) << "in the model's x-z plane";
  const int steps = m_manager.GetUndoCount();
  ExpectUndoRedoConsistent();

  EXPECT_FALSE(StmImportDxfDrawing(m_manager, drawing, error));
  EXPECT_EQ(m_manager.GetUndoCount(), steps);
  EXPECT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_INNER, 1), 2);
  ASSERT_EQ(m_manager.Undo(), 1);
  EXPECT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_OUTER, 1) + m_model.GetCountBoundary(STM_BOUNDARY_INNER, 1), 0);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
}

TEST_F(CStmUbManagerBoundaryTest, AnOuterOutlineFromElementsAndItsReplacementAskFirstAndUndo) {
  CStmEntityBoundary* outer = m_manager.AddBoundaryByElement(STM_BOUNDARY_OUTER, {1, 2, 3, 4}, 1, 1);
  ASSERT_TRUE(outer);
  EXPECT_GT(outer->GetIdStm(), 0);
  EXPECT_EQ(outer->GetBoundaryArray().size(), 4u);
  EXPECT_TRUE(m_host.m_boxes.empty());
  for (int id = 1; id <= 4; ++id) EXPECT_EQ(m_manager.GetEntElement(id)->GetTypeElement(), 1) << id;
  EXPECT_EQ(m_manager.GetEntElement(5)->GetTypeElement(), 0);

  // A second outer outline asks; No keeps everything as it was.
  const int undo = m_manager.GetUndoCount();
  m_host.QueueAnswer(IDNO);
  EXPECT_EQ(m_manager.AddBoundaryByElement(STM_BOUNDARY_OUTER, {5, 6, 7}, 1, 1), nullptr);
  ASSERT_EQ(m_host.m_boxes.size(), 1u);
  EXPECT_EQ(m_manager.GetUndoCount(), undo);
  EXPECT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);

  m_host.QueueAnswer(IDYES);
  CStmEntityBoundary* replaced = m_manager.AddBoundaryByElement(STM_BOUNDARY_OUTER, {5, 6, 7}, 1, 1);
  ASSERT_TRUE(replaced);
  EXPECT_EQ(m_model.GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);
  EXPECT_EQ(m_manager.GetEntElement(1)->GetTypeElement(), 0);
  EXPECT_EQ(m_manager.GetEntElement(5)->GetTypeElement(), 1);
  ASSERT_EQ(m_manager.Undo(), 1);
  EXPECT_EQ(m_manager.GetEntElement(1)->GetTypeElement(), 1);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
}

}  // namespace
