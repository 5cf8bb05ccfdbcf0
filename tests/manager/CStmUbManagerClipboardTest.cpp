// Cut, copy and paste through the scene manager against a real model and an off-screen window:
// what the clipboard takes along, where the content lands, reuse of what is already there,
// supports carried over and one undo step per paste. (The clipboard keys: the session tests.)
#include <gtest/gtest.h>

#include "entities/CStmEntityElement.h"
#include "support/StmSceneFixture.h"

namespace {

class CStmUbManagerClipboardTest : public StmSelectingFixture {
protected:
  int Draw(const CVector& a, const CVector& b) { return m_manager.AddElement(a, b, 1, 1, 1, nullptr)->GetIdStm(); }
  int NodeAt(const CVector& p) const {
    const CStmObjNode* node = m_model.GetNode(p);
    return node ? node->GetId() : -1;
  }
  int Nodes() const { return m_model.GetCountNode(1); }
  int Elements() const { return m_model.GetCountElement(1); }
};

TEST_F(CStmUbManagerClipboardTest, AnElementTakesItsNodesAndLandsOnWhatIsAlreadyThere) {
  const int element = Draw(CVector(-40, 0, 0), CVector(-10, 0, 0));
  EXPECT_EQ(m_manager.IsCopiedData(), 0);
  m_manager.SelectNewElement({element});
  m_manager.Copy();
  EXPECT_EQ(m_manager.IsCopiedData(), 1);
  EXPECT_EQ(m_manager.GetCoordPasteOrigin(), CVector(-40, 0, 0));

  // The copy's begin lands on the original's end node, which is reused.
  m_manager.Paste(CVector(-10, 0, 0));
  EXPECT_EQ(Nodes(), 3);
  EXPECT_EQ(Elements(), 2);
  const CStmObjElement* pasted = m_model.GetElement(2);
  ASSERT_NE(pasted, nullptr);
  EXPECT_EQ(pasted->GetIdNodeBegin(), NodeAt(CVector(-10, 0, 0)));
  EXPECT_EQ(pasted->GetIdNodeEnd(), NodeAt(CVector(20, 0, 0)));
}

TEST_F(CStmUbManagerClipboardTest, APasteAlongCollinearElementsReusesThemPieceByPiece) {
  const int post = Draw(CVector(-40, 0, 0), CVector(-40, 0, 40));
  // At x = 0 the same post, cut in two where a beam meets it half-way; at x = 60 its lower half.
  Draw(CVector(0, 0, 0), CVector(0, 0, 40));
  Draw(CVector(0, 0, 20), CVector(30, 0, 20));
  Draw(CVector(60, 0, 0), CVector(60, 0, 20));
  m_manager.SelectNewElement({post});
  m_manager.Copy();
  const int nodes = Nodes(), elements = Elements();

  // Twice onto the two halves: both times nothing is laid over them.
  for (int i = 0; i < 2; ++i) {
    m_manager.Paste(CVector(0, 0, 0));
    EXPECT_EQ(Nodes(), nodes);
    EXPECT_EQ(Elements(), elements);
  }
  // Onto the lower half alone: only the upper half is added, from where the lower one ends.
  for (int i = 0; i < 2; ++i) {
    m_manager.Paste(CVector(60, 0, 0));
    EXPECT_EQ(Nodes(), nodes + 1);
    EXPECT_EQ(Elements(), elements + 1);
  }
  const CStmObjElement* upper = m_model.GetElement(m_model.GetElements().rbegin()->first);
  EXPECT_EQ(upper->GetIdNodeBegin(), NodeAt(CVector(60, 0, 20)));
  EXPECT_EQ(upper->GetIdNodeEnd(), NodeAt(CVector(60, 0, 40)));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
}

TEST_F(CStmUbManagerClipboardTest, ThePasteOriginIsTheLowestThenLeftmostNode) {
  for (const CVector& p : {CVector(20, 0, 0), CVector(0, 0, 0), CVector(20, 0, 10)})
    m_manager.AddNode(p, 1, 1, 1, 1, nullptr);
  m_manager.SelectNewNode({1, 2, 3});
  m_manager.Copy();
  EXPECT_EQ(m_manager.GetCoordPasteOrigin(), CVector(0, 0, 0));

  // Copying an empty selection leaves nothing to paste.
  m_manager.SelectNewNode({});
  m_manager.Copy();
  EXPECT_EQ(m_manager.IsCopiedData(), 0);
  EXPECT_EQ(m_manager.GetCoordPasteOrigin(), CVector());
}

TEST_F(CStmUbManagerClipboardTest, ContentSharingANodeIsPastedWithOneNodeAndItsSupports) {
  const int left = Draw(CVector(-40, 0, 0), CVector(-30, 0, 10));
  const int right = Draw(CVector(-30, 0, 10), CVector(-20, 0, 0));
  m_model.AddRestraint(NodeAt(CVector(-40, 0, 0)), SStmDof{1, 0, 1, 0, 0, 0});
  m_manager.SelectObject({NodeAt(CVector(-40, 0, 0))}, {left, right});
  m_manager.Copy();

  const int undoBefore = m_manager.GetUndoCount();
  m_manager.Paste(CVector(10, 0, 0));
  EXPECT_EQ(Nodes(), 6);
  EXPECT_EQ(Elements(), 4);
  const CStmObjRestraint* restraint = m_model.GetRestraintNode(NodeAt(CVector(10, 0, 0)), 1);
  ASSERT_NE(restraint, nullptr);
  EXPECT_EQ(restraint->GetDof().Uz, 1);
  EXPECT_EQ(m_model.GetRestraintNode(NodeAt(CVector(30, 0, 0)), 1), nullptr);

  // One paste is one undo step.
  EXPECT_EQ(m_manager.GetUndoCount(), undoBefore + 1);
}

}  // namespace
