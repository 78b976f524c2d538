#pragma once

#include <functional>
#include <string>

#include "core/web/pagefetch.h"

namespace ambrel::web {

// Fetches pages with a libcurl client made for each request: redirects followed (at most
// 15), no headers of the program's own, credentials written in the address never sent by
// the first request. pump runs while a request waits, so the windows stay live.
class CurlPageFetcher final : public PageFetcher {
public:
    explicit CurlPageFetcher(std::function<void()> pump = {});

    FetchedPage get(const std::string& address) override;
    void setCredentials(const std::string& user, const std::string& password) override;
    // The retry with basic authentication; its failure is thrown as FetchError.
    FetchedPage relayb(const std::string& address) override;

private:
    FetchedPage fetch(const std::string& address, bool authenticate);

    std::function<void()> m_pump;
    std::string m_user;
    std::string m_password;
};

}  // namespace ambrel::web
