#include "core/transfer/ftpclient.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace ambrel::transfer {

namespace {

int replyCode(std::string_view line) {
    if (line.size() < 3) {
        return 0;
    }
    int code = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (line[i] < '0' || line[i] > '9') {
            return 0;
        }
        code = code * 10 + (line[i] - '0');
    }
    return code;
}

// The last line of a reply: three digits and a blank (or nothing) after them.
bool isLastLine(std::string_view line) {
    return replyCode(line) != 0 && (line.size() == 3 || line[3] == ' ');
}

std::string trimmed(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

// A command or a name must not carry a line break: it would end the command early and send
// the rest as a second one.
void refuseLineBreaks(const std::string& text) {
    if (text.find_first_of("\r\n") != std::string::npos) {
        throw FtpError("A line break cannot be sent to the FTP server");
    }
}

// Results after which libcurl keeps the control connection usable.
bool sessionSurvives(CURLcode code) {
    switch (code) {
        case CURLE_OK:
        case CURLE_UPLOAD_FAILED:
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_PARTIAL_FILE:
            return true;
        default:
            return false;
    }
}

}  // namespace

// What one libcurl run sends and hears on the control connection.
struct FtpClient::Run {
    FtpClient* client = nullptr;
    std::string command;  // our own command, when there is one
    bool commandSent = false;
    std::string pendingIn;
    Reply reply;      // the reply to our command
    Reply lastReply;  // the last reply heard, whatever it answered
    std::FILE* upload = nullptr;
    std::int64_t uploadSize = 0;
    curl_off_t uploadNow = 0;

    static int onDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* self) {
        auto& r = *static_cast<Run*>(self);
        const std::string_view text(data, size);
        if (type == CURLINFO_HEADER_OUT) {
            std::string line = trimmed(text);
            if (!r.commandSent && line == r.command) {
                r.commandSent = true;
            }
            r.client->m_sent.push_back(line.starts_with("PASS ") ? "PASS ****" : line);
        } else if (type == CURLINFO_HEADER_IN) {
            r.pendingIn.append(text);
            std::size_t eol;
            while ((eol = r.pendingIn.find('\n')) != std::string::npos) {
                const std::string line = trimmed(std::string_view(r.pendingIn).substr(0, eol));
                r.pendingIn.erase(0, eol + 1);
                if (isLastLine(line)) {
                    r.lastReply = {replyCode(line), line};
                    if (r.commandSent && r.reply.code == 0) {
                        r.reply = r.lastReply;
                    }
                }
            }
        }
        return 0;
    }

    static std::size_t onRead(char* buffer, std::size_t size, std::size_t count, void* self) {
        auto& r = *static_cast<Run*>(self);
        const std::size_t n = std::fread(buffer, 1, size * count, r.upload);
        if (n == 0 && std::ferror(r.upload)) {
            return CURL_READFUNC_ABORT;
        }
        return n;
    }

    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t ulnow) {
        static_cast<Run*>(self)->uploadNow = ulnow;
        return 0;
    }
};

FtpClient::FtpClient(Pump pump, TransferEvents* events)
    : m_pump(std::move(pump)), m_events(events) {}

std::string FtpClient::baseUrl() const {
    std::string host = m_session.host;
    if (host.find(':') != std::string::npos && !host.starts_with('[')) {
        host = "[" + host + "]";
    }
    return "ftp://" + host + ":" + std::to_string(m_session.port) + "/";
}

void FtpClient::lost() {
    m_connected = false;
    m_runner.dropConnections();
}

FtpClient::Reply FtpClient::perform(Run& run) {
    if (m_runner.running()) {
        throw FtpError("The FTP connection is busy with another transfer");
    }
    CURL* h = m_runner.easy();
    run.client = this;
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(h, CURLOPT_USERNAME, m_session.user.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, m_session.password.c_str());
    curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(h, CURLOPT_FTP_USE_EPSV, 0L);
    curl_easy_setopt(h, CURLOPT_FTP_USE_EPRT, 0L);
    curl_easy_setopt(h, CURLOPT_FTPPORT, m_session.passive ? nullptr : "-");
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, &Run::onDebug);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, &run);

    m_dropRequested = false;
    bool begun = false;
    std::int64_t reported = -1;
    const auto tick = [&]() -> bool {
        if (m_dropRequested) {
            return false;
        }
        if (m_events != nullptr && run.upload != nullptr) {
            if (!begun) {
                begun = true;
                m_events->begin(run.uploadSize);
            }
            if (run.uploadNow != reported) {
                reported = run.uploadNow;
                m_events->progress(reported);
            }
        }
        return !m_dropRequested;
    };
    const CURLcode result = m_runner.run(m_pump, tick);
    if (begun) {
        if (result == CURLE_OK && run.uploadNow != reported) {
            m_events->progress(run.uploadNow);
        }
        m_events->end();
    }
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, nullptr);
    curl_easy_setopt(h, CURLOPT_QUOTE, nullptr);

    if (m_dropRequested || result == CURLE_ABORTED_BY_CALLBACK) {
        m_dropRequested = false;
        lost();
        throw FtpError("Connection closed: the transfer was cut");
    }
    if (result != CURLE_OK) {
        const std::string message =
            run.lastReply.code >= 400 ? run.lastReply.line : m_runner.errorText(result);
        if (!sessionSurvives(result)) {
            lost();
        }
        throw FtpError(message);
    }
    m_connected = true;
    return run.reply;
}

