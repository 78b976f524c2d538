#pragma once

#include <QMainWindow>
#include <functional>
#include <map>

#include "core/list/app.h"
#include "core/list/commands.h"

class QComboBox;
class QPushButton;
class QTreeView;
class QGroupBox;

namespace ambrel::gui {

class PictureListModel;
class QtUi;

// The main window (Tmyambrel): the picture list beside the embedded browser, with every
// command as a button. It binds widgets to the core application object and forwards clicks.
class MainWindow final : public QMainWindow, private list::AppObserver {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // browserWidget is shown beside the list; the window takes it over.
    MainWindow(list::Tmyambrel& app, QtUi& ui, QWidget* browserWidget);
    ~MainWindow() override;

    // The button of the command table with that object name.
    QPushButton* button(const QString& objectName) const;
    // Enables the button and runs the command on click, showing any error it ends on.
    void wire(const QString& objectName, std::function<void()> command);

    QTreeView* listView() const { return m_listView; }
    QComboBox* groupCombo() const { return m_groupCombo; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void captionChanged() override;
    void groupsChanged() override;
    QWidget* buildCommandBox(list::CommandBox box, const QString& title, int columns);
    void syncSelectionToCore();
    void syncSelectionFromCore();
    void applyColumnWidths();

    list::Tmyambrel& m_app;
    QtUi& m_ui;
    QTreeView* m_listView = nullptr;
    PictureListModel* m_model = nullptr;
    QComboBox* m_groupCombo = nullptr;
    std::map<QString, QPushButton*> m_buttons;
    bool m_syncingSelection = false;
};

}  // namespace ambrel::gui
