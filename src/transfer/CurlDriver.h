// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <curl/curl.h>

#include <mutex>

namespace ordano {

// One libcurl easy handle driven through a multi handle of its own. The multi handle keeps
// the connection cache, so consecutive transfers reuse the control connection until close().
// Driving the loop here (instead of curl_easy_perform) lets another thread interrupt a wait at
// once, and caps each wait so that a step libcurl forgets to wake up for (seen with 7.88 when
// it opens a passive data connection) costs milliseconds, not a second.
class CurlDriver {
public:
    CurlDriver() = default;
    ~CurlDriver() { close(); }
    CurlDriver(const CurlDriver&) = delete;
    CurlDriver& operator=(const CurlDriver&) = delete;

    // The easy handle, created on first use; null when libcurl could not create one.
    [[nodiscard]] CURL* easy();
    [[nodiscard]] bool is_open() const { return easy_ != nullptr; }

    // Runs the transfer set up on easy() to its end.
    CURLcode perform();
    // Safe from any thread: a perform() under way re-checks its callbacks at once.
    void wake() noexcept;
    // Closes the connection (QUIT) and both handles.
    void close() noexcept;

private:
    std::mutex handles_mutex_;  // guards the pointers against wake() from another thread
    CURLM* multi_ = nullptr;
    CURL* easy_ = nullptr;
};

}  // namespace ordano
