#include "gui/qtui.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

namespace ambrel::gui {

namespace {
std::size_t slot(platform::Window w) {
    return static_cast<std::size_t>(w);
}
}  // namespace

void QtUi::registerWindow(platform::Window w, QWidget* widget) {
    m_windows.at(slot(w)) = widget;
}

QWidget* QtUi::window(platform::Window w) const {
    return m_windows.at(slot(w));
}

QWidget* QtUi::dialogParent() const {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    return window(platform::Window::Main);
}

void QtUi::message(const std::string& text, const std::string& caption,
                   platform::MessageIcon icon) {
    QMessageBox::Icon qicon = QMessageBox::Information;
    switch (icon) {
        case platform::MessageIcon::Information:
            break;
        case platform::MessageIcon::Warning:
            qicon = QMessageBox::Warning;
            break;
        case platform::MessageIcon::Error:
            qicon = QMessageBox::Critical;
            break;
        case platform::MessageIcon::Question:
            qicon = QMessageBox::Question;
            break;
    }
    QMessageBox box(qicon, qs(caption), qs(text), QMessageBox::Ok, dialogParent());
    box.setObjectName("messageBox");
    box.exec();
}

bool QtUi::askYesNo(const std::string& text, const std::string& caption) {
    // The questions are plain: buttons Yes and No, no icon.
    QMessageBox box(QMessageBox::NoIcon, qs(caption), qs(text), QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    box.setObjectName("questionBox");
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtUi::prompt(const std::string& caption, const std::string& label,
                                        const std::string& value) {
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), qs(caption), qs(label),
                                               QLineEdit::Normal, qs(value), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return ss(text);
}

std::optional<std::string> QtUi::chooseFolder(const std::string& caption,
                                              const std::string& start) {
    const QString folder =
        QFileDialog::getExistingDirectory(dialogParent(), qs(caption), qs(start));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return ss(folder);
}

std::vector<std::string> QtUi::chooseFiles(const std::string& caption) {
    std::vector<std::string> files;
    for (const QString& f : QFileDialog::getOpenFileNames(dialogParent(), qs(caption))) {
        files.push_back(ss(f));
    }
    return files;
}

void QtUi::showWindow(platform::Window w) {
    if (QWidget* widget = window(w)) {
        // Restoring keeps a maximised window maximised, as it was before it was minimised.
        if (widget->isMinimized()) {
            widget->setWindowState(widget->windowState() & ~Qt::WindowMinimized);
        }
        widget->show();
        widget->raise();
        widget->activateWindow();
    }
}

void QtUi::hideWindow(platform::Window w) {
    if (QWidget* widget = window(w)) {
        widget->hide();
    }
}

bool QtUi::isWindowVisible(platform::Window w) const {
    QWidget* widget = window(w);
    return widget != nullptr && widget->isVisible();
}

void QtUi::processEvents(int maxWaitMs) {
    // A timer bounds the wait: the dispatcher returns after handling whatever comes first.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(std::max(maxWaitMs, 0));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void QtUi::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

std::string QtClipboard::text() const {
    return ss(QGuiApplication::clipboard()->text());
}

void QtClipboard::setText(const std::string& text) {
    QGuiApplication::clipboard()->setText(qs(text));
}

}  // namespace ambrel::gui
