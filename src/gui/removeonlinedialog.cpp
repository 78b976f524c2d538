#include "gui/removeonlinedialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "gui/qtui.h"

namespace ambrel::gui {

RemoveOnlineDialog::RemoveOnlineDialog(app::RemoveOnline& state, QWidget* parent)
    : QDialog(parent, Qt::Tool), m_state(state) {
    setObjectName("removeOnlineDialog");
    setWindowTitle(QString::fromUtf8(platform::windowCaption(platform::Window::RemoveOnline)));
    setModal(false);

    auto* label = new QLabel(QString::fromUtf8(app::RemoveOnline::kLabel));
    label->setObjectName("serverLabel");
    m_servers = new QComboBox;
    m_servers->setObjectName("serverCombo");
    m_servers->setEditable(false);
    connect(m_servers, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_state.choose(index); });
    m_removeLocal = new QCheckBox("Remove local files as well");
    m_removeLocal->setObjectName("removeLocalBox");
    m_removeLocal->setToolTip("Check to delete local files");
    connect(m_removeLocal, &QCheckBox::toggled, this,
            [this](bool on) { m_state.setRemoveLocalFiles(on); });

    const auto button = [this](const char* caption, const char* name, const char* hint,
                               void (app::RemoveOnline::*press)()) {
        auto* b = new QPushButton(caption);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, press] { (m_state.*press)(); });
        return b;
    };
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(
        button("Yes", "yesButton", "Yes to remove remote files", &app::RemoveOnline::yes));
    buttons->addWidget(
        button("No", "noButton", "No to keep remote files only", &app::RemoveOnline::no));
    buttons->addWidget(button("Cancel deletion", "cancelDeletionButton", "dito",
                              &app::RemoveOnline::cancelDeletion));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_servers);
    layout->addWidget(m_removeLocal);
    layout->addLayout(buttons);

    m_state.onChanged = [this] { takeState(); };
    takeState();
}

RemoveOnlineDialog::~RemoveOnlineDialog() {
    m_state.onChanged = nullptr;
}

void RemoveOnlineDialog::takeState() {
    const QSignalBlocker blockServers(m_servers);
    const QSignalBlocker blockBox(m_removeLocal);
    m_servers->clear();
    for (const std::string& name : m_state.servers()) {
        m_servers->addItem(qs(name));
    }
    m_servers->setCurrentIndex(m_state.chosen());
    m_removeLocal->setChecked(m_state.removeLocalFiles());
}

}  // namespace ambrel::gui
