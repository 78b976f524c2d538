#pragma once

#include <string>
#include <vector>

#include "core/storage/listfile.h"

namespace ambrel::list {

using storage::Entry;

// Told of every change to a picture list, so a view can follow it.
class PictureListObserver {
public:
    virtual ~PictureListObserver() = default;
    virtual void aboutToReset() {}
    virtual void listReset() {}
    virtual void aboutToAppend(int first, int count) {
        (void)first;
        (void)count;
    }
    virtual void rowsAppended(int first, int count) {
        (void)first;
        (void)count;
    }
    virtual void rowChanged(int row) { (void)row; }
    virtual void selectionChanged() {}
    virtual void columnWidthsChanged() {}
};

// The entries shown in the main window, with their selection and column widths. Entries
// may repeat; rows are counted from 0.
class PictureList {
public:
    static constexpr int kInitialNameWidth = 80;
    static constexpr int kInitialPathWidth = 227;

    int size() const { return static_cast<int>(m_entries.size()); }
    bool empty() const { return m_entries.empty(); }
    const Entry& at(int row) const { return m_entries.at(static_cast<std::size_t>(row)); }
    const std::vector<Entry>& entries() const { return m_entries; }

    void assign(std::vector<Entry> entries);
    // Puts the entry at order[i] in row i (order is a permutation of the rows). Each entry
    // keeps its selection: the view is reset, but no selection change is told.
    void reorder(const std::vector<int>& order);
    void append(Entry entry);
    void setEntry(int row, Entry entry);
    // Removes one entry; the others keep their selection.
    void remove(int row);

    bool isSelected(int row) const { return m_selected.at(static_cast<std::size_t>(row)) != 0; }
    std::vector<int> selectedRows() const;
    int firstSelected() const;  // -1 when nothing is selected
    // Replaces the selection; rows outside the list are ignored.
    void setSelection(const std::vector<int>& rows);
    void clearSelection() { setSelection({}); }

    int nameWidth() const { return m_nameWidth; }
    int pathWidth() const { return m_pathWidth; }
    void setColumnWidths(int name, int path);

    void addObserver(PictureListObserver* observer) { m_observers.push_back(observer); }
    void removeObserver(PictureListObserver* observer);

private:
    template <typename F>
    void notify(F f) {
        for (auto* o : std::vector(m_observers)) {
            f(*o);
        }
    }

    std::vector<Entry> m_entries;
    std::vector<char> m_selected;
    int m_nameWidth = kInitialNameWidth;
    int m_pathWidth = kInitialPathWidth;
    std::vector<PictureListObserver*> m_observers;
};

}  // namespace ambrel::list
