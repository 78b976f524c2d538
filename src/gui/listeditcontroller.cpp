#include "gui/listeditcontroller.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include "core/app/linkcopy.h"
#include "core/export/linkformats.h"
#include "gui/mainwindow.h"
#include "gui/qtui.h"

namespace ambrel::gui {

namespace {

// Edits names in place; every start captures the entry in core and the accepted text goes
// through core's rename rules instead of straight into the model.
class NameDelegate final : public QStyledItemDelegate {
    Q_DISABLE_COPY_MOVE(NameDelegate)

public:
    NameDelegate(ListEditController& controller, app::ListEditing& editing, QObject* parent)
        : QStyledItemDelegate(parent), m_controller(controller), m_editing(editing) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.column() != 0) {
            return nullptr;
        }
        m_editing.beginRename(index.row());
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setObjectName("nameEditor");
        return editor;
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex&) const override {
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            m_controller.commitRename(ss(line->text()));
        }
    }

private:
    ListEditController& m_controller;
    app::ListEditing& m_editing;
};

std::vector<std::string> localFiles(const QMimeData* mime) {
    std::vector<std::string> paths;
    if (mime == nullptr || !mime->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            paths.push_back(ss(url.toLocalFile()));
        }
    }
    return paths;
}

}  // namespace

ListEditController::ListEditController(MainWindow& window, app::Tmyambrel& app,
                                       app::ListEditing& editing, app::LinkBuilder& linkBuilder)
    : QObject(&window),
      m_window(window),
      m_app(app),
      m_editing(editing),
      m_linkBuilder(linkBuilder) {
    QTreeView* view = m_window.listView();
    view->setItemDelegateForColumn(0, new NameDelegate(*this, m_editing, view));
    view->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    view->installEventFilter(this);

    QHeaderView* header = view->header();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, &ListEditController::sortByHeader);

    // Files dropped anywhere on the window, the list included.
    m_window.setAcceptDrops(true);
    m_window.installEventFilter(this);
    view->setAcceptDrops(true);
    view->viewport()->installEventFilter(this);

    connect(&m_window, &MainWindow::closed, this, &ListEditController::finishEdit);
}

void ListEditController::wireCommands() {
    MainWindow& w = m_window;
    app::ListEditing& e = m_editing;
    w.wire("addLocalButton", [&e] { e.fxaddLocalFiles(); });
    w.wire("pasteButton", [&e] { e.fxpastee(); });
    w.wire("copyButton", [this] { app::copyurllinks(m_app); });
    w.wire("cutButton", [&e] { e.fxcut(); });
    w.wire("editButton", [this] { startEdit(); });
    w.wire("openFolderButton", [&e] { e.openFolder(); });
    w.wire("moveToFolderButton", [&e] { e.moveToFolder(); });
    w.wire("cutToFolderButton", [&e] { e.copyToFolder(); });
    w.wire("createGroupButton", [&e] { e.createGroup(); });
    w.wire("deleteGroupButton", [&e] { e.deleteGroup(); });
    w.wire("showGroupButton", [&e] { e.showGroup(); });
    w.wire("saveList", [&e] { e.saveList(); });
    w.wire("linkBuilderButton", [this] { m_linkBuilder.open(); });
    w.wire("copyUrlLinks", [this] { app::copyurllinks(m_app); });
    w.wire("copyHtmlLinks", [this] { app::copyhtmllinks(m_app); });
    w.wire("copyBBcode1", [this] { app::bbcdecop(m_app, m_linkBuilder); });
    w.wire("copyBBcode2", [this] { app::bbcdecop(m_app, m_linkBuilder); });
}

void ListEditController::startEdit() {
    const int row = m_editing.fxedit();
    if (row >= 0) {
        QTreeView* view = m_window.listView();
        const QModelIndex index = view->model()->index(row, 0);
        // Moving only the focus keeps the rest of a multiple selection.
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        view->edit(index);
    }
}

void ListEditController::commitRename(const std::string& name) {
    m_app.runCommand([&] { m_editing.endRename(name); });
    // The list file is written once the list has taken the name, between two events.
    QTimer::singleShot(0, this, [this] { m_app.runCommand([this] { m_editing.deferredSave(); }); });
}

void ListEditController::finishEdit() {
    QTreeView* view = m_window.listView();
    auto* editor = view->findChild<QLineEdit*>("nameEditor");
    // An editor already closed is hidden until it is deleted.
    if (editor != nullptr && editor->isVisibleTo(view)) {
        QAbstractItemDelegate* delegate = view->itemDelegateForColumn(0);
        emit delegate->commitData(editor);
        emit delegate->closeEditor(editor);
    }
    m_app.runCommand([this] { m_editing.deferredSave(); });
}

void ListEditController::sortByHeader(int section) {
    m_app.runCommand([&] { m_editing.sortByColumn(section); });
    QHeaderView* header = m_window.listView()->header();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(m_editing.sortColumn(),
                             m_editing.sortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

bool ListEditController::handleDrag(QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (localFiles(drag->mimeData()).empty()) {
                drag->ignore();
            } else {
                drag->acceptProposedAction();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const std::vector<std::string> paths = localFiles(drop->mimeData());
            if (paths.empty()) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            m_app.runCommand([&] { m_editing.dropFiles(paths); });
            return true;
        }
        default:
            return false;
    }
}

bool ListEditController::eventFilter(QObject* watched, QEvent* event) {
    QTreeView* view = m_window.listView();
    // While a name is edited its editor has the keys, so these reach the list only outside
    // an edit.
    if (watched == view && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            // Whatever "Remove" runs; a disabled button does nothing.
            if (QPushButton* remove = m_window.button("removeButton")) {
                remove->click();
            }
            return true;
        }
    }
    if (watched == view->viewport() || watched == &m_window) {
        return handleDrag(event);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ambrel::gui
