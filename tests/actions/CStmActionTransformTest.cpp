// The transform tools and the paste tool driven off screen with mouse messages at model points,
// typed values in their dialogs and keys: each edit leaves the scene as a rebuild from the model
// would make it. The undo and redo of moves, turns, mirrors and stretches are the random editing
// test's, which runs the same routines; mirrored copies, offset and paste are undone here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "actions/CStmActionMirror.h"
#include "actions/CStmActionMove.h"
#include "entities/CStmEntityNode.h"
#include "dialogs/CStmDlgAngle.h"
#include "dialogs/CStmDlgCoord.h"
#include "dialogs/CStmDlgMirror.h"
#include "dialogs/CStmDlgOffset.h"
#include "support/StmSavedModel.h"
#include "support/StmSceneFixture.h"

namespace {

constexpr long kSelect = 48, kMove = 61, kStretch = 62, kOffset = 64, kMirror = 65, kRotate = 66;

class CStmActionTransformTest : public StmSceneFixture {
protected:
  // Nodes at the points, then elements between the given node ids.
  void Build(const std::vector<CVector>& nodes, const std::vector<std::pair<int, int>>& elements) {
    for (const CVector& p : nodes) m_model.AddNode(p);
    for (const auto& [a, b] : elements) m_model.AddElement(a, b, SStmPropElement(1, 2, 0.5));
    m_manager.UpdateStmRenderer();
    FitView();
  }
  void Select(const std::set<int>& nodes, const std::set<int>& elements) { m_manager.SelectObject(nodes, elements); }
  // The tool run by its two points.
  void Run(long tool, const CVector& a, const CVector& b) {
    m_wnd.SetAction(tool, -1, 1);
    Click(a);
    Click(b);
  }

  // The enabled elements as "(x,z)-(x,z)" of their ends, in id order.
  std::vector<std::string> Elements() const {
    std::vector<std::string> out;
    const auto text = [](const CVector& p) { return "(" + Number(p.x) + "," + Number(p.z) + ")"; };
    for (const auto& [id, e] : m_model.GetElements()) {
      if (e->IsEnable()) out.push_back(text(e->GetCoordBegin()) + "-" + text(e->GetCoordEnd()));
    }
    return out;
  }
  static std::string Number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
  }

  // How many pixels between two model points a frame draws in the highlight colour.
  int PreviewPixels(const CVector& a, const CVector& b) {
    m_wnd.Render();
    const CVector& colour = m_wnd.GetHighlightColorLine();
    int count = 0;
    for (int i = 2; i <= 38; ++i) {
      const auto px = Pixel(At(a + (b - a) * (i / 40.0)));
      count += std::abs(px[0] - colour.x * 255) < 8 && std::abs(px[1] - colour.y * 255) < 8 &&
               std::abs(px[2] - colour.z * 255) < 8;
    }
    return count;
  }
};

// What a file could not take back never enters the model: a run that would carry a point past
// the coordinate limit is refused whole, with the value and the limit, and leaves no step.
TEST_F(CStmActionTransformTest, ARunThatWouldCarryAPointPastTheLimitChangesNothing) {
  Build({CVector(0, 0, 0), CVector(6e8, 0, 0), CVector(6e8, 0, 1e8)}, {{1, 2}});
  const std::string before = SaveModelBytes(m_model, "limit-before");
  for (const long tool : {kMove, kStretch, kMirror}) {
    SCOPED_TRACE(tool);
    Select({1, 2}, {1});
    // Moved or stretched by 6e8, or mirrored about the line through the far node: 1.2e9 out.
    Run(tool, tool == kMirror ? CVector(6e8, 0, 0) : CVector(0, 0, 0),
        tool == kMirror ? CVector(6e8, 0, 1e8) : CVector(6e8, 0, 0));
    ASSERT_FALSE(m_host.m_statusTexts.empty());
    // The manager's words, last on the status line, after the selection tool's prompt.
    EXPECT_EQ(m_host.m_statusTexts.back(), CStmUbManager::BeyondLimitsText({CVector(1.2e9, 0, 0)}));
    EXPECT_EQ(m_wnd.GetActionTypeCur(), kSelect);
  }
  m_manager.Copy();
  EXPECT_FALSE(m_manager.Paste(CVector(6e8, 0, 0)));
  EXPECT_EQ(m_manager.GetUndoCount(), 0);
  EXPECT_EQ(FirstDifference(before, SaveModelBytes(m_model, "limit-after")), "");
}

