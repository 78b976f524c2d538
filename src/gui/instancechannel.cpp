#include "gui/instancechannel.h"

#include <QSocketNotifier>
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
        m_notifier = new QSocketNotifier(server->fd(), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &InstanceChannel::serve);
        report("instance: first copy, channel " + server->path());
    }
    if (!m_guard->error().empty()) {
        std::fprintf(stderr, "myambrel: %s\n", m_guard->error().c_str());
    }
}

InstanceChannel::~InstanceChannel() {
    // The notifier watches the channel's descriptor, so it goes before the guard closes it.
    delete m_notifier;
}

bool InstanceChannel::handedOver() const {
    return m_guard->alreadyRunning() && m_guard->terminateRequested();
}

void InstanceChannel::serve() {
    m_guard->server()->serveWaiting(
        [this](integration::MessageKind kind, const std::string& payload) {
            return app::handleChannelMessage(m_app, *m_guard, kind, payload);
        });
}

void InstanceChannel::report(const std::string& line) const {
    if (m_report) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
}

}  // namespace ambrel::gui
