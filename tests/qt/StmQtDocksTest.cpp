// The docks in a real window over a real scene, driven by mouse and keys: a property grid edit is
// one undo step that leaves the scene equal to a rebuild, bad input changes nothing, several nodes
// edit together, the History list walks the undo history, and the tree and scene share one selection.
#include <gtest/gtest.h>

#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QTest>
#include <QTreeView>

#include <memory>

#include "CStmQtDocks.h"
#include "StmQtGridInput.h"
#include "docks/CStmQtHistoryList.h"
#include "docks/CStmQtModelTree.h"
#include "docks/CStmQtPropertyGrid.h"
#include "host/platform/StmText.h"
#include "support/StmSavedModel.h"
#include "support/StmSceneFixture.h"

namespace {

class StmQtDocksTest : public StmGestureFixture {
protected:
  void SetUp() override {
    StmGestureFixture::SetUp();
    DrawFrame();
    ASSERT_EQ(m_manager.GetUndoCount(), 3);
    m_window.resize(1200, 900);
    m_docks = std::make_unique<CStmQtDocks>(m_window, m_manager, m_model);
    m_window.show();
    m_window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    for (QDockWidget* dock : m_docks->Docks()) {
      EXPECT_FALSE(dock->objectName().isEmpty());
      EXPECT_TRUE(dock->features() & QDockWidget::DockWidgetClosable);
      EXPECT_TRUE(dock->features() & QDockWidget::DockWidgetMovable);
    }
  }

  void Select(const std::set<int>& nodes, const std::set<int>& elements) {
    m_manager.SelectObject(nodes, elements);
    m_docks->Refresh();
  }

  QString Shown(const QString& group, const QString& name) const {
    return m_docks->GetProperties()->FindValue(group, name).data().toString();
  }

  QMainWindow m_window;
  std::unique_ptr<CStmQtDocks> m_docks;
};

TEST_F(StmQtDocksTest, GridEditIsOneStepBadInputChangesNothingAndTreeAndSceneShareTheSelection) {
  Select({2}, {});
  EXPECT_EQ(Shown("Nodes", "x"), "0");
  // Every field shows its unit: the coordinate in the model's length unit.
  const QModelIndex x = m_docks->GetProperties()->FindValue("Nodes", "x");
  EXPECT_FALSE(x.siblingAtColumn(CStmQtPropertyModel::kColumnUnit).data().toString().isEmpty());

  const std::string before = SaveModelBytes(m_model, "qt-grid-before");
  TypeInGrid(*m_docks->GetProperties(), "Nodes", "x", "25");
  EXPECT_EQ(m_manager.GetUndoCount(), 4);
  EXPECT_DOUBLE_EQ(m_model.GetNode(2)->GetCoord().x, 25.0);
  EXPECT_EQ(Shown("Nodes", "x"), "25");
  // The step reads in the History as what the grid did.
  ASSERT_EQ(m_docks->GetHistory()->count(), 5);
  EXPECT_TRUE(m_docks->GetHistory()->item(4)->text().contains(QString::fromUtf8(StmText("Moved to the typed coordinate").c_str())));
  ExpectUndoRedoExact(before, "qt-grid");

  // Refused at the cell with the reason; the model, the history and the cell keep their values.
  const std::string edited = SaveModelBytes(m_model, "qt-grid-edited");
  TypeInGrid(*m_docks->GetProperties(), "Nodes", "z", "sixty");
  EXPECT_EQ(FirstDifference(edited, SaveModelBytes(m_model, "qt-grid-refused")), "");
  EXPECT_EQ(m_manager.GetUndoCount(), 4);
  EXPECT_EQ(Shown("Nodes", "z"), "60");
  const auto* message = m_window.findChild<QLabel*>("propertyMessage");
  ASSERT_NE(message, nullptr);
  EXPECT_TRUE(message->text().contains("sixty")) << message->text().toStdString();
  EXPECT_EQ(m_manager.CheckConsistency(), CString());

  // The tree and the scene share one selection.
  CStmQtModelTree* tree = m_docks->GetModelTree();
  CStmQtModelTreeModel* model = tree->GetModel();
  QTreeView* view = tree->GetView();
  const QModelIndex nodes = model->index(CStmQtModelTreeModel::kNodes, 0);
  ASSERT_EQ(model->rowCount(nodes), 4);
  ASSERT_EQ(model->rowCount(model->index(CStmQtModelTreeModel::kElements, 0)), 3);
  view->expand(nodes);
  const QModelIndex third = model->index(model->RowOf(CStmQtModelTreeModel::kNodes, 3), 0, nodes);
  view->scrollTo(third);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(third).center());
  std::vector<CStmObjNode*> picked;
  m_manager.GetSelectedNodeObjects(picked);
  ASSERT_EQ(picked.size(), 1u);
  EXPECT_EQ(picked[0]->GetId(), 3);
  // Properties follows the tree.
  EXPECT_EQ(Shown("Nodes", "x"), "80");

