// The properties of the selection and the load cases as the panel edits them: each edit is one
// undo step that undo and redo give back exactly (saved file, scene and frame), bad input
// changes nothing, and a model finished through these edits is the one written by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "entities/CStmEntityElement.h"
#include "manager/CStmSelectionProperties.h"
#include "support/RenderCheck.h"
#include "support/StmGestureDriver.h"
#include "support/StmSavedModel.h"
#include "support/StmSceneFixture.h"

namespace {

using P = CStmSelectionProperties;

class CStmSelectionPropertiesTest : public StmGestureFixture {
protected:
  // The portal frame, with the load cases DL and LL and the combination ULS.
  void SetUp() override {
    StmGestureFixture::SetUp();
    DrawFrame();
    ASSERT_TRUE(m_props.AddCase(false, "DL"));
    ASSERT_TRUE(m_props.AddCase(false, "LL"));
    ASSERT_TRUE(m_props.AddCase(true, "ULS"));
  }
  void Select(const std::set<int>& nodes, const std::set<int>& elements) {
    m_manager.SelectObject(nodes, elements);
    m_props.Refresh();
  }
  // Without the selection's highlight: a node that an edit merges away comes back unselected.
  SRgbaImage Frame() {
    std::vector<CString> keys;
    for (const auto& entry : m_manager.GetSelectMap()) keys.push_back(entry.first);
    m_manager.ResetSelection(1, 0);
    m_wnd.SetViewCenter(40.0, 30.0);
    m_wnd.SetViewScale(0.8);
    SRgbaImage pixels;
    DrawScene(nullptr, [&] { pixels = SRgbaImage::FromGl(kWidth, kHeight); });
    for (const CString& key : keys) {
      if (CUbEntityObj* entity = m_manager.GetEtt(key)) m_manager.SelectEtt(entity, 1);
    }
    return pixels;
  }
  // Pixels of one colour-set entry.
  int CountColor(const SRgbaImage& frame, int entry) {
    const CVector c = m_model.GetStmDataView()->GetColorSet()[entry];
    const auto near = [](int got, double want) { return std::abs(got - static_cast<int>(want * 255 + 0.5)) <= 2; };
    return frame.Count([&](const std::uint8_t* p) { return near(p[0], c.x) && near(p[1], c.y) && near(p[2], c.z); });
  }
  std::string Saved(const std::string& name) { return SaveModelBytes(m_model, "props-" + name); }

  // The edit makes one step; undo gives back the file and the frame from before, redo those
  // from after, the scene matching the model each time. Returns the frame after the edit.
  SRgbaImage ExpectOneExactStep(const std::string& name, const std::function<bool()>& edit) {
    const std::string before = Saved(name + "-before");
    const SRgbaImage frameBefore = Frame();
    const int steps = m_manager.GetUndoCount();
    EXPECT_TRUE(edit()) << name << ": " << m_props.GetMessage().c_str();
    EXPECT_EQ(m_manager.GetUndoCount(), steps + 1) << name;
    EXPECT_EQ(m_manager.CheckConsistency(), CString()) << name;
    const std::string after = Saved(name + "-after");
    const SRgbaImage frameAfter = Frame();
    EXPECT_NE(before, after) << name;
    EXPECT_EQ(m_manager.Undo(), 1);
    EXPECT_EQ(m_manager.CheckConsistency(), CString()) << name << " undone";
    EXPECT_EQ(FirstDifference(before, Saved(name + "-undone")), "") << name;
    EXPECT_TRUE(Frame() == frameBefore) << name << ": the frame after undo differs from the one before";
    EXPECT_EQ(m_manager.Redo(), 1);
    EXPECT_EQ(m_manager.CheckConsistency(), CString()) << name << " redone";
    EXPECT_EQ(FirstDifference(after, Saved(name + "-redone")), "") << name;
    EXPECT_TRUE(Frame() == frameAfter) << name << ": the frame after redo differs from the one after the edit";
    m_props.Refresh();
    return frameAfter;
  }
  // Refused with a message naming the problem: no step, the same file.
  void ExpectRefused(const std::string& why, const std::function<bool()>& edit) {
    const std::string before = Saved("refused");
    const int steps = m_manager.GetUndoCount();
    EXPECT_FALSE(edit()) << why;
    EXPECT_NE(m_props.GetMessage().str().find(why), std::string::npos) << m_props.GetMessage().c_str();
    ASSERT_FALSE(m_host.m_statusTexts.empty());
    EXPECT_EQ(m_host.m_statusTexts.back(), m_props.GetMessage()) << "the status line says it";
    EXPECT_EQ(m_manager.GetUndoCount(), steps) << why;
    EXPECT_EQ(FirstDifference(before, Saved("refused")), "") << why;
  }

