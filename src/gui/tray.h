#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <functional>

#include "core/app/app.h"

class QMenu;
class QWidget;

namespace ambrel::gui {

// The tray icon "My Ambrel": a left click brings the main window back, a right click opens
// "Show" and "Close". While "Minimize to tray" is on, minimising hides the main window here,
// unless the desktop has no tray to come back from.
class Tray final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tray)

public:
    // trayAvailable tells whether the desktop shows tray icons now (Qt's answer when empty).
    Tray(app::Tmyambrel& app, QWidget& mainWindow, std::function<bool()> trayAvailable = {},
         QObject* parent = nullptr);
    ~Tray() override;

    QSystemTrayIcon* icon() const { return m_icon; }
    QMenu* menu() const { return m_menu; }
    // What a click on the icon does.
    void activate(QSystemTrayIcon::ActivationReason reason);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMain();

    app::Tmyambrel& m_app;
    QWidget& m_main;
    std::function<bool()> m_trayAvailable;
    QSystemTrayIcon* m_icon = nullptr;
    QMenu* m_menu = nullptr;
};

}  // namespace ambrel::gui
