#include "StmQtLook.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

namespace {

QPalette DarkPalette() {
  const QColor window(53, 53, 53), base(35, 35, 35), text(230, 230, 230), muted(128, 128, 128);
  QPalette p;
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, muted);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, Qt::red);
  p.setColor(QPalette::Link, QColor(95, 160, 230));
  p.setColor(QPalette::Highlight, QColor(42, 130, 218));
  p.setColor(QPalette::HighlightedText, Qt::black);
  p.setColor(QPalette::Light, QColor(75, 75, 75));
  p.setColor(QPalette::Midlight, QColor(65, 65, 65));
  p.setColor(QPalette::Mid, QColor(45, 45, 45));
  p.setColor(QPalette::Dark, QColor(25, 25, 25));
  p.setColor(QPalette::Shadow, Qt::black);
  for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, muted);
  p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(80, 80, 80));
  return p;
}

}  // namespace

void StmApplyQtLook(EStmTypeColor style) {
  static int applied = -1;
  if (applied == static_cast<int>(style)) return;
  applied = static_cast<int>(style);
  QApplication::setPalette(style == STM_COLOR_LIGHT ? QApplication::style()->standardPalette() : DarkPalette());
}