  CStmSelectionProperties m_props{m_manager};
};

TEST_F(CStmSelectionPropertiesTest, EveryNodePropertyIsOneStepWrittenToTheModelShownAndUndoneExactly) {
  Select({1}, {});
  EXPECT_EQ(m_props.GetValue(P::kNodeH).text, "0");
  EXPECT_STREQ(m_props.GetAxisName(1), "z");

  auto frame = ExpectOneExactStep("pin", [&] { return m_props.SetRestraint(P::kRestraintPin); });
  EXPECT_GT(CountColor(frame, 10), 10) << "the support is drawn";
  EXPECT_EQ(m_model.GetRestraintNode(1)->GetDof(), (SStmDof{1, 0, 1, 0, 0, 0}));
  ExpectOneExactStep("roller", [&] { return m_props.SetRestraint(P::kRestraintRoller); });
  ExpectOneExactStep("angle", [&] { return m_props.SetValue(P::kRollerAngle, " 30 "); });
  EXPECT_EQ(m_model.GetRestraintNode(1)->GetRollerAngle(), 30.0);
  EXPECT_EQ(m_props.GetRestraint(), P::kRestraintRoller);
  ExpectOneExactStep("fixed", [&] { return m_props.SetRestraint(P::kRestraintFixed); });
  ExpectOneExactStep("free", [&] { return m_props.SetRestraint(P::kRestraintFree); });
  EXPECT_TRUE(m_model.GetRestraints().empty()) << "a freed node keeps no record";

  frame = ExpectOneExactStep("spring", [&] { return m_props.SetValue(P::kSpringUz, "500"); });
  EXPECT_GT(CountColor(frame, 11), 5) << "the spring is drawn";
  EXPECT_EQ(m_model.GetSpringNode(1)->GetU(), CVector(0, 0, 500));
  ExpectOneExactStep("spring-off", [&] { return m_props.SetValue(P::kSpringUz, "0"); });
  EXPECT_TRUE(m_model.GetSprings().empty());
  // In the x-z plane only x, z and the turn about y are springs that act.
  EXPECT_TRUE(m_props.IsSpringInPlane(P::kSpringRy));
  EXPECT_FALSE(m_props.IsSpringInPlane(P::kSpringUy));
  EXPECT_FALSE(m_props.IsSpringInPlane(P::kSpringRz));
  ExpectRefused("acts only in its plane", [&] { return m_props.SetValue(P::kSpringUy, "500"); });

  ExpectOneExactStep("plate", [&] { return m_props.SetValue(P::kPlateWidth, "200"); });
  EXPECT_EQ(m_model.GetBearingPlateNode(1)->GetProperty().dWidth, 200.0);

  frame = ExpectOneExactStep("load", [&] { return m_props.SetLoad(1, 1, "-50"); });
  EXPECT_EQ(m_props.GetCases()[1].load[1].text, "-50");
  EXPECT_EQ(m_model.GetLoadConditionStatic("LL")->GetLoadNodes().size(), 1u);
  EXPECT_EQ(CountColor(frame, 13), 0) << "the view shows DL, which has no load";
  ASSERT_TRUE(m_props.ShowCase(1));
  EXPECT_GT(CountColor(Frame(), 13), 10) << "the arrow of LL";
  ExpectOneExactStep("load-x", [&] { return m_props.SetLoad(1, 0, "20"); });
  EXPECT_EQ(m_model.GetLoadConditionStatic("LL")->GetLoadNodes().begin()->second->GetLoad(), CVector(20, 0, -50));
  // Through the combination the load shows too.
  ASSERT_TRUE(m_props.SetTerm(2, 1, "1.5"));
  ASSERT_TRUE(m_props.ShowCase(2));
  EXPECT_GT(CountColor(Frame(), 13), 10);

  // A typed coordinate moves the node and its element like a drag.
  ExpectOneExactStep("move", [&] { return m_props.SetValue(P::kNodeH, "-10"); });
  EXPECT_EQ(m_model.GetNode(1)->GetCoord(), CVector(-10, 0, 0));
  auto* element = dynamic_cast<CStmEntityElement*>(m_manager.GetEntityOfRecord(CStmEntityObject::kKindElement, 1));
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->GetCoordBegin(), CVector(-10, 0, 0));
  // The typed value to the bit, where -10 + (0.1 - -10) would miss it.
  ExpectOneExactStep("move-exactly", [&] { return m_props.SetValue(P::kNodeH, "0.1"); });
  EXPECT_EQ(m_model.GetNode(1)->GetCoord(), CVector(0.1, 0, 0));
  // Onto another node it merges, as a drop does; undo parts them again.
  Select({4}, {});
  ExpectOneExactStep("merge", [&] { return m_props.SetValue(P::kNodeH, "0.1"); });
  EXPECT_EQ(m_model.GetElement(3)->GetIdNodeEnd(), 1);
}

