#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/transfer/curlrunner.h"
#include "core/transfer/progress.h"

namespace ambrel::transfer {

// A refused FTP command or a failed connection; the message is the server's reply line
// ("550 No such file") or libcurl's text when no reply came.
class FtpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FtpSettings {
    std::string host;
    long port = 21;
    std::string user;
    std::string password;
    bool passive = true;  // PASV before each data transfer; PORT otherwise
};

// One FTP session over libcurl: logged in once, then every command runs on the same control
// connection, in the current remote folder, until disconnect(). The server is asked for
// explicit TLS (AUTH TLS) and the session stays plain when it does not offer it.
class FtpClient {
public:
    struct Reply {
        int code = 0;
        std::string line;  // the reply's last line, as the server sent it
    };

    explicit FtpClient(Pump pump, TransferEvents* events = nullptr);
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    // Used by the next connect(); a connected session keeps the settings it logged in with.
    void setSettings(FtpSettings settings) { m_settings = std::move(settings); }
    const FtpSettings& settings() const { return m_settings; }
    bool connected() const { return m_connected; }

    // Connects and logs in (and switches to binary transfers). Throws FtpError.
    void connect();
    // The current remote folder. Throws FtpError.
    std::string pwd();
    // Throws FtpError with the server's reply when the command is refused.
    void cwd(const std::string& folder);
    void mkd(const std::string& folder);
    void dele(const std::string& name);
    // The size the server reports, nullopt when it answers without one.
    std::optional<std::int64_t> size(const std::string& name);
    // Stores the local file under the name in the current remote folder. Throws FtpError.
    void stor(const std::string& localFile, const std::string& remoteName);
    // Any command; the reply whatever its code. Throws FtpError only when the session fails.
    Reply command(const std::string& text);

    // Ends the session (QUIT when possible). A transfer under way is cut and fails.
    void disconnect();
    bool busy() const { return m_runner.running(); }

    // Every command sent on the control connection, for the curious and the tests.
    const std::vector<std::string>& sentCommands() const { return m_sent; }

private:
    struct Run;
    std::string baseUrl() const;
    Reply perform(Run& run);
    void lost();

    Pump m_pump;
    TransferEvents* m_events;
    FtpSettings m_settings;
    FtpSettings m_session;  // what the connected session logged in with
    CurlRunner m_runner;
    bool m_connected = false;
    bool m_dropRequested = false;
    std::vector<std::string> m_sent;
};

}  // namespace ambrel::transfer
