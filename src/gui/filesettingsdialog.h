#pragma once

#include <QDialog>

#include "core/app/app.h"
#include "core/app/filesettings.h"

class QBoxLayout;
class QCheckBox;
class QLineEdit;

namespace ambrel::gui {

// "File settings": every control edits the file settings held for the run at once; "Save"
// makes them last.
class FileSettingsDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileSettingsDialog)

public:
    explicit FileSettingsDialog(app::Tmyambrel& app, QWidget* parent = nullptr);

    // The controls take the held settings; once at start-up, after they are loaded.
    void takeSettings();

private:
    QLineEdit* folderRow(app::FolderField field, const QString& name, QBoxLayout* into);
    QLineEdit* textField(const QString& name, std::string storage::FileSettings::*member);
    QCheckBox* checkBox(const QString& caption, const QString& name,
                        bool storage::FileSettings::*member);
    void showRenameState();

    app::Tmyambrel& m_app;
    QLineEdit* m_downdir = nullptr;
    QLineEdit* m_convdir = nullptr;
    QLineEdit* m_thumbext = nullptr;
    QLineEdit* m_excextensions = nullptr;
    QLineEdit* m_webexcextensions = nullptr;
    QCheckBox* m_usetheextfeature = nullptr;
    QCheckBox* m_webusetheextfeature = nullptr;
    QCheckBox* m_ifcopyaddlist = nullptr;
    QCheckBox* m_renamefile = nullptr;
    QCheckBox* m_renameandoverwrite = nullptr;
};

}  // namespace ambrel::gui
