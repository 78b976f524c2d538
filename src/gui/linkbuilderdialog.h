#pragma once

#include <QDialog>

#include "core/app/app.h"
#include "core/app/linkbuilder.h"
#include "core/export/linkbuilder.h"

class QLineEdit;
class QMenu;

namespace ambrel::gui {

// "Copy links for pictures to your clipboard": a thumbnail field and a link field combined
// into a clickable thumbnail for HTML or BBCode. Opens beside the main window; the main
// window's selection feeds its fields while it is visible.
class LinkBuilderDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkBuilderDialog)

public:
    // mainWindow is only where the dialog is placed; it does not own the dialog.
    LinkBuilderDialog(app::LinkBuilder& builder, app::Tmyambrel& app, QWidget* mainWindow);
    ~LinkBuilderDialog() override;

    QLineEdit* thumbnailField() const { return m_thumbnail; }
    QLineEdit* linkField() const { return m_link; }
    // The dialog's own context menu: the thumbnail rules of the picture-hosting services.
    QMenu* servicesMenu() const { return m_menu; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showFields();

    app::LinkBuilder& m_builder;
    app::Tmyambrel& m_app;
    QWidget* m_mainWindow;
    QLineEdit* m_thumbnail = nullptr;
    QLineEdit* m_link = nullptr;
    QMenu* m_menu = nullptr;
};

}  // namespace ambrel::gui
