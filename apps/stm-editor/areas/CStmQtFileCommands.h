// New, open, the recent files, DXF import with its preview, exports, the key list.
#pragma once

#include <QString>
#include <string>

#include "CStmQtCommandArea.h"

class QDialog;
class QMenu;

class CStmQtFileCommands : public CStmQtCommandArea {
  Q_OBJECT
public:
  using CStmQtCommandArea::CStmQtCommandArea;

  void AddCommands(CStmCommandTable& table) override;
  void AddHandlers(Handlers& run) override;
  void AfterBuild() override;
  void Refresh() override;

  QMenu* RecentMenu() const { return m_pRecent; }
  QDialog* KeysDialog() const { return m_pKeys; }

private:
  void NewModel();
  void FillRecent();
  void OpenRecent(const std::string& path);
  void ImportDxf();
  // Neither touches the model nor its history; a refused name is said on the status line.
  void ExportDrawing();
  void ExportResults(bool report);
  void ToggleKeys();
  // A file dialog of the editor's own kind (the same on every desktop), started in the model's
  // folder; filters "PDF (*.pdf);;SVG (*.svg)": a saved name without an extension takes the
  // chosen filter's. Empty when cancelled.
  QString AskFile(bool save, const QString& title, const QString& filters, const QString& name = QString());

  QMenu* m_pRecent = nullptr;
  QDialog* m_pKeys = nullptr;
};
