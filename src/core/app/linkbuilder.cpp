#include "core/app/linkbuilder.h"

namespace ambrel::app {

LinkBuilder::LinkBuilder(Tmyambrel& app) : m_app(app) {
    m_app.addObserver(this);
}

LinkBuilder::~LinkBuilder() {
    m_app.removeObserver(this);
}

void LinkBuilder::changed() {
    if (m_changed) {
        m_changed();
    }
}

void LinkBuilder::open() {
    m_app.services().ui.showWindow(platform::Window::LinkBuilder);
    activated();
}

void LinkBuilder::activated() {
    const int row = m_app.pictures().firstSelected();
    if (row >= 0 && m_thumbnail.empty()) {
        m_thumbnail = m_app.pictures().at(row).path;
        changed();
    }
}

void LinkBuilder::closed() {
    m_thumbnail.clear();
    m_link.clear();
    changed();
}

void LinkBuilder::clearThumbnail() {
    m_thumbnail.clear();
    changed();
}

void LinkBuilder::clearLink() {
    m_link.clear();
    changed();
}

void LinkBuilder::entrySelected(const std::string& path) {
    if (!m_app.services().ui.isWindowVisible(platform::Window::LinkBuilder)) {
        return;
    }
    (m_thumbnail.empty() ? m_thumbnail : m_link) = path;
    changed();
}

void LinkBuilder::copyForHtml() {
    m_app.services().clipboard.setText(linkexport::htmlThumbnailLink(m_link, m_thumbnail));
}

void LinkBuilder::copyBBcode1() {
    m_app.services().clipboard.setText(linkexport::bbcode1ThumbnailLink(m_link, m_thumbnail));
}

void LinkBuilder::copyBBcode2() {
    m_app.services().clipboard.setText(linkexport::bbcode2ThumbnailLink(m_link, m_thumbnail));
}

void LinkBuilder::rewriteFor(linkexport::ThumbnailService service) {
    // Each case sees what the one before left: after the first, both fields are filled and
    // the third runs as well.
    if (!m_thumbnail.empty() && m_link.empty()) {
        m_link = m_thumbnail;
        m_thumbnail = linkexport::thumbnailAddress(service, m_thumbnail);
    }
    if (m_thumbnail.empty() && !m_link.empty()) {
        m_thumbnail = linkexport::thumbnailAddress(service, m_link);
    }
    if (!m_thumbnail.empty() && !m_link.empty()) {
        m_thumbnail = linkexport::thumbnailAddress(
            service, service == linkexport::ThumbnailService::Imageshack ? m_link : m_thumbnail);
    }
    changed();
}

}  // namespace ambrel::app
