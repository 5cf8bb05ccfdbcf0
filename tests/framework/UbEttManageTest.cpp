// The entity container: keys, ownership and the undo history, all without GL. That undo and redo
// give back exact states the random editing test checks through the layer after every gesture.
#include <gtest/gtest.h>

#include <vector>

#include "TestSegmentEntity.h"
#include "host/framework/CUbManage.h"

namespace {

using Kind = CUbEntityObj::TYPE_ENTITY_OBJ;
constexpr Kind kSeg = static_cast<Kind>(CTestSegmentEntity::kKind);

CTestSegmentEntity* AddSeg(CUbEttManage& m, CVector a, CVector b, int record = 0) {
  auto* e = new CTestSegmentEntity(&m, a, b);
  EXPECT_EQ(m.AddEtt(e, record, 1), 1);
  return e;
}

}  // namespace

TEST(UbEttManage, KeysSortInCreationOrderAndSurviveUndoRedo) {
  CUbManage m;
  std::vector<CTestSegmentEntity*> made;
  for (int i = 0; i < 12; ++i) made.push_back(AddSeg(m, {double(i), 0, 0}, {double(i), 1, 0}));
  // Map order is creation order, past the point where a plain number would sort 10 before 9.
  int i = 0;
  for (const auto& entry : m.GetEttMap(kSeg)) EXPECT_EQ(entry.second, made[static_cast<size_t>(i++)]);
  EXPECT_EQ(m.GetCount(kSeg), 12);
  EXPECT_EQ(m.GetCount(CUbEntityObj::TYPE_ENTITY_ALL), 12);

  const CString key = made[9]->GetName();
  const auto handle = made[9]->GetHandle();
  m.SetHistoryStart();
  m.DeleteEtt(made[9], 0, 1, 1);
  m.SetHistoryEnd();
  EXPECT_EQ(m.GetEtt(key), nullptr);
  EXPECT_EQ(m.GetEttByHandle(handle), nullptr);
  ASSERT_TRUE(m.Undo());
  EXPECT_EQ(m.GetEtt(key), made[9]);
  EXPECT_EQ(made[9]->GetHandle(), handle);
  EXPECT_EQ(m.GetEttByHandle(handle), made[9]);
  ASSERT_TRUE(m.Redo());
  ASSERT_TRUE(m.Undo());
  EXPECT_EQ(m.GetEtt(key), made[9]);
  // It sorts back into its old place, and a new entity still sorts last.
  auto* late = AddSeg(m, {}, {1, 1, 0});
  std::vector<CUbEntityObj*> order;
  for (const auto& entry : m.GetEttMap()) order.push_back(entry.second);
  EXPECT_EQ(order[9], made[9]);
  EXPECT_EQ(order.back(), late);
}

TEST(UbEttManage, BracketsMakeOneStepAndEmptyOnesNone) {
  CUbManage m;
  auto* e = AddSeg(m, {0, 0, 0}, {1, 0, 0});
  m.SetHistoryStart();
  m.SetHistoryEnd();
  EXPECT_FALSE(m.CanUndo());

  m.SetHistoryStart();
  AddSeg(m, {0, 1, 0}, {1, 1, 0}, 1);
  m.SetHistoryStart();
  e->Move({1, 0, 0});
  m.AddHistory_ActionMoveAllPoint(e->GetName(), {1, 0, 0});
  m.SetHistoryStart();
  m.SetHistoryEnd();
  m.SetHistoryEnd();
  EXPECT_FALSE(m.CanUndo()) << "nothing to undo while a bracket is open";
  m.SetHistoryEnd();
  EXPECT_EQ(m.GetUndoCount(), 1);
  ASSERT_TRUE(m.Undo());
  EXPECT_EQ(m.GetCount(kSeg), 1);
  EXPECT_EQ(e->Begin(), CVector(0, 0, 0));
  EXPECT_FALSE(m.CanUndo());

  // A new step forgets what could be redone; a record outside a bracket is no step at all.
  m.AddHistory_ActionMoveAllPoint(e->GetName(), {5, 0, 0});
  EXPECT_TRUE(m.CanRedo());
  m.SetHistoryStart();
  m.AddHistory_ActionMirror(e->GetName(), {0, 0, 0}, {0, 1, 0});
  m.SetHistoryEnd();
  EXPECT_FALSE(m.CanRedo());
  // An unbalanced end is ignored.
  m.SetHistoryEnd();
  EXPECT_EQ(m.GetHistoryDepth(), 0);
  EXPECT_EQ(m.GetUndoCount(), 1);
}

