#include "SourceHost/inspector/ListView.h"

#include "Libraries/base/i18n.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>

// The bitmaps are compiled into this library, which a program links statically: loaded in by hand.
static void loadBitmaps() {
    static bool loaded = false;
    if (!loaded) {
        Q_INIT_RESOURCE(bitmaps);
        loaded = true;
    }
}

namespace tdx {

namespace {
constexpr int INDENT_STEP = 16; // pixels per level, the width of a small icon
constexpr int INDENT_ROLE = Qt::UserRole;
constexpr const char* COLUMNS[] = {NC_("Inspector", "Class"),  NC_("Inspector", "Left"),
                                   NC_("Inspector", "Top"),    NC_("Inspector", "Right"),
                                   NC_("Inspector", "Bottom"), NC_("Inspector", "Width"),
                                   NC_("Inspector", "Height")};
} // namespace

class ListModel : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : count; }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(headers.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= count) {
            return {};
        }
        if (role == Qt::DisplayRole && text) {
            return QString::fromStdString(text(index.row(), index.column()));
        }
        if (role == INDENT_ROLE && index.column() == 0 && indent) {
            return indent(index.row());
        }
        if (role == Qt::DecorationRole && index.column() == 0 && image) {
            const int at = image(index.row());
            if (at >= 0 && at < smallImages.Count()) {
                return smallImages.at(at);
            }
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < static_cast<int>(headers.size())) {
            return headers[static_cast<size_t>(section)];
        }
        return {};
    }
    void setCount(int n) {
        beginResetModel();
        count = std::max(n, 0);
        endResetModel();
    }
    // Ahead of the columns there are, which move right with their widths.
    void insertHeaders(const std::vector<CListViewColumn>& columns) {
        if (columns.empty()) {
            return;
        }
        beginInsertColumns(QModelIndex(), 0, static_cast<int>(columns.size()) - 1);
        std::vector<QString> added;
        for (const CListViewColumn& column : columns) {
            added.push_back(QString::fromStdString(column.text));
        }
        headers.insert(headers.begin(), added.begin(), added.end());
        endInsertColumns();
    }
    void setHeader(int section, const QString& text) {
        if (section >= 0 && section < static_cast<int>(headers.size()) &&
            headers[static_cast<size_t>(section)] != text) {
            headers[static_cast<size_t>(section)] = text;
            Q_EMIT headerDataChanged(Qt::Horizontal, section, section);
        }
    }
    void redrawAll() {
        if (count > 0 && !headers.empty()) {
            Q_EMIT dataChanged(index(0, 0), index(count - 1, 0));
        }
    }
    void redraw(int row) {
        if (row >= 0 && row < count && !headers.empty()) {
            Q_EMIT dataChanged(index(row, 0), index(row, static_cast<int>(headers.size()) - 1));
        }
    }

    std::vector<QString> headers;
    int count = 0;
    std::function<std::string(int, int)> text;
    std::function<int(int)> indent;
    std::function<int(int)> image;
    CImageList smallImages{iconSize(QStyle::PM_SmallIconSize), iconSize(QStyle::PM_SmallIconSize)};

    static int iconSize(QStyle::PixelMetric metric) { return QApplication::style()->pixelMetric(metric); }
};

namespace {
// Column 0 starts further right the deeper its row.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.adjust(index.data(INDENT_ROLE).toInt() * INDENT_STEP, 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

QTableView* makeTable(QWidget* parentWidget, int x, int y, int width, int height) {
    auto* view = new QTableView(parentWidget);
    view->setGeometry(x, y, width, height);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    // No editing in place, not even of the first column: it shows a component's class, which no edit can
    // change, and the rows are copies of the component tree, rewritten from the next copy the model posts. An
    // edited cell would change nothing but the cell, and that only until the tree changes; the geometry is
    // changed through the inspector's fields, which act on the component.
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    // Rows as high as a line of the list's font, as a report list has them, not the toolkit's roomier
    // default: the component list shows nearly twice as many rows in its box.
    const int rowHeight = std::max(view->fontMetrics().height() + 1, INDENT_STEP);
    view->verticalHeader()->setMinimumSectionSize(rowHeight);
    view->verticalHeader()->setDefaultSectionSize(rowHeight);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setShowGrid(false);
    view->show();
    return view;
}
} // namespace

ListViewBase::ListViewBase(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget)
    : CWindow(parent, makeTable(parentWidget, x, y, width, height))
    , mView(static_cast<QTableView*>(GetHandle()))
    , mModel(new ListModel)
    , mNormalImages(ListModel::iconSize(QStyle::PM_LargeIconSize),
                    ListModel::iconSize(QStyle::PM_LargeIconSize)) {
    mModel->setParent(mView);
    mView->setModel(mModel);
    mView->setItemDelegate(new IndentDelegate(mView));
    mSelectionWatch = QObject::connect(mView->selectionModel(), &QItemSelectionModel::selectionChanged,
                                       [this](const QItemSelection& now, const QItemSelection& before) {
                                           for (const QModelIndex& index : before.indexes()) {
                                               if (index.column() == 0) {
                                                   deselected(index.row());
                                               }
                                           }
                                           for (const QModelIndex& index : now.indexes()) {
                                               if (index.column() == 0) {
                                                   selected(index.row());
                                               }
                                           }
                                       });
}

