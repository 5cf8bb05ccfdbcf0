// The editor as a user meets it: real clicks, drags, wheel turns and keys in a real window on a
// virtual display, checked against what the editor shows and what it writes to disk.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/model/CStmModel.h"
#include "support/RenderCheck.h"
#include "support/StmEditorSession.h"

namespace {

// Model points of the square truss, in the x-z plane: 1000 mm sides and a diagonal.
CVector At(double x, double z) { return CVector(x, 0.0, z); }
const CVector kBottomMiddle = At(500.0, 0.0);
const CVector kEmpty = At(750.0, 250.0);

class StmEditorSessionTest : public StmEditorSessionFixture {
protected:

  // The enabled elements in the file on disk.
  int ElementsOnDisk() const {
    return Saved()->GetCountElement(1);
  }

  // The brightness (mean of the channels, 0..255) of a window pixel in the latest picture.
  int Brightness(const StmEditorSession& editor, int x, int y) const {
    SRgbaImage image;
    EXPECT_TRUE(editor.Picture(image));
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) {
      ADD_FAILURE() << x << "," << y << " lies outside the " << image.width << "x" << image.height << " picture";
      return -1;
    }
    const std::uint8_t* p = image.At(x, y);
    return (p[0] + p[1] + p[2]) / 3;
  }
  // Whether the scene's background, the menu bar and the status line all look light, or all dark.
  void ExpectLooks(const StmEditorSession& editor, bool light) const {
    const int width = static_cast<int>(editor.State().Part("size", 0));
    const int height = static_cast<int>(editor.State().Part("size", 1));
    const struct {
      const char* what;
      int x, y;
    } places[] = {{"the background", width - 4, height / 8},
                  {"the menu bar", width - 4, 2},
                  {"the status line", width / 2, height - 1}};
    for (const auto& place : places) {
      const int brightness = Brightness(editor, place.x, place.y);
      if (light) EXPECT_GT(brightness, 200) << place.what;
      else EXPECT_LT(brightness, 70) << place.what;
    }
  }
};

TEST_F(StmEditorSessionTest, AnOutlineFromSelectedElementsNeedsOneClosedLoop) {
  SaveSquareTruss();
  ASSERT_TRUE(m_editor.Start(m_path));
  ASSERT_TRUE(m_editor.Wheel(At(500, 500), -2));
  // With the diagonal the sides do not close into one loop.
  ASSERT_TRUE(m_editor.Drag(At(-100, -100), At(1100, 1100)));
  ASSERT_TRUE(m_editor.ClickItem("Edit"));
  ASSERT_TRUE(m_editor.ClickItem("Outline from selected elements"));
  EXPECT_NE(Status().find("do not close"), std::string::npos) << Status();
  {
    // A mark shows round the corner where the diagonal branches, just off its node and lines.
    int x = 0, y = 0;
    m_editor.ScreenOf(At(0, 0), x, y, true);
    SRgbaImage image;
    ASSERT_TRUE(m_editor.Picture(image));
    const std::uint8_t* p = image.At(x - 6, y + 6);
    EXPECT_GT(p[0], p[1] + 60) << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
  }

  // Esc first: a click on the middle of a selected element would pick up its grip.
  ASSERT_TRUE(m_editor.Key("Escape"));
  ASSERT_TRUE(m_editor.Click(At(500, 500)));
  ASSERT_TRUE(m_editor.Key("Delete"));
  ASSERT_TRUE(m_editor.Drag(At(-100, -100), At(1100, 1100)));
  ASSERT_TRUE(m_editor.ClickItem("Edit"));
  ASSERT_TRUE(m_editor.ClickItem("Outline from selected elements"));
  EXPECT_NE(Status().find("Outer outline made from 4 elements"), std::string::npos) << Status();
  EXPECT_EQ(m_editor.State().Int("selected"), 0);
  ASSERT_TRUE(m_editor.Key("ctrl+s"));

  const auto saved = Saved();
  ASSERT_EQ(saved->GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);
  EXPECT_EQ(saved->GetBoundaryObj(STM_BOUNDARY_OUTER, -1, 0)->GetIdElements().size(), 4u);
}

