#pragma once

#include <stdexcept>
#include <string>

namespace ambrel::web {

// A page as fetched: its text and the address it came from after redirects.
struct FetchedPage {
    std::string text;
    std::string address;
};

// A failed fetch: code is the reply's status (401, 404 …), 0 when no reply came; the text
// is the status line as sent, or the transport's own message.
class FetchError : public std::runtime_error {
public:
    FetchError(const std::string& message, int code) : std::runtime_error(message), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};

// What the page scans need of the network: one GET of a page with redirects followed, by a
// client made for it, and the authorization retry that follows a 401.
class PageFetcher {
public:
    virtual ~PageFetcher() = default;
    // Throws FetchError.
    virtual FetchedPage get(const std::string& address) = 0;
    // The authorization dialog's user name and password, as the retry will send them.
    virtual void setCredentials(const std::string& user, const std::string& password) = 0;
    // The retry with the dialog's credentials (relayb): an empty page when the dialog was
    // cancelled. Throws FetchError.
    virtual FetchedPage relayb(const std::string& address) = 0;
};

}  // namespace ambrel::web
