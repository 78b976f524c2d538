#include "gui/picturelistmodel.h"

#include "gui/qtui.h"

namespace ambrel::gui {

PictureListModel::PictureListModel(list::PictureList& list, QObject* parent)
    : QAbstractTableModel(parent), m_list(list) {
    m_list.addObserver(this);
}

PictureListModel::~PictureListModel() {
    m_list.removeObserver(this);
}

int PictureListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_list.size();
}

int PictureListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant PictureListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_list.size() ||
        (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const list::Entry& entry = m_list.at(index.row());
    if (role == Qt::ToolTipRole) {
        return qs(entry.path);
    }
    return qs(index.column() == 0 ? entry.name : entry.path);
}

QVariant PictureListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return section == 0 ? QStringLiteral("Name") : QStringLiteral("Path");
}

Qt::ItemFlags PictureListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::ItemIsDropEnabled;
    }
    // Only the name is edited in place; the edit itself goes through core's rename rules.
    const Qt::ItemFlags editable = index.column() == 0 ? Qt::ItemIsEditable : Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | editable;
}

void PictureListModel::rowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, 1));
}

}  // namespace ambrel::gui
