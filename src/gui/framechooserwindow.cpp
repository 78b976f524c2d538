#include "gui/framechooserwindow.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace ambrel::gui {

FrameChooserWindow::FrameChooserWindow(imaging::FrameChooser& chooser, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint),
      m_chooser(chooser) {
    setObjectName("frameChooserWindow");
    setWindowTitle(QString());

    m_number = new QLineEdit;
    m_number->setObjectName("frameNumber");
    m_number->setValidator(new QIntValidator(0, 99999, m_number));
    m_number->setMaximumWidth(60);
    connect(m_number, &QLineEdit::textEdited, this, [this](const QString& text) {
        bool ok = false;
        const int n = text.toInt(&ok);
        if (ok) {
            m_chooser.setNumber(n);
        }
    });
    m_max = new QLabel;
    m_max->setObjectName("maxLabel");
    auto* up = new QToolButton;
    up->setObjectName("upButton");
    up->setArrowType(Qt::UpArrow);
    connect(up, &QToolButton::clicked, this, [this] { m_chooser.up(); });
    auto* down = new QToolButton;
    down->setObjectName("downButton");
    down->setArrowType(Qt::DownArrow);
    connect(down, &QToolButton::clicked, this, [this] { m_chooser.down(); });

    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(up);
    arrows->addWidget(down);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_number);
    layout->addLayout(arrows);
    layout->addWidget(new QLabel("Max:"));
    layout->addWidget(m_max);
    m_chooser.onChanged = [this] { showChooser(); };
    showChooser();
}

FrameChooserWindow::~FrameChooserWindow() {
    m_chooser.onChanged = nullptr;
}

void FrameChooserWindow::showChooser() {
    const QString number = QString::number(m_chooser.number());
    if (m_number->text() != number) {
        m_number->setText(number);
    }
    m_max->setText(QString::number(m_chooser.highest()));
}

}  // namespace ambrel::gui
