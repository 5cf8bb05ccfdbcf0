// The File menu's dialogs of our own: the choices of a new model, and the preview of a DXF
// import (what will be created, from which layers) with the guidelines' layer and the unit.
#pragma once

#include <QDialog>
#include <string>

#include "CStmEditorActions.h"
#include "host/model/StmDxfImport.h"

class QButtonGroup;
class QComboBox;
class QDialogButtonBox;
class QLabel;

class CStmQtNewModelDialog : public QDialog {
  Q_OBJECT
public:
  // Opens with what a fresh model has unless the user changes it.
  explicit CStmQtNewModelDialog(QWidget* parent);
  SStmNewModel Choice() const;

private:
  QButtonGroup* m_pPlane = nullptr;
  QButtonGroup* m_pLength = nullptr;
  QButtonGroup* m_pForce = nullptr;
  QButtonGroup* m_pCode = nullptr;
};

class CStmQtDxfImportDialog : public QDialog {
  Q_OBJECT
public:
  // drawing: the file as first read (guidelines from a layer named for guides, the file's unit);
  // each choice reads the file again, so that the preview is what OK imports.
  CStmQtDxfImportDialog(QWidget* parent, const std::string& path, const SStmDxfOptions& options,
                        const SStmDxfDrawing& drawing);
  const SStmDxfDrawing& Drawing() const { return m_drawing; }

private:
  void Reread();
  void Show();

  std::string m_strPath;
  SStmDxfOptions m_options;
  SStmDxfDrawing m_drawing;
  QComboBox* m_pLayer = nullptr;
  QComboBox* m_pUnit = nullptr;
  QLabel* m_pSummary = nullptr;
  QLabel* m_pLayers = nullptr;
  QDialogButtonBox* m_pButtons = nullptr;
};
