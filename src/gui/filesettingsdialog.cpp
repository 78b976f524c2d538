#include "gui/filesettingsdialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/binding.h"
#include "gui/qtui.h"

namespace ambrel::gui {

namespace {

QGroupBox* group(const QString& caption, const QString& name, QLayout* content) {
    auto* box = new QGroupBox(caption);
    box->setObjectName(name);
    box->setLayout(content);
    return box;
}

QLabel* note(const QString& text, const QString& name) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

QPushButton* smallButton(const QString& caption, const QString& name) {
    auto* b = new QPushButton(caption);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFixedWidth(32);
    return b;
}

}  // namespace

FileSettingsDialog::FileSettingsDialog(app::Tmyambrel& app, QWidget* parent)
    : QDialog(parent), m_app(app) {
    setObjectName("fileSettingsDialog");
    setWindowTitle(QString::fromUtf8(platform::windowCaption(platform::Window::FileSettings)));
    setModal(false);

    auto* download = new QHBoxLayout;
    m_downdir = folderRow(app::FolderField::Download, "downdir", download);
    auto* conversion = new QHBoxLayout;
    m_convdir = folderRow(app::FolderField::Conversion, "convdir", conversion);

    auto* thumb = new QHBoxLayout;
    m_thumbext = textField("thumbextField", &storage::FileSettings::thumbext);
    thumb->addWidget(m_thumbext);

    auto* files = new QHBoxLayout;
    m_excextensions = textField("excextensionsField", &storage::FileSettings::excextensions);
    m_usetheextfeature = checkBox("Use this function", "usetheextfeatureBox",
                                  &storage::FileSettings::usetheextfeature);
    files->addWidget(m_excextensions, 1);
    files->addWidget(m_usetheextfeature);

    auto* web = new QHBoxLayout;
    m_webexcextensions =
        textField("webexcextensionsField", &storage::FileSettings::webexcextensions);
    m_webusetheextfeature = checkBox("Use this function", "webusetheextfeatureBox",
                                     &storage::FileSettings::webusetheextfeature);
    web->addWidget(m_webexcextensions, 1);
    web->addWidget(note("(click o to open anyway)", "webexcextensionsNote"));
    web->addWidget(m_webusetheextfeature);

    auto* copying = new QHBoxLayout;
    m_ifcopyaddlist = checkBox("yes", "ifcopyaddlistBox", &storage::FileSettings::ifcopyaddlist);
    copying->addWidget(m_ifcopyaddlist);
    copying->addStretch();

    auto* rename = new QHBoxLayout;
    m_renamefile = new QCheckBox("Yes");
    m_renamefile->setObjectName("renamefileBox");
    connect(m_renamefile, &QCheckBox::clicked, this, [this](bool on) {
        app::setRenameFile(m_app.fileSettings(), on);
        showRenameState();
    });
    m_renameandoverwrite = checkBox("overwrite existing files", "renameandoverwriteBox",
                                    &storage::FileSettings::renameandoverwrite);
    rename->addWidget(m_renamefile);
    rename->addWidget(note("(be careful if you have the file in an other list)", "renamefileNote"));
    rename->addWidget(m_renameandoverwrite);
    rename->addStretch();

    auto* save = new QPushButton("Save");
    save->setObjectName("saveButton");
    save->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this,
            [this] { m_app.runCommand([this] { app::saveFileSettings(m_app); }); });
    auto* close = new QPushButton("Close");
    close->setObjectName("closeButton");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group("Download directory", "downdirGroup", download));
    layout->addWidget(group("Conversion directory", "convdirGroup", conversion));
    layout->addWidget(group("Extension for thumbnails", "thumbextGroup", thumb));
    layout->addWidget(
        group("Excluded extension for file loading (ends with ; )", "excextensionsGroup", files));
    layout->addWidget(group("Excluded extension for browser loading (ends with ; )",
                            "webexcextensionsGroup", web));
    layout->addWidget(group("Add to list if you copy in the context menu of the browser",
                            "ifcopyaddlistGroup", copying));
    layout->addWidget(group("Rename real local filenames when edited", "renamefileGroup", rename));
    layout->addLayout(buttons);
    takeSettings();
}

QLineEdit* FileSettingsDialog::folderRow(app::FolderField field, const QString& name,
                                         QBoxLayout* into) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name + "Field");
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
        app::folderOf(m_app.fileSettings(), field) = ss(text);
    });
    QPushButton* choose = smallButton("...", name + "Choose");
    connect(choose, &QPushButton::clicked, this, [this, field, edit] {
        bool chosen = false;
        m_app.runCommand([&] { chosen = app::chooseFolder(m_app, field); });
        if (chosen) {
            edit->setText(qs(app::folderOf(m_app.fileSettings(), field)));
        }
    });
    QPushButton* open = smallButton("o", name + "Open");
    connect(open, &QPushButton::clicked, this,
            [this, field] { m_app.runCommand([&] { app::openFolder(m_app, field); }); });
    into->addWidget(edit, 1);
    into->addWidget(choose);
    into->addWidget(open);
    return edit;
}

QLineEdit* FileSettingsDialog::textField(const QString& name,
                                         std::string storage::FileSettings::*member) {
    return boundTextField(this, m_app.fileSettings(), name, member);
}

QCheckBox* FileSettingsDialog::checkBox(const QString& caption, const QString& name,
                                        bool storage::FileSettings::*member) {
    return boundCheckBox(this, m_app.fileSettings(), caption, name, member);
}

void FileSettingsDialog::takeSettings() {
    const storage::FileSettings& s = m_app.fileSettings();
    m_downdir->setText(qs(s.downdir));
    m_convdir->setText(qs(s.convdir));
    m_thumbext->setText(qs(s.thumbext));
    m_excextensions->setText(qs(s.excextensions));
    m_webexcextensions->setText(qs(s.webexcextensions));
    m_usetheextfeature->setChecked(s.usetheextfeature);
    m_webusetheextfeature->setChecked(s.webusetheextfeature);
    m_ifcopyaddlist->setChecked(s.ifcopyaddlist);
    showRenameState();
}

void FileSettingsDialog::showRenameState() {
    const storage::FileSettings& s = m_app.fileSettings();
    m_renamefile->setChecked(s.renamefile);
    m_renameandoverwrite->setChecked(s.renameandoverwrite);
    m_renameandoverwrite->setVisible(app::overwriteOffered(s));
}

}  // namespace ambrel::gui