TEST(UbEttManage, OwnershipOfRemovedEntities) {
  const int alive = CTestSegmentEntity::s_nAlive;
  {
    CUbManage m;
    auto* a = AddSeg(m, {}, {1, 0, 0});
    auto* b = AddSeg(m, {}, {2, 0, 0});
    auto* c = AddSeg(m, {}, {3, 0, 0});
    EXPECT_EQ(m.AddEtt(a, 0, 0), 0) << "already registered";
    EXPECT_EQ(m.AddEtt(nullptr, 0, 0), 0);

    // Unrecorded: destroyed at once; kept: handed back.
    m.DeleteEtt(a, 0, 1, 0);  // no bracket open, so not recorded
    EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive + 2);
    EXPECT_EQ(m.DeleteEtt(b, 1, 0, 0), 1);
    EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive + 2);
    EXPECT_EQ(m.DeleteEtt(b, 0, 0, 0), 0) << "no longer registered";
    delete b;

    // Recorded: the history holds it until it forgets the record.
    m.SetHistoryStart();
    m.DeleteEtt(c, 0, 1, 0);
    m.SetHistoryEnd();
    EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive + 1);
    m.ClearHistory();
    EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive);

    // An undone creation dies when a new step drops the redo.
    m.SetHistoryStart();
    AddSeg(m, {}, {4, 0, 0}, 1);
    m.SetHistoryEnd();
    m.Undo();
    EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive + 1);
    m.SetHistoryStart();
    AddSeg(m, {}, {5, 0, 0}, 1);
    m.SetHistoryEnd();
    EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive + 1);
    // The rest goes with the manager, history included.
    m.SetHistoryStart();
    m.DeleteEtt(m.GetEttMap().begin()->second, 0, 1, 0);
    m.SetHistoryEnd();
  }
  EXPECT_EQ(CTestSegmentEntity::s_nAlive, alive);
}

TEST(UbEttManage, SelectionForgetsRemovedEntities) {
  CUbManage m;
  auto* a = AddSeg(m, {}, {1, 0, 0});
  auto* b = AddSeg(m, {}, {2, 0, 0});
  m.SelectEtt(a, 1);
  m.SelectEtt(b, 1);
  m.GetHoverMap().SetAt(a->GetName(), a);
  m.SetHistoryStart();
  m.DeleteEtt(a, 0, 1, 0);
  m.SetHistoryEnd();
  EXPECT_EQ(m.GetSelectMap().GetCount(), 1);
  EXPECT_TRUE(m.GetHoverMap().IsEmpty());
  EXPECT_FALSE(a->IsSelection());
  m.Undo();
  EXPECT_EQ(m.GetSelectMap().GetCount(), 1) << "undo does not reselect";
  m.SelectRemoveAll();
  EXPECT_FALSE(b->IsSelection());
  EXPECT_TRUE(m.GetSelectMap().IsEmpty());

  EXPECT_EQ(m.DetachEtt(b), b);
  EXPECT_EQ(m.GetCount(kSeg), 1);
  delete b;
}

TEST(UbManage, CreatesEntitiesByClassName) {
  CUbManage m;
  CUbEntityObj* e = m.CreateEntityObj("CTestSegmentEntity");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->GetEttManage(), &m);
  EXPECT_EQ(e->GetTypeEntity(), CTestSegmentEntity::kKind);
  delete e;
  EXPECT_EQ(m.CreateEntityObj("CNoSuchEntity"), nullptr);
  EXPECT_EQ(m.CreateEntityObj("CObject"), nullptr) << "not an entity class";
}
