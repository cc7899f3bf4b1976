// SPDX-License-Identifier: Apache-2.0
#include "transfer/FtpTrace.h"

#include <algorithm>
#include <cctype>

namespace ordano {

void FtpTrace::set_sink(Sink sink) {
    std::lock_guard lock(mutex_);
    sink_ = std::move(sink);
}

void FtpTrace::attach(CURL* handle) {
    curl_easy_setopt(handle, CURLOPT_DEBUGFUNCTION, &FtpTrace::on_debug);
    curl_easy_setopt(handle, CURLOPT_DEBUGDATA, this);
}

void FtpTrace::apply(CURL* handle) {
    std::lock_guard lock(mutex_);
    curl_easy_setopt(handle, CURLOPT_VERBOSE, sink_ ? 1L : 0L);
}

std::string FtpTrace::line_for(std::string_view session, curl_infotype type,
                               std::string_view text) {
    if (type != CURLINFO_HEADER_OUT && type != CURLINFO_HEADER_IN) {
        return {};
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return {};
    }
    std::string shown(text);
    if (type == CURLINFO_HEADER_OUT) {
        std::string verb = shown.substr(0, 5);
        std::transform(verb.begin(), verb.end(), verb.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (verb == "PASS " || verb == "PASS") {
            shown = "PASS ****";
        }
    }
    return "ftp " + std::string(session) + (type == CURLINFO_HEADER_OUT ? " > " : " < ") + shown;
}

int FtpTrace::on_debug(CURL* /*handle*/, curl_infotype type, char* data, std::size_t size,
                       void* self) {
    auto& trace = *static_cast<FtpTrace*>(self);
    const std::string line = line_for(trace.session_, type, std::string_view(data, size));
    if (!line.empty()) {
        std::lock_guard lock(trace.mutex_);
        if (trace.sink_) {
            trace.sink_(line);
        }
    }
    return 0;
}

}  // namespace ordano
