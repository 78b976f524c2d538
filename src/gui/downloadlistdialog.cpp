#include "gui/downloadlistdialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "gui/qtui.h"

namespace ambrel::gui {

DownloadListDialog::DownloadListDialog(app::DownloadList& list, app::Tmyambrel& app,
                                       QWidget* parent)
    : QDialog(parent), m_list(list), m_app(app) {
    setObjectName("downloadListDialog");
    setWindowTitle(QString::fromUtf8(platform::windowCaption(platform::Window::DownloadList)));
    setModal(false);

    auto* warning = new QLabel(QString::fromUtf8(app::DownloadList::kWarning));
    warning->setObjectName("warningLabel");
    warning->setWordWrap(true);
    m_field = new QPlainTextEdit;
    m_field->setObjectName("downloadListField");
    m_field->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_field->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(m_field, &QPlainTextEdit::textChanged, this,
            [this] { m_list.setText(ss(m_field->toPlainText())); });
    m_addToList = new QCheckBox("Add to list");
    m_addToList->setObjectName("addToListBox");
    connect(m_addToList, &QCheckBox::toggled, this, [this](bool on) { m_list.setAddToList(on); });

    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, [this] { m_list.cancel(); });
    auto* download = new QPushButton("Download");
    download->setObjectName("downloadButton");
    download->setAutoDefault(false);
    connect(download, &QPushButton::clicked, this,
            [this] { m_app.runCommand([this] { m_list.download(); }); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_addToList);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(download);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(warning);
    layout->addWidget(m_field, 1);
    layout->addLayout(buttons);
    resize(560, 300);

    m_list.onChanged = [this] { takeState(); };
    takeState();
}

DownloadListDialog::~DownloadListDialog() {
    m_list.onChanged = nullptr;
}

void DownloadListDialog::takeState() {
    const QSignalBlocker blockField(m_field);
    const QSignalBlocker blockBox(m_addToList);
    m_field->setPlainText(qs(m_list.text()));
    m_addToList->setChecked(m_list.addToList());
}

}  // namespace ambrel::gui
