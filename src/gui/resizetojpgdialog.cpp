#include "gui/resizetojpgdialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/storage/settings.h"
#include "core/web/browseurl.h"
#include "gui/qtui.h"

namespace ambrel::gui {
namespace {

QCheckBox* check(const char* objectName, const char* caption, bool& field) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(objectName);
    box->setChecked(field);
    QObject::connect(box, &QCheckBox::toggled, box, [&field](bool on) { field = on; });
    return box;
}

}  // namespace

ResizeToJpgDialog::ResizeToJpgDialog(app::Tmyambrel& app, app::PictureTools& tools, QWidget* parent)
    : QDialog(parent), m_app(app), m_tools(tools) {
    setObjectName("resizeToJpgDialog");
    setWindowTitle(QString::fromUtf8(platform::windowCaption(platform::Window::ResizeToJpg)));
    setModal(false);
    app::ResizeToJpgForm& form = m_tools.resize;

    auto* mode = new QGroupBox("Mode");
    auto* modeLayout = new QVBoxLayout(mode);
    auto* modes = new QButtonGroup(this);
    const std::pair<const char*, const char*> choices[] = {{"ratioRadio", "Ratio %"},
                                                           {"fixedWidthRadio", "Fixed width"},
                                                           {"fixedHeightRadio", "Fixed height"}};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(choices[i].second);
        radio->setObjectName(choices[i].first);
        radio->setChecked(static_cast<int>(form.mode) == i);
        modes->addButton(radio, i);
        modeLayout->addWidget(radio);
    }
    connect(modes, &QButtonGroup::idToggled, this, [&form](int id, bool on) {
        if (on) {
            form.mode = static_cast<imaging::ResizeMode>(id);
        }
    });

    auto* valueBox = new QGroupBox("Value");
    auto* valueLayout = new QVBoxLayout(valueBox);
    auto* value = new QLineEdit(qs(form.value));
    value->setObjectName("valueField");
    connect(value, &QLineEdit::textChanged, this,
            [&form](const QString& t) { form.value = ss(t); });
    valueLayout->addWidget(value);

    auto* ok = new QPushButton("Ok");
    ok->setObjectName("okButton");
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this,
            [this] { m_app.runCommand([this] { app::resizeToJpgOk(m_app, m_tools); }); });
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
    auto* help = new QPushButton("help");
    help->setObjectName("helpButton");
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, [this] {
        m_app.runCommand([this] {
            web::BrowseURL(m_app.services().registry, m_app.services().shell,
                           web::makerPage(web::kResizeHelpPage));
        });
    });

    auto* top = new QHBoxLayout;
    top->addWidget(mode);
    top->addWidget(valueBox);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(check("addThumbnailsCheck", "Add thumbnails to list", form.addThumbnails));
    layout->addWidget(
        check("deleteTemporaryCheck", "Delete temporary downloaded files", form.deleteTemporary));
    layout->addWidget(check("overwriteCheck",
                            "Overwrite existing original file with downloaded one",
                            form.overwriteOriginal));
    layout->addLayout(buttons);
}

}  // namespace ambrel::gui
