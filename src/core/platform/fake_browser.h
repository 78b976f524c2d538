#pragma once

#include <string>
#include <vector>

#include "core/platform/browser.h"

namespace ambrel::platform {

// A browser without an engine: it records where it was sent and serves a document whose
// images a test lays out; loading completes when the test says so.
class FakeBrowser final : public Browser {
public:
    struct Image {
        int width = 0;
        int height = 0;
    };

    std::vector<std::string> navigations;
    std::vector<Image> images;
    int stops = 0;

    void navigate(const std::string& address) override {
        navigations.push_back(address);
        m_history.resize(m_position + 1);
        m_history.push_back(address);
        ++m_position;
    }
    void stop() override { ++stops; }
    void goBack() override {
        if (m_position > 0) {
            --m_position;
        }
    }
    void goForward() override {
        if (m_position + 1 < m_history.size()) {
            ++m_position;
        }
    }
    std::string currentAddress() const override { return m_history.at(m_position); }

    int imageCount() const override { return static_cast<int>(images.size()); }
    int imageWidth(int i) const override { return images.at(static_cast<std::size_t>(i)).width; }
    int imageHeight(int i) const override { return images.at(static_cast<std::size_t>(i)).height; }
    void setImageWidth(int i, int width) override { scale(i, width, true); }
    void setImageHeight(int i, int height) override { scale(i, height, false); }

    // Finishes the current load: the history commands and the document-complete notice.
    void completeLoad() {
        if (listener() == nullptr) {
            return;
        }
        listener()->commandStateChange(kCommandForward, m_position + 1 < m_history.size());
        listener()->commandStateChange(kCommandBack, m_position > 0);
        listener()->documentComplete();
    }

private:
    void scale(int i, int value, bool width) {
        Image& img = images.at(static_cast<std::size_t>(i));
        scaleImageDimension(width ? img.width : img.height, width ? img.height : img.width, value);
    }

    std::vector<std::string> m_history{""};
    std::size_t m_position = 0;
};

}  // namespace ambrel::platform
