// The Properties panel as a user meets it: a node selected by a click gets a support from the
// drop list and a load typed into its field, a bad number is refused, and the file on disk and
// the picture follow, undo included.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "host/model/CStmModel.h"
#include "support/RenderCheck.h"
#include "support/StmEditorSession.h"

namespace {

class StmEditorPropertiesSessionTest : public StmEditorSessionFixture {
protected:
  // Pixels of the support colour left of the panel.
  int SupportPixels() {
    SRgbaImage image;
    EXPECT_TRUE(m_editor.Picture(image));
    const CVector c = CStmDataView::GetDefaultColorSet(STM_COLOR_DARK)[10];
    const auto near = [](int channel, double value) { return std::abs(channel - static_cast<int>(value * 255 + 0.5)) <= 2; };
    return image.Count([&](const std::uint8_t* p) { return near(p[0], c.x) && near(p[1], c.y) && near(p[2], c.z); }, 0,
                       0, image.width / 2);
  }
};

TEST_F(StmEditorPropertiesSessionTest, ASupportAndALoadFromThePanelReachTheFileAndThePicture) {
  {
    CStmModel model;
    for (const CVector& p : {CVector(0, 0, 0), CVector(1000, 0, 0), CVector(500, 0, 800)}) model.AddNode(p);
    for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 1}}) model.AddElement(a, b, SStmPropElement());
    model.AddLoadConditionStatic("DL");
    Save(model);
  }
  ASSERT_TRUE(m_editor.Start(m_path));
  ASSERT_TRUE(m_editor.Click(CVector(0, 0, 0)));
  ASSERT_EQ(m_editor.State().Int("selected"), 1);
  ASSERT_TRUE(m_editor.ClickItem("View"));
  ASSERT_TRUE(m_editor.ClickItem("Properties"));
  EXPECT_EQ(SupportPixels(), 0);

  ASSERT_TRUE(m_editor.ClickItem("Support"));
  ASSERT_TRUE(m_editor.ClickItem("Support: Pin"));
  EXPECT_EQ(Status(), "Support set");
  EXPECT_EQ(m_editor.State().Int("undo"), 1);
  EXPECT_GT(SupportPixels(), 10) << "the pin is drawn in the next frame";

  ASSERT_TRUE(m_editor.ClickItem("Load DL z"));
  // xdotool would read a leading minus as an option of its own.
  ASSERT_TRUE(m_editor.Key("minus"));
  ASSERT_TRUE(m_editor.Type("50"));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_EQ(Status(), "Nodal load of DL set");
  EXPECT_EQ(m_editor.State().Int("undo"), 2);

  ASSERT_TRUE(m_editor.ClickItem("Plate width"));
  ASSERT_TRUE(m_editor.Key("minus"));
  ASSERT_TRUE(m_editor.Type("5"));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_NE(Status().find("cannot be negative"), std::string::npos) << Status();
  EXPECT_EQ(m_editor.State().Int("undo"), 2) << "a refused edit leaves no step";

  // A new load case gets its own load fields.
  ASSERT_TRUE(m_editor.ClickItem("New case name"));
  ASSERT_TRUE(m_editor.Type("LL"));
  ASSERT_TRUE(m_editor.Key("Return"));
  ASSERT_TRUE(m_editor.ClickItem("Add load case"));
  EXPECT_EQ(Status(), "Load case LL added");
  EXPECT_EQ(m_editor.ItemEnabled("Load LL z"), 1);
  EXPECT_EQ(m_editor.State().Int("undo"), 3);

  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  EXPECT_EQ(m_editor.State().Int("modified"), 0);
  {
    const auto saved = Saved();
    ASSERT_NE(saved->GetRestraintNode(1), nullptr);
    EXPECT_EQ(saved->GetRestraintNode(1)->GetDof(), (SStmDof{1, 0, 1, 0, 0, 0}));
    ASSERT_EQ(saved->GetLoadConditionStatic("DL")->GetLoadNodes().size(), 1u);
    EXPECT_EQ(saved->GetLoadConditionStatic("DL")->GetLoadNodes().begin()->second->GetLoad(), CVector(0, 0, -50));
    EXPECT_TRUE(saved->GetBearingPlates().empty());
    EXPECT_NE(saved->GetLoadConditionStatic("LL"), nullptr);
  }

  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  EXPECT_EQ(SupportPixels(), 0) << "undo takes the pin away again";
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  const auto undone = Saved();
  EXPECT_TRUE(undone->GetRestraints().empty());
  EXPECT_TRUE(undone->GetLoadConditionStatic("DL")->GetLoadNodes().empty());
  EXPECT_EQ(undone->GetLoadConditionStatic("LL"), nullptr);
}

}  // namespace
