#include "CStmQtTemplateSettings.h"

#include <QButtonGroup>
#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QSpinBox>

#include "StmToolCommands.h"
#include "actions/CStmActionAddArch.h"
#include "actions/CStmActionAddBottleShape.h"
#include "actions/CStmActionAddCombinedMechanism.h"
#include "actions/CStmActionAddTruss.h"
#include "docks/StmQtText.h"

namespace {

QWidget* Row(QWidget* parent, QLayout* into) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  into->addWidget(row);
  return row;
}

void Caption(QWidget* row, const QString& text) { row->layout()->addWidget(new QLabel(text, row)); }

template <class T>
std::vector<const char*> Labels(const std::vector<SStmChoice<T>>& choices) {
  std::vector<const char*> labels;
  for (const auto& choice : choices) labels.push_back(choice.label);
  return labels;
}

template <class T>
int IndexOf(const std::vector<SStmChoice<T>>& choices, T value) {
  for (size_t i = 0; i < choices.size(); ++i)
    if (choices[i].value == value) return static_cast<int>(i);
  return -1;
}

void Check(QButtonGroup* group, int index) {
  if (QAbstractButton* button = group->button(index)) button->setChecked(true);
}

}  // namespace

CStmQtTemplateSettings::CStmQtTemplateSettings(QWidget* parent) : QWidget(parent) {
  setObjectName("templateSettings");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  m_pTitle = new QLabel(this);
  layout->addWidget(m_pTitle);

  m_pBaysRow = Row(this, layout);
  Caption(m_pBaysRow, StmQtText("Bays"));
  m_pBays = new QSpinBox(m_pBaysRow);
  m_pBays->setObjectName("templateBays");
  m_pBays->setRange(1, StmTemplateLimits::kMaxBays);
  m_pBaysRow->layout()->addWidget(m_pBays);
  connect(m_pBays, qOverload<int>(&QSpinBox::valueChanged), this, [this](int bays) {
    if (m_bShowing) return;
    if (auto* truss = dynamic_cast<CStmActionAddTruss*>(m_pAction)) truss->SetBay(bays);
    if (auto* arch = dynamic_cast<CStmActionAddArch*>(m_pAction)) arch->SetBay(bays);
  });

  m_pTrussRow = Row(this, layout);
  Caption(m_pTrussRow, StmQtText("Third point"));
  m_pTrussPoint = AddChoices(m_pTrussRow, Labels(StmTrussPointChoices()), "templateTrussPoint", [this](int i) {
    if (auto* truss = dynamic_cast<CStmActionAddTruss*>(m_pAction)) truss->SetType(StmTrussPointChoices()[i].value);
  });
  Caption(m_pTrussRow, StmQtText("Diagonals"));
  m_pTrussDirection = AddChoices(m_pTrussRow, Labels(StmTrussDirectionChoices()), "templateDiagonals", [this](int i) {
    if (auto* truss = dynamic_cast<CStmActionAddTruss*>(m_pAction))
      truss->SetDirection(StmTrussDirectionChoices()[i].value);
  });

  m_pBottleRow = Row(this, layout);
  Caption(m_pBottleRow, StmQtText("Length to width"));
  m_pRatio = new QLineEdit(m_pBottleRow);
  m_pRatio->setObjectName("templateRatio");
  auto* validator = new QDoubleValidator(StmTemplateLimits::kMinRatio, StmTemplateLimits::kMaxRatio, 2, m_pRatio);
  validator->setNotation(QDoubleValidator::StandardNotation);
  validator->setLocale(QLocale::c());
  m_pRatio->setValidator(validator);
  m_pRatio->setMaximumWidth(m_pRatio->fontMetrics().horizontalAdvance("0000.00") + 12);
  m_pBottleRow->layout()->addWidget(m_pRatio);
  const QString ratioRange = StmQtText("The ratio of length to width lies from %1 to %2")
                                 .arg(StmTemplateLimits::kMinRatio)
                                 .arg(StmTemplateLimits::kMaxRatio);
  connect(m_pRatio, &QLineEdit::inputRejected, this, [this, ratioRange] { emit Refused(ratioRange); });
  connect(m_pRatio, &QLineEdit::textEdited, this, [this, ratioRange] {
    auto* bottle = dynamic_cast<CStmActionAddBottleShape*>(m_pAction);
    if (!bottle) return;
    // Only a value within the limits reaches the tool, which keeps the last one until then.
    if (m_pRatio->hasAcceptableInput()) bottle->SetRatio(QLocale::c().toDouble(m_pRatio->text()));
    else emit Refused(ratioRange);
  });
  Caption(m_pBottleRow, StmQtText("Ties"));
  m_pBottleTies = AddChoices(m_pBottleRow, Labels(StmBottleTieChoices()), "templateBottleTies", [this](int i) {
    if (auto* bottle = dynamic_cast<CStmActionAddBottleShape*>(m_pAction)) bottle->SetTie(StmBottleTieChoices()[i].value);
  });

  m_pCombinedRow = Row(this, layout);
  Caption(m_pCombinedRow, StmQtText("Ties"));
  m_pCombined = AddChoices(m_pCombinedRow, Labels(StmCombinedChoices()), "templateCombinedTies", [this](int i) {
    if (auto* combined = dynamic_cast<CStmActionAddCombinedMechanism*>(m_pAction))
      combined->SetType(StmCombinedChoices()[i].value);
  });
  layout->addStretch(1);
  hide();
}