TEST_F(CStmActionTransformTest, AMovedSelectionMergesWithTheNodesItLandsOnAndEscLeavesNoStep) {
  // Element 1 from node 1 to node 2; free nodes 3 and 4 forty units above them; node 5 free.
  Build({CVector(0, 0, 0), CVector(40, 0, 0), CVector(0, 0, 40), CVector(40, 0, 40), CVector(80, 0, 0)}, {{1, 2}});
  const std::string before = SaveModelBytes(m_model, "move-before");

  // Esc between the two points leaves nothing behind.
  Select({1}, {1});
  m_wnd.SetAction(kMove, -1, 1);
  Click(CVector(0, 0, 0));
  EXPECT_EQ(m_manager.GetAction(kMove)->GetStep(), 1);
  m_wnd.OnKeyDown(VK_ESCAPE, 1, 0);
  EXPECT_EQ(m_wnd.GetActionTypeCur(), kSelect);
  EXPECT_EQ(m_manager.GetUndoCount(), 0);
  EXPECT_EQ(FirstDifference(before, SaveModelBytes(m_model, "move-escaped")), "");

  // The element and its own begin node, moved up by a base and a target point: the node goes
  // once, with the element, and both ends merge with the nodes waiting there.
  Select({1}, {1});
  m_wnd.SetAction(kMove, -1, 1);
  Click(CVector(0, 0, 0));
  // While the target is picked, a preview shows the element where it would go.
  EXPECT_EQ(PreviewPixels(CVector(0, 0, 40), CVector(40, 0, 40)), 0);
  CPoint target = At(CVector(0, 0, 40));
  m_wnd.OnMouseMove(0, target);
  EXPECT_GT(PreviewPixels(CVector(0, 0, 40), CVector(40, 0, 40)), 5);
  Click(CVector(0, 0, 40));
  EXPECT_EQ(m_wnd.GetActionTypeCur(), kSelect);
  EXPECT_EQ(Elements(), (std::vector<std::string>{"(0,40)-(40,40)"}));
  EXPECT_EQ(m_model.GetCountNode(1), 3);
  EXPECT_EQ(m_manager.GetUndoCount(), 1);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());

  // A free node moved onto the middle of the element cuts it in two.
  Select({5}, {});
  Run(kMove, CVector(80, 0, 0), CVector(20, 0, 40));
  EXPECT_EQ(Elements(), (std::vector<std::string>{"(0,40)-(20,40)", "(20,40)-(40,40)"}));
  EXPECT_EQ(m_model.GetElement(2)->GetProperty().nTypeMember, 1);
}

TEST_F(CStmActionTransformTest, FreeNodesMovedByTheirSpacingAllMoveBeforeAnyMerges) {
  Build({CVector(0, 0, 0), CVector(40, 0, 0), CVector(0, 0, 40)}, {});
  Select({1, 2}, {});
  Run(kMove, CVector(0, 0, 0), CVector(40, 0, 0));
  // Node 1 lands where node 2 was only after node 2 has left.
  EXPECT_EQ(m_model.GetCountNode(1), 3);
  EXPECT_EQ(m_model.GetNode(1)->GetCoord(), CVector(40, 0, 0));
  EXPECT_EQ(m_model.GetNode(2)->GetCoord(), CVector(80, 0, 0));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
}

TEST_F(CStmActionTransformTest, StretchMovesSelectedNodesWithTheirElementsAndLeavesSelectedElements) {
  Build({CVector(0, 0, 0), CVector(40, 0, 0), CVector(40, 0, 40)}, {{1, 2}, {2, 3}});
  // Only elements selected: nothing to stretch.
  Select({}, {1});
  Run(kStretch, CVector(40, 0, 0), CVector(40, 0, 40));
  EXPECT_EQ(m_manager.GetUndoCount(), 0);
  EXPECT_EQ(m_wnd.GetActionTypeCur(), kSelect);

  Select({2}, {});
  Run(kStretch, CVector(40, 0, 0), CVector(0, 0, 0));
  // Node 2 landed on node 1: element 1 shrank to nothing and went; element 2 now starts at node 1.
  EXPECT_EQ(Elements(), (std::vector<std::string>{"(0,0)-(40,40)"}));
  EXPECT_EQ(m_manager.CheckConsistency(), CString());

  // From 0.1 by 199.9 is 200.00000000000003 in doubles: the node lands on the 200 picked, and
  // undo puts it back on 0.1, both to the bit (stretch and move alike).
  for (const bool stretch : {true, false}) {
    const CVector from(0.1, 0, stretch ? 500 : 600), to(200, 0, stretch ? 500 : 600);
    Build({from}, {});
    const int id = m_model.GetCountNode(0);
    Select({id}, {});
    CStmEntityNode* node = m_manager.GetEntNode(from, nullptr);
    ASSERT_NE(node, nullptr);
    if (stretch) {
      m_manager.StretchNodes({node}, from, to);
    } else {
      CStmActionMove::MoveSelection(m_manager, CStmActionMove::GetSelection(m_manager), to - from);
    }
    EXPECT_EQ(m_model.GetNode(id)->GetCoord(), to) << stretch;
    m_manager.Undo();
    EXPECT_EQ(m_model.GetNode(id)->GetCoord(), from) << stretch;
    EXPECT_EQ(m_manager.CheckConsistency(), CString());
  }
}

