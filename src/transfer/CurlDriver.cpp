// SPDX-License-Identifier: Apache-2.0
#include "transfer/CurlDriver.h"

#include <algorithm>
#include <utility>

namespace ordano {
namespace {

// The longest single wait; libcurl's own timers and socket events usually end it sooner.
constexpr long kLongestWaitMs = 200;
// The wait when libcurl watches no socket at all: with 7.88 this happens right after a fast
// server's reply to EPSV, when the data connection is due to start on the next call but no
// timer says so (libcurl would sleep its full second there).
constexpr long kNothingWatchedWaitMs = 1;
// How long closing waits for the reply to QUIT: a server or router that silently dropped an
// idle session never answers, and the program may be ending.
constexpr long kQuitReplyLimitSeconds = 2;

// libcurl's process-wide set-up, done once before the first handle (thread-safe static).
void ensure_curl_initialised() {
    struct Global {
        Global() { curl_global_init(CURL_GLOBAL_DEFAULT); }
        ~Global() { curl_global_cleanup(); }
        Global(const Global&) = delete;
        Global& operator=(const Global&) = delete;
    };
    static const Global global;
}

CURLcode finished_result(CURLM* multi) {
    CURLcode result = CURLE_OK;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE) {
            result = message->data.result;
        }
    }
    return result;
}

long next_wait_ms(CURLM* multi) {
    long wanted = -1;
    curl_multi_timeout(multi, &wanted);
    const long wait = wanted < 0 ? kLongestWaitMs : std::min(wanted, kLongestWaitMs);
    fd_set read_set;
    fd_set write_set;
    fd_set error_set;
    FD_ZERO(&read_set);
    FD_ZERO(&write_set);
    FD_ZERO(&error_set);
    int max_fd = -1;
    curl_multi_fdset(multi, &read_set, &write_set, &error_set, &max_fd);
    return max_fd < 0 ? std::min(wait, kNothingWatchedWaitMs) : wait;
}

// The cached connection is closed (QUIT) by the multi handle's own closing handle, which
// takes its reply limit from the handle added last: adding the easy handle once more with a
// short limit bounds that wait instead of the stall limit the transfers use.
void bound_quit_wait(CURLM* multi, CURL* easy) {
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, kQuitReplyLimitSeconds);
    if (curl_multi_add_handle(multi, easy) == CURLM_OK) {
        curl_multi_remove_handle(multi, easy);
    }
}

}  // namespace

CURL* CurlDriver::easy() {
    if (easy_ == nullptr) {
        ensure_curl_initialised();
        std::lock_guard lock(handles_mutex_);
        multi_ = curl_multi_init();
        easy_ = multi_ != nullptr ? curl_easy_init() : nullptr;
        if (easy_ == nullptr && multi_ != nullptr) {
            curl_multi_cleanup(multi_);
            multi_ = nullptr;
        }
    }
    return easy_;
}

CURLcode CurlDriver::perform() {
    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) {
        return CURLE_FAILED_INIT;
    }
    CURLcode result = CURLE_OK;
    for (int running = 1;;) {
        if (curl_multi_perform(multi_, &running) != CURLM_OK) {
            result = CURLE_OUT_OF_MEMORY;
            break;
        }
        if (running == 0) {
            result = finished_result(multi_);
            break;
        }
        curl_multi_poll(multi_, nullptr, 0, static_cast<int>(next_wait_ms(multi_)), nullptr);
    }
    curl_multi_remove_handle(multi_, easy_);
    return result;
}

void CurlDriver::wake() noexcept {
    std::lock_guard lock(handles_mutex_);
    if (multi_ != nullptr) {
        curl_multi_wakeup(multi_);
    }
}

void CurlDriver::close() noexcept {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    {
        std::lock_guard lock(handles_mutex_);
        std::swap(multi, multi_);
        std::swap(easy, easy_);
    }
    // Outside the lock: the QUIT may wait for a slow server, and wake() must not wait for it.
    if (easy != nullptr && multi != nullptr) {
        bound_quit_wait(multi, easy);
    }
    if (easy != nullptr) {
        curl_easy_cleanup(easy);
    }
    if (multi != nullptr) {
        curl_multi_cleanup(multi);  // closes the cached control connection, sending QUIT
    }
}

}  // namespace ordano
