// The Properties panel as a user meets it: the model's thickness typed there changes how an
// indeterminate truss shares its load, and a bad number is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "host/model/CStmModel.h"
#include "support/RenderCheck.h"
#include "support/StmEditorSession.h"

namespace {

class StmEditorPropertiesSessionTest : public StmEditorSessionFixture {};

TEST_F(StmEditorPropertiesSessionTest, TheThicknessFromThePanelChangesHowAnIndeterminateTrussShares) {
  // Three bars from a ceiling meet at D, pushed up by 600 kN: the middle one a steel tie (E_s A_s,
  // 4 bars of 20), the outer ones concrete struts 100 wide, so the thickness moves load between
  // them. Hand solution: F_middle = P EA_m / (EA_m + 2 EA_o cos^3 30); with no thickness given
  // every bar takes the same EA.
  const double pi = std::acos(-1.0), c = std::cos(pi / 6.0), p = 600.0, eaTie = 200.0 * pi * 400.0;
  const auto middle = [&](double t) { return p * eaTie / (eaTie + 2.0 * 30.0 * t * 100.0 * c * c * c); };
  const double uniform = p / (1.0 + 2.0 * c * c * c);
  {
    CStmModel model;
    SStmMaterials m;
    m.dConcreteModulus = 30.0;
    m.dSteelModulus = 200.0;
    m.dConcreteStrength = 0.03;
    m.dSteelYield = 0.42;
    model.SetMaterials(m);
    const int tie = model.GetStmDataDefine()->AddTieType(SStmTieType{"4 bars", 0, 0, 1, 20.0, 4});
    const double x = 2000.0 * std::tan(pi / 6.0);
    for (const CVector& at : {CVector(-x, 0, 0), CVector(0, 0, 0), CVector(x, 0, 0), CVector(0, 0, -2000)}) {
      model.AddNode(at);
    }
    model.AddElement(1, 4, SStmPropElement(1, 0, 100.0));
    model.AddElement(2, 4, SStmPropElement(2, 2, 0.0))->SetIndexTieType(tie);
    model.AddElement(3, 4, SStmPropElement(1, 0, 100.0));
    for (int n = 1; n <= 3; ++n) model.AddRestraint(n, SStmDof{1, 0, 1, 0, 0, 0});
    model.AddLoadConditionStatic("DL");
    model.AddLoadNode("DL", 4, CVector(0, 0, p));
    Save(model);
  }
  // Analyse, read the left strut's tooltip, save the results and read the middle bar's force back.
  std::string analysed, strut;
  const auto analyse = [&]() {
    EXPECT_TRUE(m_editor.Key("F5"));
    analysed = Status();
    EXPECT_EQ(m_editor.State().Int("locked"), 1) << analysed;
    EXPECT_TRUE(m_editor.MoveTo(CVector(-1000.0 * std::tan(pi / 6.0), 0, -1000)));
    EXPECT_TRUE(m_editor.WaitFor([](const StmEditorSession::SState& state) { return !state.Get("tooltip").empty(); },
                                 "the strut's tooltip"));
    strut = m_editor.State().Get("tooltip");
    EXPECT_TRUE(m_editor.Key("ctrl+s"));
    const double force = -Saved()->GetElement(2)->GetResultAxialForce(0);
    EXPECT_TRUE(m_editor.ClickItem("Results"));
    EXPECT_TRUE(m_editor.ClickItem("Clear results"));
    return force;
  };
  ASSERT_TRUE(m_editor.Start(m_path));
  EXPECT_NEAR(analyse(), uniform, 1e-3 * uniform);
  EXPECT_NE(analysed.find("same stiffness, since thickness is not given"), std::string::npos) << analysed;
  ASSERT_TRUE(m_editor.ClickItem("View"));
  ASSERT_TRUE(m_editor.ClickItem("Properties"));
  ASSERT_TRUE(m_editor.ClickItem("Thickness"));
  ASSERT_TRUE(m_editor.Type("400"));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_EQ(Status(), "Materials set");
  EXPECT_EQ(m_editor.State().Int("undo"), 1);
  ASSERT_TRUE(m_editor.ClickItem("Cover"));
  ASSERT_TRUE(m_editor.Key("minus"));
  ASSERT_TRUE(m_editor.Type("5"));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_NE(Status().find("cannot be negative"), std::string::npos) << Status();
  EXPECT_EQ(m_editor.State().Int("undo"), 1) << "a refused edit leaves no step";
  EXPECT_NEAR(analyse(), middle(400.0), 1e-3 * middle(400.0));
  EXPECT_EQ(analysed.find("same stiffness"), std::string::npos) << analysed;
  // The strut's share over 0.75 x 0.85 f'c and the thickness: its width, and its utilisation over
  // its designed 100.
  const auto utilisation = [&](double t) {
    const double force = (p - middle(t)) / (2.0 * c);
    return force / (0.75 * 0.85 * 0.03 * t * 100.0);
  };
  const auto shown = [&]() {
    const size_t at = strut.find("Utilisation ");
    return at == std::string::npos ? -1.0 : std::atof(strut.c_str() + at + 12);
  };
  EXPECT_NE(strut.find("Required Width"), std::string::npos) << strut;
  EXPECT_NEAR(shown(), utilisation(400.0), 1e-3) << strut;
  ASSERT_TRUE(m_editor.ClickItem("Thickness"));
  ASSERT_TRUE(m_editor.Key("ctrl+a"));
  ASSERT_TRUE(m_editor.Type("200"));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_NEAR(analyse(), middle(200.0), 1e-3 * middle(200.0));
  EXPECT_NEAR(shown(), utilisation(200.0), 1e-3) << strut;
  ASSERT_TRUE(m_editor.Key("ctrl+z"));

  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  EXPECT_NEAR(analyse(), uniform, 1e-3 * uniform);
  EXPECT_EQ(Saved()->GetMaterials().dThickness, 0.0);
  EXPECT_EQ(Saved()->GetMaterials().dCover, 0.0);
}

}  // namespace
