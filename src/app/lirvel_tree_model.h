#pragma once

#include "books/lirvel_tree_list.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QList>
#include <QStyledItemDelegate>
#include <QTreeView>

// The Qt model over the main window's tree-list. Every update of the list is one layout change
// of the model: the view keeps its expanded rows and its selection across it, and a row that the
// update frees leaves the selection.
class TTreeModel : public QAbstractItemModel, public TTreeListObserver
{
    Q_OBJECT
  public:
    // The images are the main window's image list, by image index.
    TTreeModel(TTreeList* tree, const QList<QIcon>* images, QObject* parent = nullptr);
    ~TTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The row of an index; none for the invalid index.
    TTreeRow* RowOf(const QModelIndex& index) const;
    QModelIndex IndexOf(TTreeRow* row, int column = 0) const;
    TTreeList* Tree() const { return FTree; }

    // TTreeListObserver
    void TreeChanging() override;
    void RowRemoving(TTreeRow* row) override;
    void TreeChanged() override;
    void RowExpandedChanged(TTreeRow* row) override;

  signals:
    // The list expanded or collapsed a row; the view follows.
    void ExpandedChanged(const QModelIndex& index, bool expanded);

  private:
    TTreeList* FTree;
    const QList<QIcon>* FImages;
};

// How a cell is drawn: 20 pixels high, a dotted line at its right edge, and the hovered row's text
// underlined (blue, or bold in the selection colours when selected).
class TTreeItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// The tree-list view: striped rows in the button-face and 3D-light colours, dotted root lines,
// row height 20, the expanded state kept in the rows.
class TTreeListView : public QTreeView
{
    Q_OBJECT
  public:
    explicit TTreeListView(QWidget* parent = nullptr);

    // Sets the model and keeps the rows' expanded state in step with the view.
    void SetTreeModel(TTreeModel* model);
    TTreeModel* TreeModel() const { return FModel; }
    // The row of the current selection; none when no row is selected.
    TTreeRow* SelectedRow() const;

  signals:
    // A double click anywhere in the view, after the view has handled it.
    void DblClick();

  protected:
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    TTreeModel* FModel = nullptr;
};

// The colour of the tree's lines.
QColor TreeLineColor(const QPalette& palette);
