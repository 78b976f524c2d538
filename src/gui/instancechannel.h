#pragma once

#include <QObject>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/app/app.h"
#include "core/app/runningcopy.h"
#include "core/integration/instance.h"
#include "core/integration/runningcopy.h"

class QSocketNotifier;
class QTimer;

namespace ambrel::gui {

// The single-instance guard with the running copy's end of the hand-over channel: a first
// start answers second starts, the hand-over tool and held clipboard texts as they arrive;
// a second start hands its command line and its clipboard texts to the running copy.
class InstanceChannel final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InstanceChannel)

public:
    struct Options {
        std::string folder;                    // where the lock and the channel live
        std::string exeName;                   // names the lock and the handle key
        std::vector<std::string> commandLine;  // the program path first
        bool report = false;                   // tell standard output what happens
    };

    InstanceChannel(app::Tmyambrel& app, platform::RegistryStore& registry,
                    integration::HandOffClipboard& clipboard, const Options& options,
                    QObject* parent = nullptr);
    ~InstanceChannel() override;

    // A second start that handed over: it finishes its start-up and ends.
    bool handedOver() const;
    integration::TDuDid2& guard() { return *m_guard; }

private:
    void serve();
    void watch();
    void forget(int fd);
    void report(const std::string& line) const;

    app::Tmyambrel& m_app;
    bool m_report = false;
    std::unique_ptr<integration::TDuDid2> m_guard;
    // The channel's descriptors as the event loop watches them, and the end of the oldest
    // connection's life.
    std::map<int, QSocketNotifier*> m_readers;
    std::map<int, QSocketNotifier*> m_writers;
    QTimer* m_expiry = nullptr;
};

}  // namespace ambrel::gui
