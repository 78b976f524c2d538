#pragma once

#include <QDialog>

#include "core/app/app.h"

class QPlainTextEdit;

namespace ambrel::gui {

// "Add url to my ambrel": addresses typed or pasted one per line.
class AddUrlDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddUrlDialog)

public:
    AddUrlDialog(app::Tmyambrel& app, QWidget* parent = nullptr);

    QPlainTextEdit* field() const { return m_field; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    app::Tmyambrel& m_app;
    QPlainTextEdit* m_field = nullptr;
};

}  // namespace ambrel::gui
