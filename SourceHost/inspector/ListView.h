// Report-style lists over the toolkit's table view. CVirtualListView keeps only a row count and asks its
// owner for each cell it shows; CListView owns its rows. Both report a row that became selected or lost its
// selection, whether by a click or by the program. CComponentListView is the inspector's table of the GUI's
// component tree, made of the copies the model posts: it never reads a live component.
#pragma once

#include "SourceHost/desktop/Window.h"
#include "SourceHost/inspector/ComponentCopy.h"

#include <QMetaObject>
#include <QPixmap>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QTableView;

namespace tdx {

class ListModel;

struct CListViewColumn {
    int width;
    std::string text;
};

// Pictures of one size, by index, for the rows of a list.
class CImageList {
public:
    CImageList(int width, int height)
        : mWidth(width)
        , mHeight(height) {}
    // Adds the picture at the list's size; its index, or -1 for a picture that is none.
    int Add(const QImage& picture);
    // An empty pixmap for an index not held.
    QPixmap at(int index) const;
    int Count() const { return static_cast<int>(mImages.size()); }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

private:
    int mWidth;
    int mHeight;
    std::vector<QPixmap> mImages;
};

// The two picture sets of a list: the normal size and the small one that report rows show.
enum ImageListKind { LVSIL_NORMAL = 0, LVSIL_SMALL = 1 };

class ListViewBase : public CWindow {
public:
    ListViewBase(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget);
    ~ListViewBase() override;
    // Inserted at positions 0, 1, ... ahead of the columns there are.
    void AddColumns(const std::vector<CListViewColumn>& columns);
    // A new heading for a column there is; nothing for another.
    void SetColumnText(int column, const std::string& text);
    // Selects the row and gives it the focus, or takes both from it.
    void SetItemState(int index, bool selected);
    // Every row loses its selection and the focus.
    void UnselectAll();
    void EnsureVisible(int index);
    // Replaces the set of that kind; a row's image index refers to the small set.
    void SetImageList(ImageListKind kind, CImageList images);
    const CImageList& GetImageList(ImageListKind kind) const;
    QTableView* view() const { return mView; }

protected:
    // What a shown cell reads: its text and, for column 0, the row's indentation in steps and its image index
    // (negative: none).
    void setCells(std::function<std::string(int row, int column)> text, std::function<int(int row)> indent,
                  std::function<int(int row)> image = {});
    void setRowCount(int count);
    void redrawRow(int index);
    virtual void selected(int index) = 0;
    virtual void deselected(int index) = 0;

private:
    QTableView* mView;
    ListModel* mModel;
    CImageList mNormalImages;
    QMetaObject::Connection mSelectionWatch;
};

class CVirtualListView : public ListViewBase {
public:
    using ListViewBase::ListViewBase;
    using ListViewBase::setCells;
    void SetItemCount(int count) { setRowCount(count); }
    void Clear() { setRowCount(0); }
    void RedrawItem(int index) { redrawRow(index); }

    sigslot::signal1<int> ItemSelected;
    sigslot::signal1<int> ItemDeselected;

private:
    void selected(int index) override { ItemSelected.emit(index); }
    void deselected(int index) override { ItemDeselected.emit(index); }
};

class CListView : public ListViewBase {
public:
    struct CListViewItem {
        virtual ~CListViewItem() = default;
        int index = 0;
        int image = -1; // in the small image set; negative: none
        int indent = 0;
        std::string text;
        std::vector<std::string> subItems;
    };

    CListView(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget);
    // The list owns the item; one already at its index is replaced and deleted.
    void AddItem(std::unique_ptr<CListViewItem> item);
    // Deletes every item.
    void Clear();
    const std::map<int, std::unique_ptr<CListViewItem>>& Items() const { return mItems; }

    sigslot::signal1<CListViewItem*> ItemSelected;
    sigslot::signal1<CListViewItem*> ItemDeselected;

private:
    CListViewItem* at(int index) const;
    void selected(int index) override;
    void deselected(int index) override;
    std::map<int, std::unique_ptr<CListViewItem>> mItems;
};

class CComponentListView : public sigslot::has_slots<> {
public:
    CComponentListView(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget);
    // The view stays with its parent window and no longer asks this object for its cells.
    ~CComponentListView() override;

    void AddComponent(const ComponentCopy& component, int depth);
    void Clear();
    void BeginUpdate() { mUpdating = true; }
    // Shows the rows added since the update began.
    void EndUpdate();
    // Selects the component's row without telling anyone; nothing for a component not listed.
    void ComponentSelect(ComponentId id);
    void ComponentDeselect();
    // A newer copy of a listed component: its row shows it.
    void onComponentChange(const ComponentCopy& component);
    void setOnComponentSelectCommand(std::shared_ptr<Command> command) { mOnSelect = std::move(command); }
    void setOnComponentDeselectCommand(std::shared_ptr<Command> command) { mOnDeselect = std::move(command); }
    // Bitmap 101 of the program's own, at the normal and the small icon size, as the list's two image sets
    // (attached even when the bitmap is missing). True.
    bool InitializeImageList();
    // The column headings in the application's language of the moment.
    void Retranslate();

    int GetX() const { return mList->GetX(); }
    int GetY() const { return mList->GetY(); }
    int GetWidth() const { return mList->GetWidth(); }
    int GetHeight() const { return mList->GetHeight(); }
    bool MoveTo(int x, int y) { return mList->MoveTo(x, y); }
    bool Resize(int width, int height) { return mList->Resize(width, height); }
    CVirtualListView& listView() const { return *mList; }
    const ComponentRows& rows() const { return mRows; }
    // The text a cell shows, as the view asks for it.
    std::string cellText(int row, int column) const;

    sigslot::signal1<ComponentId> ComponentSelected;
    sigslot::signal1<ComponentId> ComponentDeselected;

private:
    void OnItemSelectHandler(int index);
    void OnItemDeselectHandler(int index);
    void notify(int index, sigslot::signal1<ComponentId>& signal, const std::shared_ptr<Command>& command);

    CVirtualListView* mList;
    bool mUpdating = false;
    ComponentRows mRows;
    std::map<ComponentId, int> mRowIndex;
    std::shared_ptr<Command> mOnSelect;
    std::shared_ptr<Command> mOnDeselect;
};

} // namespace tdx
