#include "gui/generalsettingsdialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/integration/contextmenu.h"
#include "core/list/popupmenu.h"
#include "gui/binding.h"
#include "gui/qtui.h"

namespace ambrel::gui {

namespace {

QGroupBox* group(const QString& caption, const QString& name) {
    auto* box = new QGroupBox(caption);
    box->setObjectName(name);
    return box;
}

QLabel* label(const QString& text, const QString& name) {
    auto* l = new QLabel(text);
    l->setObjectName(name);
    return l;
}

QPushButton* button(const QString& caption, const QString& name) {
    auto* b = new QPushButton(caption);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

GeneralSettingsDialog::GeneralSettingsDialog(app::Tmyambrel& app,
                                             std::function<void(int, bool)> showPopupItem,
                                             QWidget* parent)
    : QDialog(parent), m_app(app), m_showPopupItem(std::move(showPopupItem)) {
    setObjectName("generalSettingsDialog");
    setWindowTitle(QString::fromUtf8(platform::windowCaption(platform::Window::GeneralSettings)));
    setModal(false);

    auto* slideshow = group("Slideshow", "slideshowGroup");
    auto* slideshowLayout = new QGridLayout(slideshow);
    m_time = textField("timeField", &storage::GeneralSettings::timebetweenpictures);
    m_resize = checkBox("Resize to screen", "resizeBox", &storage::GeneralSettings::resizetoscreen);
    slideshowLayout->addWidget(label("Time between each pictures (ms)", "timeLabel"), 0, 0);
    slideshowLayout->addWidget(m_time, 0, 1);
    slideshowLayout->addWidget(m_resize, 1, 0, 1, 2);

    auto* behavior = group("Application behavior", "behaviorGroup");
    auto* behaviorLayout = new QVBoxLayout(behavior);
    m_minimize =
        checkBox("Minimize to tray", "minimizeBox", &storage::GeneralSettings::minimizetotray);
    behaviorLayout->addWidget(m_minimize);

    auto* context = group("Iexplorer context menu", "contextMenuGroup");
    auto* contextLayout = new QGridLayout(context);
    const std::array<const char*, 3> captions = {"Option add to list", "Option: copy to clipboard",
                                                 "Option: copy and add:"};
    const std::array<const char*, 3> names = {"addToListBox", "copyToClipBox", "copyAndAddBox"};
    for (std::size_t i = 0; i < m_contextBoxes.size(); ++i) {
        auto* box = new QCheckBox(captions.at(i));
        box->setObjectName(names.at(i));
        connect(box, &QCheckBox::clicked, this, [this, i](bool on) {
            m_app.runCommand([&] { app::contextBoxClicked(m_app, i, on); });
            showContextTexts();
        });
        m_contextBoxes.at(i) = box;
        contextLayout->addWidget(box, static_cast<int>(i), 0, 1, 4);
    }
    m_prependLabel = label("Prepend", "prependLabel");
    m_prepend = textField("prependField", &storage::GeneralSettings::ieccopyandaddbef);
    m_appendLabel = label("Append", "appendLabel");
    m_append = textField("appendField", &storage::GeneralSettings::ieccopyandaddaft);
    contextLayout->addWidget(m_prependLabel, 3, 0);
    contextLayout->addWidget(m_prepend, 3, 1);
    contextLayout->addWidget(m_appendLabel, 3, 2);
    contextLayout->addWidget(m_append, 3, 3);

    auto* menu = group("Right menu options", "popupMenuGroup");
    auto* menuLayout = new QVBoxLayout(menu);
    menuLayout->addWidget(buildTree());

    auto* page = group("Default page", "defaultPageGroup");
    auto* pageLayout = new QVBoxLayout(page);
    m_defaultPage = textField("defaultPageField", &storage::GeneralSettings::defaultwebpage);
    pageLayout->addWidget(m_defaultPage);

    QPushButton* save = button("Save", "saveButton");
    connect(save, &QPushButton::clicked, this,
            [this] { m_app.runCommand([this] { app::saveGeneralSettings(m_app); }); });
    QPushButton* quit = button("Quit", "quitButton");
    connect(quit, &QPushButton::clicked, this, &QDialog::hide);
    QPushButton* help = button("Help", "helpButton");
    connect(help, &QPushButton::clicked, this,
            [this] { m_app.runCommand([this] { app::showHelp(m_app); }); });
    QPushButton* about = button("About", "aboutButton");
    connect(about, &QPushButton::clicked, this,
            [this] { m_app.services().ui.showWindow(platform::Window::About); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addWidget(about);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(quit);

    auto* left = new QVBoxLayout;
    left->addWidget(slideshow);
    left->addWidget(behavior);
    left->addWidget(context);
    left->addWidget(page);
    left->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addWidget(menu, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    resize(720, 520);
    takeSettings();
}

QTreeWidget* GeneralSettingsDialog::buildTree() {
    m_tree = new QTreeWidget;
    m_tree->setObjectName("popupTree");
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    for (std::size_t n = 0; n < m_nodes.size(); ++n) {
        const list::PopupItem& item = list::kPopupItems.at(n);
        auto* node = item.parent < 0
                         ? new QTreeWidgetItem(m_tree)
                         : new QTreeWidgetItem(m_nodes.at(static_cast<std::size_t>(item.parent)));
        node->setText(0, QString::fromUtf8(item.treeText));
        // Plain check boxes: a parent's tick follows its children only through the rule.
        node->setFlags((node->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsAutoTristate);
        node->setCheckState(0, Qt::Unchecked);
        m_nodes.at(n) = node;
    }
    m_tree->expandAll();
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem*, int column) {
        if (column == 0 && !m_settingTicks) {
            treeClicked();
        }
    });
    connect(m_tree, &QTreeWidget::itemClicked, this, [this] { treeClicked(); });
    return m_tree;
}

void GeneralSettingsDialog::treeClicked() {
    app::PopupTicks ticks{};
    for (std::size_t n = 0; n < m_nodes.size(); ++n) {
        ticks.at(n) = m_nodes.at(n)->checkState(0) == Qt::Checked;
    }
    ticks = app::treeClicked(m_app.generalSettings(), ticks);
    m_settingTicks = true;
    for (std::size_t n = 0; n < m_nodes.size(); ++n) {
        m_nodes.at(n)->setCheckState(0, ticks.at(n) ? Qt::Checked : Qt::Unchecked);
    }
    m_settingTicks = false;
    for (std::size_t n = 0; n < m_nodes.size(); ++n) {
        m_showPopupItem(static_cast<int>(n), ticks.at(n));
    }
}

QLineEdit* GeneralSettingsDialog::textField(const QString& name,
                                            std::string storage::GeneralSettings::*member) {
    return boundTextField(this, m_app.generalSettings(), name, member);
}

QCheckBox* GeneralSettingsDialog::checkBox(const QString& caption, const QString& name,
                                           bool storage::GeneralSettings::*member) {
    return boundCheckBox(this, m_app.generalSettings(), caption, name, member);
}

void GeneralSettingsDialog::takeSettings() {
    const storage::GeneralSettings& s = m_app.generalSettings();
    m_time->setText(qs(s.timebetweenpictures));
    m_resize->setChecked(s.resizetoscreen);
    m_minimize->setChecked(s.minimizetotray);
    m_defaultPage->setText(qs(s.defaultwebpage));
    showContextTexts();
    m_settingTicks = true;
    for (std::size_t n = 0; n < m_nodes.size(); ++n) {
        const bool on = s.popupmenuitem.at(n);
        m_nodes.at(n)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
        if (on) {
            m_showPopupItem(static_cast<int>(n), true);
        }
    }
    m_settingTicks = false;
}

void GeneralSettingsDialog::showContextTexts() {
    const storage::GeneralSettings& s = m_app.generalSettings();
    for (std::size_t i = 0; i < m_contextBoxes.size(); ++i) {
        m_contextBoxes.at(i)->setChecked(integration::contextMenuFlag(s, i));
    }
    const bool offered = app::prependAppendOffered(s);
    m_prepend->setText(qs(s.ieccopyandaddbef));
    m_append->setText(qs(s.ieccopyandaddaft));
    for (QWidget* w : {static_cast<QWidget*>(m_prependLabel), static_cast<QWidget*>(m_prepend),
                       static_cast<QWidget*>(m_appendLabel), static_cast<QWidget*>(m_append)}) {
        w->setVisible(offered);
    }
}

}  // namespace ambrel::gui
