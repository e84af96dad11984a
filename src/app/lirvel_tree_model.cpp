#include "app/lirvel_tree_model.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

namespace {

const char* const ColumnCaptions[TreeColumnCount] = {"Наименование", "Кол-во", "Автор",
                                                     "Жанр",         "Серия",  "Книга №"};
constexpr int RowHeight = 20;

} // namespace

QColor TreeLineColor(const QPalette& palette)
{
    return palette.color(QPalette::Shadow);
}

// ---- TTreeModel ----

TTreeModel::TTreeModel(TTreeList* tree, const QList<QIcon>* images, QObject* parent)
    : QAbstractItemModel(parent), FTree(tree), FImages(images)
{
    FTree->SetObserver(this);
}

// The list outlives its model.
TTreeModel::~TTreeModel()
{
    FTree->SetObserver(nullptr);
}

TTreeRow* TTreeModel::RowOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<TTreeRow*>(index.internalPointer()) : nullptr;
}

QModelIndex TTreeModel::IndexOf(TTreeRow* row, int column) const
{
    if (!row || row == FTree->Root())
        return {};
    return createIndex(row->Index(), column, row);
}

QModelIndex TTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const TTreeRow* parentRow = parent.isValid() ? RowOf(parent) : FTree->Root();
    if (row < 0 || column < 0 || column >= TreeColumnCount || (parent.isValid() && parent.column() != 0) ||
        row >= parentRow->ChildCount())
        return {};
    return createIndex(row, column, parentRow->Child(row));
}

QModelIndex TTreeModel::parent(const QModelIndex& child) const
{
    const TTreeRow* row = RowOf(child);
    if (!row)
        return {};
    return IndexOf(row->Parent(), 0);
}

int TTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return FTree->Root()->ChildCount();
    if (parent.column() != 0)
        return 0;
    return RowOf(parent)->ChildCount();
}

int TTreeModel::columnCount(const QModelIndex& /*parent*/) const
{
    return TreeColumnCount;
}

bool TTreeModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant TTreeModel::data(const QModelIndex& index, int role) const
{
    const TTreeRow* row = RowOf(index);
    if (!row)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(row->Text(index.column()));
    case Qt::ToolTipRole: {
        const std::string text = row->Text(index.column());
        if (text.empty())
            return {};
        return QString::fromStdString(text);
    }
    case Qt::DecorationRole:
        if (index.column() == 0 && row->ImageIndex() >= 0 && row->ImageIndex() < FImages->size())
            return FImages->at(row->ImageIndex());
        return {};
    default:
        return {};
    }
}

QVariant TTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= TreeColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(ColumnCaptions[section]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags TTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

namespace {

// Beyond this many rows appended or removed in one update the view is told of one layout change
// rather than of every row.
constexpr int LayoutChangeThreshold = 64;

} // namespace

void TTreeModel::TreeChanging()
{
    FStructuralChanges = 0;
    FLayoutChanging = false;
}

void TTreeModel::CountStructuralChange()
{
    if (FLayoutChanging || ++FStructuralChanges <= LayoutChangeThreshold)
        return;
    FLayoutChanging = true;
    emit layoutAboutToBeChanged();
}

void TTreeModel::RowAppending(TTreeRow* parent, int index)
{
    CountStructuralChange();
    if (!FLayoutChanging)
        beginInsertRows(IndexOf(parent), index, index);
}

void TTreeModel::RowAppended()
{
    if (!FLayoutChanging)
        endInsertRows();
}

void TTreeModel::RowRemoving(TTreeRow* row)
{
    CountStructuralChange();
    if (!FLayoutChanging) {
        FRemoving = true;
        beginRemoveRows(IndexOf(row->Parent()), row->Index(), row->Index());
        return;
    }
    // Within a layout change the indexes into the freed rows become invalid now; the others follow
    // their rows at its end.
    QModelIndexList from;
    const QModelIndexList persistent = persistentIndexList();
    for (const QModelIndex& index : persistent) {
        for (const TTreeRow* r = RowOf(index); r; r = r->Parent()) {
            if (r == row) {
                from.append(index);
                break;
            }
        }
    }
    if (!from.isEmpty())
        changePersistentIndexList(from, QModelIndexList(from.size(), QModelIndex()));
}

void TTreeModel::RowRemoved()
{
    if (FRemoving)
        endRemoveRows();
    FRemoving = false;
}

void TTreeModel::LevelReordering(TTreeRow* parent)
{
    if (FLayoutChanging)
        return;
    FReorderedLevel.clear();
    if (parent != FTree->Root())
        FReorderedLevel.append(IndexOf(parent));
    emit layoutAboutToBeChanged(FReorderedLevel, QAbstractItemModel::VerticalSortHint);
}

void TTreeModel::LevelReordered(TTreeRow* parent)
{
    if (FLayoutChanging)
        return;
    RemapPersistent(parent);
    emit layoutChanged(FReorderedLevel, QAbstractItemModel::VerticalSortHint);
    FReorderedLevel.clear();
}

void TTreeModel::RemapPersistent(const TTreeRow* level)
{
    const QModelIndexList from = persistentIndexList();
    QModelIndexList changedFrom;
    QModelIndexList to;
    for (const QModelIndex& index : from) {
        TTreeRow* row = RowOf(index);
        if (level && row->Parent() != level)
            continue;
        changedFrom.append(index);
        to.append(IndexOf(row, index.column()));
    }
    changePersistentIndexList(changedFrom, to);
}

void TTreeModel::RowsChanged(const std::vector<TTreeRow*>& rows)
{
    if (FLayoutChanging)
        return;
    for (TTreeRow* row : rows)
        emit dataChanged(IndexOf(row, 0), IndexOf(row, TreeColumnCount - 1));
}

void TTreeModel::TreeChanged()
{
    if (!FLayoutChanging)
        return;
    FLayoutChanging = false;
    RemapPersistent(nullptr);
    emit layoutChanged();
}

void TTreeModel::RowExpandedChanged(TTreeRow* row)
{
    emit ExpandedChanged(IndexOf(row), row->Expanded());
}

// ---- TTreeItemDelegate ----

QSize TTreeItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return {QStyledItemDelegate::sizeHint(option, index).width(), RowHeight};
}

void TTreeItemDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!(option->state & QStyle::State_MouseOver))
        return;
    option->font.setUnderline(true);
    if (option->state & QStyle::State_Selected)
        option->font.setBold(true);
    else
        option->palette.setColor(QPalette::Text, Qt::blue);
}

void TTreeItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(QPen(TreeLineColor(option.palette), 1, Qt::DotLine));
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
}

// ---- TTreeListView ----

TTreeListView::TTreeListView(QWidget* parent) : QTreeView(parent)
{
    setItemDelegate(new TTreeItemDelegate(this));
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    setIconSize(QSize(16, 16));
    setAllColumnsShowFocus(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, colours.color(QPalette::Button));
    colours.setColor(QPalette::AlternateBase, colours.color(QPalette::Midlight));
    colours.setColor(QPalette::Text, colours.color(QPalette::WindowText));
    setPalette(colours);
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(0);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TTreeListView::SetTreeModel(TTreeModel* model)
{
    FModel = model;
    setModel(model);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (TTreeRow* row = FModel->RowOf(index))
            FModel->Tree()->NoteExpanded(row, true);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (TTreeRow* row = FModel->RowOf(index))
            FModel->Tree()->NoteExpanded(row, false);
    });
    connect(model, &TTreeModel::ExpandedChanged, this,
            [this](const QModelIndex& index, bool expanded) { setExpanded(index, expanded); });
}

TTreeRow* TTreeListView::SelectedRow() const
{
    if (!FModel || !selectionModel())
        return nullptr;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : FModel->RowOf(rows.first());
}

void TTreeListView::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const
{
    const int indent = indentation();
    if (indent <= 0 || rect.width() < indent)
        return;
    // Column k of the branch area holds the line of the ancestor k levels above the root's
    // children; the last column is the row's own.
    const int own = rect.right() + 1 - indent;
    const int middleY = rect.top() + rect.height() / 2;
    painter->save();
    painter->setPen(QPen(TreeLineColor(palette()), 1, Qt::DotLine));
    const auto hasNextSibling = [this](const QModelIndex& i) { return i.sibling(i.row() + 1, 0).isValid(); };
    const int ownX = own + indent / 2;
    painter->drawLine(ownX, rect.top(), ownX, hasNextSibling(index) ? rect.bottom() : middleY);
    painter->drawLine(ownX, middleY, rect.right(), middleY);
    int x = own - indent;
    for (QModelIndex ancestor = index.parent(); ancestor.isValid() && x >= rect.left();
         ancestor = ancestor.parent(), x -= indent) {
        if (hasNextSibling(ancestor))
            painter->drawLine(x + indent / 2, rect.top(), x + indent / 2, rect.bottom());
    }
    painter->restore();

    if (!model()->hasChildren(index))
        return;
    QStyleOption button;
    button.initFrom(this);
    button.rect = QRect(own, rect.top(), indent, rect.height());
    button.state = QStyle::State_Children | QStyle::State_Enabled;
    if (isExpanded(index))
        button.state |= QStyle::State_Open;
    style()->drawPrimitive(QStyle::PE_IndicatorBranch, &button, painter, this);
}

void TTreeListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    // With single selection the item view would select a neighbour of a removed current row; here a
    // removed row leaves no row selected, and nothing new is selected behind the user's back.
    const SelectionMode mode = selectionMode();
    setSelectionMode(QAbstractItemView::MultiSelection);
    QTreeView::rowsAboutToBeRemoved(parent, start, end);
    setSelectionMode(mode);
}

void TTreeListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    emit DblClick();
}
