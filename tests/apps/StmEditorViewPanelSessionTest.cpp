// The view control panel in the real editor: View > Control panel docks it, its check boxes and
// style radios change what the window shows, and the file saved keeps the choices.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"
#include "support/RenderCheck.h"
#include "support/StmEditorSession.h"

namespace {

class StmEditorViewPanelSessionTest : public testing::Test {
protected:
  void SetUp() override {
    const std::string why = StmEditorSession::Unavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    m_path = RenderOutputDir() + "/session-panel-" + std::to_string(getpid()) + ".stm.json";
    CStmModel model;
    model.SetPlane(STM_PLANE_XZ);
    for (const CVector& p : {CVector(0, 0, 0), CVector(1000, 0, 0), CVector(500, 0, 800)}) model.AddNode(p);
    for (const auto& [a, b] : {std::pair{1, 2}, {2, 3}, {3, 1}}) model.AddElement(a, b, SStmPropElement(0, 2, 0.0));
    std::string error;
    ASSERT_TRUE(CStmModelFile::Save(m_path, model, &error)) << error;
  }
  void TearDown() override {
    std::remove(m_path.c_str());
    std::filesystem::remove_all(StmEditorSession::ConfigDir());
  }

  // How many pixels of the window's picture differ from the other picture.
  static int Changed(const SRgbaImage& a, const SRgbaImage& b) {
    int changed = 0;
    for (size_t i = 0; i + 3 < a.rgba.size() && i + 3 < b.rgba.size(); i += 4)
      changed += a.rgba[i] != b.rgba[i] || a.rgba[i + 1] != b.rgba[i + 1] || a.rgba[i + 2] != b.rgba[i + 2];
    return changed;
  }

  std::string m_path;
  StmEditorSession m_editor;
};

TEST_F(StmEditorViewPanelSessionTest, ThePanelDocksSwitchesLayersAndTheFileKeepsItsChoices) {
  ASSERT_TRUE(m_editor.Start(m_path, 900, 700));
  EXPECT_EQ(m_editor.ItemEnabled("dlg4004.4003"), -1);
  ASSERT_TRUE(m_editor.ClickItem("View"));
  ASSERT_TRUE(m_editor.ClickItem("Control panel"));
  ASSERT_EQ(m_editor.ItemEnabled("dlg4004.4003"), 1);
  // The opening's box is there, greyed: openings are drawn with the outline's layer.
  EXPECT_EQ(m_editor.ItemEnabled("dlg4004.4025"), 0);

  SRgbaImage before, after;
  ASSERT_TRUE(m_editor.Picture(before));
  ASSERT_TRUE(m_editor.ClickItem("dlg4004.4004"));  // Element
  ASSERT_TRUE(m_editor.Picture(after));
  EXPECT_GT(Changed(before, after), 500);
  ASSERT_TRUE(m_editor.ClickItem("dlg4004.4070"));  // Light
  EXPECT_EQ(m_editor.State().Get("style"), "light");

  // Choosing what to see is no edit, but the file keeps it.
  const std::string title = m_editor.State().Get("title");
  EXPECT_NE(title.substr(title.size() - 2), " *") << title;
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  CStmModel saved;
  std::string error;
  ASSERT_TRUE(CStmModelFile::Load(m_path, saved, &error)) << error;
  EXPECT_FALSE(saved.GetStmDataView()->IsShowOption(STM_SHOW_ELEMENTS));
  EXPECT_EQ(saved.GetStmDataView()->GetTypeColor(), STM_COLOR_LIGHT);

  ASSERT_TRUE(m_editor.ClickItem("View"));
  ASSERT_TRUE(m_editor.ClickItem("Control panel"));
  EXPECT_EQ(m_editor.ItemEnabled("dlg4004.4003"), -1);
}

}  // namespace
