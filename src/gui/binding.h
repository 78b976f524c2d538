#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <string>

#include "gui/qtui.h"

namespace ambrel::gui {

// A text field whose every edit goes at once into the held setting it stands for: settings
// take effect when changed, saved or not.
template <typename Settings>
QLineEdit* boundTextField(QObject* context, Settings& settings, const QString& name,
                          std::string Settings::*member) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    QObject::connect(edit, &QLineEdit::textEdited, context,
                     [&settings, member](const QString& t) { settings.*member = ss(t); });
    return edit;
}

// A check box bound the same way to an on/off setting.
template <typename Settings>
QCheckBox* boundCheckBox(QObject* context, Settings& settings, const QString& caption,
                         const QString& name, bool Settings::*member) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    QObject::connect(box, &QCheckBox::clicked, context,
                     [&settings, member](bool on) { settings.*member = on; });
    return box;
}

}  // namespace ambrel::gui
