// The model tree dock: outlines and openings, nodes, elements, load cases and combinations, with
// the tree's selection and the scene's kept the same both ways.
#pragma once

#include <QAbstractItemModel>
#include <QWidget>

#include <unordered_map>
#include <vector>

class CStmUbManager;
class QTreeView;
class QItemSelection;

// Rows are read from the model only when the view asks for them, so a refresh of a large model
// costs one pass over its ids, not an item per record.
class CStmQtModelTreeModel : public QAbstractItemModel {
  Q_OBJECT
public:
  enum EGroup { kOutlines = 0, kNodes, kElements, kLoadCases, kCombinations, kGroupCount };

  explicit CStmQtModelTreeModel(CStmUbManager& manager, QObject* parent = nullptr);

  // Takes the model's records anew; true when the rows changed (the model was reset).
  bool Refresh();
  // The record id behind a row of a group (an outline: its id; a case: its index in the one list
  // of load cases); -1 for a group's own row.
  int IdAt(const QModelIndex& index) const;
  // An outline row's boundary type (outer or inner); 0 for other rows.
  int TypeAt(const QModelIndex& index) const;
  int GroupOf(const QModelIndex& index) const;
  // The row of a record (an outline: of that type) in its group; -1 when it has none.
  int RowOf(int group, int id, int type = 0) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

private:
  struct SRow {
    int id;
    // Outlines: the boundary type of the id.
    int type;
  };
  std::vector<SRow> Collect(int group) const;

  CStmUbManager& m_manager;
  std::vector<SRow> m_arRows[kGroupCount];
  std::unordered_map<long long, int> m_mapRow[kGroupCount];
};

class CStmQtModelTree : public QWidget {
  Q_OBJECT
public:
  explicit CStmQtModelTree(CStmUbManager& manager, QWidget* parent = nullptr);
  // The rows and the tree's selection follow the model and the scene's selection.
  void Refresh();
  QTreeView* GetView() const { return m_pView; }
  CStmQtModelTreeModel* GetModel() const { return m_pModel; }

signals:
  // The scene's selection or the loads shown changed from here.
  void Changed();

private:
  void OnTreeSelection();
  void ShowSceneSelection();

  CStmUbManager& m_manager;
  CStmQtModelTreeModel* m_pModel;
  QTreeView* m_pView;
  // Set while the tree is being told the scene's selection, so that it does not tell it back.
  bool m_bSyncing = false;
};
