// The Properties grid: rows laid out from the selection's properties, edits handed back to them.
#include "docks/CStmQtPropertyGrid.h"

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <QVBoxLayout>

#include "docks/StmQtText.h"
#include "host/model/CStmModel.h"
#include "host/platform/StmTextN.h"

namespace {

using P = CStmSelectionProperties;

QString Q(const CString& text) { return QString::fromUtf8(text.c_str()); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// The rows

CStmQtPropertyModel::CStmQtPropertyModel(CStmUbManager& manager, QObject* parent)
    : QStandardItemModel(parent), m_props(manager) {
  setColumnCount(kColumnCount);
}

QString CStmQtPropertyModel::GetMessage() const { return Q(m_props.GetMessage()); }

void CStmQtPropertyModel::Refresh() {
  m_props.Refresh();
  clear();
  m_arEdit.clear();
  m_arRemove.clear();
  setHorizontalHeaderLabels({StmQtText("Property"), StmQtText("Value"), StmQtText("Unit")});
  const CStmModel* model = m_props.GetModel();
  if (!model) return;
  const QString length = Q(model->GetUnitLength()), force = Q(model->GetUnitForce());
  if (m_props.GetCountNode() > 0) AddNodes(length, force);
  if (m_props.GetCountElement() > 0) AddElements();
  AddCases();
  AddModel(length, force);
}

QStandardItem* CStmQtPropertyModel::Group(const QString& name, const QString& note) {
  auto* item = new QStandardItem(name);
  QFont font = item->font();
  font.setBold(true);
  item->setFont(font);
  appendRow({item, new QStandardItem(note), new QStandardItem()});
  return item;
}

void CStmQtPropertyModel::Removable(QStandardItem* group, std::function<bool()> remove) {
  const int row = group->rowCount() - 1;
  for (int column = 0; column < kColumnCount; ++column) {
    if (QStandardItem* item = group->child(row, column)) item->setData(static_cast<int>(m_arRemove.size()), kRemoveRole);
  }
  m_arRemove.push_back(std::move(remove));
}

void CStmQtPropertyModel::Field(QStandardItem* group, const QString& name, const P::SValue& value,
                                const QString& unit, std::function<bool(const CString&)> edit) {
  auto* label = new QStandardItem(name);
  auto* cell = new QStandardItem(value.mixed ? StmQtText("mixed") : Q(value.text));
  cell->setData(value.mixed, kMixedRole);
  if (value.mixed) {
    QFont font = cell->font();
    font.setItalic(true);
    cell->setFont(font);
    cell->setForeground(Qt::gray);
  }
  cell->setData(static_cast<int>(m_arEdit.size()), kEditRole);
  m_arEdit.push_back({std::move(edit), nullptr});
  auto* unitItem = new QStandardItem(unit);
  group->appendRow({label, cell, unitItem});
}

void CStmQtPropertyModel::Choice(QStandardItem* group, const QString& name, const QStringList& choices, int chosen,
                                 std::function<bool(int)> edit) {
  auto* label = new QStandardItem(name);
  const bool known = chosen >= 0 && chosen < choices.size();
  auto* cell = new QStandardItem(known ? choices[chosen] : chosen == P::kMixed ? StmQtText("mixed") : QString());
  cell->setData(choices, kChoicesRole);
  cell->setData(known ? chosen : -1, kChoiceRole);
  cell->setData(chosen == P::kMixed, kMixedRole);
  cell->setData(static_cast<int>(m_arEdit.size()), kEditRole);
  m_arEdit.push_back({nullptr, std::move(edit)});
  group->appendRow({label, cell, new QStandardItem()});
}

void CStmQtPropertyModel::AddNodes(const QString& length, const QString& force) {
  QStandardItem* group = Group(StmQtText("Nodes"), Q(StmTextCount("%d selected", "%d selected", m_props.GetCountNode())));
  for (int axis = 0; axis < 2; ++axis) {
    const P::EField field = axis == 0 ? P::kNodeH : P::kNodeV;
    Field(group, QString::fromUtf8(m_props.GetAxisName(axis)), m_props.GetValue(field), length,
          [this, field](const CString& text) { return m_props.SetValue(field, text); });
  }
  // "Other" is a support read from a file that none of the four names; it is shown, not offered.
  const int restraint = m_props.GetRestraint();
  QStringList supports{StmQtText("Free"), StmQtText("Pin"), StmQtText("Roller"), StmQtText("Fixed")};
  if (restraint == P::kRestraintOther) supports << StmQtText("other");
  Choice(group, StmQtText("Support"), supports, restraint, [this](int kind) {
    return m_props.SetRestraint(static_cast<P::ERestraint>(kind));
  });
  if (restraint != P::kRestraintFree)
    Field(group, StmQtText("Support angle"), m_props.GetValue(P::kRollerAngle), StmQtText("deg"),
          [this](const CString& text) { return m_props.SetValue(P::kRollerAngle, text); });
  static const char* const kSprings[] = {"Spring Ux", "Spring Uy", "Spring Uz", "Spring Rx", "Spring Ry", "Spring Rz"};
  for (int i = 0; i < 6; ++i) {
    const P::EField field = static_cast<P::EField>(P::kSpringUx + i);
    if (!m_props.IsSpringInPlane(field)) continue;
    const QString unit = i < 3 ? force + "/" + length : force + "\u00b7" + length + "/rad";
    Field(group, StmQtText(kSprings[i]), m_props.GetValue(field), unit,
          [this, field](const CString& text) { return m_props.SetValue(field, text); });
  }
  Field(group, StmQtText("Plate width"), m_props.GetValue(P::kPlateWidth), length,
        [this](const CString& text) { return m_props.SetValue(P::kPlateWidth, text); });
  Field(group, StmQtText("Plate thickness"), m_props.GetValue(P::kPlateThickness), length,
        [this](const CString& text) { return m_props.SetValue(P::kPlateThickness, text); });
  const std::vector<P::SCase>& cases = m_props.GetCases();
  for (int i = 0; i < static_cast<int>(cases.size()); ++i) {
    if (cases[i].combo) continue;
    for (int axis = 0; axis < 2; ++axis) {
      const QString name = StmQtText("Load %1 %2").arg(Q(cases[i].name), QString::fromUtf8(m_props.GetAxisName(axis)));
      Field(group, name, cases[i].load[axis], force,
            [this, i, axis](const CString& text) { return m_props.SetLoad(i, axis, text); });
    }
  }
}

void CStmQtPropertyModel::AddElements() {
  QStandardItem* group = Group(StmQtText("Elements"), Q(StmTextCount("%d selected", "%d selected", m_props.GetCountElement())));
  Choice(group, StmQtText("Member"), {StmQtText("Analysis decides"), StmQtText("Strut"), StmQtText("Tie")},
         m_props.GetMember(), [this](int member) { return m_props.SetMember(member); });
  // The type tables are the model's own words; the first choice is none (-1).
  const CStmModel* model = m_props.GetModel();
  QStringList struts{StmQtText("None")}, ties{StmQtText("None")};
  for (int i = 0; i < model->GetStmDataDefine()->GetCountStrut(); ++i)
    struts << Q(model->GetStmDataDefine()->GetStrutType(i)->strName);
  for (int i = 0; i < model->GetStmDataDefine()->GetCountTie(); ++i)
    ties << Q(model->GetStmDataDefine()->GetTieType(i)->strName);
  const auto shifted = [](int index) { return index == P::kMixed ? P::kMixed : index + 1; };
  Choice(group, StmQtText("Strut type"), struts, shifted(m_props.GetStrutType()),
         [this](int index) { return m_props.SetStrutType(index - 1); });
  Choice(group, StmQtText("Tie type"), ties, shifted(m_props.GetTieType()),
         [this](int index) { return m_props.SetTieType(index - 1); });
  Field(group, StmQtText("Thickness scale"), m_props.GetValue(P::kElementThicknessScale), "\u00d7",
        [this](const CString& text) { return m_props.SetValue(P::kElementThicknessScale, text); });
  Field(group, StmQtText("Attribute"), m_props.GetValue(P::kElementAttribute), QString(),
        [this](const CString& text) { return m_props.SetValue(P::kElementAttribute, text); });
}

void CStmQtPropertyModel::AddCases() {
  QStandardItem* group = Group(StmQtText("Load cases"));
  const std::vector<P::SCase>& cases = m_props.GetCases();
  QStringList names;
  for (const P::SCase& entry : cases) names << Q(entry.name);
  if (!cases.empty())
    Choice(group, StmQtText("Loads shown"), names, m_props.GetShownCase(),
           [this](int index) { return m_props.ShowCase(index); });
  for (int i = 0; i < static_cast<int>(cases.size()); ++i) {
    const P::SCase& entry = cases[i];
    P::SValue name;
    name.text = entry.name;
    Field(group, entry.combo ? StmQtText("Combination") : StmQtText("Load case"), name, QString(),
          [this, i](const CString& text) { return m_props.RenameCase(i, text); });
    Removable(group, [this, i] { return m_props.DeleteCase(i); });
    QStandardItem* caseRow = group->child(group->rowCount() - 1);
    for (const P::STerm& term : entry.terms) {
      const int termCase = term.caseIndex, termId = term.id;
      Field(caseRow, StmQtText("\u00d7 %1").arg(Q(term.name)), term.scale, "\u2013",
            [this, i, termCase](const CString& text) { return termCase >= 0 && m_props.SetTerm(i, termCase, text); });
      Removable(caseRow, [this, i, termId] { return m_props.RemoveTerm(i, termId); });
    }
    // A term joins with the scale 1, which can then be typed.
    if (entry.combo)
      Choice(caseRow, StmQtText("Add term"), names, -1, [this, i](int index) { return m_props.SetTerm(i, index, "1"); });
  }
  // A name typed here makes the case.
  Field(group, StmQtText("New load case"), P::SValue(), QString(),
        [this](const CString& text) { return m_props.AddCase(false, text); });
  Field(group, StmQtText("New combination"), P::SValue(), QString(),
        [this](const CString& text) { return m_props.AddCase(true, text); });
}

void CStmQtPropertyModel::AddModel(const QString& length, const QString& force) {
  QStandardItem* group = Group(StmQtText("Model"));
  const int code = m_props.GetDesignCode() - STM_CODE_ACI_318_19;
  Choice(group, StmQtText("Design code"), {"ACI 318-19", "EN 1992-1-1"}, code,
         [this](int index) { return m_props.SetDesignCode(STM_CODE_ACI_318_19 + index); });
  // Stresses in the model's force per length squared, as stored.
  const QString stress = force + "/" + length + "\u00b2";
  const bool en = m_props.GetDesignCode() == STM_CODE_EN_1992_1_1;
  const struct {
    P::EMaterial field;
    QString name, unit;
  } fields[] = {
      {P::kConcreteStrength, en ? "f_ck" : "f'c", stress},
      {P::kConcreteModulus, "E_c", stress},
      {P::kSteelYield, "f_y", stress},
      {P::kSteelModulus, "E_s", stress},
      {P::kThickness, StmQtText("Thickness"), length},
      {P::kCover, StmQtText("Cover"), length},
      {P::kPoisson, StmQtText("Poisson's ratio"), "\u2013"},
      {P::kElementSize, StmQtText("Cell size"), length},
      {P::kRejectionRatio, StmQtText("Rejection ratio"), "\u2013"},
      {P::kEvolutionRate, StmQtText("Evolution rate"), "\u2013"},
      {P::kTargetFraction, StmQtText("Target fraction"), "\u2013"},
      {P::kZoneRadius, StmQtText("Zone radius"), length},
  };
  // How Results > Load path meshes the concrete and removes what carries little.
  QStandardItem* loadPath = nullptr;
  for (const auto& f : fields) {
    const P::EMaterial field = f.field;
    if (field == P::kElementSize) {
      loadPath = new QStandardItem(StmQtText("Load path"));
      group->appendRow({loadPath, new QStandardItem(), new QStandardItem()});
    }
    Field(loadPath ? loadPath : group, f.name, m_props.GetMaterial(field), f.unit,
          [this, field](const CString& text) { return m_props.SetMaterial(field, text); });
  }
}

QVariant CStmQtPropertyModel::data(const QModelIndex& index, int role) const {
  // A mixed value is edited from nothing, not from the word that marks it.
  if (role == Qt::EditRole && QStandardItemModel::data(index, kMixedRole).toBool()) return QString();
  return QStandardItemModel::data(index, role);
}

Qt::ItemFlags CStmQtPropertyModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QStandardItemModel::flags(index) & ~Qt::ItemIsEditable;
  if (m_bEditable && index.column() == kColumnValue && data(index, kEditRole).isValid()) flags |= Qt::ItemIsEditable;
  return flags;
}

bool CStmQtPropertyModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  const QVariant slot = data(index, kEditRole);
  if (!m_bEditable || !slot.isValid() || slot.toInt() >= static_cast<int>(m_arEdit.size())) return false;
  const SEdit& edit = m_arEdit[slot.toInt()];
  bool done = false;
  if (role == kChoiceRole && edit.choice) {
    if (value.toInt() < 0 || value.toInt() == data(index, kChoiceRole).toInt()) return false;
    done = edit.choice(value.toInt());
  } else if (role == Qt::EditRole && edit.text) {
    const QString text = value.toString();
    // Leaving an empty field empty is no edit: a mixed value stays mixed, a new case stays unmade.
    if (text.isEmpty() && data(index, Qt::EditRole).toString().isEmpty()) return false;
    done = edit.text(CString(text.toUtf8().constData()));
  } else {
    return false;
  }
  if (!done) {
    emit Refused(index, GetMessage());
    return false;
  }
  // Laying the rows out again now would pull the item from under the closing editor.
  QTimer::singleShot(0, this, [this] { emit Edited(); });
  return true;
}

