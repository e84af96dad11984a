#pragma once

#include "books/lirvel_tree_list.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QList>
#include <QStyledItemDelegate>
#include <QTreeView>

// The Qt model over the main window's tree-list. A small update reaches the view as the rows
// inserted, removed, reordered and changed, so that a view whose expanded rows are elsewhere has
// nothing to lay out again; a large one (the whole tree at start-up) as one layout change. Either
// way the view keeps its expanded rows and its selection, and a row that the update frees leaves
// the selection.
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
    void RowAppending(TTreeRow* parent, int index) override;
    void RowAppended() override;
    void RowRemoving(TTreeRow* row) override;
    void RowRemoved() override;
    void LevelReordering(TTreeRow* parent) override;
    void LevelReordered(TTreeRow* parent) override;
    void RowsChanged(const std::vector<TTreeRow*>& rows) override;
    void TreeChanged() override;
    void RowExpandedChanged(TTreeRow* row) override;

  signals:
    // The list expanded or collapsed a row; the view follows.
    void ExpandedChanged(const QModelIndex& index, bool expanded);

  private:
    // Counts a row appended or removed; past a limit the rest of the update is one layout change.
    void CountStructuralChange();
    // Makes every persistent index follow its row; those of freed rows are already invalid.
    void RemapPersistent(const TTreeRow* level);

    TTreeList* FTree;
    const QList<QIcon>* FImages;
    int FStructuralChanges = 0;
    bool FLayoutChanging = false;
    bool FRemoving = false;
    QList<QPersistentModelIndex> FReorderedLevel;
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
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

  private:
    TTreeModel* FModel = nullptr;
};

// The colour of the tree's lines.
QColor TreeLineColor(const QPalette& palette);