ListViewBase::~ListViewBase() {
    // The view goes after this object's own part: what it reports on its way out reaches nobody.
    QObject::disconnect(mSelectionWatch);
}

void ListViewBase::AddColumns(const std::vector<CListViewColumn>& columns) {
    mModel->insertHeaders(columns);
    for (size_t i = 0; i < columns.size(); ++i) {
        mView->setColumnWidth(static_cast<int>(i), columns[i].width);
    }
}

void ListViewBase::SetColumnText(int column, const std::string& text) {
    mModel->setHeader(column, QString::fromStdString(text));
}

void ListViewBase::setCells(std::function<std::string(int, int)> text, std::function<int(int)> indent,
                            std::function<int(int)> image) {
    mModel->text = std::move(text);
    mModel->indent = std::move(indent);
    mModel->image = std::move(image);
}

void ListViewBase::setRowCount(int count) {
    // An emptied list starts again at its top, scrolled there while it still has its rows: once they are gone
    // the view can no longer move, and the rows that come next would show from the old scroll position.
    if (count == 0) {
        mView->scrollToTop();
    }
    mModel->setCount(count);
}

void ListViewBase::SetImageList(ImageListKind kind, CImageList images) {
    if (kind == LVSIL_SMALL) {
        mModel->smallImages = std::move(images);
        mView->setIconSize(QSize(mModel->smallImages.Width(), mModel->smallImages.Height()));
        mModel->redrawAll();
    } else {
        mNormalImages = std::move(images);
    }
}

const CImageList& ListViewBase::GetImageList(ImageListKind kind) const {
    return kind == LVSIL_SMALL ? mModel->smallImages : mNormalImages;
}

