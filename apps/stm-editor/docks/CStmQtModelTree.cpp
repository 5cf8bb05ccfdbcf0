// The model tree: a lazy model over the records' ids, and the selection kept in step with the scene.
#include "docks/CStmQtModelTree.h"

#include <QItemSelection>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "docks/StmQtText.h"
#include "entities/CStmEntityBoundary.h"
#include "host/model/CStmModel.h"
#include "manager/CStmUbManager.h"

namespace {

// Child rows carry their group + 1, group rows 0.
constexpr quintptr kGroupRow = 0;

long long Key(int type, int id) { return (static_cast<long long>(type) << 32) | static_cast<unsigned>(id); }

QString Q(const CString& text) { return QString::fromUtf8(text.c_str()); }

}  // namespace

CStmQtModelTreeModel::CStmQtModelTreeModel(CStmUbManager& manager, QObject* parent)
    : QAbstractItemModel(parent), m_manager(manager) {}

std::vector<CStmQtModelTreeModel::SRow> CStmQtModelTreeModel::Collect(int group) const {
  std::vector<SRow> rows;
  const CStmModel* model = m_manager.GetStmModel();
  if (!model) return rows;
  switch (group) {
    case kOutlines:
      for (EStmTypeBoundary type : {STM_BOUNDARY_OUTER, STM_BOUNDARY_INNER}) {
        for (const auto& [id, boundary] : model->GetBoundarys(type))
          if (boundary->IsEnable()) rows.push_back({id, type});
      }
      break;
    case kNodes:
      rows.reserve(model->GetNodes().size());
      for (const auto& [id, node] : model->GetNodes())
        if (node->IsEnable()) rows.push_back({id, 0});
      break;
    case kElements:
      rows.reserve(model->GetElements().size());
      for (const auto& [id, element] : model->GetElements())
        if (element->IsEnable()) rows.push_back({id, 0});
      break;
    case kLoadCases:
      for (int i = 0; i < model->GetCountLoadConditionStatic(); ++i) rows.push_back({i, 0});
      break;
    case kCombinations: {
      const int statics = model->GetCountLoadConditionStatic();
      for (int i = 0; i < model->GetCountLoadConditionCombo(); ++i) rows.push_back({statics + i, 0});
      break;
    }
  }
  return rows;
}

bool CStmQtModelTreeModel::Refresh() {
  std::vector<SRow> fresh[kGroupCount];
  bool same = true;
  for (int group = 0; group < kGroupCount; ++group) {
    fresh[group] = Collect(group);
    same = same && std::equal(fresh[group].begin(), fresh[group].end(), m_arRows[group].begin(), m_arRows[group].end(),
                              [](const SRow& a, const SRow& b) { return a.id == b.id && a.type == b.type; });
  }
  if (same) {
    // Names and coordinates may have changed under the same rows; the view asks only for those it shows.
    for (int group = 0; group < kGroupCount; ++group) {
      const int rows = static_cast<int>(m_arRows[group].size());
      if (rows > 0) emit dataChanged(index(0, 0, index(group, 0)), index(rows - 1, 0, index(group, 0)));
    }
    return false;
  }
  beginResetModel();
  for (int group = 0; group < kGroupCount; ++group) {
    m_arRows[group] = std::move(fresh[group]);
    m_mapRow[group].clear();
    m_mapRow[group].reserve(m_arRows[group].size());
    for (int row = 0; row < static_cast<int>(m_arRows[group].size()); ++row)
      m_mapRow[group][Key(m_arRows[group][row].type, m_arRows[group][row].id)] = row;
  }
  endResetModel();
  return true;
}

int CStmQtModelTreeModel::GroupOf(const QModelIndex& index) const {
  if (!index.isValid()) return -1;
  return index.internalId() == kGroupRow ? index.row() : static_cast<int>(index.internalId()) - 1;
}

