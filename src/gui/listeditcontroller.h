#pragma once

#include <QObject>

#include "core/export/linkbuilder.h"
#include "core/list/app.h"
#include "core/list/editing.h"

class QMimeData;

namespace ambrel::gui {

class MainWindow;

// Binds the main window to the list editing commands: their buttons and popup items, the
// header clicks that sort, in-place editing of names, files dropped from the file manager
// and the Delete and Backspace keys of the list.
class ListEditController final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListEditController)

public:
    ListEditController(MainWindow& window, list::Tmyambrel& app, list::ListEditing& editing,
                       linkexport::LinkBuilder& linkBuilder);

    void wireCommands();
    // "Edit": opens the first selected entry's name for editing.
    void startEdit();
    // The person accepted a name typed in place.
    void commitRename(const std::string& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleDrag(QEvent* event);
    void sortByHeader(int section);

    MainWindow& m_window;
    list::Tmyambrel& m_app;
    list::ListEditing& m_editing;
    linkexport::LinkBuilder& m_linkBuilder;
};

}  // namespace ambrel::gui
