// The Qt editor's File and Help menus driven through their real dialogs: a new model, the
// recent files, DXF import with its preview, the exports, the key list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>

#include "CStmQtFileDialogs.h"
#include "StmQtWindowFixture.h"
#include "areas/CStmQtFileCommands.h"
#include "support/StmSavedModel.h"

namespace {

class StmQtFile : public StmQtWindowTest {
protected:
  QString In(const QString& name) const { return m_files.filePath(name); }

  // The name typed into the file dialog, and Enter; `shown` gets the name it offered.
  static void PickFile(const QString& path, QString* shown = nullptr) {
    OnNextDialog<QFileDialog>([path, shown](QFileDialog& dialog) {
      auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(edit, nullptr);
      if (shown) *shown = edit->text();
      edit->setText(path);
      QTest::keyClick(edit, Qt::Key_Return);
    });
  }

  QTemporaryDir m_files;
};

void Trigger(CStmMainWindow& window, const char* id) {
  ASSERT_TRUE(window.Action(id)->isEnabled()) << id;
  window.Action(id)->trigger();
}

}  // namespace

// New asks for plane, units and code, keeps the style, and asks about unsaved changes only once
// the user has said what replaces them; the recent files come back newest first, a gone one is
// said and dropped; F1 lists the view's keys before the commands'.
TEST_F(StmQtFile, NewModelRecentFilesAndTheKeyList) {
  CStmModel plane;
  plane.SetPlane(STM_PLANE_XY);
  Save(plane);
  const std::string kept = m_path;
  const std::string gone = In("gone.stm.json").toStdString();
  QDir().mkpath(m_config.filePath("stm-editor"));
  const std::string list = m_config.filePath("stm-editor/recent").toStdString();
  std::ofstream(list) << gone + "\n" + kept + "\n";

  auto window = Start();
  Trigger(*window, "view.styleLight");
  ClickTool(*window, "toolbar.draw", "draw.node");
  ClickView(*window, OnGrid(*window, {window->View()->width() / 2, window->View()->height() / 2}));
  QTest::keyClick(window->View(), Qt::Key_Escape);
  ASSERT_TRUE(window->windowTitle().endsWith("*"));

  // Cancel in the dialog: no question, the drawn node stays.
  OnNextDialog<CStmQtNewModelDialog>([](CStmQtNewModelDialog& dialog) { dialog.reject(); });
  Key(*window, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(window->Model().GetCountNode(1), 1);
  EXPECT_EQ(window->StatusMessage().toStdString(), QString("No new model; the model shown is as it was").toStdString());

  OnNextDialog<CStmQtNewModelDialog>([](CStmQtNewModelDialog& dialog) {
    for (const char* choice : {"y-z", "m", "N", "EN 1992-1-1"}) dialog.findChild<QRadioButton*>(choice)->click();
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  QString asked;
  AnswerNextBox(QMessageBox::No, &asked);
  Key(*window, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(asked, "Save the changes to untitled?");
  CStmModel& model = window->Model();
  EXPECT_EQ(model.GetCountNode(1), 0);
  EXPECT_EQ(model.GetPlane(), STM_PLANE_YZ);
  EXPECT_EQ(model.GetUnitLength(), "m");
  EXPECT_EQ(model.GetUnitForce(), "N");
  // The code's usual materials in N and m, and a grid in round numbers of a metre.
  EXPECT_EQ(model.GetMaterials().eCode, STM_CODE_EN_1992_1_1);
  EXPECT_DOUBLE_EQ(model.GetMaterials().dThickness, 0.3);
  EXPECT_DOUBLE_EQ(model.GetStmDataView()->GetGridSpace().y, 0.1);
  EXPECT_EQ(model.GetStmDataView()->GetTypeColor(), STM_COLOR_LIGHT);
  EXPECT_FALSE(window->windowTitle().endsWith("*"));
  EXPECT_EQ(window->Manager().CheckConsistency(), CString());

  QMenu* recent = window->FileCommands().RecentMenu();
  ASSERT_NE(recent, nullptr);
  EXPECT_TRUE(recent->isEnabled());
  emit recent->aboutToShow();
  ASSERT_EQ(recent->actions().size(), 2);
  EXPECT_EQ(recent->actions()[0]->text().toStdString(), gone);
  recent->actions()[0]->trigger();
  EXPECT_TRUE(window->StatusMessage().contains("no longer there")) << window->StatusMessage().toStdString();
  EXPECT_EQ(model.GetPlane(), STM_PLANE_YZ);
  EXPECT_EQ(QString::fromStdString(ReadFile(list)).split('\n', Qt::SkipEmptyParts),
            QStringList{QString::fromStdString(kept)});
  emit recent->aboutToShow();
  ASSERT_EQ(recent->actions().size(), 1);
  recent->actions()[0]->trigger();
  EXPECT_EQ(window->Model().GetPlane(), STM_PLANE_XY);
  EXPECT_TRUE(window->windowTitle().contains("model.stm.json"));

  Key(*window, Qt::Key_F1);
  QDialog* keys = window->FileCommands().KeysDialog();
  ASSERT_NE(keys, nullptr);
  EXPECT_TRUE(keys->isVisible());
  EXPECT_TRUE(window->Action("help.keys")->isChecked());
  auto* table = keys->findChild<QTableWidget*>();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->item(0, 0)->text(), "Left click");
  EXPECT_FALSE(table->findItems("Ctrl+N", Qt::MatchExactly).isEmpty());
  keys->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close)->click();
  EXPECT_FALSE(window->Action("help.keys")->isChecked());
}

// A broken drawing is refused with its name and the fault, and nothing changes; the preview says
// what will be created and from which layers; Cancel changes nothing; OK is one undo step, which
// Ctrl+Z takes back with the scene the model's.
TEST_F(StmQtFile, ImportDxfPreviewedFromTheMenuIsOneUndoStepAndABrokenFileIsRefused) {
  const QString dxf = QString(STM_SOURCE_DIR) + "/tests/data/dxf/";
  SaveModel({CVector(0, 0, 0), CVector(1000, 0, 0)}, {{1, 2}});
  auto window = Start(m_path);
  CStmModel& model = window->Model();

  PickFile(dxf + "bad-crossing.dxf");
  QString box;
  AnswerNextBox(QMessageBox::Ok, &box);
  Trigger(*window, "file.importDxf");
  EXPECT_TRUE(box.contains("bad-crossing.dxf: outlines cross")) << box.toStdString();
  EXPECT_FALSE(window->Action("edit.undo")->isEnabled());

  QString summary, layers, layer;
  PickFile(dxf + "two-openings-guides.dxf");
  OnNextDialog<CStmQtDxfImportDialog>([&](CStmQtDxfImportDialog& preview) {
    auto* picker = preview.findChild<QComboBox*>("guideLayer");
    layer = picker->currentText();
    picker->setCurrentIndex(0);
    summary = preview.findChild<QLabel*>("dxfSummary")->text();
    preview.reject();
  });
  Trigger(*window, "file.importDxf");
  EXPECT_TRUE(summary.contains("0 guidelines")) << summary.toStdString();
  EXPECT_TRUE(layer.contains("GUIDE", Qt::CaseInsensitive)) << layer.toStdString();
  EXPECT_EQ(window->StatusMessage().toStdString(), QString("Nothing was imported").toStdString());
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_OUTER, 1), 0);

  PickFile(dxf + "two-openings-guides.dxf");
  OnNextDialog<CStmQtDxfImportDialog>([&](CStmQtDxfImportDialog& preview) {
    summary = preview.findChild<QLabel*>("dxfSummary")->text();
    layers = preview.findChild<QLabel*>("dxfLayers")->text();
    preview.accept();
  });
  Trigger(*window, "file.importDxf");
  EXPECT_TRUE(summary.contains("Opening 2: ")) << summary.toStdString();
  EXPECT_FALSE(summary.contains("0 guidelines")) << summary.toStdString();
  EXPECT_TRUE(layers.contains(layer + ": ")) << layers.toStdString();
  EXPECT_TRUE(window->StatusMessage().startsWith("Imported two-openings-guides.dxf")) << window->StatusMessage().toStdString();
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_OUTER, 1), 1);
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_INNER, 1), 2);
  EXPECT_EQ(window->Manager().GetUndoCount(), 1);
  EXPECT_EQ(window->Manager().CheckConsistency(), CString());
  EXPECT_TRUE(window->windowTitle().endsWith("*"));

  Key(*window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_OUTER, 1), 0);
  EXPECT_EQ(model.GetCountBoundary(STM_BOUNDARY_INNER, 1), 0);
  EXPECT_EQ(window->Manager().CheckConsistency(), CString());
  EXPECT_FALSE(window->windowTitle().endsWith("*"));

  // A broken file picked in Open is refused with the loader's word on the file, and the model shown
  // stays; Save as into a folder that cannot be made says so and the model keeps its own file.
  for (const auto& [name, text] : {std::pair{"broken.stm.json", "{\"nodes\": [1, 2"}, {"plain", "not a folder"}})
    std::ofstream(In(name).toStdString()) << text;
  QString said;
  PickFile(In("broken.stm.json"));
  AnswerNextBox(QMessageBox::Ok, &said);
  Trigger(*window, "file.open");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !said.isEmpty(); }, 5000));
  EXPECT_TRUE(said.contains("broken.stm.json")) << said.toStdString();
  EXPECT_EQ(window->Actions().GetPath(), m_path);
  EXPECT_EQ(window->Model().GetCountElement(1), 1);

  said.clear();
  PickFile(In("plain/copy.stm.json"));
  AnswerNextBox(QMessageBox::Ok, &said);
  Trigger(*window, "file.saveAs");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !said.isEmpty() || !window->StatusMessage().isEmpty(); }, 5000));
  EXPECT_EQ(window->Actions().GetPath(), m_path);
  EXPECT_FALSE(QFile::exists(In("plain/copy.stm.json")));
  EXPECT_FALSE(window->windowTitle().endsWith("*"));
}