int CStmQtModelTreeModel::IdAt(const QModelIndex& index) const {
  if (!index.isValid() || index.internalId() == kGroupRow) return -1;
  return m_arRows[GroupOf(index)][index.row()].id;
}

int CStmQtModelTreeModel::TypeAt(const QModelIndex& index) const {
  if (!index.isValid() || index.internalId() == kGroupRow) return 0;
  return m_arRows[GroupOf(index)][index.row()].type;
}

int CStmQtModelTreeModel::RowOf(int group, int id, int type) const {
  // Outline ids are unique only within their type.
  const auto it = m_mapRow[group].find(Key(type, id));
  return it == m_mapRow[group].end() ? -1 : it->second;
}

QModelIndex CStmQtModelTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column != 0) return QModelIndex();
  if (!parent.isValid()) return row < kGroupCount ? createIndex(row, column, kGroupRow) : QModelIndex();
  if (parent.internalId() != kGroupRow || row >= static_cast<int>(m_arRows[parent.row()].size())) return QModelIndex();
  return createIndex(row, column, static_cast<quintptr>(parent.row() + 1));
}

QModelIndex CStmQtModelTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kGroupRow) return QModelIndex();
  return createIndex(static_cast<int>(child.internalId()) - 1, 0, kGroupRow);
}

int CStmQtModelTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return kGroupCount;
  if (parent.internalId() != kGroupRow) return 0;
  return static_cast<int>(m_arRows[parent.row()].size());
}

int CStmQtModelTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant CStmQtModelTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return QVariant();
  const int group = GroupOf(index);
  if (index.internalId() == kGroupRow) {
    static const char* const kNames[] = {"Outlines", "Nodes", "Elements", "Load cases", "Combinations"};
    return StmQtText(kNames[group]) + QString(" (%1)").arg(m_arRows[group].size());
  }
  const CStmModel* model = m_manager.GetStmModel();
  if (!model) return QVariant();
  const SRow& row = m_arRows[group][index.row()];
  switch (group) {
    case kOutlines: {
      const CStmObjBoundary* boundary = model->GetBoundaryObj(static_cast<EStmTypeBoundary>(row.type), row.id, 0);
      const QString kind = row.type == STM_BOUNDARY_OUTER ? StmQtText("Outline %1") : StmQtText("Opening %1");
      return boundary ? kind.arg(row.id) + QString(" (%1)").arg(boundary->GetBoundaryPos().size()) : QVariant();
    }
    case kNodes: {
      const CStmObjNode* node = model->GetNode(row.id);
      if (!node) return QVariant();
      const CVector& p = node->GetCoord();
      return QString("%1  (%2, %3, %4)").arg(Q(node->GetName())).arg(p.x, 0, 'g', 8).arg(p.y, 0, 'g', 8).arg(p.z, 0, 'g', 8);
    }
    case kElements: {
      const CStmObjElement* element = model->GetElement(row.id);
      if (!element) return QVariant();
      const CStmObjNode* a = model->GetNode(element->GetIdNodeBegin());
      const CStmObjNode* b = model->GetNode(element->GetIdNodeEnd());
      return QString("%1  (%2 \u2013 %3)").arg(Q(element->GetName()), a ? Q(a->GetName()) : "?", b ? Q(b->GetName()) : "?");
    }
    case kLoadCases:
      if (const CStmObjLoadConditionStatic* condition = model->GetLoadConditionStaticIndex(row.id))
        return Q(condition->GetName());
      return QVariant();
    default:
      if (const CStmObjLoadConditionCombo* combo =
              model->GetLoadConditionComboIndex(row.id - model->GetCountLoadConditionStatic()))
        return Q(combo->GetName());
      return QVariant();
  }
}

// ---------------------------------------------------------------------------------------------
// The dock's widget

