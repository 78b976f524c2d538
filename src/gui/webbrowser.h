#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

#include "core/platform/browser.h"

class QWebEngineView;

namespace ambrel::gui {

// The embedded browser: a QWebEngineView whose image collection is read with a small
// script once a page has loaded, so core can ask for sizes without waiting on the engine.
class WebBrowser final : public QObject, public platform::Browser {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebBrowser)

public:
    explicit WebBrowser(QWebEngineView* view, QObject* parent = nullptr);

    QWebEngineView* view() const { return m_view; }

    void navigate(const std::string& address) override;
    void stop() override;
    void goBack() override;
    void goForward() override;
    std::string currentAddress() const override;

    int imageCount() const override { return static_cast<int>(m_images.size()); }
    int imageWidth(int index) const override;
    int imageHeight(int index) const override;
    void setImageWidth(int index, int width) override;
    void setImageHeight(int index, int height) override;

signals:
    void documentCompleted();

private:
    struct Image {
        int width = 0;
        int height = 0;
    };
    void loadFinished(bool ok);
    void reportHistory();
    void resize(int index, int value, bool width);

    QWebEngineView* m_view;
    std::vector<Image> m_images;
};

}  // namespace ambrel::gui
