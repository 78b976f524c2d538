#include "gui/webbrowser.h"

#include <QFileInfo>
#include <QPointer>
#include <QUrl>
#include <QVariantList>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "gui/qtui.h"

namespace ambrel::gui {

WebBrowser::WebBrowser(QWebEngineView* view, QObject* parent) : QObject(parent), m_view(view) {
    connect(view, &QWebEngineView::loadFinished, this, &WebBrowser::loadFinished);
    connect(view, &QWebEngineView::urlChanged, this, [this] { reportHistory(); });
}

void WebBrowser::navigate(const std::string& address) {
    const QString text = qs(address);
    QUrl url;
    if (text.startsWith('/')) {
        url = QUrl::fromLocalFile(text);
    } else if (text.startsWith("file:///")) {
        // "file://" + an absolute path: the path goes in as it is, so spaces and "#" in a
        // file name cannot cut it. A drive path ("file:///C:\...") stays an address.
        url = text.size() > 9 && text.at(9) == ':' ? QUrl(text, QUrl::TolerantMode)
                                                   : QUrl::fromLocalFile(text.mid(7));
    } else {
        url = QUrl(text, QUrl::TolerantMode);
    }
    m_images.clear();
    m_view->setUrl(url);
}

void WebBrowser::stop() {
    m_view->stop();
}

void WebBrowser::goBack() {
    m_view->back();
}

void WebBrowser::goForward() {
    m_view->forward();
}

std::string WebBrowser::currentAddress() const {
    const QUrl url = m_view->url();
    return ss(url.isLocalFile() ? "file://" + url.toLocalFile() : url.toString());
}

int WebBrowser::imageWidth(int index) const {
    return m_images.at(static_cast<std::size_t>(index)).width;
}

int WebBrowser::imageHeight(int index) const {
    return m_images.at(static_cast<std::size_t>(index)).height;
}

void WebBrowser::setImageWidth(int index, int width) {
    resize(index, width, true);
}

void WebBrowser::setImageHeight(int index, int height) {
    resize(index, height, false);
}

void WebBrowser::resize(int index, int value, bool width) {
    Image& image = m_images.at(static_cast<std::size_t>(index));
    platform::scaleImageDimension(width ? image.width : image.height,
                                  width ? image.height : image.width, value);
    // Setting one attribute of an image whose other one is unset keeps its proportions; the
    // engine's answer replaces the estimate above once it arrives.
    QPointer<WebBrowser> self(this);
    // A picture shown on its own is sized by the engine to fit the view, both dimensions at
    // once, and sized again whenever the view changes. That sizing is the engine's, not the
    // page's: a copy of the picture that the engine does not manage takes its place first.
    m_view->page()->runJavaScript(
        QStringLiteral(
            "(function(){var i=document.images[%1]; if(!i){return null;}"
            " var w=i.naturalWidth, h=i.naturalHeight;"
            " if((document.contentType||'').indexOf('image/')==0 && i.parentNode){"
            "  var c=i.cloneNode(false); c.removeAttribute('width');"
            "  c.removeAttribute('height'); c.style.removeProperty('width');"
            "  c.style.removeProperty('height'); i.parentNode.replaceChild(c,i); i=c;}"
            " i.%2=%3; if(i.complete && i.width && i.height){return [i.width, i.height];}"
            // The copy is still loading: its size is the picture's, in proportion.
            " return '%2'=='width' ? [%3, w ? Math.round(h*%3/w) : 0]"
            "                      : [h ? Math.round(w*%3/h) : 0, %3];})()")
            .arg(index)
            .arg(width ? "width" : "height")
            .arg(value),
        [self, index](const QVariant& result) {
            const QVariantList pair = result.toList();
            if (self && pair.size() == 2 && index < self->imageCount()) {
                self->m_images.at(static_cast<std::size_t>(index)) = {pair[0].toInt(),
                                                                      pair[1].toInt()};
            }
        });
}

void WebBrowser::loadFinished(bool) {
    QPointer<WebBrowser> self(this);
    m_view->page()->runJavaScript(
        QStringLiteral("Array.prototype.map.call(document.images || [],"
                       " function(i){return [i.width, i.height];})"),
        [self](const QVariant& result) {
            if (!self) {
                return;
            }
            self->m_images.clear();
            for (const QVariant& item : result.toList()) {
                const QVariantList pair = item.toList();
                if (pair.size() == 2) {
                    self->m_images.push_back({pair[0].toInt(), pair[1].toInt()});
                }
            }
            self->reportHistory();
            if (self->listener() != nullptr) {
                self->listener()->documentComplete();
            }
            emit self->documentCompleted();
        });
}

void WebBrowser::reportHistory() {
    if (listener() == nullptr || m_view == nullptr) {
        return;
    }
    listener()->commandStateChange(platform::kCommandForward, m_view->history()->canGoForward());
    listener()->commandStateChange(platform::kCommandBack, m_view->history()->canGoBack());
}

}  // namespace ambrel::gui
