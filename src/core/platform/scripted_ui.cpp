#include "core/platform/scripted_ui.h"

#include <stdexcept>

namespace ambrel::platform {

namespace {
template <typename T>
T take(std::deque<T>& queue, const std::string& what) {
    if (queue.empty()) {
        throw std::logic_error("ScriptedUi: no answer queued for " + what);
    }
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}
}  // namespace

void ScriptedUi::message(const std::string& text, const std::string& caption, MessageIcon icon) {
    messages.push_back({text, caption, icon});
}

bool ScriptedUi::askYesNo(const std::string& text, const std::string& caption) {
    questions.push_back(text);
    return take(yesNoAnswers, "yes/no \"" + caption + ": " + text + "\"");
}

std::optional<std::string> ScriptedUi::prompt(const std::string& caption, const std::string& label,
                                              const std::string&) {
    questions.push_back(label);
    return take(promptAnswers, "prompt \"" + caption + ": " + label + "\"");
}

std::optional<std::string> ScriptedUi::chooseFolder(const std::string& caption,
                                                    const std::string&) {
    questions.push_back(caption);
    return take(folderAnswers, "folder chooser \"" + caption + "\"");
}

std::vector<std::string> ScriptedUi::chooseFiles(const std::string& caption) {
    questions.push_back(caption);
    return take(fileAnswers, "file chooser \"" + caption + "\"");
}

void ScriptedUi::processEvents(int) {
    ++processEventsCalls;
    if (onProcessEvents) {
        onProcessEvents();
    }
}

}  // namespace ambrel::platform
