// The results of an analysis exported from the editor as a user does: report, table and drawing,
// none of them an edit.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"
#include "support/RunProgram.h"
#include "support/StmEditorSession.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(StmEditorAnalysisSessionTest, ExportsReportTableAndDrawingOfTheResultsWithoutAnEdit) {
  const std::string why = StmEditorSession::Unavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  const std::string stem = std::string(STM_TEST_OUT_DIR) + "/corbel-" + std::to_string(getpid());
  std::filesystem::create_directories(STM_TEST_OUT_DIR);
  StmEditorSession editor;
  ASSERT_TRUE(editor.Start(std::string(STM_SOURCE_DIR) + "/examples/corbel.stm.json"));
  ASSERT_TRUE(editor.ClickItem("File"));
  EXPECT_EQ(editor.ItemEnabled("Export report..."), 0);
  ASSERT_TRUE(editor.ClickItem("File"));
  ASSERT_TRUE(editor.Key("F5"));
  ASSERT_EQ(editor.State().Int("locked"), 1);

  ASSERT_TRUE(editor.ClickItem("File"));
  ASSERT_TRUE(editor.ClickItem("Export report..."));
  ASSERT_EQ(editor.State().Get("dialog"), "save");
  EXPECT_EQ(editor.State().Get("edit"), "corbel.html");
  // The listing beside the model holds no model, and a name without an extension takes the
  // report's.
  EXPECT_EQ(editor.ItemEnabled("corbel.stm.json"), -1);
  ASSERT_TRUE(editor.Type(stem));
  ASSERT_TRUE(editor.Key("Return"));
  EXPECT_EQ(editor.State().Get("status"), "Report written to " + stem + ".html");
  const std::string report = ReadAll(stem + ".html");
  EXPECT_NE(report.find("<h2>"), std::string::npos);
  EXPECT_NE(report.find("src=\"data:image/png;base64,iVBOR"), std::string::npos);

  // The view as a drawing to scale, named after the model; the window keeps drawing afterwards.
  ASSERT_TRUE(editor.ClickItem("File"));
  ASSERT_TRUE(editor.ClickItem("Export drawing..."));
  EXPECT_EQ(editor.State().Get("edit"), "corbel.pdf");
  ASSERT_TRUE(editor.Type(stem + ".pdf"));
  ASSERT_TRUE(editor.Key("Return"));
  EXPECT_EQ(editor.State().Get("status"), "Drawing written to " + stem + ".pdf (1:50, A4 portrait)");
  const std::string info = stem + ".pdfinfo";
  ASSERT_EQ(RunProgram("pdfinfo", ShellQuote(stem + ".pdf") + " >" + ShellQuote(info), "pdfinfo").status, 0);
  EXPECT_NE(ReadAll(info).find("595.276 x 841.89 pts (A4)"), std::string::npos) << ReadAll(info);

  // A name the writer refuses is said on the status line, and nothing is written.
  ASSERT_TRUE(editor.ClickItem("File"));
  ASSERT_TRUE(editor.ClickItem("Export table..."));
  EXPECT_EQ(editor.State().Get("edit"), "corbel.csv");
  ASSERT_TRUE(editor.Type(stem + ".txt"));
  ASSERT_TRUE(editor.Key("Return"));
  EXPECT_NE(editor.State().Get("status").find(".txt"), std::string::npos) << editor.State().Get("status");
  EXPECT_FALSE(std::filesystem::exists(stem + ".txt"));
  ASSERT_TRUE(editor.ClickItem("File"));
  ASSERT_TRUE(editor.ClickItem("Export table..."));
  ASSERT_TRUE(editor.Type(stem + ".csv"));
  ASSERT_TRUE(editor.Key("Return"));
  EXPECT_EQ(editor.State().Get("status"), "Table written to " + stem + ".csv");
  EXPECT_GT(ReadAll(stem + ".csv").size(), 100u);
  // A table's dialog lists tables, not the report beside them.
  ASSERT_TRUE(editor.ClickItem("File"));
  ASSERT_TRUE(editor.ClickItem("Export table..."));
  ASSERT_TRUE(editor.Type(STM_TEST_OUT_DIR));
  ASSERT_TRUE(editor.Key("Return"));
  const std::string name = std::filesystem::path(stem).filename().string();
  EXPECT_EQ(editor.ItemEnabled(name + ".csv"), 1);
  EXPECT_EQ(editor.ItemEnabled(name + ".html"), -1);
  ASSERT_TRUE(editor.Key("Escape"));

  // Exporting is no edit: the model is neither marked nor given a step to undo.
  EXPECT_EQ(editor.State().Int("modified"), 0);
  EXPECT_EQ(editor.State().Int("undo"), 0);
  EXPECT_EQ(editor.State().Get("title").find('*'), std::string::npos) << editor.State().Get("title");
  for (const char* extension : {".html", ".csv", ".pdf", ".pdfinfo"}) std::filesystem::remove(stem + extension);
  std::filesystem::remove_all(StmEditorSession::ConfigDir());
}

}  // namespace