TEST_F(StmEditorSessionTest, MiddleDragPansAndTheWheelZoomsAboutTheCursor) {
  SaveSquareTruss();
  ASSERT_TRUE(m_editor.Start(m_path));
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  m_editor.ScreenOf(kBottomMiddle, x0, y0);
  const double scale = m_editor.State().Real("scale");

  // What was under the press is under the release.
  ASSERT_TRUE(m_editor.Drag(kBottomMiddle, At(500 + 80 * scale, 60 * scale), 2));
  m_editor.ScreenOf(kBottomMiddle, x1, y1);
  EXPECT_NEAR(x1 - x0, 80, 1);
  EXPECT_NEAR(y1 - y0, -60, 1);
  EXPECT_EQ(m_editor.State().Real("scale"), scale);

  // Rolling away zooms in and keeps the point under the cursor where it was.
  const CVector corner = At(1000, 500);
  m_editor.ScreenOf(corner, x0, y0);
  ASSERT_TRUE(m_editor.Wheel(corner, 2));
  EXPECT_LT(m_editor.State().Real("scale"), scale);
  m_editor.ScreenOf(corner, x1, y1);
  EXPECT_NEAR(x1, x0, 2);
  EXPECT_NEAR(y1, y0, 2);
  ASSERT_TRUE(m_editor.Wheel(corner, -4));
  EXPECT_GT(m_editor.State().Real("scale"), scale);
}

TEST_F(StmEditorSessionTest, TheGridAndTheGuidelinesAreLaidAgainWhenTheWheelZooms) {
  SaveSquareTruss();
  const auto model = Saved();
  model->GetStmDataView()->SetGuideline(0, {250000.0});  // x = 250
  Save(*model);
  ASSERT_TRUE(m_editor.Start(m_path));
  EXPECT_GT(m_editor.State().Int("grid"), 0);
  EXPECT_EQ(m_editor.State().Int("guidelines"), 1);

  // Far out, the grid of 100 thins to whole multiples of it that are 30 pixels apart, and a
  // point of it shows near the window's left edge, where the first grid never reached.
  ASSERT_TRUE(m_editor.Wheel(At(500, 500), -10));
  EXPECT_EQ(m_editor.State().Int("guidelines"), 1);
  const double scale = m_editor.State().Real("scale");
  const double step = std::ceil(30.0 * scale / 100.0) * 100.0;
  const CVector point = At(std::floor((500.0 - 300.0 * scale) / step) * step, std::round(500.0 / step) * step);
  int x = 0, y = 0;
  m_editor.ScreenOf(point, x, y, true);
  int brightest = 0;
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) brightest = std::max(brightest, Brightness(m_editor, x + dx, y + dy));
  EXPECT_GT(brightest, 100) << "no grid point at " << point.x << "," << point.z;
  const int between = static_cast<int>(step / scale / 2);
  EXPECT_LT(Brightness(m_editor, x + between, y), 80) << "a grid point halfway between two";
}

