#include "core/transfer/curlrunner.h"

#include <chrono>
#include <mutex>
#include <stdexcept>

namespace ambrel::transfer {

namespace {
void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            throw std::runtime_error("The network library could not start");
        }
    });
}
}  // namespace

CurlRunner::CurlRunner() {
    initialiseOnce();
    m_multi = curl_multi_init();
    m_easy = curl_easy_init();
    if (m_multi == nullptr || m_easy == nullptr) {
        curl_multi_cleanup(m_multi);
        curl_easy_cleanup(m_easy);
        throw std::runtime_error("The network library could not start");
    }
}

CurlRunner::~CurlRunner() {
    if (m_running) {
        curl_multi_remove_handle(m_multi, m_easy);
    }
    curl_multi_cleanup(m_multi);
    curl_easy_cleanup(m_easy);
}

CURLcode CurlRunner::run(const Pump& pump, const std::function<bool()>& tick) {
    m_errorBuffer[0] = '\0';
    curl_easy_setopt(m_easy, CURLOPT_ERRORBUFFER, m_errorBuffer);
    if (curl_multi_add_handle(m_multi, m_easy) != CURLM_OK) {
        return CURLE_FAILED_INIT;
    }
    m_running = true;
    using Clock = std::chrono::steady_clock;
    auto lastPump = Clock::now();
    CURLcode result = CURLE_OK;
    for (;;) {
        int active = 0;
        curl_multi_perform(m_multi, &active);
        bool done = false;
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(m_multi, &left)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == m_easy) {
                result = msg->data.result;
                done = true;
            }
        }
        if (done) {
            break;
        }
        int ready = 0;
        curl_multi_poll(m_multi, nullptr, 0, kSliceMs, &ready);
        // While data flows the events are handled every few milliseconds rather than after
        // every read, which would cost the transfer its speed.
        const auto now = Clock::now();
        if (ready == 0 || now - lastPump >= std::chrono::milliseconds(20)) {
            lastPump = now;
            if (pump) {
                pump();
            }
        }
        if (tick && !tick()) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
    }
    curl_multi_remove_handle(m_multi, m_easy);
    m_running = false;
    return result;
}

void CurlRunner::dropConnections() {
    if (m_running) {
        return;
    }
    CURLM* fresh = curl_multi_init();
    if (fresh == nullptr) {
        return;
    }
    curl_multi_cleanup(m_multi);
    m_multi = fresh;
}

std::string CurlRunner::errorText(CURLcode code) const {
    std::string text = curl_easy_strerror(code);
    if (m_errorBuffer[0] != '\0') {
        std::string details = m_errorBuffer;
        while (!details.empty() && (details.back() == '\n' || details.back() == '\r')) {
            details.pop_back();
        }
        text += ": " + details;
    }
    return text;
}

}  // namespace ambrel::transfer
