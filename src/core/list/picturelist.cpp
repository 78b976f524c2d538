#include "core/list/picturelist.h"

#include <algorithm>

namespace ambrel::list {

void PictureList::assign(std::vector<Entry> entries) {
    notify([](PictureListObserver& o) { o.aboutToReset(); });
    m_entries = std::move(entries);
    m_selected.assign(m_entries.size(), 0);
    notify([](PictureListObserver& o) { o.listReset(); });
}

void PictureList::reorder(const std::vector<int>& order) {
    std::vector<Entry> entries;
    std::vector<char> selected;
    entries.reserve(order.size());
    selected.reserve(order.size());
    for (int row : order) {
        entries.push_back(m_entries.at(static_cast<std::size_t>(row)));
        selected.push_back(m_selected.at(static_cast<std::size_t>(row)));
    }
    notify([](PictureListObserver& o) { o.aboutToReset(); });
    m_entries = std::move(entries);
    m_selected = std::move(selected);
    notify([](PictureListObserver& o) { o.listReset(); });
}

void PictureList::append(Entry entry) {
    const int row = size();
    notify([row](PictureListObserver& o) { o.aboutToAppend(row, 1); });
    m_entries.push_back(std::move(entry));
    m_selected.push_back(0);
    notify([row](PictureListObserver& o) { o.rowsAppended(row, 1); });
}

void PictureList::setEntry(int row, Entry entry) {
    m_entries.at(static_cast<std::size_t>(row)) = std::move(entry);
    notify([row](PictureListObserver& o) { o.rowChanged(row); });
}

void PictureList::remove(int row) {
    if (row < 0 || row >= size()) {
        return;
    }
    notify([](PictureListObserver& o) { o.aboutToReset(); });
    m_entries.erase(m_entries.begin() + row);
    m_selected.erase(m_selected.begin() + row);
    notify([](PictureListObserver& o) { o.listReset(); });
}

std::vector<int> PictureList::selectedRows() const {
    std::vector<int> rows;
    for (std::size_t i = 0; i < m_selected.size(); ++i) {
        if (m_selected[i] != 0) {
            rows.push_back(static_cast<int>(i));
        }
    }
    return rows;
}

int PictureList::firstSelected() const {
    const auto it = std::find(m_selected.begin(), m_selected.end(), 1);
    return it == m_selected.end() ? -1 : static_cast<int>(it - m_selected.begin());
}

void PictureList::setSelection(const std::vector<int>& rows) {
    std::vector<char> selected(m_entries.size(), 0);
    for (int row : rows) {
        if (row >= 0 && row < size()) {
            selected[static_cast<std::size_t>(row)] = 1;
        }
    }
    if (selected == m_selected) {
        return;
    }
    m_selected = std::move(selected);
    notify([](PictureListObserver& o) { o.selectionChanged(); });
}

void PictureList::setColumnWidths(int name, int path) {
    if (name == m_nameWidth && path == m_pathWidth) {
        return;
    }
    m_nameWidth = name;
    m_pathWidth = path;
    notify([](PictureListObserver& o) { o.columnWidthsChanged(); });
}

void PictureList::removeObserver(PictureListObserver* observer) {
    std::erase(m_observers, observer);
}

}  // namespace ambrel::list
