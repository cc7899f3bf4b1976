// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <curl/curl.h>

#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace ordano {

// The FTP conversation of one session as lines for a person to follow: each command sent
// ("ftp eftpEnvio > CWD ag0015") and each reply line ("ftp eftpEnvio < 250 OK"). The password
// never shows: "PASS ****". Data and libcurl's own remarks are left out.
class FtpTrace {
public:
    using Sink = std::function<void(std::string_view line)>;

    explicit FtpTrace(std::string session) : session_(std::move(session)) {}

    // Safe from any thread; an empty sink stops the trace.
    void set_sink(Sink sink);
    // Points the handle's debug output here (once, when the handle is made) ...
    void attach(CURL* handle);
    // ... and turns it on or off for the next call, as a sink is set or not.
    void apply(CURL* handle);

    // The line a command or reply shows as; empty for what is not shown.
    [[nodiscard]] static std::string line_for(std::string_view session, curl_infotype type,
                                              std::string_view text);

private:
    static int on_debug(CURL* handle, curl_infotype type, char* data, std::size_t size, void* self);

    std::string session_;
    std::mutex mutex_;
    Sink sink_;
};

}  // namespace ordano
