// The Properties dock's grid: the selection's fields, the load cases and the model's settings as
// rows of name, value and unit, each edit handed to the selection's properties as one undo step.
#pragma once

#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QWidget>

#include <functional>
#include <set>
#include <vector>

#include "manager/CStmSelectionProperties.h"

class QLabel;

class CStmQtPropertyModel : public QStandardItemModel {
  Q_OBJECT
public:
  enum EColumn { kColumnName = 0, kColumnValue, kColumnUnit, kColumnCount };
  enum ERole {
    // The row's edit in m_arEdit.
    kEditRole = Qt::UserRole + 1,
    // The choices of a drop list (QStringList) and the one chosen (int, -1 none or mixed).
    kChoicesRole,
    kChoiceRole,
    // Several selected objects differ here.
    kMixedRole,
    // The row's removal in m_arRemove (a load case, a combination's term).
    kRemoveRole,
  };

  explicit CStmQtPropertyModel(CStmUbManager& manager, QObject* parent = nullptr);

  // Reads the selection and the model anew and lays the rows out again.
  void Refresh();
  void SetEditable(bool editable) { m_bEditable = editable; }
  // Why the last edit was refused, or what it did.
  QString GetMessage() const;

  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  bool CanRemove(const QModelIndex& index) const;
  // Removes what the row stands for as one undo step; false, with the reason refused, when it may not go.
  bool Remove(const QModelIndex& index);
  Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
  // An edit changed the model; the rows are laid out again once the editor has closed.
  void Edited();
  void Refused(const QModelIndex& index, const QString& reason);

private:
  struct SEdit {
    std::function<bool(const CString&)> text;
    std::function<bool(int)> choice;
  };
  QStandardItem* Group(const QString& name, const QString& note = QString());
  // The last row added under the group can be removed by this.
  void Removable(QStandardItem* group, std::function<bool()> remove);
  void Field(QStandardItem* group, const QString& name, const CStmSelectionProperties::SValue& value,
             const QString& unit, std::function<bool(const CString&)> edit);
  void Choice(QStandardItem* group, const QString& name, const QStringList& choices, int chosen,
              std::function<bool(int)> edit);
  void AddNodes(const QString& length, const QString& force);
  void AddElements();
  void AddCases();
  void AddModel(const QString& length, const QString& force);

  CStmSelectionProperties m_props;
  std::vector<SEdit> m_arEdit;
  std::vector<std::function<bool()>> m_arRemove;
  bool m_bEditable = true;
};

// Drop lists for the choice rows; every other row edits as text.
class CStmQtPropertyDelegate : public QStyledItemDelegate {
  Q_OBJECT
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};

// The grid's view, which tells whether a cell is being edited.
class CStmQtGridView : public QTreeView {
  Q_OBJECT
public:
  using QTreeView::QTreeView;
  bool IsEditing() const { return state() == EditingState; }
};

class CStmQtPropertyGrid : public QWidget {
  Q_OBJECT
public:
  explicit CStmQtPropertyGrid(CStmUbManager& manager, QWidget* parent = nullptr);
  void Refresh();
  void SetEditable(bool editable);
  QTreeView* GetView() const { return m_pView; }
  CStmQtPropertyModel* GetModel() const { return m_pModel; }
  // The row of the field with this name under the group with this name (its value column).
  QModelIndex FindValue(const QString& group, const QString& name) const;

signals:
  void Edited();

private:
  void ShowRefusal(const QModelIndex& index, const QString& reason);
  void OfferRemoval(const QPoint& at);

  CStmQtPropertyModel* m_pModel;
  CStmQtGridView* m_pView;
  QLabel* m_pMessage;
  // Groups the user folded stay folded when the rows are laid out again.
  std::set<QString> m_setFolded;
};
