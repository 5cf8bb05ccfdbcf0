// The editor's File menu as a user meets it: new models, the file dialog, the question about
// unsaved changes, broken and unwritable files, and the recent-files list, checked against what
// the editor shows and what is on disk.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"
#include "support/RenderCheck.h"
#include "support/StmEditorSession.h"
#include "support/StmSavedModel.h"

namespace {

namespace fs = std::filesystem;

class StmEditorFileSessionTest : public StmEditorSessionFixture {
protected:
  void SetUp() override {
    StmEditorSessionFixture::SetUp();
    if (IsSkipped()) return;
    m_folder = RenderOutputDir() + "/session-" + testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
               std::to_string(getpid());
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
  }
  void TearDown() override {
    fs::remove_all(m_folder);
    StmEditorSessionFixture::TearDown();
  }

  std::string In(const std::string& name) const { return m_folder + "/" + name; }

  // A closed chain of elements through the corners, in the given plane, saved as name.
  std::string WritePolygon(const std::string& name, int plane, const std::vector<std::pair<double, double>>& corners,
                           bool diagonal = false) {
    CStmModel model;
    model.SetPlane(plane);
    for (const auto& [a, b] : corners) {
      if (plane == STM_PLANE_XY) model.AddNode(CVector(a, b, 0.0));
      else if (plane == STM_PLANE_YZ) model.AddNode(CVector(0.0, a, b));
      else model.AddNode(CVector(a, 0.0, b));
    }
    const int n = static_cast<int>(corners.size());
    for (int i = 1; i <= n; ++i) model.AddElement(i, i % n + 1, SStmPropElement(0, 2, 0.0));
    if (diagonal) model.AddElement(1, 3, SStmPropElement(0, 2, 0.0));
    Save(model, In(name));
    return In(name);
  }

  static std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  static std::string RecentList() { return StmEditorSession::ConfigDir() + "/stm-editor/recent"; }

  // The y of an item's centre in the latest report; -1 when it was not drawn.
  int ItemY(const std::string& name) const {
    const std::string at = m_editor.FindItem(name);
    return at.empty() ? -1 : std::atoi(at.substr(at.find(',') + 1).c_str());
  }

