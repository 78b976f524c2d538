#pragma once

#include <QObject>

#include "core/app/app.h"
#include "core/app/editing.h"
#include "core/app/linkbuilder.h"
#include "core/export/linkbuilder.h"

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
    ListEditController(MainWindow& window, app::Tmyambrel& app, app::ListEditing& editing,
                       app::LinkBuilder& linkBuilder);

    void wireCommands();
    // "Edit": opens the first selected entry's name for editing.
    void startEdit();
    // The person accepted a name typed in place.
    void commitRename(const std::string& name);
    // The window closes (the program ends): a name being typed is taken as leaving its
    // field would take it, and a rename the list file has not taken yet is saved now.
    void finishEdit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleDrag(QEvent* event);
    void sortByHeader(int section);

    MainWindow& m_window;
    app::Tmyambrel& m_app;
    app::ListEditing& m_editing;
    app::LinkBuilder& m_linkBuilder;
};

}  // namespace ambrel::gui
