#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace ambrel::platform {
class Ui;
}

namespace ambrel::transfer {

// What a transfer tells whoever watches it: the announced size, the bytes so far, the end.
class TransferEvents {
public:
    virtual ~TransferEvents() = default;
    virtual void begin(std::int64_t max) = 0;
    // false asks the sender to close its connection at once; the transfer then fails.
    virtual bool progress(std::int64_t count) = 0;
    virtual void end() = 0;
};

// The state of the "Progress" window (TForm5); the window only shows it.
struct ProgressState {
    using Clock = std::chrono::steady_clock;

    char cancelFlag = 'y';  // 'y' go on, 'n' cancel requested
    int overall = 0;        // 0..100, the share of entries started
    std::int64_t transferMax = 0;
    std::int64_t transferValue = 0;
    std::string speedLine;
    Clock::time_point startTime{};
    std::function<void()> onChanged;  // the bound window redraws

    void changed() const {
        if (onChanged) {
            onChanged();
        }
    }
    void setOverall(int value) {
        overall = value;
        changed();
    }
};

// "Transfert speed: %s Ko/s" with bytes / 1024 / seconds in the locale's "0.00" form.
std::string speedText(std::int64_t bytes, std::int64_t seconds);
inline constexpr const char* kSpeedAtBegin = "Transfert speed: 0 Ko/s ";

// The notifications that drive the progress state. The HTTP kind cancels (its progress
// answers false once the cancel flag is "n") and, at its begin, calls onHttpBegin, which
// drops the main client's idle connection unless a download-mode transfer is running; the
// FTP kind does neither.
class ProgressNotifications final : public TransferEvents {
public:
    enum class Kind { Http, Ftp };

    ProgressNotifications(ProgressState& state, platform::Ui& ui, Kind kind,
                          std::function<void()> onHttpBegin = {});

    void begin(std::int64_t max) override;
    bool progress(std::int64_t count) override;
    void end() override;

    // The clock is the test's to set.
    std::function<ProgressState::Clock::time_point()> now = [] {
        return ProgressState::Clock::now();
    };

private:
    ProgressState& m_state;
    platform::Ui& m_ui;
    Kind m_kind;
    std::function<void()> m_onHttpBegin;
};

}  // namespace ambrel::transfer
