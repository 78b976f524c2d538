#include "gui/addurldialog.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/qtui.h"

namespace ambrel::gui {

AddUrlDialog::AddUrlDialog(app::Tmyambrel& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName("addUrlDialog");
    setWindowTitle(QString::fromUtf8(platform::windowCaption(platform::Window::AddUrl)));
    setModal(false);

    m_field = new QPlainTextEdit;
    m_field->setObjectName("urlField");
    m_field->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_field->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_field->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_field, &QPlainTextEdit::textChanged, this,
            [this] { m_app.setAddUrlText(ss(m_field->toPlainText())); });
    connect(m_field, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu menu(this);
        menu.setObjectName("urlFieldMenu");
        menu.addAction("Copy", m_field, &QPlainTextEdit::copy);
        menu.addAction("Cut", m_field, &QPlainTextEdit::cut);
        menu.addAction("Paste", m_field, &QPlainTextEdit::paste);
        menu.exec(m_field->mapToGlobal(pos));
    });

    auto* add = new QPushButton("Add");
    add->setObjectName("addButton");
    add->setDefault(false);
    add->setAutoDefault(false);
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, [this] {
        const std::string text = ss(m_field->toPlainText());
        m_app.runCommand([&] { m_app.addUrlAdd(text); });
        m_field->setPlainText(qs(m_app.addUrlText()));
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_app.addUrlCancel();
        m_field->setPlainText(qs(m_app.addUrlText()));
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(add);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_field, 1);
    layout->addLayout(buttons);
    resize(520, 260);
}

void AddUrlDialog::showEvent(QShowEvent* event) {
    m_field->setPlainText(qs(m_app.addUrlText()));
    QDialog::showEvent(event);
}

void AddUrlDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    // Showing this dialog hid the main window; closing it in any way brings it back.
    m_app.addUrlClosed();
}

}  // namespace ambrel::gui
