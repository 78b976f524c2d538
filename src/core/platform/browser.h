#pragma once

#include <string>

namespace ambrel::platform {

// What a browser tells its host.
class BrowserListener {
public:
    virtual ~BrowserListener() = default;
    // A document and its parts have loaded; its image collection can be read now.
    virtual void documentComplete() {}
    // Command 1: going forward is possible; command 2: going back is possible.
    virtual void commandStateChange(int command, bool enabled) {
        (void)command;
        (void)enabled;
    }
};

// An image's dimension written while the other is unset: the other follows in proportion.
inline void scaleImageDimension(int& written, int& other, int value) {
    if (written > 0) {
        other = other * value / written;
    }
    written = value;
}

inline constexpr int kCommandForward = 1;
inline constexpr int kCommandBack = 2;

// The embedded web browser: navigation, history and the loaded document's images.
class Browser {
public:
    virtual ~Browser() = default;

    // address: a web address, "file://" + a local path, or a local path unchanged.
    virtual void navigate(const std::string& address) = 0;
    virtual void stop() = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual std::string currentAddress() const = 0;

    // The image collection of the document shown. Writing one dimension of an image whose
    // other dimension is not set scales the other in proportion.
    virtual int imageCount() const = 0;
    virtual int imageWidth(int index) const = 0;
    virtual int imageHeight(int index) const = 0;
    virtual void setImageWidth(int index, int width) = 0;
    virtual void setImageHeight(int index, int height) = 0;

    void setListener(BrowserListener* listener) { m_listener = listener; }

protected:
    BrowserListener* listener() const { return m_listener; }

private:
    BrowserListener* m_listener = nullptr;
};

}  // namespace ambrel::platform
