#pragma once

#include <curl/curl.h>

#include <string_view>

#include "transfer/FtpSession.h"

namespace ordano {

// What the session knew when libcurl gave up, to word the failure.
struct FtpFailureContext {
    bool reached_server = false;  // a TCP connection to the server was established
    bool cancelled = false;       // cancel() was asked for
    std::string_view server{};
    std::string_view remote_path{};  // empty for the login
    std::string_view curl_detail{};  // libcurl's error buffer, may be empty
    std::string_view user{};         // the account as sent to the server
    std::string_view step{};         // what the session was doing, in the person's words
    long server_reply = 0;           // the server's last reply code, 0 when none came
};

// The one place where libcurl's result becomes the program's error number, description and
// details.
[[nodiscard]] FtpError ftp_failure(CURLcode code, const FtpFailureContext& context);

// A failure of this kind on a control connection that had been idle is what a server that
// dropped the session meanwhile produces; the operation is worth one immediate retry.
[[nodiscard]] bool looks_like_dropped_session(CURLcode code);

}  // namespace ordano