CStmQtModelTree::CStmQtModelTree(CStmUbManager& manager, QWidget* parent)
    : QWidget(parent), m_manager(manager), m_pModel(new CStmQtModelTreeModel(manager, this)),
      m_pView(new QTreeView(this)) {
  m_pView->setObjectName("modelTree");
  m_pView->setModel(m_pModel);
  m_pView->setHeaderHidden(true);
  m_pView->setUniformRowHeights(true);
  m_pView->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_pView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_pView);
  connect(m_pView->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!m_bSyncing) OnTreeSelection();
  });
  Refresh();
}

void CStmQtModelTree::Refresh() {
  std::set<int> open;
  for (int group = 0; group < CStmQtModelTreeModel::kGroupCount; ++group)
    if (m_pView->isExpanded(m_pModel->index(group, 0))) open.insert(group);
  if (m_pModel->Refresh()) {
    for (int group : open) m_pView->expand(m_pModel->index(group, 0));
  }
  ShowSceneSelection();
}

void CStmQtModelTree::OnTreeSelection() {
  std::set<int> nodes, elements;
  std::set<long long> outlines;
  int shownCase = -1;
  for (const QModelIndex& index : m_pView->selectionModel()->selectedIndexes()) {
    const int id = m_pModel->IdAt(index);
    if (id < 0) continue;
    switch (m_pModel->GroupOf(index)) {
      case CStmQtModelTreeModel::kNodes: nodes.insert(id); break;
      case CStmQtModelTreeModel::kElements: elements.insert(id); break;
      case CStmQtModelTreeModel::kOutlines: outlines.insert(Key(m_pModel->TypeAt(index), id)); break;
      default: shownCase = id; break;
    }
  }
  m_manager.SelectObject(nodes, elements);
  if (!outlines.empty()) {
    const auto kind = static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(CStmEntityObject::kKindBoundary);
    for (const auto& entry : m_manager.GetEttMap(kind)) {
      auto* boundary = dynamic_cast<CStmEntityBoundary*>(entry.second);
      if (boundary && outlines.count(Key(boundary->GetType(), boundary->GetIdStm())))
        m_manager.SelectEtt(boundary, 1);
    }
  }
  // A case picked in the tree is the one whose loads the drawing shows.
  if (shownCase >= 0) m_manager.SetIndexLoadConditionLoad(shownCase, -1);
  m_manager.InvalidateAllWnd();
  emit Changed();
}

void CStmQtModelTree::ShowSceneSelection() {
  std::vector<int> rows[CStmQtModelTreeModel::kGroupCount];
  for (const auto& entry : m_manager.GetSelectMap()) {
    auto* entity = dynamic_cast<CStmEntityObject*>(static_cast<CUbEntityObj*>(entry.second));
    if (!entity) continue;
    int group = -1, type = 0;
    switch (static_cast<int>(entity->GetTypeEntity())) {
      case CStmEntityObject::kKindNode: group = CStmQtModelTreeModel::kNodes; break;
      case CStmEntityObject::kKindElement: group = CStmQtModelTreeModel::kElements; break;
      case CStmEntityObject::kKindBoundary:
        group = CStmQtModelTreeModel::kOutlines;
        type = static_cast<CStmEntityBoundary*>(entity)->GetType();
        break;
      default: break;
    }
    if (group < 0) continue;
    const int row = m_pModel->RowOf(group, entity->GetIdStm(), type);
    if (row >= 0) rows[group].push_back(row);
  }
  // Neighbouring rows as one range: selecting a whole 10k-node model is a handful of ranges.
  QItemSelection selection;
  for (int group = 0; group < CStmQtModelTreeModel::kGroupCount; ++group) {
    std::sort(rows[group].begin(), rows[group].end());
    const QModelIndex parent = m_pModel->index(group, 0);
    for (size_t i = 0; i < rows[group].size();) {
      size_t j = i;
      while (j + 1 < rows[group].size() && rows[group][j + 1] == rows[group][j] + 1) ++j;
      selection.select(m_pModel->index(rows[group][i], 0, parent), m_pModel->index(rows[group][j], 0, parent));
      i = j + 1;
    }
  }
  m_bSyncing = true;
  m_pView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  m_bSyncing = false;
}