  std::string m_folder;
};

TEST_F(StmEditorFileSessionTest, ANewYzModelIsSavedAsANameAndComesBackFromTheRecentList) {
  // A full list whose first file has gone since.
  const std::string gone = In("gone.stm.json");
  std::vector<std::string> older = {gone};
  for (int i = 1; i < 8; ++i) older.push_back(In("older-" + std::to_string(i) + ".stm.json"));
  fs::create_directories(StmEditorSession::ConfigDir() + "/stm-editor");
  {
    std::ofstream list(RecentList());
    for (const std::string& file : older) list << file << "\n";
  }
  const std::string path = In("plane-yz.stm.json");

  ASSERT_TRUE(m_editor.Start(""));
  EXPECT_EQ(Get("file"), "");
  EXPECT_TRUE(Has("title", "untitled")) << Get("title");
  // The style chosen stays with the user into the new model.
  ASSERT_TRUE(m_editor.ClickItem("View"));
  ASSERT_TRUE(m_editor.HoverItem("Style"));
  ASSERT_TRUE(m_editor.ClickItem("Light"));

  ASSERT_TRUE(m_editor.Key("ctrl+n"));
  ASSERT_EQ(Get("dialog"), "new");
  for (const char* choice : {"y-z", "m", "N", "EN 1992-1-1"}) ASSERT_TRUE(m_editor.ClickItem(choice));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_EQ(Get("dialog"), "");
  EXPECT_EQ(m_editor.State().Int("plane"), STM_PLANE_YZ);
  EXPECT_EQ(m_editor.State().Int("view"), 2);
  EXPECT_EQ(Get("units"), "m,N");
  EXPECT_EQ(Get("style"), "light");
  EXPECT_TRUE(Has("title", "untitled")) << Get("title");
  EXPECT_FALSE(TitleMarked());
  // A model in metres steps its grid by a tenth of a metre, so a click in empty space beside a
  // grid point puts the node on it (a grid of 100 units would leave it where the click fell).
  ASSERT_TRUE(m_editor.Wheel(CVector(0.0, 0.4, 0.3), 12));
  ASSERT_TRUE(m_editor.Key("n"));
  ASSERT_TRUE(m_editor.Click(CVector(0.0, 0.41, 0.29)));
  ASSERT_TRUE(m_editor.Key("Escape"));

  // Saving an untitled model asks for its name.
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  ASSERT_EQ(Get("dialog"), "save");
  ASSERT_TRUE(m_editor.Type(path));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_EQ(Get("dialog"), "");
  EXPECT_EQ(Get("file"), path);
  EXPECT_TRUE(Has("title", "plane-yz.stm.json")) << Get("title");
  EXPECT_TRUE(Has("status", "Saved")) << Get("status");
  const auto saved = Saved(path);
  EXPECT_EQ(saved->GetPlane(), STM_PLANE_YZ);
  EXPECT_EQ(saved->GetUnitLength(), "m");
  EXPECT_EQ(saved->GetUnitForce(), "N");
  // The code's usual materials, in N and m: 30 MPa is 3e7 N/m², 300 mm is 0.3 m.
  EXPECT_EQ(saved->GetMaterials().eCode, STM_CODE_EN_1992_1_1);
  EXPECT_DOUBLE_EQ(saved->GetMaterials().dConcreteStrength, 3e7);
  EXPECT_DOUBLE_EQ(saved->GetMaterials().dConcreteModulus, 3.3e10);
  EXPECT_DOUBLE_EQ(saved->GetMaterials().dThickness, 0.3);
  EXPECT_EQ(saved->GetStmDataView()->GetGridSpace().y, 0.1);
  ASSERT_EQ(saved->GetCountNode(0), 1);
  ASSERT_NE(saved->GetNode(1), nullptr);
  const CVector node = saved->GetNode(1)->GetCoord();
  EXPECT_NEAR(node.y, 0.4, 1e-9);
  EXPECT_NEAR(node.z, 0.3, 1e-9);
  // The newest first, and the oldest falls off the end.
  std::vector<std::string> recent = older;
  recent.insert(recent.begin(), path);
  recent.pop_back();
  EXPECT_EQ(Lines(RecentList()), recent);

  // A folder that cannot be written: the model keeps its name and nothing changes on disk.
  const std::string bytes = ReadFile(path);
  ASSERT_TRUE(m_editor.Key("ctrl+shift+s"));
  ASSERT_EQ(Get("dialog"), "save");
  EXPECT_EQ(Get("edit"), "plane-yz.stm.json");
  ASSERT_TRUE(m_editor.Type("/proc/stm-editor-test.stm.json"));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_TRUE(Has("box", "could not be saved as /proc/stm-editor-test.stm.json")) << Get("box");
  EXPECT_TRUE(Has("box", "still plane-yz.stm.json")) << Get("box");
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_EQ(Get("box"), "");
  EXPECT_EQ(Get("file"), path);
  EXPECT_TRUE(Has("title", "plane-yz.stm.json")) << Get("title");
  EXPECT_EQ(ReadFile(path), bytes);
  EXPECT_EQ(Lines(RecentList()), recent);

  // Another model's file is replaced only when the user says so; No goes back to the dialog.
  const std::string other = WritePolygon("other.stm.json", STM_PLANE_XY, {{0, 0}, {1000, 0}, {0, 1000}});
  ASSERT_TRUE(m_editor.Key("ctrl+shift+s"));
  ASSERT_TRUE(m_editor.Type("other"));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_TRUE(Has("box", other + " already exists. Replace it?")) << Get("box");
  ASSERT_TRUE(m_editor.Key("n"));
  EXPECT_EQ(Get("dialog"), "save");
  ASSERT_TRUE(m_editor.Key("Escape"));
  EXPECT_EQ(Get("dialog"), "");
  EXPECT_EQ(Get("file"), path);
  EXPECT_EQ(Saved(other)->GetPlane(), STM_PLANE_XY);

  // An unchanged model gives way to a new one without a question; the list brings it back.
  ASSERT_TRUE(m_editor.Key("ctrl+n"));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_EQ(Get("box"), "");
  EXPECT_EQ(Get("file"), "");
  EXPECT_EQ(m_editor.State().Int("plane"), STM_PLANE_XZ);
  EXPECT_EQ(Get("units"), "mm,kN");
  ASSERT_TRUE(m_editor.ClickItem("File"));
  ASSERT_TRUE(m_editor.HoverItem("Recent"));
  ASSERT_TRUE(m_editor.WaitFor([&](const StmEditorSession::SState&) { return m_editor.ItemEnabled(path) >= 0; },
                               "the recent files"));
  EXPECT_EQ(m_editor.ItemEnabled(path), 1);
  EXPECT_EQ(m_editor.ItemEnabled(gone), 0);
  EXPECT_LT(ItemY(path), ItemY(gone));
  ASSERT_TRUE(m_editor.ClickItem(path));
  EXPECT_EQ(Get("file"), path);
  EXPECT_EQ(m_editor.State().Int("plane"), STM_PLANE_YZ);
  EXPECT_EQ(m_editor.State().Int("view"), 2);
  EXPECT_EQ(Get("units"), "m,N");
  // A file opened again keeps its one place at the top.
  EXPECT_EQ(Lines(RecentList()), recent);
}

TEST_F(StmEditorFileSessionTest, TheOpenDialogListsAsksAboutChangesAndRefusesABrokenFile) {
  const std::string square = WritePolygon("a.stm.json", STM_PLANE_XZ, {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}, true);
  const std::string triangle = WritePolygon("b.stm.json", STM_PLANE_XY, {{0, 0}, {1000, 0}, {0, 1000}});
  // The first element names a node that is not there.
  std::string text = ReadFile(triangle);
  const size_t at = text.find("\"nodes\": [1, 2]");
  ASSERT_NE(at, std::string::npos) << text;
  std::ofstream(In("broken.stm.json")) << text.replace(at, 15, "\"nodes\": [1, 99]");
  fs::create_directories(In("sub"));
  std::ofstream(In("notes.txt")) << "not a model\n";

  ASSERT_TRUE(m_editor.Start(square));
  ASSERT_TRUE(m_editor.Click(CVector(500, 0, 0)));
  ASSERT_TRUE(m_editor.Key("Delete"));
  ASSERT_TRUE(TitleMarked());

  // Folders first, then model files, each in order; other files are not offered.
  ASSERT_TRUE(m_editor.Key("ctrl+o"));
  ASSERT_EQ(Get("dialog"), "open");
  EXPECT_EQ(Get("folder"), m_folder);
  EXPECT_LT(ItemY("sub/"), ItemY("a.stm.json"));
  EXPECT_LT(ItemY("a.stm.json"), ItemY("b.stm.json"));
  EXPECT_LT(ItemY("b.stm.json"), ItemY("broken.stm.json"));
  EXPECT_EQ(ItemY("notes.txt"), -1);

  // Cancel to the question keeps the changed model.
  ASSERT_TRUE(m_editor.Type(triangle));
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_EQ(Get("dialog"), "");
  EXPECT_TRUE(Has("box", "Save the changes to a.stm.json?")) << Get("box");
  ASSERT_TRUE(m_editor.Key("Escape"));
  EXPECT_EQ(Get("box"), "");
  EXPECT_EQ(Get("file"), square);
  EXPECT_TRUE(TitleMarked());
  EXPECT_EQ(m_editor.State().Int("view"), 4);

  // No discards the changes; the file on disk never had them.
  ASSERT_TRUE(m_editor.Key("ctrl+o"));
  ASSERT_TRUE(m_editor.Type(triangle));
  ASSERT_TRUE(m_editor.Key("Return"));
  ASSERT_TRUE(Has("box", "Save the changes")) << Get("box");
  ASSERT_TRUE(m_editor.Key("n"));
  EXPECT_EQ(Get("file"), triangle);
  EXPECT_TRUE(Has("title", "b.stm.json")) << Get("title");
  EXPECT_FALSE(TitleMarked());
  EXPECT_EQ(m_editor.State().Int("view"), 0);
  EXPECT_EQ(m_editor.State().Int("undo"), 0);
  EXPECT_EQ(Saved(square)->GetCountElement(1), 5);

  // A broken file is refused with the loader's word on where and what, and nothing changes.
  ASSERT_TRUE(m_editor.Key("ctrl+o"));
  ASSERT_TRUE(m_editor.Type("broken.stm.json"));
  ASSERT_TRUE(m_editor.Key("Return"));
  const std::string box = Get("box");
  EXPECT_NE(box.find(In("broken.stm.json")), std::string::npos) << box;
  EXPECT_NE(box.find("/elements/0/nodes/1"), std::string::npos) << box;
  EXPECT_NE(box.find("node 99 does not exist"), std::string::npos) << box;
  ASSERT_TRUE(m_editor.Key("Return"));
  EXPECT_EQ(Get("box"), "");
  EXPECT_EQ(Get("file"), triangle);
  ASSERT_TRUE(m_editor.Click(CVector(500, 0, 0)));
  EXPECT_EQ(m_editor.State().Int("selected"), 1);
  // The opened file is the saved state that undo comes back to.
  ASSERT_TRUE(m_editor.Key("Delete"));
  EXPECT_TRUE(TitleMarked());
  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  EXPECT_FALSE(TitleMarked());

  // Into a folder and up again, a file picked from the list, and OK; Esc cancels.
  ASSERT_TRUE(m_editor.Key("ctrl+o"));
  ASSERT_TRUE(m_editor.ClickItem("sub/"));
  EXPECT_EQ(Get("folder"), In("sub"));
  EXPECT_EQ(ItemY("a.stm.json"), -1);
  ASSERT_TRUE(m_editor.ClickItem("Up"));
  EXPECT_EQ(Get("folder"), m_folder);
  ASSERT_TRUE(m_editor.ClickItem("a.stm.json"));
  EXPECT_EQ(Get("edit"), "a.stm.json");
  ASSERT_TRUE(m_editor.ClickItem("OK"));
  EXPECT_EQ(Get("dialog"), "");
  EXPECT_EQ(Get("file"), square);
  EXPECT_EQ(m_editor.State().Int("view"), 4);
  ASSERT_TRUE(m_editor.Key("ctrl+o"));
  ASSERT_EQ(Get("dialog"), "open");
  ASSERT_TRUE(m_editor.Key("Escape"));
  EXPECT_EQ(Get("dialog"), "");
  EXPECT_EQ(Get("file"), square);

  // Yes to the question on New saves first.
  ASSERT_TRUE(m_editor.Click(CVector(500, 0, 0)));
  ASSERT_TRUE(m_editor.Key("Delete"));
  ASSERT_TRUE(m_editor.Key("ctrl+n"));
  ASSERT_TRUE(m_editor.Key("Return"));
  ASSERT_TRUE(Has("box", "Save the changes to a.stm.json?")) << Get("box");
  ASSERT_TRUE(m_editor.Key("y"));
  EXPECT_EQ(Get("file"), "");
  EXPECT_FALSE(TitleMarked());
  EXPECT_EQ(Saved(square)->GetCountElement(1), 4);
}

TEST_F(StmEditorFileSessionTest, ImportDxfFromTheMenuIsOneUndoStepAndABadDrawingChangesNothing) {
  const std::string dxf = std::string(STM_SOURCE_DIR) + "/tests/data/dxf/";
  const std::string file = In("empty.stm.json");
  {
    CStmModel empty;
    std::string error;
    ASSERT_TRUE(CStmModelFile::Save(file, empty, &error)) << error;
  }
  ASSERT_TRUE(m_editor.Start(file));
  auto import = [this](const std::string& path) {
    ASSERT_TRUE(m_editor.ClickItem("File"));
    ASSERT_TRUE(m_editor.ClickItem("Import DXF..."));
    ASSERT_EQ(Get("dialog"), "open");
    ASSERT_TRUE(m_editor.Type(path));
    ASSERT_TRUE(m_editor.Key("Return"));
  };
  import(dxf + "bad-crossing.dxf");
  EXPECT_TRUE(Has("status", "bad-crossing.dxf: outlines cross")) << Get("status");
  EXPECT_EQ(m_editor.State().Int("undo"), 0);
  EXPECT_FALSE(TitleMarked());

  import(dxf + "two-openings-guides.dxf");
  EXPECT_TRUE(Has("status", "Imported two-openings-guides.dxf")) << Get("status");
  EXPECT_EQ(m_editor.State().Int("undo"), 1);
  EXPECT_TRUE(TitleMarked());
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  const auto saved = Saved(file);
  EXPECT_EQ(saved->GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);
  EXPECT_EQ(saved->GetCountBoundary(STM_BOUNDARY_INNER, 1), 2);

  ASSERT_TRUE(m_editor.Key("ctrl+z"));
  ASSERT_TRUE(m_editor.Key("ctrl+s"));
  const auto undone = Saved(file);
  EXPECT_EQ(undone->GetCountBoundary(STM_BOUNDARY_OUTER, 1), 0);
  EXPECT_EQ(undone->GetCountBoundary(STM_BOUNDARY_INNER, 1), 0);
}

}  // namespace
