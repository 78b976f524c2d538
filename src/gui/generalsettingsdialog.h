#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "core/app/app.h"
#include "core/app/generalsettings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace ambrel::gui {

// "General settings": every control edits the general settings held for the run at once;
// "Save" makes them last. Ticks in "Right menu options" show and hide the main window's
// popup items at once.
class GeneralSettingsDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GeneralSettingsDialog)

public:
    // showPopupItem(n, shown) shows or hides popup item n of the main window.
    GeneralSettingsDialog(app::Tmyambrel& app, std::function<void(int, bool)> showPopupItem,
                          QWidget* parent = nullptr);

    // The controls take the held settings, which is no click: each ticked node shows its
    // popup item and nothing else changes. Once at start-up, after they are loaded.
    void takeSettings();

    QTreeWidget* tree() const { return m_tree; }
    QTreeWidgetItem* node(int number) const { return m_nodes.at(static_cast<std::size_t>(number)); }

private:
    QTreeWidget* buildTree();
    void treeClicked();
    void showContextTexts();
    QLineEdit* textField(const QString& name, std::string storage::GeneralSettings::*member);
    QCheckBox* checkBox(const QString& caption, const QString& name,
                        bool storage::GeneralSettings::*member);

    app::Tmyambrel& m_app;
    std::function<void(int, bool)> m_showPopupItem;
    QLineEdit* m_time = nullptr;
    QCheckBox* m_resize = nullptr;
    QCheckBox* m_minimize = nullptr;
    std::array<QCheckBox*, 3> m_contextBoxes{};
    QLabel* m_prependLabel = nullptr;
    QLineEdit* m_prepend = nullptr;
    QLabel* m_appendLabel = nullptr;
    QLineEdit* m_append = nullptr;
    QLineEdit* m_defaultPage = nullptr;
    QTreeWidget* m_tree = nullptr;
    std::array<QTreeWidgetItem*, storage::kPopupMenuItems> m_nodes{};
    bool m_settingTicks = false;
};

}  // namespace ambrel::gui