  // And the tree follows the scene.
  Select({}, {1, 3});
  std::set<int> shown;
  for (const QModelIndex& index : view->selectionModel()->selectedIndexes()) {
    EXPECT_EQ(model->GroupOf(index), CStmQtModelTreeModel::kElements);
    shown.insert(model->IdAt(index));
  }
  EXPECT_EQ(shown, (std::set<int>{1, 3}));
}

TEST_F(StmQtDocksTest, TwoNodesEditTogetherLoadsIncluded) {
  Select({2, 3}, {});
  // They share z but not x.
  EXPECT_EQ(Shown("Nodes", "z"), "60");
  EXPECT_EQ(Shown("Nodes", "x"), "mixed");
  TypeInGrid(*m_docks->GetProperties(), "Nodes", "z", "70");
  EXPECT_EQ(m_manager.GetUndoCount(), 4);
  EXPECT_DOUBLE_EQ(m_model.GetNode(2)->GetCoord().z, 70.0);
  EXPECT_DOUBLE_EQ(m_model.GetNode(3)->GetCoord().z, 70.0);
  EXPECT_DOUBLE_EQ(m_model.GetNode(3)->GetCoord().x, 80.0);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  ASSERT_EQ(m_manager.Undo(), 1);
  EXPECT_DOUBLE_EQ(m_model.GetNode(2)->GetCoord().z, 60.0);
  EXPECT_DOUBLE_EQ(m_model.GetNode(3)->GetCoord().z, 60.0);

  // A case named in the grid gets a load row, and one load typed there goes on both nodes.
  TypeInGrid(*m_docks->GetProperties(), "Load cases", "New load case", "DL");
  ASSERT_NE(m_model.GetLoadConditionStatic("DL"), nullptr);
  TypeInGrid(*m_docks->GetProperties(), "Nodes", "Load DL z", "-5");
  EXPECT_EQ(m_manager.GetUndoCount(), 5);
  EXPECT_EQ(m_model.GetLoadConditionStatic("DL")->GetLoadNodes().size(), 2u);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  // Deleting the case takes its loads with it, as one step.
  CStmQtPropertyGrid* grid = m_docks->GetProperties();
  ASSERT_TRUE(grid->GetModel()->Remove(grid->FindValue("Load cases", "Load case")));
  for (int turn = 0; turn < 4; ++turn) QTest::qWait(20);
  EXPECT_EQ(m_model.GetLoadConditionStatic("DL"), nullptr);
  EXPECT_EQ(m_manager.GetUndoCount(), 6);
  EXPECT_FALSE(grid->FindValue("Nodes", "Load DL z").isValid());
}

TEST_F(StmQtDocksTest, HistoryClickGoesBackAndForth) {
  auto* history = m_docks->GetHistory();
  // The model as opened, then the three steps, the last one current.
  ASSERT_EQ(history->count(), 4);
  EXPECT_EQ(history->currentRow(), 3);
  EXPECT_TRUE(history->item(1)->text().contains("Add element")) << history->item(1)->text().toStdString();
  int moved = -1;
  QObject::connect(m_docks.get(), &CStmQtDocks::HistoryMoved, [&moved](int depth) { moved = depth; });
  const std::string all = SaveModelBytes(m_model, "qt-history-all");

  QTest::mouseClick(history->viewport(), Qt::LeftButton, {}, history->visualItemRect(history->item(1)).center());
  EXPECT_EQ(m_manager.GetUndoCount(), 1);
  EXPECT_EQ(m_manager.GetRedoCount(), 2);
  EXPECT_EQ(moved, 1);
  EXPECT_EQ(m_model.GetCountElement(1), 1);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  // Undone steps stay in the list to be redone.
  ASSERT_EQ(history->count(), 4);
  EXPECT_EQ(history->currentRow(), 1);

  QTest::mouseClick(history->viewport(), Qt::LeftButton, {}, history->visualItemRect(history->item(3)).center());
  EXPECT_EQ(m_manager.GetUndoCount(), 3);
  EXPECT_EQ(m_manager.CheckConsistency(), CString());
  EXPECT_EQ(FirstDifference(all, SaveModelBytes(m_model, "qt-history-redone")), "");
}

}  // namespace
