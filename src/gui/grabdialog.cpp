#include "gui/grabdialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/qtui.h"

namespace ambrel::gui {

GrabDialog::GrabDialog(app::Tmyambrel& app, app::Grab& grab, QWidget* parent)
    : QDialog(parent), m_app(app), m_grab(grab) {
    setObjectName("grabDialog");
    setWindowTitle(QString::fromUtf8(app::Grab::kCaption));
    setModal(false);

    const auto field = [this](const char* name, std::string& bound) {
        auto* edit = new QLineEdit;
        edit->setObjectName(name);
        connect(edit, &QLineEdit::textChanged, this,
                [&bound](const QString& text) { bound = ss(text); });
        return edit;
    };
    m_address = field("addressField", m_grab.address);
    m_include = field("includeField", m_grab.filters().include);
    m_exclude = field("excludeField", m_grab.filters().exclude);

    auto* filters = new QGroupBox("Filters");
    filters->setObjectName("filtersBox");
    auto* filterForm = new QFormLayout(filters);
    filterForm->addRow("Include filter", m_include);
    filterForm->addRow("Exclude filter", m_exclude);

    auto* what = new QGroupBox("Grab what ?");
    what->setObjectName("grabWhatBox");
    m_pictures = new QRadioButton("Grab pictures");
    m_pictures->setObjectName("grabPicturesRadio");
    m_links = new QRadioButton("Grab links");
    m_links->setObjectName("grabLinksRadio");
    connect(m_pictures, &QRadioButton::toggled, this,
            [this](bool on) { m_grab.grabPictures = on; });
    auto* whatLayout = new QVBoxLayout(what);
    whatLayout->addWidget(m_pictures);
    whatLayout->addWidget(m_links);

    m_useSrc = new QCheckBox("use \"src\"");
    m_useSrc->setObjectName("useSrcBox");
    connect(m_useSrc, &QCheckBox::toggled, this, [this](bool on) { m_grab.useSrc = on; });

    auto* grabButton = new QPushButton("Grab !");
    grabButton->setObjectName("grabButton");
    grabButton->setAutoDefault(false);
    connect(grabButton, &QPushButton::clicked, this,
            [this] { m_app.runCommand([this] { m_grab.grab(); }); });
    auto* help = new QPushButton("help");
    help->setObjectName("helpButton");
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this,
            [this] { m_app.runCommand([this] { m_grab.help(); }); });

    auto* addressRow = new QHBoxLayout;
    addressRow->addWidget(new QLabel("Address"));
    addressRow->addWidget(m_address, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(what);
    auto* side = new QVBoxLayout;
    side->addWidget(m_useSrc);
    side->addStretch();
    side->addWidget(grabButton);
    side->addWidget(help);
    options->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(addressRow);
    layout->addWidget(filters);
    layout->addLayout(options);
    resize(460, 280);
    takeState();
}

void GrabDialog::takeState() {
    m_address->setText(qs(m_grab.address));
    m_include->setText(qs(m_grab.filters().include));
    m_exclude->setText(qs(m_grab.filters().exclude));
    (m_grab.grabPictures ? m_pictures : m_links)->setChecked(true);
    m_useSrc->setChecked(m_grab.useSrc);
}

bool GrabDialog::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        m_grab.activated();
        m_address->setText(qs(m_grab.address));
    }
    return QDialog::event(event);
}

void GrabDialog::showEvent(QShowEvent* event) {
    takeState();
    QDialog::showEvent(event);
}

}  // namespace ambrel::gui