QButtonGroup* CStmQtTemplateSettings::AddChoices(QWidget* row, const std::vector<const char*>& labels, const char* name,
                                                 std::function<void(int)> chosen) {
  auto* group = new QButtonGroup(row);
  for (size_t i = 0; i < labels.size(); ++i) {
    auto* button = new QRadioButton(StmQtText(labels[i]), row);
    button->setObjectName(QString("%1.%2").arg(name).arg(i));
    group->addButton(button, static_cast<int>(i));
    row->layout()->addWidget(button);
  }
  connect(group, &QButtonGroup::idClicked, this, [this, chosen](int index) {
    if (!m_bShowing) chosen(index);
  });
  return group;
}

void CStmQtTemplateSettings::Follow(CUbActionBase* action) {
  const bool isTemplate = dynamic_cast<CStmActionAddTruss*>(action) || dynamic_cast<CStmActionAddArch*>(action) ||
                          dynamic_cast<CStmActionAddBottleShape*>(action) ||
                          dynamic_cast<CStmActionAddCombinedMechanism*>(action);
  if (!isTemplate) action = nullptr;
  if (action == m_pAction) return;
  m_pAction = action;
  setVisible(action != nullptr);
  if (action) Show();
}

void CStmQtTemplateSettings::Show() {
  m_bShowing = true;
  auto* truss = dynamic_cast<CStmActionAddTruss*>(m_pAction);
  auto* arch = dynamic_cast<CStmActionAddArch*>(m_pAction);
  auto* bottle = dynamic_cast<CStmActionAddBottleShape*>(m_pAction);
  auto* combined = dynamic_cast<CStmActionAddCombinedMechanism*>(m_pAction);
  m_pTitle->setText(truss ? StmQtText("Truss") : arch ? StmQtText("Arch") : bottle ? StmQtText("Bottle shape") : StmQtText("Combined mechanism"));
  m_pBaysRow->setVisible(truss || arch);
  m_pTrussRow->setVisible(truss);
  m_pBottleRow->setVisible(bottle);
  m_pCombinedRow->setVisible(combined);
  if (truss || arch) m_pBays->setValue(truss ? truss->GetBay() : arch->GetBay());
  if (truss) {
    Check(m_pTrussPoint, IndexOf(StmTrussPointChoices(), truss->GetType()));
    Check(m_pTrussDirection, IndexOf(StmTrussDirectionChoices(), truss->GetDirection()));
  }
  if (bottle) {
    m_pRatio->setText(QString::number(bottle->GetRatio(), 'g', 6));
    Check(m_pBottleTies, IndexOf(StmBottleTieChoices(), bottle->GetTie()));
  }
  if (combined) Check(m_pCombined, IndexOf(StmCombinedChoices(), combined->GetType()));
  m_bShowing = false;
}