bool CStmQtPropertyModel::CanRemove(const QModelIndex& index) const {
  return m_bEditable && data(index, kRemoveRole).isValid();
}

bool CStmQtPropertyModel::Remove(const QModelIndex& index) {
  if (!CanRemove(index)) return false;
  const int slot = data(index, kRemoveRole).toInt();
  if (slot >= static_cast<int>(m_arRemove.size())) return false;
  if (!m_arRemove[slot]()) {
    emit Refused(index, GetMessage());
    return false;
  }
  QTimer::singleShot(0, this, [this] { emit Edited(); });
  return true;
}

// ---------------------------------------------------------------------------------------------
// Editors

QWidget* CStmQtPropertyDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                              const QModelIndex& index) const {
  const QVariant choices = index.data(CStmQtPropertyModel::kChoicesRole);
  if (!choices.isValid()) return QStyledItemDelegate::createEditor(parent, option, index);
  auto* combo = new QComboBox(parent);
  combo->addItems(choices.toStringList());
  // A choice is taken as it is made, as a drop list in a form does.
  connect(combo, &QComboBox::activated, this, [this, combo] {
    auto* self = const_cast<CStmQtPropertyDelegate*>(this);
    emit self->commitData(combo);
    emit self->closeEditor(combo);
  });
  return combo;
}

void CStmQtPropertyDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    combo->setCurrentIndex(index.data(CStmQtPropertyModel::kChoiceRole).toInt());
    return;
  }
  QStyledItemDelegate::setEditorData(editor, index);
}

void CStmQtPropertyDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    model->setData(index, combo->currentIndex(), CStmQtPropertyModel::kChoiceRole);
    return;
  }
  QStyledItemDelegate::setModelData(editor, model, index);
}

// ---------------------------------------------------------------------------------------------
// The dock's widget

CStmQtPropertyGrid::CStmQtPropertyGrid(CStmUbManager& manager, QWidget* parent)
    : QWidget(parent), m_pModel(new CStmQtPropertyModel(manager, this)), m_pView(new CStmQtGridView(this)),
      m_pMessage(new QLabel(this)) {
  m_pView->setObjectName("propertyGrid");
  m_pView->setModel(m_pModel);
  m_pView->setItemDelegate(new CStmQtPropertyDelegate(m_pView));
  m_pView->setAlternatingRowColors(true);
  m_pView->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                           QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  m_pMessage->setObjectName("propertyMessage");
  m_pMessage->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_pView);
  layout->addWidget(m_pMessage);
  m_pView->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_pView, &QWidget::customContextMenuRequested, this, &CStmQtPropertyGrid::OfferRemoval);
  connect(m_pModel, &CStmQtPropertyModel::Refused, this, &CStmQtPropertyGrid::ShowRefusal);
  connect(m_pModel, &CStmQtPropertyModel::Edited, this, [this] {
    m_pMessage->setText(m_pModel->GetMessage());
    emit Edited();
  });
  connect(m_pView, &QTreeView::collapsed, this,
          [this](const QModelIndex& index) { m_setFolded.insert(index.data().toString()); });
  connect(m_pView, &QTreeView::expanded, this,
          [this](const QModelIndex& index) { m_setFolded.erase(index.data().toString()); });
  Refresh();
}

