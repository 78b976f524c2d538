#pragma once

#include <QPointer>
#include <QWidget>
#include <array>

#include "core/platform/clipboard.h"
#include "core/platform/ui.h"

namespace ambrel::gui {

// The Ui of core, spoken with Qt's message boxes, prompts and dialogs.
class QtUi final : public platform::Ui {
public:
    void registerWindow(platform::Window w, QWidget* widget);
    QWidget* window(platform::Window w) const;

    void message(const std::string& text, const std::string& caption,
                 platform::MessageIcon icon) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    std::optional<std::string> prompt(const std::string& caption, const std::string& label,
                                      const std::string& value) override;
    std::optional<std::string> chooseFolder(const std::string& caption,
                                            const std::string& start) override;
    std::vector<std::string> chooseFiles(const std::string& caption) override;

    void showWindow(platform::Window w) override;
    void hideWindow(platform::Window w) override;
    bool isWindowVisible(platform::Window w) const override;

    void processEvents(int maxWaitMs) override;
    void setBusy(bool busy) override;

private:
    QWidget* dialogParent() const;
    std::array<QPointer<QWidget>, platform::kWindowCount> m_windows{};
};

// The desktop clipboard through Qt.
class QtClipboard final : public platform::Clipboard {
public:
    std::string text() const override;
    void setText(const std::string& text) override;
};

inline QString qs(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string ss(const QString& s) {
    return s.toUtf8().toStdString();
}

}  // namespace ambrel::gui
