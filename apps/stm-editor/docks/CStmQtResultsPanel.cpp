// The Results dock's controls; none of them is an edit, so none takes an undo step.
#include "docks/CStmQtResultsPanel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

#include "docks/StmQtText.h"
#include "host/model/CStmModel.h"
#include "manager/CStmUbManager.h"

CStmQtResultsPanel::CStmQtResultsPanel(CStmUbManager& manager, QWidget* parent)
    : QWidget(parent), m_manager(manager), m_pCases(new QListWidget(this)), m_pStepCaption(new QLabel(this)),
      m_pStep(new QSlider(Qt::Horizontal, this)) {
  m_pCases->setObjectName("resultCases");
  m_pStep->setObjectName("esoStep");
  m_pStep->setPageStep(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pCases, 1);
  layout->addWidget(m_pStepCaption);
  layout->addWidget(m_pStep);
  // The layers that show results, and the legend of their colours.
  static const struct {
    const char* caption;
    unsigned bit;
  } kLayers[] = {
      {"Analysis Result", STM_SHOW_RESULTS}, {"Result Value", STM_SHOW_RESULT_VALUES},
      {"Reaction", STM_SHOW_REACTIONS},     {"Stress Flow", STM_SHOW_STRESS_FLOW},
      {"Arrow Head", STM_SHOW_ARROW_HEADS}, {"Mesh", STM_SHOW_MESH},
      {"Legend", STM_SHOW_LEGEND},
  };
  auto* switches = new QGridLayout();
  for (const auto& layer : kLayers) {
    auto* box = new QCheckBox(StmQtText(layer.caption), this);
    const unsigned bit = layer.bit;
    const int at = static_cast<int>(m_arLayer.size());
    switches->addWidget(box, at / 2, at % 2);
    m_arLayer.emplace_back(box, bit);
    connect(box, &QCheckBox::toggled, this, [this, bit](bool on) {
      CStmModel* model = m_manager.GetStmModel();
      if (m_bRefreshing || !model) return;
      model->GetStmDataView()->SetShowOption(bit, on ? 1 : 0);
      m_manager.InvalidateAllWnd();
      emit Changed();
    });
  }
  layout->addLayout(switches);
  connect(m_pCases, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!m_bRefreshing && row >= 0) emit CaseChosen(row - 1);
  });
  connect(m_pStep, &QSlider::valueChanged, this, [this](int step) {
    if (!m_bRefreshing) ShowStep(step);
  });
  Refresh();
}

void CStmQtResultsPanel::Refresh() {
  m_bRefreshing = true;
  const CStmModel* model = m_manager.GetStmModel();
  QStringList names{StmQtText("Model as put in")};
  if (model) {
    for (int i = 0; i < model->GetCountLoadConditionStatic(); ++i)
      names << QString::fromUtf8(model->GetLoadConditionStaticIndex(i)->GetName().c_str());
    for (int i = 0; i < model->GetCountLoadConditionCombo(); ++i)
      names << QString::fromUtf8(model->GetLoadConditionComboIndex(i)->GetName().c_str());
  }
  QStringList shown;
  for (int row = 0; row < m_pCases->count(); ++row) shown << m_pCases->item(row)->text();
  if (shown != names) {
    m_pCases->clear();
    m_pCases->addItems(names);
  }
  // Results stand only on a locked model; before that the model as put in is what is shown.
  const bool results = model && model->IsLock() && !(m_inputModelShown && m_inputModelShown());
  m_pCases->setCurrentRow(results ? m_manager.GetIndexLoadConditionResult() + 1 : 0);
  // The step chooser stands only while there are steps to choose from.
  const int steps = model ? model->GetCountStepEso() : 0;
  m_pStepCaption->setVisible(steps > 0);
  m_pStep->setVisible(steps > 0);
  m_pStep->setRange(1, std::max(steps, 1));
  const int step = model ? std::clamp(model->GetCurrentStepEso() + 1, 1, std::max(steps, 1)) : 1;
  m_pStep->setValue(step);
  m_pStepCaption->setText(StmQtText("Step %1 of %2").arg(step).arg(steps));
  for (const auto& [box, bit] : m_arLayer) box->setChecked(model && model->GetStmDataView()->IsShowOption(bit));
  m_bRefreshing = false;
}

void CStmQtResultsPanel::ShowStep(int step) {
  CStmModel* model = m_manager.GetStmModel();
  if (!model || model->GetCountStepEso() == 0) return;
  model->SetCurrentStepEso(std::clamp(step, 1, model->GetCountStepEso()) - 1);
  m_pStepCaption->setText(StmQtText("Step %1 of %2").arg(step).arg(model->GetCountStepEso()));
  m_manager.InvalidateAllWnd();
  emit Changed();
}