TEST_F(StmEditorSessionTest, DeleteUndoRedoAndSaveFollowTheFileOnDisk) {
  SaveSquareTruss();
  ASSERT_TRUE(m_editor.Start(m_path));
  EXPECT_FALSE(TitleMarked());

  ASSERT_TRUE(m_editor.Click(kBottomMiddle));
  ASSERT_TRUE(m_editor.Key("Delete"));
  EXPECT_EQ(m_editor.State().Int("selected"), 0);
  EXPECT_TRUE(TitleMarked());
  EXPECT_NE(Status().find("Deleted 1"), std::string::npos) << Status();

  // Undoing back to what is on disk is no change at all.
  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  EXPECT_FALSE(TitleMarked());
  EXPECT_EQ(m_editor.State().Int("modified"), 0);
  ASSERT_TRUE(m_editor.Key("ctrl+y"));
  EXPECT_TRUE(TitleMarked());

  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  EXPECT_FALSE(TitleMarked());
  EXPECT_EQ(ElementsOnDisk(), 4);
  EXPECT_NE(Status().find("Saved"), std::string::npos) << Status();

  // Undo past the save is a change again; a new edit there cuts the saved state off for good.
  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  EXPECT_TRUE(TitleMarked());
  ASSERT_TRUE(m_editor.Click(At(1000, 500)));
  ASSERT_TRUE(m_editor.Key("Delete"));
  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  EXPECT_TRUE(TitleMarked());
  EXPECT_EQ(ElementsOnDisk(), 4);
}