void CStmQtPropertyGrid::Refresh() {
  // While a cell is being edited the rows stay: the edit in hand lands on the row it started on.
  if (m_pView->IsEditing()) return;
  const std::set<QString> folded = m_setFolded;
  m_pModel->Refresh();
  m_pView->expandAll();
  for (int row = 0; row < m_pModel->rowCount(); ++row) {
    const QModelIndex group = m_pModel->index(row, 0);
    if (folded.count(group.data().toString())) m_pView->collapse(group);
  }
  m_setFolded = folded;
  m_pView->resizeColumnToContents(CStmQtPropertyModel::kColumnName);
}

void CStmQtPropertyGrid::SetEditable(bool editable) {
  m_pModel->SetEditable(editable);
  if (!editable && m_pView->IsEditing()) m_pView->reset();
}

QModelIndex CStmQtPropertyGrid::FindValue(const QString& group, const QString& name) const {
  for (int row = 0; row < m_pModel->rowCount(); ++row) {
    const QModelIndex parent = m_pModel->index(row, 0);
    if (parent.data().toString() != group) continue;
    for (int child = 0; child < m_pModel->rowCount(parent); ++child) {
      if (m_pModel->index(child, 0, parent).data().toString() == name)
        return m_pModel->index(child, CStmQtPropertyModel::kColumnValue, parent);
    }
  }
  return QModelIndex();
}

void CStmQtPropertyGrid::ShowRefusal(const QModelIndex& index, const QString& reason) {
  m_pMessage->setText(reason);
  if (QStandardItem* item = m_pModel->itemFromIndex(index)) item->setToolTip(reason);
  const QRect cell = m_pView->visualRect(index);
  QToolTip::showText(m_pView->viewport()->mapToGlobal(cell.bottomLeft()), reason, m_pView->viewport(), cell);
}

void CStmQtPropertyGrid::OfferRemoval(const QPoint& at) {
  const QModelIndex index = m_pView->indexAt(at);
  if (!m_pModel->CanRemove(index)) return;
  QMenu menu(m_pView);
  QAction* remove = menu.addAction(StmQtText("Delete"));
  if (menu.exec(m_pView->viewport()->mapToGlobal(at)) == remove) m_pModel->Remove(index);
}
