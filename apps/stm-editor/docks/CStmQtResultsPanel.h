// The Results dock: which load case's or combination's results are shown, which step of the
// load path, and which result layers and legend are drawn.
#pragma once

#include <QWidget>

#include <functional>
#include <vector>

class CStmUbManager;
class QCheckBox;
class QLabel;
class QListWidget;
class QSlider;

class CStmQtResultsPanel : public QWidget {
  Q_OBJECT
public:
  explicit CStmQtResultsPanel(CStmUbManager& manager, QWidget* parent = nullptr);
  void Refresh();
  // Whether the results stand hidden so that the model is seen as put in (the first row).
  void SetInputModelShown(std::function<bool()> shown) { m_inputModelShown = std::move(shown); }
  QListWidget* GetCases() const { return m_pCases; }
  QSlider* GetStep() const { return m_pStep; }

signals:
  // Row 0 is the model as put in (-1), then the load cases and the combinations.
  void CaseChosen(int index);
  // A layer or the step shown changed: the drawing is redrawn, nothing is edited.
  void Changed();

private:
  void ShowStep(int step);

  CStmUbManager& m_manager;
  QListWidget* m_pCases;
  QLabel* m_pStepCaption;
  QSlider* m_pStep;
  std::vector<std::pair<QCheckBox*, unsigned>> m_arLayer;
  bool m_bRefreshing = false;
  std::function<bool()> m_inputModelShown;
};
