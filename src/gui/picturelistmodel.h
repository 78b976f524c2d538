#pragma once

#include <QAbstractTableModel>

#include "core/list/picturelist.h"

namespace ambrel::gui {

// Shows a core picture list in a view: two columns, "Name" and "Path".
class PictureListModel final : public QAbstractTableModel, private list::PictureListObserver {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PictureListModel)

public:
    explicit PictureListModel(list::PictureList& list, QObject* parent = nullptr);
    ~PictureListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void coreSelectionChanged();
    void coreColumnWidthsChanged();

private:
    void aboutToReset() override { beginResetModel(); }
    // A reset view has lost its selection; a reordered list keeps the entries' own.
    void listReset() override {
        endResetModel();
        emit coreSelectionChanged();
    }
    void aboutToAppend(int first, int count) override {
        beginInsertRows({}, first, first + count - 1);
    }
    void rowsAppended(int, int) override { endInsertRows(); }
    void rowChanged(int row) override;
    void selectionChanged() override { emit coreSelectionChanged(); }
    void columnWidthsChanged() override { emit coreColumnWidthsChanged(); }

    list::PictureList& m_list;
};

}  // namespace ambrel::gui
