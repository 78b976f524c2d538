#pragma once

#include <QDialog>

#include "core/app/app.h"
#include "core/app/downloadlist.h"

class QPlainTextEdit;
class QCheckBox;

namespace ambrel::gui {

// "Download list" (TForm10): the addresses to fetch, one per line, and "Add to list".
class DownloadListDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadListDialog)

public:
    DownloadListDialog(app::DownloadList& list, app::Tmyambrel& app, QWidget* parent = nullptr);
    ~DownloadListDialog() override;

private:
    void takeState();

    app::DownloadList& m_list;
    app::Tmyambrel& m_app;
    QPlainTextEdit* m_field = nullptr;
    QCheckBox* m_addToList = nullptr;
};

}  // namespace ambrel::gui
