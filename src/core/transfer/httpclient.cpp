#include "core/transfer/httpclient.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace ambrel::transfer {

namespace {

constexpr const char* kClosedMessage = "Connection closed: the transfer was cut";

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i];
        if (a >= 'A' && a <= 'Z') {
            a = static_cast<char>(a - 'A' + 'a');
        }
        if (a != prefix[i]) {
            return false;
        }
    }
    return true;
}

std::string_view trimLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    return line;
}

std::int64_t parseLength(std::string_view value) {
    std::int64_t n = 0;
    bool any = false;
    for (const char c : value) {
        if (c == ' ' || c == '\t') {
            if (any) {
                break;
            }
            continue;
        }
        if (c < '0' || c > '9' || n > (INT64_MAX - 9) / 10) {
            return any ? n : -1;
        }
        n = n * 10 + (c - '0');
        any = true;
    }
    return any ? n : -1;
}

}  // namespace

// What one request learns as it runs.
struct HttpClient::Exchange {
    using Clock = std::chrono::steady_clock;

    const Sink* sink = nullptr;
    std::string sinkError;
    bool sinkFailed = false;

    // The response being read.
    std::string statusLine;
    int code = 0;
    std::int64_t contentLength = -1;
    bool hasLocation = false;
    bool final = false;  // the response whose body is the result

    // Counts the notifications report.
    curl_off_t uploadTotal = 0;
    curl_off_t uploadNow = 0;
    std::int64_t bodyBytes = 0;
    bool uploadBegun = false;
    bool uploadEnded = false;
    bool readBegun = false;
    std::int64_t reported = -1;
    Clock::time_point lastReport{};

    curl_slist* headers = nullptr;
    curl_mime* mime = nullptr;
    CURLU* address = nullptr;

    ~Exchange() {
        curl_slist_free_all(headers);
        curl_mime_free(mime);
        curl_url_cleanup(address);
    }

    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self) {
        auto& x = *static_cast<Exchange*>(self);
        const std::string_view line = trimLineEnd(std::string_view(data, size * count));
        if (startsWithNoCase(line, "http/")) {
            x.statusLine = std::string(line);
            x.code = 0;
            const std::size_t space = line.find(' ');
            if (space != std::string_view::npos) {
                const std::int64_t code = parseLength(line.substr(space + 1, 4));
                x.code = code > 0 && code < 1000 ? static_cast<int>(code) : 0;
            }
            x.contentLength = -1;
            x.hasLocation = false;
            x.final = false;
        } else if (startsWithNoCase(line, "content-length:")) {
            x.contentLength = parseLength(line.substr(15));
        } else if (startsWithNoCase(line, "location:")) {
            x.hasLocation = true;
        } else if (line.empty() && x.code >= 200) {
            x.final = true;
        }
        return size * count;
    }

    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self) {
        auto& x = *static_cast<Exchange*>(self);
        const std::size_t n = size * count;
        // Only a successful final reply has a body worth keeping; the bodies of redirects
        // and of refusals are read and dropped.
        if (!x.final || x.code >= 300 || x.sink == nullptr) {
            return n;
        }
        if (!(*x.sink)(std::string_view(data, n))) {
            x.sinkFailed = true;
            return CURL_WRITEFUNC_ERROR;
        }
        x.bodyBytes += static_cast<std::int64_t>(n);
        return n;
    }

    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t ultotal,
                          curl_off_t ulnow) {
        auto& x = *static_cast<Exchange*>(self);
        x.uploadTotal = ultotal;
        x.uploadNow = ulnow;
        return 0;
    }
};

HttpClient::HttpClient(HttpSettings settings, Pump pump, TransferEvents* events)
    : m_settings(std::move(settings)), m_pump(std::move(pump)), m_events(events) {
    CURL* h = m_runner.easy();
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, 256L * 1024L);
    if (m_settings.browserHeaders) {
        curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent);
    }
    if (m_settings.followRedirects) {
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(h, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
    }
    if (m_settings.basicAuth) {
        curl_easy_setopt(h, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(h, CURLOPT_USERNAME, m_settings.user.c_str());
        curl_easy_setopt(h, CURLOPT_PASSWORD, m_settings.password.c_str());
    }
}

HttpClient::~HttpClient() = default;

void HttpClient::prepare(Exchange& x, const std::string& url) {
    CURL* h = m_runner.easy();
    x.address = curl_url();
    if (x.address == nullptr) {
        throw HttpError("Out of memory", 0);
    }
    const CURLUcode parsed = curl_url_set(x.address, CURLUPART_URL, url.c_str(), CURLU_ALLOW_SPACE);
    if (parsed != CURLUE_OK) {
        throw HttpError(std::string(curl_url_strerror(parsed)) + ": " + url, 0);
    }
    // Credentials written in an address are the authorization retry's to use, never sent
    // before the server asks.
    curl_url_set(x.address, CURLUPART_USER, nullptr, 0);
    curl_url_set(x.address, CURLUPART_PASSWORD, nullptr, 0);
    curl_easy_setopt(h, CURLOPT_CURLU, x.address);

    x.headers = curl_slist_append(x.headers, "Expect:");
    if (m_settings.browserHeaders) {
        x.headers = curl_slist_append(x.headers, (std::string("Accept: ") + kAccept).c_str());
    }
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, x.headers);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &Exchange::onHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &x);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &Exchange::onBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &x);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &Exchange::onProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &x);
}