FtpClient::Reply FtpClient::command(const std::string& text) {
    refuseLineBreaks(text);
    if (!m_connected) {
        m_session = m_settings;
    }
    Run run;
    run.command = text;
    curl_slist* quote = curl_slist_append(nullptr, ("*" + text).c_str());
    const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> owner(quote,
                                                                            &curl_slist_free_all);
    CURL* h = m_runner.easy();
    curl_easy_setopt(h, CURLOPT_URL, baseUrl().c_str());
    curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(h, CURLOPT_QUOTE, quote);
    Reply reply = perform(run);
    if (reply.code == 0) {
        // The command went out but the session ended before its answer.
        lost();
        throw FtpError("Connection closed before the server answered " + text);
    }
    return reply;
}

void FtpClient::connect() {
    if (m_connected) {
        return;
    }
    // Logging in is libcurl's part of every first command; TYPE I makes transfers binary.
    command("TYPE I");
}

std::string FtpClient::pwd() {
    const Reply r = command("PWD");
    if (r.code != 257) {
        throw FtpError(r.line);
    }
    const std::size_t open = r.line.find('"');
    const std::size_t close = open == std::string::npos ? open : r.line.rfind('"');
    if (open == std::string::npos || close <= open) {
        return r.line.size() > 4 ? r.line.substr(4) : std::string();
    }
    std::string folder = r.line.substr(open + 1, close - open - 1);
    // A quote inside the name is sent doubled.
    std::string out;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        out += folder[i];
        if (folder[i] == '"' && i + 1 < folder.size() && folder[i + 1] == '"') {
            ++i;
        }
    }
    return out;
}

void FtpClient::cwd(const std::string& folder) {
    const Reply r = command("CWD " + folder);
    if (r.code < 200 || r.code >= 300) {
        throw FtpError(r.line);
    }
}

void FtpClient::mkd(const std::string& folder) {
    const Reply r = command("MKD " + folder);
    if (r.code < 200 || r.code >= 300) {
        throw FtpError(r.line);
    }
}

void FtpClient::dele(const std::string& name) {
    const Reply r = command("DELE " + name);
    if (r.code < 200 || r.code >= 300) {
        throw FtpError(r.line);
    }
}

std::optional<std::int64_t> FtpClient::size(const std::string& name) {
    const Reply r = command("SIZE " + name);
    if (r.code != 213 || r.line.size() < 5) {
        return std::nullopt;
    }
    std::int64_t n = 0;
    bool any = false;
    for (std::size_t i = 4; i < r.line.size(); ++i) {
        const char c = r.line[i];
        if (c < '0' || c > '9' || n > (INT64_MAX - 9) / 10) {
            break;
        }
        n = n * 10 + (c - '0');
        any = true;
    }
    return any ? std::optional<std::int64_t>(n) : std::nullopt;
}

void FtpClient::stor(const std::string& localFile, const std::string& remoteName) {
    refuseLineBreaks(remoteName);
    std::FILE* file = std::fopen(localFile.c_str(), "rb");
    if (file == nullptr) {
        throw FtpError("Cannot open file \"" + localFile + "\": " + std::strerror(errno));
    }
    const std::unique_ptr<std::FILE, decltype(&std::fclose)> owner(file, &std::fclose);
    std::fseek(file, 0, SEEK_END);
    const long length = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    if (!m_connected) {
        m_session = m_settings;
    }
    Run run;
    run.command = "STOR " + remoteName;
    run.upload = file;
    run.uploadSize = length > 0 ? length : 0;
    CURL* h = m_runner.easy();
    char* escaped = curl_easy_escape(h, remoteName.c_str(), static_cast<int>(remoteName.size()));
    if (escaped == nullptr) {
        throw FtpError("Out of memory");
    }
    const std::string url = baseUrl() + escaped;
    curl_free(escaped);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_APPEND, 0L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, &Run::onRead);
    curl_easy_setopt(h, CURLOPT_READDATA, &run);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(run.uploadSize));
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &Run::onProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &run);
    try {
        perform(run);
    } catch (...) {
        curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
        curl_easy_setopt(h, CURLOPT_READDATA, nullptr);
        throw;
    }
    curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(h, CURLOPT_READDATA, nullptr);
    if (run.reply.code != 0 && run.reply.code >= 400) {
        throw FtpError(run.reply.line);
    }
}

void FtpClient::disconnect() {
    if (m_runner.running()) {
        m_dropRequested = true;
        return;
    }
    if (m_connected) {
        lost();
    }
}

}  // namespace ambrel::transfer