// The exact quarter turn typed into the angle dialog: the Qt tool stories.
TEST_F(CStmActionTransformTest, EscInTheAngleDialogCancelsTheTurn) {
  Build({CVector(0, 0, 0), CVector(10, 0, 0)}, {{1, 2}});
  Select({}, {1});
  m_wnd.SetAction(kRotate, -1, 1);
  Click(CVector(0, 0, 0));
  CStmDlgAngle* dlg = m_manager.GetDlgAngle();
  ASSERT_NE(dlg, nullptr);
  ASSERT_TRUE(dlg->IsWindowVisible());
  dlg->SendKey(VK_ESCAPE);
  EXPECT_EQ(m_wnd.GetActionTypeCur(), kSelect);
  EXPECT_FALSE(dlg->IsWindowVisible());
  EXPECT_EQ(m_manager.GetUndoCount(), 0);
}

TEST_F(CStmActionTransformTest, MirrorByCopyAddsExactImagesOnceAndCancelChangesNothing) {
  // The mirror line runs through nodes 1 and 2 at x = 0.
  Build({CVector(0, 0, 0), CVector(0, 0, 40), CVector(10, 0, 0), CVector(30, 0, 10)}, {{3, 4}});
  const std::string before = SaveModelBytes(m_model, "mirror-before");
  const auto mirror = [&](bool copy, bool answer) {
    Select({}, {1});
    m_wnd.SetAction(kMirror, -1, 1);
    if (answer) {
      m_host.QueueDialog([copy](CDialog& d) {
        auto& question = dynamic_cast<CStmDlgMirror&>(d);
        question.OnClicked(copy ? CStmDlgMirror::IDC_COPY : CStmDlgMirror::IDC_MOVE);
        return question.GetResult();
      });
    }
    Click(CVector(0, 0, 0));
    Click(CVector(0, 0, 40));
    EXPECT_EQ(m_wnd.GetActionTypeCur(), kSelect);
  };
  mirror(true, false);
  EXPECT_EQ(m_manager.GetUndoCount(), 0);
  // Cancelled, it keeps the selection, ready to be mirrored after all.
  std::vector<CStmObjElement*> selected;
  m_manager.GetSelectedElementObjects(selected);
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(selected[0]->GetId(), 1);
  EXPECT_EQ(m_manager.GetSelectMap().GetCount(), 1);

  mirror(true, true);
  EXPECT_EQ(Elements(), (std::vector<std::string>{"(10,0)-(30,10)", "(-10,0)-(-30,10)"}));
  EXPECT_EQ(m_model.GetElement(2)->GetProperty().nTypeMember, 1);
  ASSERT_FALSE(m_host.m_messages.empty());
  EXPECT_EQ(m_host.m_messages.back().message, WM_USER + 2u);
  EXPECT_EQ(m_host.m_messages.back().wParam, 111u);
  ExpectUndoRedoExact(before, "mirror");
  // The image is there already, so a second copy adds nothing.
  const int undo = m_manager.GetUndoCount();
  mirror(true, true);
  EXPECT_EQ(m_model.GetCountElement(1), 2);
  EXPECT_EQ(m_manager.GetUndoCount(), undo);
}

TEST_F(CStmActionTransformTest, OffsetCopiesFallOnTheClickedSideAtEachDistanceAndBadEntriesChangeNothing) {
  Build({CVector(0, 0, 0), CVector(40, 0, 0)}, {{1, 2}});
  const std::string before = SaveModelBytes(m_model, "offset-before");
  Select({}, {1});
  m_wnd.SetAction(kOffset, -1, 1);
  CStmDlgOffset* dlg = m_manager.GetDlgOffset();
  ASSERT_NE(dlg, nullptr);
  ASSERT_TRUE(dlg->IsWindowVisible());
  // Not a number: said in a message box, and the click makes nothing.
  dlg->SetDlgItemText(CStmDlgOffset::IDC_DISTANCE, "half");
  Click(CVector(20, 0, -10));
  ASSERT_EQ(m_host.m_boxes.size(), 1u);
  dlg->SetDlgItemText(CStmDlgOffset::IDC_DISTANCE, "0.5");
  dlg->SetDlgItemText(CStmDlgOffset::IDC_ITERATIONS, "0");
  Click(CVector(20, 0, -10));
  ASSERT_EQ(m_host.m_boxes.size(), 2u);
  EXPECT_EQ(m_manager.GetUndoCount(), 0);

  dlg->SetDlgItemText(CStmDlgOffset::IDC_ITERATIONS, "3");
  Click(CVector(20, 0, -10));
  EXPECT_EQ(m_wnd.GetActionTypeCur(), kSelect);
  EXPECT_FALSE(dlg->IsWindowVisible());
  EXPECT_EQ(Elements(), (std::vector<std::string>{"(0,0)-(40,0)", "(0,-0.5)-(40,-0.5)", "(0,-1)-(40,-1)",
                                                 "(0,-1.5)-(40,-1.5)"}));
  EXPECT_EQ(m_model.GetElement(4)->GetProperty().dWidth, 0.5);
  ExpectUndoRedoExact(before, "offset");

  // The other side of the element.
  Select({}, {1});
  m_wnd.SetAction(kOffset, -1, 1);
  dlg->SetDlgItemText(CStmDlgOffset::IDC_ITERATIONS, "1");
  Click(CVector(20, 0, 10));
  EXPECT_EQ(Elements().back(), "(0,0.5)-(40,0.5)");
}

}  // namespace
