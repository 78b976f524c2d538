#include "gui/linkbuilderdialog.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <tuple>
#include <utility>

#include "gui/qtui.h"

namespace ambrel::gui {

namespace {

QPushButton* makeButton(const QString& caption, const QString& objectName) {
    auto* button = new QPushButton(caption);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

LinkBuilderDialog::LinkBuilderDialog(app::LinkBuilder& builder, app::Tmyambrel& app,
                                     QWidget* mainWindow)
    : m_builder(builder), m_app(app), m_mainWindow(mainWindow) {
    setObjectName("linkBuilderDialog");
    setWindowTitle(QString::fromUtf8(platform::windowCaption(platform::Window::LinkBuilder)));
    setModal(false);

    const auto field = [this](const QString& title, const QString& name, QLineEdit*& edit,
                              void (app::LinkBuilder::*set)(std::string),
                              void (app::LinkBuilder::*clear)()) {
        auto* box = new QGroupBox(title);
        box->setObjectName(name + "Box");
        edit = new QLineEdit;
        edit->setObjectName(name + "Field");
        connect(edit, &QLineEdit::textEdited, this,
                [this, set](const QString& text) { (m_builder.*set)(ss(text)); });
        QPushButton* x = makeButton("x", "clear" + name.left(1).toUpper() + name.mid(1) + "Button");
        x->setFixedWidth(28);
        connect(x, &QPushButton::clicked, this, [this, clear] { (m_builder.*clear)(); });
        auto* row = new QHBoxLayout(box);
        row->addWidget(edit, 1);
        row->addWidget(x);
        return box;
    };
    QGroupBox* thumbnailBox =
        field("Enter your thumbnail link", "thumbnail", m_thumbnail,
              &app::LinkBuilder::setThumbnail, &app::LinkBuilder::clearThumbnail);
    QGroupBox* linkBox = field("Enter your link", "link", m_link, &app::LinkBuilder::setLink,
                               &app::LinkBuilder::clearLink);

    QPushButton* html = makeButton("Copy for html", "copyHtmlButton");
    QPushButton* bbcode1 = makeButton("Copy BBcode1", "copyBBcode1Button");
    QPushButton* bbcode2 = makeButton("Copy BBcode2", "copyBBcode2Button");
    QPushButton* cancel = makeButton("Cancel", "cancelButton");
    const auto run = [this](void (app::LinkBuilder::*command)()) {
        return [this, command] { m_app.runCommand([&] { (m_builder.*command)(); }); };
    };
    connect(html, &QPushButton::clicked, this, run(&app::LinkBuilder::copyForHtml));
    connect(bbcode1, &QPushButton::clicked, this, run(&app::LinkBuilder::copyBBcode1));
    connect(bbcode2, &QPushButton::clicked, this, run(&app::LinkBuilder::copyBBcode2));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_menu = new QMenu(this);
    m_menu->setObjectName("servicesMenu");
    for (const auto& [caption, name, service] :
         {std::tuple{"For imageshack", "Copyforimageshack1",
                     linkexport::ThumbnailService::Imageshack},
          std::tuple{"For suprfile", "Forsuprfile1", linkexport::ThumbnailService::Suprfile},
          std::tuple{"For imagecraze", "Forimagecraze1",
                     linkexport::ThumbnailService::Imagecraze}}) {
        QAction* action = m_menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        connect(action, &QAction::triggered, this, [this, service = service] {
            m_app.runCommand([&] { m_builder.rewriteFor(service); });
        });
    }
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_menu->popup(mapToGlobal(pos)); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(html);
    buttons->addWidget(bbcode1);
    buttons->addWidget(bbcode2);
    buttons->addStretch();
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(thumbnailBox);
    layout->addWidget(linkBox);
    layout->addLayout(buttons);
    resize(480, 200);

    m_builder.setChangeListener([this] { showFields(); });
    showFields();
}

LinkBuilderDialog::~LinkBuilderDialog() {
    m_builder.setChangeListener({});
}

void LinkBuilderDialog::showFields() {
    // Only a changed text is set again, so typing keeps its cursor.
    for (const auto& [edit, text] : {std::pair{m_thumbnail, qs(m_builder.thumbnail())},
                                     std::pair{m_link, qs(m_builder.link())}}) {
        if (edit->text() != text) {
            edit->setText(text);
        }
    }
}

void LinkBuilderDialog::done(int result) {
    // Cancel, Escape and the close box all end here.
    m_builder.closed();
    QDialog::done(result);
}

void LinkBuilderDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_mainWindow == nullptr) {
        return;
    }
    const QRect main = m_mainWindow->frameGeometry();
    const QRect own = frameGeometry();
    QScreen* screen = m_mainWindow->screen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    const linkexport::Rect placed = linkexport::placeBesideMain(
        {main.left(), main.top(), main.width(), main.height()}, own.width(), own.height(),
        {area.left(), area.top(), area.width(), area.height()});
    move(placed.left, placed.top);
}

void LinkBuilderDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_app.runCommand([this] { m_builder.activated(); });
    }
}

}  // namespace ambrel::gui