TEST_F(CStmSelectionPropertiesTest, SeveralSelectedShowWhatTheyShareAndTakeAChangeTogether) {
  m_model.GetStmDataDefine()->AddStrutType({"Prismatic", 0, 1.0});
  m_model.GetElement(1)->SetThicknessScale(2.0);
  Select({}, {1, 2});
  EXPECT_TRUE(m_props.GetValue(P::kElementThicknessScale).mixed);
  EXPECT_EQ(m_props.GetValue(P::kElementAttribute).text, "");
  ExpectOneExactStep("scale", [&] { return m_props.SetValue(P::kElementThicknessScale, "1.5"); });
  EXPECT_EQ(m_model.GetElement(1)->GetThicknessScale(), 1.5);
  EXPECT_EQ(m_model.GetElement(2)->GetThicknessScale(), 1.5);
  EXPECT_FALSE(m_props.GetValue(P::kElementThicknessScale).mixed);
  const int steps = m_manager.GetUndoCount();
  EXPECT_TRUE(m_props.SetValue(P::kElementThicknessScale, "1.50"));
  EXPECT_EQ(m_manager.GetUndoCount(), steps) << "the same value again is no step";
  ExpectOneExactStep("member", [&] { return m_props.SetMember(2); });
  EXPECT_EQ(m_model.GetElement(2)->GetProperty().nTypeMember, 2);
  ExpectOneExactStep("strut-type", [&] { return m_props.SetStrutType(0); });
  EXPECT_EQ(m_model.GetElement(1)->GetIndexStrutType(), 0);
  ExpectOneExactStep("attribute", [&] { return m_props.SetValue(P::kElementAttribute, "bottom chord"); });
  EXPECT_EQ(m_model.GetElement(1)->GetAttributeText(), "bottom chord");

  m_model.AddLoadNode("DL", 2, CVector(0, 0, -10));
  Select({2, 3}, {});
  EXPECT_TRUE(m_props.GetCases()[0].load[1].mixed);
  EXPECT_FALSE(m_props.GetCases()[0].load[0].mixed);
  EXPECT_TRUE(m_props.GetValue(P::kNodeH).mixed);
  EXPECT_FALSE(m_props.GetValue(P::kNodeV).mixed);
  ExpectOneExactStep("loads", [&] { return m_props.SetLoad(0, 1, "-25"); });
  EXPECT_EQ(m_model.GetLoadConditionStatic("DL")->GetLoadNodes().size(), 2u);
  ExpectOneExactStep("supports", [&] { return m_props.SetRestraint(P::kRestraintPin); });
  EXPECT_EQ(m_model.GetRestraints().size(), 2u);
  ExpectOneExactStep("raise", [&] { return m_props.SetValue(P::kNodeV, "70"); });
  EXPECT_EQ(m_model.GetNode(2)->GetCoord(), CVector(0, 0, 70));
  EXPECT_EQ(m_model.GetNode(3)->GetCoord(), CVector(80, 0, 70));
}

