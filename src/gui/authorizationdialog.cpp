#include "gui/authorizationdialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "gui/qtui.h"

namespace ambrel::gui {

AuthorizationDialog::AuthorizationDialog(transfer::AuthorizationState& state, QWidget* parent)
    : QDialog(parent), m_state(state) {
    setObjectName("authorizationDialog");
    setWindowTitle(QString::fromUtf8(platform::windowCaption(platform::Window::Authorization)));
    setModal(false);

    m_user = new QLineEdit;
    m_user->setObjectName("usernameField");
    connect(m_user, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_state.user = ss(text); });
    m_password = new QLineEdit;
    m_password->setObjectName("passwordField");
    m_password->setEchoMode(QLineEdit::Password);
    connect(m_password, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_state.password = ss(text); });

    auto* ok = new QPushButton("Ok");
    ok->setObjectName("okButton");
    connect(ok, &QPushButton::clicked, this, [this] {
        m_state.answer = 'y';
        hide();
    });
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_state.answer = 'n';
        hide();
    });

    auto* fields = new QFormLayout;
    fields->addRow("Username", m_user);
    fields->addRow("Password", m_password);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    m_state.onChanged = [this] { takeState(); };
    takeState();
}

AuthorizationDialog::~AuthorizationDialog() {
    m_state.onChanged = nullptr;
}

void AuthorizationDialog::showEvent(QShowEvent* event) {
    // Every activation means "retry" until the person cancels.
    m_state.answer = 'y';
    takeState();
    QDialog::showEvent(event);
}

void AuthorizationDialog::takeState() {
    const QSignalBlocker blockUser(m_user);
    const QSignalBlocker blockPassword(m_password);
    m_user->setText(qs(m_state.user));
    m_password->setText(qs(m_state.password));
}

}  // namespace ambrel::gui
