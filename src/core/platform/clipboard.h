#pragma once

#include <string>

namespace ambrel::platform {

// The desktop clipboard's text.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

// A clipboard held in memory: for tests and for programs without a display.
class MemoryClipboard final : public Clipboard {
public:
    std::string text() const override { return m_text; }
    void setText(const std::string& text) override { m_text = text; }

private:
    std::string m_text;
};

}  // namespace ambrel::platform
