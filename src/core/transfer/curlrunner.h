#pragma once

#include <curl/curl.h>

#include <functional>
#include <string>

namespace ambrel::transfer {

// Called between the slices of every network wait: the windows handle their events there.
using Pump = std::function<void()>;

// One libcurl easy handle driven by its own multi handle, so a blocking transfer is cut into
// slices of at most kSliceMs between which the pump runs. The multi handle keeps the
// connections that may be reused by the next transfer.
class CurlRunner {
public:
    static constexpr int kSliceMs = 100;

    CurlRunner();
    ~CurlRunner();
    CurlRunner(const CurlRunner&) = delete;
    CurlRunner& operator=(const CurlRunner&) = delete;

    CURL* easy() const { return m_easy; }
    bool running() const { return m_running; }

    // Runs the transfer set up on easy() to its end. After every slice the pump runs, then
    // tick(); when tick() answers false the transfer is abandoned (its connection closed)
    // and the result is CURLE_ABORTED_BY_CALLBACK.
    CURLcode run(const Pump& pump, const std::function<bool()>& tick);

    // Closes every kept connection; the easy handle and what it holds (cookies) stay.
    // Must not be called while running.
    void dropConnections();

    // libcurl's message for a failed transfer: its error text and the details it gave.
    std::string errorText(CURLcode code) const;

private:
    CURLM* m_multi = nullptr;
    CURL* m_easy = nullptr;
    bool m_running = false;
    char m_errorBuffer[CURL_ERROR_SIZE] = {};
};

}  // namespace ambrel::transfer
