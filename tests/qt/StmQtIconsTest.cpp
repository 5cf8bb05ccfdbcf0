// The toolbars' icons: each toolbar command is a command of the editor, has its own icon in the
// resources, and that icon is a drawing Qt reads, in the one size and colour all of them share.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <filesystem>
#include <set>
#include <string>

#include "StmToolbars.h"
#include "support/StmSavedModel.h"

// The resources live in a static library: nothing pulls them in until they are asked for.
static void LoadIcons() { Q_INIT_RESOURCE(icons); }

namespace {

// The editor's sources, where each command's id is written once as a literal.
std::string CommandSources() {
  std::string text;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(STM_SOURCE_DIR "/apps")) {
    if (entry.path().extension() != ".cpp" || entry.path().filename() == "StmToolbars.cpp") continue;
    text += ReadFile(entry.path().string());
  }
  return text;
}

// Every colour the drawing names; "none" and the inherited default do not count.
void CheckOneColour(const QByteArray& svg, const std::string& id) {
  QXmlStreamReader xml(svg);
  ASSERT_TRUE(xml.readNextStartElement()) << id;
  EXPECT_EQ(xml.name().toString(), "svg") << id;
  EXPECT_EQ(xml.attributes().value("viewBox").toString(), "0 0 24 24") << id;
  const QString colour = xml.attributes().value("stroke").toString();
  EXPECT_FALSE(colour.isEmpty()) << id << ": no stroke colour on the drawing";
  do {
    if (!xml.isStartElement()) continue;
    for (const char* paint : {"stroke", "fill"}) {
      const QString value = xml.attributes().value(paint).toString();
      EXPECT_TRUE(value.isEmpty() || value == "none" || value == colour)
          << id << ": " << paint << " " << value.toStdString() << " beside " << colour.toStdString();
    }
  } while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::Invalid);
  EXPECT_FALSE(xml.hasError()) << id << ": " << xml.errorString().toStdString();
}

TEST(StmQtIcons, EveryToolbarCommandIsACommandWithItsOwnIconDrawnInTheSharedStyle) {
  LoadIcons();
  const std::string sources = CommandSources();
  std::set<std::string> seen;
  for (const SStmToolbar& toolbar : StmToolbars()) {
    EXPECT_FALSE(toolbar.commands.empty()) << toolbar.name;
    for (const std::string& id : toolbar.commands) {
      EXPECT_TRUE(seen.insert(id).second) << id << " is on the toolbars twice";
      EXPECT_NE(sources.find('"' + id + '"'), std::string::npos) << id << " names no command of the editor";
      QFile file(QString::fromStdString(StmCommandIcon(id)));
      if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << id << ": no icon " << StmCommandIcon(id);
        continue;
      }
      const QByteArray svg = file.readAll();
      CheckOneColour(svg, id);

      QSvgRenderer renderer(svg);
      ASSERT_TRUE(renderer.isValid()) << id;
      QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      QPainter painter(&image);
      renderer.render(&painter);
      painter.end();
      int inked = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 64;
      // A line drawing: something to see, and not a blot at toolbar size.
      EXPECT_GT(inked, 24) << id;
      EXPECT_LT(inked, 24 * 24 / 2) << id;
    }
  }
}

}  // namespace
