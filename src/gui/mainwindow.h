#pragma once

#include <QMainWindow>
#include <functional>
#include <map>

#include "core/app/app.h"
#include "core/list/commands.h"
#include "core/list/popupmenu.h"

class QComboBox;
class QPushButton;
class QTreeView;
class QGroupBox;
class QMenu;
class QAction;

namespace ambrel::gui {

class PictureListModel;
class QtUi;

// The main window (Tmyambrel): the picture list beside the embedded browser, with every
// command as a button. It binds widgets to the core application object and forwards clicks.
class MainWindow final : public QMainWindow, private app::AppObserver {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // browserWidget is shown beside the list; the window takes it over.
    MainWindow(app::Tmyambrel& app, QtUi& ui, QWidget* browserWidget);
    ~MainWindow() override;

    // The button of the command table with that object name.
    QPushButton* button(const QString& objectName) const;
    // Runs the command from the button with that object name and from every popup-menu
    // item bound to it (enabling them), showing any error it ends on.
    void wire(const QString& command, std::function<void()> run);

    // The popup menu (also the window's context menu); every item starts hidden.
    QMenu* popupMenu() const { return m_popup; }
    QAction* popupAction(int number) const;
    void setPopupItemVisible(int number, bool visible);

    QTreeView* listView() const { return m_listView; }
    QComboBox* groupCombo() const { return m_groupCombo; }

signals:
    // The window was closed: the program ends with it.
    void closed();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void captionChanged() override;
    void groupsChanged() override;
    QWidget* buildCommandBox(list::CommandBox box, const QString& objectName, const QString& title,
                             int columns);
    void syncSelectionToCore();
    void syncSelectionFromCore();
    void applyColumnWidths();
    void buildPopupMenu();

    app::Tmyambrel& m_app;
    QtUi& m_ui;
    QTreeView* m_listView = nullptr;
    PictureListModel* m_model = nullptr;
    QComboBox* m_groupCombo = nullptr;
    std::map<QString, QPushButton*> m_buttons;
    QMenu* m_popup = nullptr;
    std::array<QAction*, list::kPopupItemCount> m_popupActions{};
    bool m_syncingSelection = false;
};

}  // namespace ambrel::gui