int CImageList::Add(const QImage& picture) {
    if (picture.isNull()) {
        return -1;
    }
    mImages.push_back(
        QPixmap::fromImage(picture.scaled(mWidth, mHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    return static_cast<int>(mImages.size()) - 1;
}

QPixmap CImageList::at(int index) const {
    return index >= 0 && index < Count() ? mImages[static_cast<size_t>(index)] : QPixmap();
}

void ListViewBase::redrawRow(int index) {
    mModel->redraw(index);
}

void ListViewBase::SetItemState(int index, bool selected) {
    if (index < 0 || index >= mModel->count) {
        return;
    }
    mView->selectionModel()->select(mModel->index(index, 0),
                                    (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                        QItemSelectionModel::Rows);
    // The focus goes with the selection: a row let go keeps no focus frame that would read as still chosen.
    if (selected) {
        mView->selectionModel()->setCurrentIndex(mModel->index(index, 0), QItemSelectionModel::NoUpdate);
    } else if (mView->selectionModel()->currentIndex().row() == index) {
        mView->selectionModel()->clearCurrentIndex();
    }
}

void ListViewBase::UnselectAll() {
    mView->selectionModel()->clearSelection();
    mView->selectionModel()->clearCurrentIndex();
}

void ListViewBase::EnsureVisible(int index) {
    if (index >= 0 && index < mModel->count) {
        mView->scrollTo(mModel->index(index, 0));
    }
}

// ---- list with its own rows ----

CListView::CListView(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget)
    : ListViewBase(parent, x, y, width, height, parentWidget) {
    view()->setSelectionMode(QAbstractItemView::ExtendedSelection);
    setCells(
        [this](int row, int column) {
            const CListViewItem* item = at(row);
            if (item == nullptr) {
                return std::string();
            }
            if (column == 0) {
                return item->text;
            }
            const auto sub = static_cast<size_t>(column - 1);
            return sub < item->subItems.size() ? item->subItems[sub] : std::string();
        },
        [this](int row) {
            const CListViewItem* item = at(row);
            return item != nullptr ? std::max(item->indent, 0) : 0;
        },
        [this](int row) {
            const CListViewItem* item = at(row);
            return item != nullptr ? item->image : -1;
        });
}

CListView::CListViewItem* CListView::at(int index) const {
    const auto it = mItems.find(index);
    return it != mItems.end() ? it->second.get() : nullptr;
}

void CListView::AddItem(std::unique_ptr<CListViewItem> item) {
    if (!item) {
        return;
    }
    const int index = item->index;
    mItems[index] = std::move(item);
    setRowCount(mItems.empty() ? 0 : mItems.rbegin()->first + 1);
}

void CListView::Clear() {
    // Emptied before the view, so that the deselections the view reports find no item.
    for (auto& entry : mItems) {
        entry.second.reset();
    }
    mItems.clear();
    setRowCount(0);
}

void CListView::selected(int index) {
    if (CListViewItem* item = at(index)) {
        ItemSelected.emit(item);
    }
}

void CListView::deselected(int index) {
    if (CListViewItem* item = at(index)) {
        ItemDeselected.emit(item);
    }
}

// ---- the component tree ----

CComponentListView::CComponentListView(CWindow* parent, int x, int y, int width, int height,
                                       QWidget* parentWidget)
    : mList(new CVirtualListView(parent, x, y, width, height, parentWidget)) {
    mList->ItemSelected.connect(this, &CComponentListView::OnItemSelectHandler);
    mList->ItemDeselected.connect(this, &CComponentListView::OnItemDeselectHandler);
    mList->setCells([this](int row, int column) { return cellText(row, column); },
                    [this](int row) {
                        return row >= 0 && row < static_cast<int>(mRows.size())
                                   ? mRows[static_cast<size_t>(row)].depth
                                   : 0;
                    });
    std::vector<CListViewColumn> columns;
    for (size_t i = 0; i < std::size(COLUMNS); ++i) {
        columns.push_back({i == 0 ? 195 : 70, pgettext("Inspector", COLUMNS[i])});
    }
    mList->AddColumns(columns);
    InitializeImageList();
}

void CComponentListView::Retranslate() {
    for (size_t i = 0; i < std::size(COLUMNS); ++i) {
        mList->SetColumnText(static_cast<int>(i), pgettext("Inspector", COLUMNS[i]));
    }
}

bool CComponentListView::InitializeImageList() {
    CImageList normal(mList->GetImageList(LVSIL_NORMAL).Width(), mList->GetImageList(LVSIL_NORMAL).Height());
    CImageList small(mList->GetImageList(LVSIL_SMALL).Width(), mList->GetImageList(LVSIL_SMALL).Height());
    loadBitmaps();
    const QImage bitmap(QStringLiteral(":/bitmaps/101"));
    if (!bitmap.isNull()) {
        normal.Add(bitmap);
        small.Add(bitmap);
    }
    mList->SetImageList(LVSIL_NORMAL, std::move(normal));
    mList->SetImageList(LVSIL_SMALL, std::move(small));
    return true;
}

CComponentListView::~CComponentListView() {
    mList->Clear();
    mList->setCells({}, {});
}

std::string CComponentListView::cellText(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(mRows.size())) {
        return {};
    }
    const ComponentCopy& c = mRows[static_cast<size_t>(row)].component;
    switch (column) {
        case 0:
            return c.typeName;
        case 1:
            return std::to_string(c.box.getLeft());
        case 2:
            return std::to_string(c.box.getTop());
        case 3:
            return std::to_string(c.box.getRight());
        case 4:
            return std::to_string(c.box.getBottom());
        case 5:
            return std::to_string(c.box.getWidth());
        case 6:
            return std::to_string(c.box.getHeight());
        default:
            return {};
    }
}

void CComponentListView::AddComponent(const ComponentCopy& component, int depth) {
    if (component.id == 0) {
        return;
    }
    mRowIndex[component.id] = static_cast<int>(mRows.size());
    mRows.push_back({component, depth});
}

void CComponentListView::Clear() {
    mList->Clear();
    mRows.clear();
    mRowIndex.clear();
}

void CComponentListView::EndUpdate() {
    mUpdating = false;
    mList->SetItemCount(static_cast<int>(mRows.size()));
}

void CComponentListView::ComponentSelect(ComponentId id) {
    const auto it = mRowIndex.find(id);
    if (it == mRowIndex.end()) {
        return;
    }
    mUpdating = true;
    mList->UnselectAll();
    mList->SetItemState(it->second, true);
    mList->EnsureVisible(it->second);
    mUpdating = false;
}

void CComponentListView::ComponentDeselect() {
    mUpdating = true;
    mList->UnselectAll();
    mUpdating = false;
}

void CComponentListView::onComponentChange(const ComponentCopy& component) {
    const auto it = mRowIndex.find(component.id);
    if (it == mRowIndex.end()) {
        return;
    }
    mRows[static_cast<size_t>(it->second)].component = component;
    // What the view reports while it redraws the row is its own doing, not the user's.
    mUpdating = true;
    mList->RedrawItem(it->second);
    mUpdating = false;
}

void CComponentListView::notify(int index, sigslot::signal1<ComponentId>& signal,
                                const std::shared_ptr<Command>& command) {
    if (mUpdating || index < 0 || index >= static_cast<int>(mRows.size())) {
        return;
    }
    const ComponentCopy& component = mRows[static_cast<size_t>(index)].component;
    signal.emit(component.id);
    if (command) {
        const ComponentCopy copy = component; // the command may rebuild the rows
        MessageArgumentComponentCopy argument(copy);
        command->execute(&argument);
    }
}

void CComponentListView::OnItemSelectHandler(int index) {
    notify(index, ComponentSelected, mOnSelect);
}

void CComponentListView::OnItemDeselectHandler(int index) {
    notify(index, ComponentDeselected, mOnDeselect);
}

} // namespace tdx
