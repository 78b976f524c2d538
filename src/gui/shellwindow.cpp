#include "gui/shellwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/storage/settings.h"

namespace ambrel::gui {

ShellWindow::ShellWindow(platform::Window which, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("window%1").arg(static_cast<int>(which)));
    setWindowTitle(QString::fromUtf8(platform::windowCaption(which)));
    setModal(false);
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("aboutWindow");
    setWindowTitle(QString::fromUtf8(platform::windowCaption(platform::Window::About)));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("<h2>My Ambrel</h2>"));
    auto* version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral("1.01")));
    version->setObjectName("versionLabel");
    auto* text = new QLabel(
        "Keeps lists of pictures and their links, uploads, downloads and converts them.");
    text->setWordWrap(true);
    const QString site = QString::fromUtf8(storage::kMakerSite);
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(site));
    link->setObjectName("makerLink");
    link->setOpenExternalLinks(true);
    auto* close = new QPushButton("Close");
    close->setObjectName("closeButton");
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(text);
    layout->addWidget(link);
    layout->addWidget(close, 0, Qt::AlignRight);
}

}  // namespace ambrel::gui