TEST_F(CStmSelectionPropertiesTest, LoadCasesAndCombinationsAreAddedRenamedFactoredAndDeleted) {
  EXPECT_EQ(m_manager.GetUndoCount(), 6) << "three elements and three cases, one step each";
  Select({2}, {});
  ASSERT_TRUE(m_props.SetLoad(0, 1, "-10"));
  ASSERT_TRUE(m_props.ShowCase(2));
  ExpectOneExactStep("term", [&] { return m_props.SetTerm(2, 0, "1.2"); });
  ExpectOneExactStep("factor", [&] { return m_props.SetTerm(2, 0, "1.35"); });
  EXPECT_EQ(m_props.GetCases()[2].terms.size(), 1u);
  EXPECT_EQ(m_props.GetCases()[2].terms[0].scale.text, "1.35");
  ExpectOneExactStep("rename", [&] { return m_props.RenameCase(0, "G"); });
  EXPECT_EQ(m_props.GetCases()[2].terms[0].name, "G") << "the term follows the case it names";
  EXPECT_EQ(m_props.GetCases()[2].terms[0].caseIndex, 0);
  ExpectOneExactStep("combo-of-combo", [&] { return m_props.AddCase(true, "SLS"); });
  ASSERT_TRUE(m_props.SetTerm(3, 2, "1.1"));
  // Adding a static case renumbers the combinations; the view keeps showing ULS.
  ExpectOneExactStep("add", [&] { return m_props.AddCase(false, "WL"); });
  EXPECT_EQ(m_props.GetCases()[m_props.GetShownCase()].name, "ULS");
  ExpectOneExactStep("remove-term", [&] { return m_props.RemoveTerm(4, m_props.GetCases()[4].terms[0].id); });
  ExpectOneExactStep("delete", [&] { return m_props.DeleteCase(4); });
  ASSERT_TRUE(m_props.SetLoad(2, 1, "-5"));
  ExpectOneExactStep("delete-loaded", [&] { return m_props.DeleteCase(2); });  // WL
  EXPECT_EQ(m_props.GetMessage(), "WL deleted with its nodal loads: 1");
  EXPECT_EQ(m_props.GetCases()[m_props.GetShownCase()].name, "ULS");
  EXPECT_EQ(m_model.GetCountLoadConditionStatic(), 2);
  // The model's materials and code, whatever is selected.
  Select({}, {});
  ExpectOneExactStep("thickness", [&] { return m_props.SetMaterial(P::kThickness, "250"); });
  EXPECT_EQ(m_model.GetMaterials().dThickness, 250.0);
  EXPECT_EQ(m_props.GetMaterial(P::kThickness).text, "250");
  ExpectOneExactStep("poisson", [&] { return m_props.SetMaterial(P::kPoisson, "0.15"); });
  EXPECT_EQ(m_model.GetMaterials().dPoisson, 0.15);
  ExpectOneExactStep("load-path", [&] { return m_props.SetMaterial(P::kTargetFraction, "0.25"); });
  EXPECT_EQ(m_props.GetMessage(), "Load-path settings set");
  EXPECT_EQ(m_model.GetMaterials().loadPath.dTargetFraction, 0.25);
  ExpectOneExactStep("code", [&] { return m_props.SetDesignCode(STM_CODE_EN_1992_1_1); });
  EXPECT_EQ(m_props.GetDesignCode(), STM_CODE_EN_1992_1_1);
}

TEST_F(CStmSelectionPropertiesTest, BadInputSaysWhyAndChangesNothing) {
  ASSERT_TRUE(m_props.SetTerm(2, 0, "1.2"));
  ASSERT_TRUE(m_props.AddCase(true, "SLS"));
  ASSERT_TRUE(m_props.SetTerm(3, 2, "1"));
  ExpectRefused("Select a node first", [&] { return m_props.SetRestraint(P::kRestraintPin); });
  Select({1}, {});
  ExpectRefused("is not a number", [&] { return m_props.SetValue(P::kNodeH, "1O"); });
  ExpectRefused("is not a number", [&] { return m_props.SetLoad(0, 1, ""); });
  ExpectRefused("is not a number", [&] { return m_props.SetValue(P::kSpringUx, "nan"); });
  ExpectRefused("cannot be negative", [&] { return m_props.SetValue(P::kPlateWidth, "-5"); });
  ExpectRefused("cannot be negative", [&] { return m_props.SetValue(P::kSpringRy, "-1"); });
  ExpectRefused("cannot be negative", [&] { return m_props.SetMaterial(P::kConcreteModulus, "-30"); });
  ExpectRefused("is not a number", [&] { return m_props.SetMaterial(P::kCover, "inf"); });
  // The load path's fractions: a rate of 0 never ends the removal, a target of 0 leaves nothing.
  ExpectRefused("below 0.5", [&] { return m_props.SetMaterial(P::kPoisson, "0.5"); });
  ExpectRefused("below 1", [&] { return m_props.SetMaterial(P::kRejectionRatio, "1"); });
  ExpectRefused("evolution rate must be above 0", [&] { return m_props.SetMaterial(P::kEvolutionRate, "0"); });
  ExpectRefused("target fraction must be above 0 and at most 1", [&] { return m_props.SetMaterial(P::kTargetFraction, "1.5"); });
  ExpectRefused("0 chooses one", [&] { return m_props.SetMaterial(P::kZoneRadius, "-2"); });
  ExpectRefused("the selected nodes have none", [&] { return m_props.SetValue(P::kRollerAngle, "30"); });
  // The model's limits, named with the value: what a file could not take back is never entered.
  ExpectRefused("The coordinate 2e+09 is beyond the limit of +/-1e+09", [&] { return m_props.SetValue(P::kNodeV, "2e9"); });
  ExpectRefused("1e308 is beyond the limit of +/-1e+15", [&] { return m_props.SetValue(P::kNodeH, "1e308"); });
  ExpectRefused("1e16 is beyond the limit", [&] { return m_props.SetLoad(0, 1, "1e16"); });
  ExpectRefused("longer than the limit of 4096 bytes", [&] { return m_props.AddCase(false, std::string(4097, 'L')); });
  ExpectRefused("refer to itself", [&] { return m_props.SetTerm(2, 2, "1"); });
  ExpectRefused("refer to itself", [&] { return m_props.SetTerm(2, 3, "1"); });
  ExpectRefused("combination ULS uses it", [&] { return m_props.DeleteCase(0); });
  ExpectRefused("combination SLS uses it", [&] { return m_props.DeleteCase(2); });
  ExpectRefused("The name LL is taken", [&] { return m_props.RenameCase(0, "LL"); });
  ExpectRefused("needs a name", [&] { return m_props.AddCase(false, "  "); });
  m_model.GetNode(1)->SetMoveable(0);
  ExpectRefused("fixed in place", [&] { return m_props.SetValue(P::kNodeH, "5"); });
  Select({}, {1});
  ExpectRefused("greater than zero", [&] { return m_props.SetValue(P::kElementThicknessScale, "0"); });
  m_model.SetLock(1);
  ExpectRefused("The model is locked", [&] { return m_props.SetMember(1); });
}

