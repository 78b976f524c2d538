#pragma once

#include <functional>
#include <string>

#include "core/app/app.h"
#include "core/export/linkbuilder.h"

namespace ambrel::app {

// The link builder dialog's state ("Copy links for pictures to your clipboard"): a
// thumbnail field (the picture shown) and a link field (where a click leads). While the
// dialog is visible, selecting an entry in the picture list fills the thumbnail field when
// it is empty and the link field otherwise. Nothing is stored; closing empties both.
class LinkBuilder final : private AppObserver {
public:
    explicit LinkBuilder(Tmyambrel& app);
    ~LinkBuilder() override;
    LinkBuilder(const LinkBuilder&) = delete;
    LinkBuilder& operator=(const LinkBuilder&) = delete;

    const std::string& thumbnail() const { return m_thumbnail; }
    const std::string& link() const { return m_link; }
    // What the person types; the observer is not told.
    void setThumbnail(std::string text) { m_thumbnail = std::move(text); }
    void setLink(std::string text) { m_link = std::move(text); }

    // Shows the dialog (or brings it forward) and fills it from the selection.
    void open();
    // The dialog became active: an empty thumbnail field takes the first selected path.
    void activated();
    // The dialog was closed, by "Cancel" or by its close box.
    void closed();
    void clearThumbnail();
    void clearLink();

    void copyForHtml();
    void copyBBcode1();
    void copyBBcode2();
    // Rewrites the fields so the thumbnail field holds the service's thumbnail and the link
    // field the full-size picture.
    void rewriteFor(linkexport::ThumbnailService service);

    // Told whenever core changes a field, so the dialog can show it.
    void setChangeListener(std::function<void()> listener) { m_changed = std::move(listener); }

private:
    void entrySelected(const std::string& path) override;
    void changed();

    Tmyambrel& m_app;
    std::string m_thumbnail;
    std::string m_link;
    std::function<void()> m_changed;
};

}  // namespace ambrel::app