// The report, the drawing and the table of an analysed model, each named after the model; a name
// without an extension takes the filter's, one the writer refuses is said and writes nothing;
// exporting is no edit.
TEST_F(StmQtFile, ExportsReportDrawingAndTableWithoutAnEdit) {
  CStmModel corbel;
  ASSERT_TRUE(LoadSolved(std::string(STM_SOURCE_DIR) + "/examples/corbel.stm.json", corbel));
  corbel.SetLock(1);
  Save(corbel);
  auto window = Start(m_path);
  const QString stem = In("out");

  // Each export named after the model, and the start of the file written.
  const auto exported = [&window](const char* id, const QString& typed, const char* offered, const QString& said,
                                  const std::string& written) {
    QString shown;
    PickFile(typed, &shown);
    Trigger(*window, id);
    EXPECT_EQ(shown, offered);
    EXPECT_EQ(window->StatusMessage().toStdString(), said.toStdString());
    EXPECT_NE(ReadFile(said.section(' ', 3, 3).toStdString()).find(written), std::string::npos) << id;
  };
  exported("file.exportReport", stem, "model.html", "Report written to " + stem + ".html",
           "src=\"data:image/png;base64,iVBOR");
  exported("file.exportDrawing", stem, "model.pdf", "Drawing written to " + stem + ".pdf (1:50, A4 portrait)",
           "%PDF-");
  exported("file.exportTable", stem, "model.csv", "Table written to " + stem + ".csv", "\n");
  PickFile(stem + ".txt");
  Trigger(*window, "file.exportTable");
  EXPECT_TRUE(window->StatusMessage().contains(".txt")) << window->StatusMessage().toStdString();
  EXPECT_FALSE(QFile::exists(stem + ".txt"));

  EXPECT_FALSE(window->windowTitle().endsWith("*"));
  EXPECT_EQ(window->Manager().GetUndoCount(), 0);
}

