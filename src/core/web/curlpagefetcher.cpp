#include "core/web/curlpagefetcher.h"

#include <curl/curl.h>

#include <memory>

#include "core/web/address.h"

namespace ambrel::web {

namespace {

struct Exchange {
    std::string body;
    std::string statusLine;
    const std::function<void()>* pump = nullptr;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    static_cast<Exchange*>(user)->body.append(data, size * count);
    return size * count;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.remove_suffix(1);
        }
        static_cast<Exchange*>(user)->statusLine = std::string(line);
    }
    return size * count;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* exchange = static_cast<Exchange*>(user);
    if (exchange->pump != nullptr && *exchange->pump) {
        (*exchange->pump)();
    }
    return 0;
}

}  // namespace

CurlPageFetcher::CurlPageFetcher(std::function<void()> pump) : m_pump(std::move(pump)) {}

void CurlPageFetcher::setCredentials(const std::string& user, const std::string& password) {
    m_user = user;
    m_password = password;
}

FetchedPage CurlPageFetcher::get(const std::string& address) {
    return fetch(address, false);
}

FetchedPage CurlPageFetcher::relayb(const std::string& address) {
    return fetch(address, true);
}

FetchedPage CurlPageFetcher::fetch(const std::string& address, bool authenticate) {
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(),
                                                                   &curl_easy_cleanup);
    if (!curl) {
        throw FetchError("Cannot start an HTTP client", 0);
    }
    Exchange exchange;
    exchange.pump = &m_pump;
    char error[CURL_ERROR_SIZE] = {};
    const std::string url = withoutCredentials(address);
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 15L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &onBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &onHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &onProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &exchange);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    if (authenticate) {
        curl_easy_setopt(h, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(h, CURLOPT_USERNAME, m_user.c_str());
        curl_easy_setopt(h, CURLOPT_PASSWORD, m_password.c_str());
    }
    const CURLcode code = curl_easy_perform(h);
    if (code != CURLE_OK) {
        throw FetchError(
            std::string(curl_easy_strerror(code)) + (error[0] != '\0' ? ": " : "") + error, 0);
    }
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 400) {
        throw FetchError(exchange.statusLine, static_cast<int>(status));
    }
    char* effective = nullptr;
    curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective);
    return {std::move(exchange.body), effective != nullptr ? effective : url};
}

}  // namespace ambrel::web