// Each answer ends the editor, so each gets its own start: Esc stays, No keeps the file, Enter
// (the first button) and Yes save, and a model undone to the file closes without asking.
TEST_F(StmEditorSessionTest, ClosingWithChangesAsksAndTheKeysAnswer) {
  SaveSquareTruss();
  {
    StmEditorSession editor;
    ASSERT_TRUE(editor.Start(m_path));
    ASSERT_TRUE(editor.Key("Delete"));  // deleting nothing is no change
    ASSERT_TRUE(editor.Click(kBottomMiddle));
    ASSERT_TRUE(editor.Key("Delete"));
    ASSERT_TRUE(editor.Key("ctrl+q"));
    EXPECT_NE(editor.State().Get("box").find("Save the changes"), std::string::npos) << editor.State().Get("box");
    ASSERT_TRUE(editor.Key("Escape"));
    EXPECT_EQ(editor.State().Get("box"), "");
    ASSERT_TRUE(editor.Key("ctrl+z"));
    EXPECT_EQ(editor.KeyAndWaitForExit("ctrl+q"), 0) << editor.Stderr();
  }
  const auto deleteAndClose = [this](StmEditorSession& editor, const char* answer) {
    ASSERT_TRUE(editor.Start(m_path));
    ASSERT_TRUE(editor.Click(kBottomMiddle));
    ASSERT_TRUE(editor.Key("Delete"));
    ASSERT_TRUE(editor.Key("ctrl+q"));
    EXPECT_EQ(editor.KeyAndWaitForExit(answer), 0) << editor.Stderr();
  };
  {
    StmEditorSession editor;
    deleteAndClose(editor, "n");
    EXPECT_EQ(ElementsOnDisk(), 5);
  }
  {
    StmEditorSession editor;
    deleteAndClose(editor, "Return");
    EXPECT_EQ(ElementsOnDisk(), 4);
  }
  ASSERT_TRUE(m_editor.Start(m_path));
  ASSERT_TRUE(m_editor.Click(At(1000, 500)));
  ASSERT_TRUE(m_editor.Key("ctrl+x"));
  EXPECT_NE(Status().find("Cut 1 object to the clipboard"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("ctrl+q"));
  EXPECT_EQ(m_editor.KeyAndWaitForExit("y"), 0) << m_editor.Stderr();
  EXPECT_EQ(ElementsOnDisk(), 3);
}

TEST_F(StmEditorSessionTest, ClicksAndWindowsSelectEscClearsAndEveryCommandSaysWhatItDid) {
  SaveSquareTruss();
  // A test keeps one stderr file, not one per run, and each run begins it afresh.
  const std::string prefix = std::string("session-") + testing::UnitTest::GetInstance()->current_test_info()->name();
  std::ofstream(RenderOutputDir() + "/" + prefix + ".stderr") << "left by an earlier run\n";
  ASSERT_TRUE(m_editor.Start(m_path));
  EXPECT_EQ(m_editor.Stderr().find("earlier run"), std::string::npos) << m_editor.Stderr();
  EXPECT_FALSE(std::filesystem::exists(RenderOutputDir() + "/" + prefix + "." + std::to_string(getpid()) + ".stderr"));
  EXPECT_EQ(m_editor.State().Int("view"), 4);
  ASSERT_TRUE(m_editor.Click(kBottomMiddle));
  EXPECT_EQ(m_editor.State().Int("selected"), 1);
  ASSERT_TRUE(m_editor.Click(kEmpty));
  EXPECT_EQ(m_editor.State().Int("selected"), 0);

  ASSERT_TRUE(m_editor.Key("Delete"));
  EXPECT_NE(Status().find("Nothing is selected"), std::string::npos) << Status();
  EXPECT_FALSE(TitleMarked());
  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  EXPECT_NE(Status().find("Nothing to undo"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Click(kEmpty));
  EXPECT_EQ(Status().find("Nothing"), std::string::npos) << Status();

  // A node that elements still use stays, and the user is told so.
  ASSERT_TRUE(m_editor.Click(At(1000, 0)));
  ASSERT_TRUE(m_editor.Key("Delete"));
  EXPECT_NE(Status().find("a node goes only with the last element"), std::string::npos) << Status();
  EXPECT_FALSE(TitleMarked());
  // Room around the square, so that the windows start clear of the menu and status bars.
  ASSERT_TRUE(m_editor.Wheel(At(500, 500), -2));
  // Right to left takes what the window crosses too: three elements leave it.
  ASSERT_TRUE(m_editor.Drag(At(1100, 100), At(-100, -100)));
  EXPECT_EQ(m_editor.State().Int("selected"), 6);
  ASSERT_TRUE(m_editor.Key("Escape"));
  EXPECT_EQ(m_editor.State().Int("selected"), 0);
  // Left to right takes what lies inside: the bottom side and its nodes, which the others use.
  ASSERT_TRUE(m_editor.Drag(At(-100, -100), At(1100, 100)));
  ASSERT_EQ(m_editor.State().Int("selected"), 3);
  ASSERT_TRUE(m_editor.Key("Delete"));
  EXPECT_NE(Status().find("Deleted 1 object; 2 nodes stay"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("ctrl+z"));

  ASSERT_TRUE(m_editor.Key("ctrl+v"));
  EXPECT_NE(Status().find("Nothing to paste"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Click(kBottomMiddle));
  ASSERT_TRUE(m_editor.Key("ctrl+c"));
  EXPECT_NE(Status().find("Copied 0 nodes and 1 element"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("ctrl+v"));
  EXPECT_NE(Status().find("Pick Position"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("Escape"));

  ASSERT_TRUE(m_editor.Key("F8"));
  EXPECT_EQ(m_editor.State().Int("ortho"), 1);
  EXPECT_NE(Status().find("Orthogonal drawing on"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("F8"));
  EXPECT_NE(Status().find("Orthogonal drawing off"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Key("F1"));
  EXPECT_EQ(m_editor.State().Int("keys"), 1);
  EXPECT_FALSE(TitleMarked());
}

TEST_F(StmEditorSessionTest, TheMenusOfferWhatCanRunAndRunIt) {
  SaveSquareTruss();
  ASSERT_TRUE(m_editor.Start(m_path));
  ASSERT_TRUE(m_editor.ClickItem("Edit"));
  for (const char* name : {"Undo", "Redo", "Cut", "Copy", "Paste", "Delete"})
    EXPECT_EQ(m_editor.ItemEnabled(name), 0) << name;
  EXPECT_EQ(m_editor.ItemEnabled("Cancel and select none"), 1);
  // A click beside an open menu closes it and goes no further.
  ASSERT_TRUE(m_editor.Click(kBottomMiddle));
  EXPECT_EQ(m_editor.ItemEnabled("Delete"), -1);
  EXPECT_EQ(m_editor.State().Int("selected"), 0);

  ASSERT_TRUE(m_editor.Click(kBottomMiddle));
  ASSERT_TRUE(m_editor.ClickItem("Edit"));
  EXPECT_EQ(m_editor.ItemEnabled("Delete"), 1);
  ASSERT_TRUE(m_editor.ClickItem("Delete"));
  EXPECT_TRUE(TitleMarked());
  ASSERT_TRUE(m_editor.ClickItem("Edit"));
  EXPECT_EQ(m_editor.ItemEnabled("Undo"), 1);
  ASSERT_TRUE(m_editor.ClickItem("Undo"));
  EXPECT_FALSE(TitleMarked());
  ASSERT_TRUE(m_editor.ClickItem("File"));
  ASSERT_TRUE(m_editor.ClickItem("Save"));
  EXPECT_NE(Status().find("Saved"), std::string::npos) << Status();
  EXPECT_EQ(ElementsOnDisk(), 5);
}

TEST_F(StmEditorSessionTest, ALockedModelSaysWhyNothingChanges) {
  std::filesystem::copy_file(std::string(STM_SOURCE_DIR) + "/examples/deep-beam-opening.stm.json", m_path,
                             std::filesystem::copy_options::overwrite_existing);
  const auto model = Saved();
  ASSERT_TRUE(model->IsLock());
  const CStmObjElement* element = model->GetElements().begin()->second;
  const CVector middle = (element->GetCoordBegin() + element->GetCoordEnd()) * 0.5;
  const int elements = model->GetCountElement(1);

  ASSERT_TRUE(m_editor.Start(m_path));
  EXPECT_NE(m_editor.State().Get("title").find("[locked]"), std::string::npos) << m_editor.State().Get("title");
  EXPECT_NE(Status().find("Locked"), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Click(middle));
  EXPECT_EQ(m_editor.State().Int("selected"), 1);
  for (const char* key : {"Delete", "ctrl+x", "ctrl+z"}) {
    ASSERT_TRUE(m_editor.Key(key));
    EXPECT_NE(Status().find("locked"), std::string::npos) << key << ": " << Status();
    EXPECT_EQ(m_editor.State().Int("modified"), 0) << key;
  }
  EXPECT_EQ(m_editor.State().Int("selected"), 1);
  // The longest message does not fit beside the cursor's place: it is cut short, not overwritten.
  ASSERT_TRUE(m_editor.Key("Delete"));
  const std::string shown = m_editor.State().Get("shown");
  ASSERT_GT(shown.size(), 3u) << shown;
  EXPECT_EQ(shown.substr(shown.size() - 3), "...") << shown;
  EXPECT_EQ(Status().compare(0, shown.size() - 3, shown, 0, shown.size() - 3), 0) << shown << " | " << Status();
  EXPECT_NE(Status().find("Nothing was changed."), std::string::npos) << Status();
  ASSERT_TRUE(m_editor.Click(kEmpty));
  EXPECT_EQ(m_editor.State().Get("shown"), Status());
  ASSERT_TRUE(m_editor.Click(middle));
  ASSERT_TRUE(m_editor.ClickItem("Edit"));
  EXPECT_EQ(m_editor.ItemEnabled("Copy"), 1);
  EXPECT_EQ(m_editor.ItemEnabled("Delete"), 0);
  EXPECT_EQ(m_editor.ItemEnabled("Cut"), 0);
  ASSERT_TRUE(m_editor.Click(kEmpty));
  EXPECT_EQ(m_editor.KeyAndWaitForExit("ctrl+q"), 0) << m_editor.Stderr();
  EXPECT_EQ(Saved()->GetCountElement(1), elements);
}

TEST_F(StmEditorSessionTest, RestingOnANodeOrAnElementShowsItsTooltip) {
  SaveSquareTruss();
  ASSERT_TRUE(m_editor.Start(m_path));
  const auto tooltip = [](const char* text) {
    return [text](const StmEditorSession::SState& state) { return state.Get("tooltip").find(text) != std::string::npos; };
  };
  // The key list opens under the cursor; leaving it for a node is a move in the scene again.
  ASSERT_TRUE(m_editor.Key("F1"));
  ASSERT_TRUE(m_editor.MoveTo(At(1000, 0)));
  ASSERT_TRUE(m_editor.WaitFor(tooltip("Node 2"), "the tooltip of node 2"));
  EXPECT_NE(m_editor.State().Get("tooltip").find("Restraint"), std::string::npos) << m_editor.State().Get("tooltip");
  EXPECT_EQ(m_editor.State().Get("tooltip").find('<'), std::string::npos) << m_editor.State().Get("tooltip");
  // The model's two decimals and its unit; no node type before an analysis tells one.
  EXPECT_NE(m_editor.State().Get("tooltip").find("1000.00, 0.00 mm;"), std::string::npos)
      << m_editor.State().Get("tooltip");
  EXPECT_EQ(m_editor.State().Get("tooltip").find("Node Type"), std::string::npos) << m_editor.State().Get("tooltip");
  // Once the pointer has gone to a menu, the node's tooltip does not follow it back out.
  ASSERT_TRUE(m_editor.Key("F1"));
  ASSERT_TRUE(m_editor.WaitFor(tooltip("Node 2"), "the tooltip of node 2 without the key list"));
  ASSERT_TRUE(m_editor.ClickItem("Edit"));
  ASSERT_TRUE(m_editor.ClickItem("Orthogonal drawing"));
  EXPECT_EQ(m_editor.State().Get("tooltip"), "");

  ASSERT_TRUE(m_editor.MoveTo(At(1000, 500)));
  EXPECT_EQ(m_editor.State().Get("tooltip"), "");
  ASSERT_TRUE(m_editor.WaitFor(tooltip("Length 1000.00 mm;"), "the tooltip of the right side"));
  // The bottom side lies along a row of grid points: on one of them it is still the side's.
  ASSERT_GT(m_editor.State().Int("grid"), 0);
  const double step = std::ceil(30.0 * m_editor.State().Real("scale") / 100.0) * 100.0;
  ASSERT_TRUE(m_editor.MoveTo(At(std::round(300.0 / step) * step, 0)));
  ASSERT_TRUE(m_editor.WaitFor(tooltip("Length 1000.00 mm;"), "the tooltip of the bottom side"));
  EXPECT_EQ(m_editor.State().Get("tooltip").find("Grid"), std::string::npos) << m_editor.State().Get("tooltip");
  // Where nothing is, nothing shows.
  ASSERT_TRUE(m_editor.MoveTo(kEmpty));
  EXPECT_EQ(m_editor.State().Get("tooltip"), "");
  // The status line gives the cursor's place in the model's units, to the pixel.
  const std::string where = m_editor.State().Get("where");
  double x = 0.0, z = 0.0;
  char unit[8] = {};
  ASSERT_EQ(std::sscanf(where.c_str(), "x %lf z %lf %7s", &x, &z, unit), 3) << where;
  EXPECT_NEAR(x, 750.0, m_editor.State().Real("scale"));
  EXPECT_NEAR(z, 250.0, m_editor.State().Real("scale"));
  EXPECT_STREQ(unit, "mm");
}

TEST_F(StmEditorSessionTest, AModelOpensFacingItsPlaneAndTheViewMenuTurnsIt) {
  SaveSquareTruss(STM_PLANE_YZ);
  {
    StmEditorSession editor;
    ASSERT_TRUE(editor.Start(m_path));
    EXPECT_EQ(editor.State().Int("view"), 2);
    ASSERT_TRUE(editor.Click(CVector(0, 500, 0)));
    EXPECT_EQ(editor.State().Int("selected"), 1);
  }
  SaveSquareTruss(STM_PLANE_XY);
  ASSERT_TRUE(m_editor.Start(m_path));
  EXPECT_EQ(m_editor.State().Int("view"), 0);
  ASSERT_TRUE(m_editor.Click(CVector(500, 0, 0)));
  EXPECT_EQ(m_editor.State().Int("selected"), 1);

  ASSERT_TRUE(m_editor.ClickItem("View"));
  ASSERT_TRUE(m_editor.ClickItem("Plane y-z"));
  EXPECT_EQ(m_editor.State().Int("view"), 2);
  // Looking from another side is no edit: the file keeps its plane.
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  const auto saved = Saved();
  EXPECT_EQ(saved->GetPlane(), STM_PLANE_XY);
  ASSERT_TRUE(m_editor.ClickItem("View"));
  ASSERT_TRUE(m_editor.ClickItem("Plane x-y"));
  EXPECT_EQ(m_editor.State().Int("view"), 0);
  ASSERT_TRUE(m_editor.Click(CVector(1000, 500, 0)));
  EXPECT_EQ(m_editor.State().Int("selected"), 1);
}

TEST_F(StmEditorSessionTest, TheLightStyleAndTheViewPanelsChoicesAreAViewThatTheFileKeeps) {
  SaveSquareTruss();
  {
    StmEditorSession editor;
    ASSERT_TRUE(editor.Start(m_path));
    // Off the model, so that no tooltip comes to change the picture.
    ASSERT_TRUE(editor.MoveTo(kEmpty));
    EXPECT_EQ(editor.State().Get("style"), "dark");
    ExpectLooks(editor, false);

    ASSERT_TRUE(editor.ClickItem("View"));
    ASSERT_TRUE(editor.HoverItem("Style"));
    ASSERT_TRUE(editor.ClickItem("Light"));
    ASSERT_TRUE(editor.MoveTo(kEmpty));
    EXPECT_EQ(editor.State().Get("style"), "light");
    ExpectLooks(editor, true);
    EXPECT_NE(editor.State().Get("status").find("Light style"), std::string::npos) << editor.State().Get("status");
    // A way of looking is no edit: nothing to undo, nothing to ask about on closing.
    EXPECT_EQ(editor.State().Int("modified"), 0);
    EXPECT_EQ(editor.State().Int("undo"), 0);
    ASSERT_TRUE(editor.Key("ctrl+s"));
    const auto saved = Saved();
    EXPECT_EQ(saved->GetStmDataView()->GetTypeColor(), STM_COLOR_LIGHT);

    ASSERT_TRUE(editor.ClickItem("View"));
    ASSERT_TRUE(editor.HoverItem("Style"));
    ASSERT_TRUE(editor.ClickItem("Dark"));
    EXPECT_EQ(editor.State().Get("style"), "dark");
    EXPECT_EQ(editor.KeyAndWaitForExit("ctrl+q"), 0) << editor.Stderr();
  }
  // The file opens as it was saved, overlay and all.
  ASSERT_TRUE(m_editor.Start(m_path, 900, 700));
  ASSERT_TRUE(m_editor.MoveTo(kEmpty));
  EXPECT_EQ(m_editor.State().Get("style"), "light");
  ExpectLooks(m_editor, true);

  // The view control panel docks, switches a layer and the style back, and the file keeps both.
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
  EXPECT_GT(after.Differing(before), 500);
  ASSERT_TRUE(m_editor.ClickItem("dlg4004.4069"));  // Dark
  EXPECT_EQ(m_editor.State().Get("style"), "dark");
  EXPECT_EQ(m_editor.State().Int("modified"), 0);
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  const auto saved = Saved();
  EXPECT_FALSE(saved->GetStmDataView()->IsShowOption(STM_SHOW_ELEMENTS));
  EXPECT_EQ(saved->GetStmDataView()->GetTypeColor(), STM_COLOR_DARK);
  ASSERT_TRUE(m_editor.ClickItem("View"));
  ASSERT_TRUE(m_editor.ClickItem("Control panel"));
  EXPECT_EQ(m_editor.ItemEnabled("dlg4004.4003"), -1);
}

}  // namespace
