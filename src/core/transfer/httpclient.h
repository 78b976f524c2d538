#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/transfer/curlrunner.h"
#include "core/transfer/progress.h"

namespace ambrel::transfer {

// A failed request. code is the reply's status (401, 404 …), 0 when no reply came; the
// message is the status line as the server sent it, or libcurl's text for a transport
// failure.
class HttpError : public std::runtime_error {
public:
    HttpError(const std::string& message, int code) : std::runtime_error(message), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};

struct HttpSettings {
    // The main client's User-Agent and Accept; other clients send libcurl's defaults.
    bool browserHeaders = false;
    bool followRedirects = false;  // at most 15
    bool basicAuth = false;
    std::string user;
    std::string password;
};

inline constexpr const char* kUserAgent = "Mozilla/3.0 (compatible; mozilla)";
inline constexpr const char* kAccept =
    "text/html, image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/x-shockwave-flash, application/msword, */*";
inline constexpr int kMaxRedirects = 15;

// A part of a multipart/form-data body: a text field, or a file with its name and type.
struct FormPart {
    std::string name;
    std::string value;  // the text of a text field
    bool isFile = false;
    std::string filePath;  // read when the body is sent
    std::string fileName;
    std::string contentType;
};

// An HTTP/1.1 client over libcurl. Cookies live as long as the client; a kept connection is
// reused by its next request. Every wait is cut into slices with the pump between them.
class HttpClient {
public:
    // Receives body bytes; answering false ends the transfer with sinkError() as message.
    using Sink = std::function<bool(std::string_view)>;

    HttpClient(HttpSettings settings, Pump pump, TransferEvents* events = nullptr);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // GET of the address as given (credentials in it are never sent). Throws HttpError.
    void get(const std::string& url, const Sink& sink, const std::string& sinkError = "");
    std::string getText(const std::string& url);
    // POST of a multipart/form-data body; gives the reply body. Throws HttpError.
    std::string postMultipart(const std::string& url, const std::vector<FormPart>& parts);

    // Closes the connection at once: a transfer under way fails with "Connection closed";
    // an idle kept connection is dropped.
    void closeConnection();
    bool busy() const { return m_runner.running(); }

private:
    struct Exchange;
    void prepare(Exchange& exchange, const std::string& url);
    void perform(Exchange& exchange);

    HttpSettings m_settings;
    Pump m_pump;
    TransferEvents* m_events;
    CurlRunner m_runner;
    bool m_closeRequested = false;
};

}  // namespace ambrel::transfer
