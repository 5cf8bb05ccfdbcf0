// The settings of the template tool that runs (bays, the truss's third point and diagonals, the
// bottle shape's ratio and ties, the combined mechanism's ties), as widgets that refuse what the
// tool cannot take. The settings live on the scene's template tools, which last as long as the
// scene, so each template keeps what the user set from one use to the next.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

class CUbActionBase;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QSpinBox;

class CStmQtTemplateSettings : public QWidget {
  Q_OBJECT
public:
  explicit CStmQtTemplateSettings(QWidget* parent = nullptr);

  // Shows the settings of the tool given when it is a template, and hides them otherwise.
  void Follow(CUbActionBase* action);

signals:
  // A value was refused: the reason, for the status line.
  void Refused(const QString& reason);

private:
  // A row of radio buttons, one per choice, whose click hands its index on.
  QButtonGroup* AddChoices(QWidget* row, const std::vector<const char*>& labels, const char* name,
                           std::function<void(int)> chosen);
  void Show();

  CUbActionBase* m_pAction = nullptr;
  QLabel* m_pTitle = nullptr;
  QWidget* m_pBaysRow = nullptr;
  QSpinBox* m_pBays = nullptr;
  QWidget* m_pTrussRow = nullptr;
  QButtonGroup* m_pTrussPoint = nullptr;
  QButtonGroup* m_pTrussDirection = nullptr;
  QWidget* m_pBottleRow = nullptr;
  QLineEdit* m_pRatio = nullptr;
  QButtonGroup* m_pBottleTies = nullptr;
  QWidget* m_pCombinedRow = nullptr;
  QButtonGroup* m_pCombined = nullptr;
  bool m_bShowing = false;
};