void HttpClient::perform(Exchange& x) {
    if (m_runner.running()) {
        throw HttpError("The connection is busy with another transfer", 0);
    }
    m_closeRequested = false;
    // Progress is told when the count moved (at most every 10 ms, which is plenty for a
    // window) and after every silent slice, so a cancel is seen while the server is silent.
    const auto report = [&](std::int64_t count) {
        const auto now = Exchange::Clock::now();
        const auto since = now - x.lastReport;
        if (since < std::chrono::milliseconds(count == x.reported ? CurlRunner::kSliceMs : 10)) {
            return true;
        }
        x.reported = count;
        x.lastReport = now;
        return m_events->progress(count);
    };
    const auto tick = [&]() -> bool {
        if (m_closeRequested) {
            return false;
        }
        if (m_events == nullptr) {
            return true;
        }
        if (x.mime != nullptr && !x.uploadBegun && x.uploadTotal > 0) {
            x.uploadBegun = true;
            m_events->begin(static_cast<std::int64_t>(x.uploadTotal));
        }
        if (x.uploadBegun && !x.uploadEnded) {
            if (x.final) {
                x.uploadEnded = true;
                m_events->progress(static_cast<std::int64_t>(x.uploadNow));
                m_events->end();
                x.reported = -1;
            } else if (!report(static_cast<std::int64_t>(x.uploadNow))) {
                return false;
            }
        }
        if (x.final && x.code < 300 && !x.readBegun) {
            x.readBegun = true;
            m_events->begin(x.contentLength > 0 ? x.contentLength : 0);
        }
        if (x.readBegun && !report(x.bodyBytes)) {
            return false;
        }
        return !m_closeRequested;
    };

    const CURLcode result = m_runner.run(m_pump, tick);
    if (m_events != nullptr) {
        if (x.uploadBegun && !x.uploadEnded) {
            m_events->end();
        }
        if (result == CURLE_OK && !x.readBegun && x.final && x.code < 300) {
            x.readBegun = true;
            m_events->begin(x.contentLength > 0 ? x.contentLength : 0);
        }
        if (x.readBegun) {
            if (result == CURLE_OK) {
                m_events->progress(x.bodyBytes);
            }
            m_events->end();
        }
    }
    const bool closed = m_closeRequested;
    m_closeRequested = false;
    if (closed) {
        // Whatever was kept goes with the cut transfer.
        m_runner.dropConnections();
    }
    if (result == CURLE_ABORTED_BY_CALLBACK) {
        throw HttpError(kClosedMessage, 0);
    }
    if (x.sinkFailed) {
        throw HttpError(x.sinkError.empty() ? "The file could not be written" : x.sinkError, 0);
    }
    if (result != CURLE_OK) {
        throw HttpError(m_runner.errorText(result), x.code);
    }
    if (x.code >= 300) {
        throw HttpError(x.statusLine, x.code);
    }
}

void HttpClient::get(const std::string& url, const Sink& sink, const std::string& sinkError) {
    if (m_runner.running()) {
        throw HttpError("The connection is busy with another transfer", 0);
    }
    Exchange x;
    x.sink = &sink;
    x.sinkError = sinkError;
    prepare(x, url);
    curl_easy_setopt(m_runner.easy(), CURLOPT_HTTPGET, 1L);
    perform(x);
}

std::string HttpClient::getText(const std::string& url) {
    std::string text;
    get(url, [&text](std::string_view data) {
        text.append(data);
        return true;
    });
    return text;
}

std::string HttpClient::postMultipart(const std::string& url, const std::vector<FormPart>& parts) {
    if (m_runner.running()) {
        throw HttpError("The connection is busy with another transfer", 0);
    }
    Exchange x;
    std::string page;
    const Sink sink = [&page](std::string_view data) {
        page.append(data);
        return true;
    };
    x.sink = &sink;
    prepare(x, url);
    x.mime = curl_mime_init(m_runner.easy());
    for (const FormPart& p : parts) {
        curl_mimepart* part = curl_mime_addpart(x.mime);
        curl_mime_name(part, p.name.c_str());
        if (p.isFile) {
            std::FILE* probe = std::fopen(p.filePath.c_str(), "rb");
            if (probe == nullptr) {
                throw HttpError("Cannot open file \"" + p.filePath + "\": " + std::strerror(errno),
                                0);
            }
            std::fclose(probe);
            curl_mime_filedata(part, p.filePath.c_str());
            curl_mime_filename(part, p.fileName.c_str());
            curl_mime_type(part, p.contentType.c_str());
        } else {
            curl_mime_data(part, p.value.data(), p.value.size());
        }
    }
    curl_easy_setopt(m_runner.easy(), CURLOPT_MIMEPOST, x.mime);
    try {
        perform(x);
    } catch (...) {
        curl_easy_setopt(m_runner.easy(), CURLOPT_MIMEPOST, nullptr);
        throw;
    }
    curl_easy_setopt(m_runner.easy(), CURLOPT_MIMEPOST, nullptr);
    return page;
}

void HttpClient::closeConnection() {
    if (m_runner.running()) {
        m_closeRequested = true;
    } else {
        m_runner.dropConnections();
    }
}

}  // namespace ambrel::transfer
