#include "gui/tray.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include "core/integration/runningcopy.h"
#include "gui/appicon.h"

namespace ambrel::gui {

Tray::Tray(app::Tmyambrel& app, QWidget& mainWindow, std::function<bool()> trayAvailable,
           QObject* parent)
    : QObject(parent), m_app(app), m_main(mainWindow), m_trayAvailable(std::move(trayAvailable)) {
    setObjectName("tray");
    if (!m_trayAvailable) {
        m_trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    }
    m_menu = new QMenu;
    m_menu->setObjectName("trayMenu");
    QAction* show = m_menu->addAction("Show", this, &Tray::showMain);
    show->setObjectName("truc1");
    QAction* close = m_menu->addAction("Close", this, [this] {
        // Closing the main window ends the program, even while it sits hidden in the tray.
        if (m_main.close()) {
            QCoreApplication::quit();
        }
    });
    close->setObjectName("chouette1");

    m_icon = new QSystemTrayIcon(appIcon(), this);
    m_icon->setObjectName("trayIcon");
    m_icon->setToolTip("My Ambrel");
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, &Tray::activate);
    if (m_trayAvailable()) {
        m_icon->show();
    }
    m_main.installEventFilter(this);
}

Tray::~Tray() {
    delete m_menu;
}

void Tray::activate(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) {
        showMain();
    }
}

void Tray::showMain() {
    integration::DuDid21OtherTryToRun(m_app.services().ui);
}

bool Tray::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_main && event->type() == QEvent::WindowStateChange && m_main.isMinimized() &&
        integration::hidesToTray(m_app.generalSettings(), m_trayAvailable())) {
        // A tray that came up after the start has no icon yet, and a hidden window without
        // one could never be brought back.
        m_icon->show();
        // Hidden once the state change is through, so the window keeps its minimised state
        // and comes back restored.
        QTimer::singleShot(0, this, [this] {
            if (m_main.isMinimized()) {
                m_main.hide();
            }
        });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ambrel::gui