TEST_F(CStmSelectionPropertiesTest, AModelFinishedThroughTheLayerIsTheOneWrittenByHand) {
  Select({1, 4}, {});
  ASSERT_TRUE(m_props.SetRestraint(P::kRestraintPin));
  ASSERT_TRUE(m_props.SetValue(P::kPlateWidth, "150"));
  ASSERT_TRUE(m_props.SetValue(P::kPlateThickness, "20"));
  Select({4}, {});
  ASSERT_TRUE(m_props.SetRestraint(P::kRestraintRoller));
  ASSERT_TRUE(m_props.SetValue(P::kSpringUx, "1000"));
  Select({2}, {});
  ASSERT_TRUE(m_props.SetLoad(0, 1, "-450"));
  ASSERT_TRUE(m_props.SetLoad(1, 0, "40"));
  ASSERT_TRUE(m_props.SetLoad(1, 1, "-120"));
  ASSERT_TRUE(m_props.SetTerm(2, 0, "1.2"));
  ASSERT_TRUE(m_props.SetTerm(2, 1, "1.6"));
  Select({}, {2});
  ASSERT_TRUE(m_props.SetMember(2));
  m_manager.SelectRemoveAll();
  m_props.ShowCase(2);
  const std::string drawn = Saved("through-layer");
  const SRgbaImage drawnFrame = Frame();

  CStmModel hand;
  for (const CVector& p : {CVector(0, 0, 0), CVector(0, 0, 60), CVector(80, 0, 60), CVector(80, 0, 0)}) hand.AddNode(p);
  hand.AddElement(1, 2, SStmPropElement());
  hand.AddElement(2, 3, SStmPropElement(2, 2, 0.0));
  hand.AddElement(3, 4, SStmPropElement());
  hand.AddRestraint(1, SStmDof{1, 0, 1, 0, 0, 0});
  hand.AddRestraint(4, SStmDof{0, 0, 1, 0, 0, 0});
  for (const int node : {1, 4}) hand.AddBearingPlate(node, SStmPropBearingPlate{150.0, 20.0});
  hand.AddSpring(4, CVector(1000, 0, 0), CVector());
  for (const char* name : {"DL", "LL"}) hand.AddLoadConditionStatic(name);
  hand.AddLoadConditionCombo("ULS");
  hand.AddLoadNode("DL", 2, CVector(0, 0, -450));
  hand.AddLoadNode("LL", 2, CVector(40, 0, -120));
  hand.AddComboFactor("ULS", "DL", CStmObjLoadComboFactor::kTypeStatic, 1.2);
  hand.AddComboFactor("ULS", "LL", CStmObjLoadComboFactor::kTypeStatic, 1.6);
  EXPECT_EQ(FirstDifference(SaveModelBytes(hand, "props-by-hand"), drawn), "");

  m_manager.SetStmModel(&hand);
  m_manager.UpdateStmRenderer();
  m_manager.SetIndexLoadConditionLoad(2, -1);
  EXPECT_TRUE(Frame() == drawnFrame) << "the model written by hand looks different";
  m_manager.SetStmModel(&m_model);
}

}  // namespace
