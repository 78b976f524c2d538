#pragma once

#include <functional>
#include <string>

#include "core/list/app.h"

namespace ambrel::linkexport {

// The picture-hosting services whose thumbnail address follows from the full-size one.
enum class ThumbnailService { Imageshack, Suprfile, Imagecraze };

// The thumbnail address a service serves for a full-size picture address.
std::string thumbnailAddress(ThumbnailService service, const std::string& fullSize);

// The three clipboard forms of a clickable thumbnail; with an empty link, the bare picture.
std::string htmlThumbnailLink(const std::string& link, const std::string& thumbnail);
std::string bbcode1ThumbnailLink(const std::string& link, const std::string& thumbnail);
std::string bbcode2ThumbnailLink(const std::string& link, const std::string& thumbnail);

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Where the dialog opens: one dialog height below the main window's top and its own width
// less 100 pixels to the left of the main window's left edge, moved back inside the screen
// when that would put part of it off screen.
Rect placeBesideMain(const Rect& main, int width, int height, const Rect& screen);

// The link builder dialog's state ("Copy links for pictures to your clipboard"): a
// thumbnail field (the picture shown) and a link field (where a click leads). While the
// dialog is visible, selecting an entry in the picture list fills the thumbnail field when
// it is empty and the link field otherwise. Nothing is stored; closing empties both.
class LinkBuilder final : private list::AppObserver {
public:
    explicit LinkBuilder(list::Tmyambrel& app);
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
    void rewriteFor(ThumbnailService service);

    // Told whenever core changes a field, so the dialog can show it.
    void setChangeListener(std::function<void()> listener) { m_changed = std::move(listener); }

private:
    void entrySelected(const std::string& path) override;
    void changed();

    list::Tmyambrel& m_app;
    std::string m_thumbnail;
    std::string m_link;
    std::function<void()> m_changed;
};

}  // namespace ambrel::linkexport
