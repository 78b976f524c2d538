#include "gui/uploadsettingsdialog.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "gui/qtui.h"

namespace ambrel::gui {

namespace {

QPushButton* button(const QString& caption, const QString& name) {
    auto* b = new QPushButton(caption);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

UploadSettingsDialog::UploadSettingsDialog(app::UploadSettingsWindow& window, app::Tmyambrel& app,
                                           QtUi& ui, QWidget* parent)
    : QDialog(parent), m_window(window), m_app(app), m_ui(ui) {
    setObjectName("uploadSettingsWindow");
    setWindowTitle(QString::fromUtf8(platform::windowCaption(platform::Window::UploadSettings)));
    setModal(false);

    m_list = new QComboBox;
    m_list->setObjectName("definitionsList");
    m_list->setEditable(false);
    connect(m_list, &QComboBox::activated, this, [this](int index) { m_window.select(index); });

    auto* edit = button("Edit", "editButton");
    connect(edit, &QPushButton::clicked, this,
            [this] { m_app.runCommand([this] { m_window.edit(); }); });
    auto* remove = button("Delete", "deleteButton");
    connect(remove, &QPushButton::clicked, this,
            [this] { m_app.runCommand([this] { m_window.deleteSelected(); }); });
    auto* setDefault = button("Set default", "setDefaultButton");
    connect(setDefault, &QPushButton::clicked, this,
            [this] { m_app.runCommand([this] { m_window.setDefault(); }); });
    // Form uploads get their dialogs with the form analysis.
    auto* addHtml = button("Add Html upload", "addHtmlButton");
    addHtml->setEnabled(false);
    auto* addFtp = button("Add FTP upload", "addFtpButton");
    connect(addFtp, &QPushButton::clicked, this, [this] { m_window.addFtpUpload(); });

    auto* group = new QGroupBox("Upload with");
    group->setObjectName("uploadWithGroup");
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_list);
    auto* commands = new QHBoxLayout;
    commands->addWidget(edit);
    commands->addWidget(remove);
    commands->addWidget(setDefault);
    groupLayout->addLayout(commands);

    auto* adding = new QHBoxLayout;
    adding->addWidget(addHtml);
    adding->addWidget(addFtp);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(adding);

    m_window.setListListener([this] { showList(); });
    showList();
}

UploadSettingsDialog::~UploadSettingsDialog() {
    m_window.setListListener({});
}

void UploadSettingsDialog::showList() {
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (const std::string& name : m_window.list().names()) {
        m_list->addItem(qs(name));
    }
    m_list->setCurrentIndex(m_window.list().selected());
}

void UploadSettingsDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        for (platform::Window w : m_window.editorsToBringInFront()) {
            if (QWidget* editor = m_ui.window(w)) {
                editor->raise();
            }
        }
    }
}

}  // namespace ambrel::gui
