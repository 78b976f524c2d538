#pragma once

#include <functional>
#include <vector>

#include "core/app/app.h"
#include "core/app/ftpserverdialog.h"
#include "core/platform/ui.h"

namespace ambrel::app {

// The commands of the "Upload settings" window (TForm6) over the application's upload
// settings list, and the two FTP dialogs it opens. Errors that end a command are thrown;
// the caller runs them through Tmyambrel::runCommand.
class UploadSettingsWindow final {
public:
    static constexpr const char* kNotEditableYet =
        "Only FTP upload definitions can be edited: HTML upload definitions cannot be edited "
        "yet.";

    explicit UploadSettingsWindow(Tmyambrel& app);
    UploadSettingsWindow(const UploadSettingsWindow&) = delete;
    UploadSettingsWindow& operator=(const UploadSettingsWindow&) = delete;

    FtpServerDialog& ftpAdd() { return m_ftpAdd; }
    FtpServerDialog& ftpEdit() { return m_ftpEdit; }
    const servers::UploadSettingsList& list() const { return m_app.uploadSettings(); }

    // The main window's "Upload settings".
    void show();
    // The person picked a definition: it becomes the current server definition.
    void select(int index);

    // "Edit": a definition holding "<ftp>" opens in the FTP edit dialog, filled from its
    // file; any other (an HTML form, or nothing selected) is refused with kNotEditableYet.
    void edit();
    // "Delete", after "Confirmation to delete ?". Throws storage::IoError when the file stays.
    void deleteSelected();
    // "Set default": the selected position becomes the stored default. A missing options
    // file first gets the file settings and the general settings. Throws storage::IoError.
    void setDefault();
    // "Add FTP upload": the add dialog, with whatever its fields held.
    void addFtpUpload();

    // The definition editors that are visible, to be brought in front of this window each
    // time it is activated.
    std::vector<platform::Window> editorsToBringInFront() const;

    // Told when the list or its selection changed.
    void setListListener(std::function<void()> listener);

private:
    void listChanged();

    Tmyambrel& m_app;
    FtpServerDialog m_ftpAdd;
    FtpServerDialog m_ftpEdit;
    std::function<void()> m_listChanged;
};

}  // namespace ambrel::app
