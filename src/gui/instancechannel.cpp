#include "gui/instancechannel.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>

#include "core/integration/channel.h"

namespace ambrel::gui {

InstanceChannel::InstanceChannel(app::Tmyambrel& app, platform::RegistryStore& registry,
                                 integration::HandOffClipboard& clipboard, const Options& options,
                                 QObject* parent)
    : QObject(parent), m_app(app), m_report(options.report) {
    setObjectName("instanceChannel");
    m_guard = std::make_unique<integration::TDuDid2>(registry, options.exeName, options.folder);
    m_guard->OnOtherTryToRun = [this](bool, int count, const std::vector<std::string>&,
                                      const std::string&) {
        integration::DuDid21OtherTryToRun(m_app.services().ui);
        report("instance: came to the front for a second start with " + std::to_string(count) +
               " argument(s)");
    };
    m_guard->loaded(options.commandLine);

    if (m_guard->alreadyRunning()) {
        if (!m_guard->runningCopyChannel().empty()) {
            clipboard.handTo(m_guard->runningCopyChannel());
        }
        report(m_guard->delivered() ? "instance: handed over to the running copy"
                                    : "instance: a copy runs but did not answer");
    } else if (integration::InstanceServer* server = m_guard->server()) {
        m_expiry = new QTimer(this);
        m_expiry->setSingleShot(true);
        connect(m_expiry, &QTimer::timeout, this, &InstanceChannel::serve);
        server->setClosing([this](int fd) { forget(fd); });
        watch();
        report("instance: first copy, channel " + server->path());
    }
    if (!m_guard->error().empty()) {
        std::fprintf(stderr, "myambrel: %s\n", m_guard->error().c_str());
    }
}

InstanceChannel::~InstanceChannel() {
    // The notifiers watch the channel's descriptors, so they go before the guard closes them.
    if (integration::InstanceServer* server = m_guard->server()) {
        server->setClosing({});
    }
    for (auto* notifiers : {&m_readers, &m_writers}) {
        for (const auto& [fd, notifier] : *notifiers) {
            delete notifier;
        }
    }
}

bool InstanceChannel::handedOver() const {
    return m_guard->alreadyRunning() && m_guard->terminateRequested();
}

void InstanceChannel::serve() {
    m_guard->server()->serve([this](integration::MessageKind kind, const std::string& payload) {
        return app::handleChannelMessage(
            m_app, *m_guard, kind, payload,
            [this](std::function<void()> work) { QTimer::singleShot(0, this, std::move(work)); });
    });
    watch();
}

// Watches each open connection for what it waits on, bytes to read or room to write, and
// wakes up when the oldest one's life is over.
void InstanceChannel::watch() {
    integration::InstanceServer& server = *m_guard->server();
    for (const integration::InstanceServer::Watch& w : server.watches()) {
        const auto notifier = [this, fd = w.fd](std::map<int, QSocketNotifier*>& notifiers,
                                                QSocketNotifier::Type type) {
            QSocketNotifier*& n = notifiers[fd];
            if (n == nullptr) {
                n = new QSocketNotifier(fd, type, this);
                connect(n, &QSocketNotifier::activated, this, &InstanceChannel::serve);
            }
            return n;
        };
        notifier(m_readers, QSocketNotifier::Read)->setEnabled(!w.write);
        if (w.write || m_writers.contains(w.fd)) {
            notifier(m_writers, QSocketNotifier::Write)->setEnabled(w.write);
        }
    }
    if (const auto next = server.nextExpiry()) {
        m_expiry->start(static_cast<int>(next->count()) + 1);
    } else {
        m_expiry->stop();
    }
}

// A connection is about to be closed: its notifiers stop watching first. They are deleted
// later, since one of them may be the notifier whose signal is running now.
void InstanceChannel::forget(int fd) {
    for (auto* notifiers : {&m_readers, &m_writers}) {
        if (const auto it = notifiers->find(fd); it != notifiers->end()) {
            it->second->setEnabled(false);
            it->second->deleteLater();
            notifiers->erase(it);
        }
    }
}

void InstanceChannel::report(const std::string& line) const {
    if (m_report) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
}

}  // namespace ambrel::gui
