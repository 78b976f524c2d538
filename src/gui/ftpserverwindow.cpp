#include "gui/ftpserverwindow.h"

#include <QCheckBox>
#include <QGridLayout>
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

QGroupBox* group(const QString& caption, const QString& name, QWidget* content) {
    auto* box = new QGroupBox(caption);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

QPushButton* button(const QString& caption, const QString& name) {
    auto* b = new QPushButton(caption);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLabel* label(const QString& text, const QString& name) {
    auto* l = new QLabel(text);
    l->setObjectName(name);
    return l;
}

}  // namespace

FtpServerWindow::FtpServerWindow(app::FtpServerDialog& dialog, app::Tmyambrel& app, QWidget* parent)
    : QDialog(parent), m_dialog(dialog), m_app(app) {
    const bool adding = dialog.kind() == servers::FtpDialogKind::Add;
    setObjectName(adding ? "addFtpServerWindow" : "editFtpServerWindow");
    setModal(false);

    using D = servers::FtpDefinition;
    m_name = new QLineEdit;
    m_name->setObjectName("nameField");
    connect(m_name, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_dialog.setName(ss(text));
        setWindowTitle(qs(m_dialog.caption()));
    });
    m_passive =
        boundCheckBox(this, m_dialog.values(), "Upload in passive mode", "passiveBox", &D::passive);
    auto* nameBox = new QWidget;
    auto* nameRow = new QHBoxLayout(nameBox);
    nameRow->setContentsMargins(0, 0, 0, 0);
    nameRow->addWidget(m_name, 1);
    nameRow->addWidget(m_passive);

    auto* account = new QWidget;
    auto* accountGrid = new QGridLayout(account);
    accountGrid->setContentsMargins(0, 0, 0, 0);
    // The label breaks its line after "can", as the field beside it is narrow.
    accountGrid->addWidget(label("login", "loginLabel"), 0, 0);
    accountGrid->addWidget(field("loginField", &D::login), 0, 1);
    accountGrid->addWidget(label("pass (you can\n leave blank)", "passLabel"), 1, 0);
    accountGrid->addWidget(field("passField", &D::pass), 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group("Name of ouput file", "nameGroup", nameBox));
    layout->addWidget(group("Root url for your files", "urlGroup", field("urlField", &D::url)));
    layout->addWidget(group("Upload directory", "dirGroup", field("dirField", &D::dir)));
    layout->addWidget(group("Server Host ", "hostGroup", field("hostField", &D::host)));
    layout->addWidget(
        group("\"Not found\" code", "notfoundGroup", field("notfoundField", &D::notfound)));
    layout->addWidget(
        group("Start directory", "startdirrGroup", field("startdirrField", &D::startdirr)));
    layout->addWidget(group("Login and pass", "loginGroup", account));
    layout->addWidget(group("Port", "portGroup", field("portField", &D::port)));

    auto* ok = button("Ok", "okButton");
    connect(ok, &QPushButton::clicked, this,
            [this] { m_app.runCommand([this] { m_dialog.ok(); }); });
    auto* cancel = button("Cancel", "cancelButton");
    connect(cancel, &QPushButton::clicked, this, [this] { m_dialog.cancel(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    m_dialog.setChangeListener([this] { showState(); });
    showState();
}

FtpServerWindow::~FtpServerWindow() {
    m_dialog.setChangeListener({});
}

QLineEdit* FtpServerWindow::field(const QString& name,
                                  std::string servers::FtpDefinition::*member) {
    QLineEdit* edit = boundTextField(this, m_dialog.values(), name, member);
    m_fields.emplace_back(edit, member);
    return edit;
}

void FtpServerWindow::showState() {
    setWindowTitle(qs(m_dialog.caption()));
    m_name->setText(qs(m_dialog.name()));
    m_passive->setChecked(m_dialog.values().passive);
    for (const auto& [edit, member] : m_fields) {
        edit->setText(qs(m_dialog.values().*member));
    }
}

}  // namespace ambrel::gui
