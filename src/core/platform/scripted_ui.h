#pragma once

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/ui.h"

namespace ambrel::platform {

// A Ui that answers from queues and records what it was asked: the test hook of every
// prompt, message and wait. An unanswered question is an error, so a test cannot pass by
// accident through a prompt it did not expect.
class ScriptedUi final : public Ui {
public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };

    std::vector<Message> messages;
    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<std::string>> promptAnswers;
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::vector<std::string>> fileAnswers;
    std::vector<std::string> questions;  // the text of every question asked, in order
    int processEventsCalls = 0;
    int busyDepth = 0;
    // Runs inside processEvents, as a click or message arriving during a wait would.
    std::function<void()> onProcessEvents;

    void message(const std::string& text, const std::string& caption, MessageIcon icon) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    std::optional<std::string> prompt(const std::string& caption, const std::string& label,
                                      const std::string& value) override;
    std::optional<std::string> chooseFolder(const std::string& caption,
                                            const std::string& start) override;
    std::vector<std::string> chooseFiles(const std::string& caption) override;

    void showWindow(Window w) override { m_visible.at(index(w)) = true; }
    void hideWindow(Window w) override { m_visible.at(index(w)) = false; }
    bool isWindowVisible(Window w) const override { return m_visible.at(index(w)); }

    void processEvents(int maxWaitMs) override;
    void setBusy(bool busy) override { busyDepth += busy ? 1 : -1; }

private:
    static std::size_t index(Window w) { return static_cast<std::size_t>(w); }
    std::array<bool, kWindowCount> m_visible{};
};

}  // namespace ambrel::platform
