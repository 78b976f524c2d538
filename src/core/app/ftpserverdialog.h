#pragma once

#include <functional>
#include <string>

#include "core/app/app.h"
#include "core/platform/ui.h"
#include "core/servers/definition.h"
#include "core/servers/ftpform.h"

namespace ambrel::app {

// The state and rules of "Add a new ftp server" (TForm14) and "Edit a ftp server" (TForm15).
// Both are created once and keep their fields between uses; the controls edit values()
// directly and report name changes through setName.
class FtpServerDialog final {
public:
    static constexpr const char* kAddCaption = "Add a new ftp server";
    static constexpr const char* kEditCaption = "Edit a ftp server";
    // The edit dialog while its name differs from the current server definition's.
    static constexpr const char* kEditAsNewCaption = "Add a ftp server";

    FtpServerDialog(Tmyambrel& app, servers::FtpDialogKind kind);

    servers::FtpDialogKind kind() const { return m_kind; }
    platform::Window window() const;
    const std::string& caption() const { return m_caption; }

    const std::string& name() const { return m_name; }
    // Every change of the name field, typed or set: the edit dialog's caption says whether
    // saving replaces the current server definition or makes another.
    void setName(std::string name);
    servers::FtpDefinition& values() { return m_values; }
    const servers::FtpDefinition& values() const { return m_values; }

    // The edit dialog takes a definition's fields; its name field gets the definition's name.
    void fill(const std::string& name, const servers::ServerDefinition& definition);
    void show();

    // "Ok": a failing check shows its message and keeps the dialog open (false). Otherwise
    // writes the definition, lists a new name, selects the stored default again and closes
    // (true). Fields are kept. Throws storage::IoError when the file cannot be written (the
    // list is then unchanged), servers::ConversionError for a stored default that is not a
    // number (the definition is saved, the dialog stays open).
    bool ok();
    // "Cancel": the add dialog only closes; the edit dialog first empties every field, puts
    // back the not-found code "404" and unticks passive mode.
    void cancel();

    // Told when core changed what the dialog shows (fields or caption).
    void setChangeListener(std::function<void()> listener) { m_changed = std::move(listener); }
    // Told when a save changed the upload settings list or its selection.
    void setListListener(std::function<void()> listener) { m_listChanged = std::move(listener); }

private:
    void changed();

    Tmyambrel& m_app;
    servers::FtpDialogKind m_kind;
    std::string m_caption;
    std::string m_name;
    servers::FtpDefinition m_values;
    std::function<void()> m_changed;
    std::function<void()> m_listChanged;
};

}  // namespace ambrel::app
