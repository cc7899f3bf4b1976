// SPDX-License-Identifier: Apache-2.0
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
    std::string_view remote_path{};      // empty for the login
    std::string_view curl_detail{};      // libcurl's error buffer, may be empty
    std::string_view last_reply{};       // the server's last reply line, may be empty
    std::string_view passive_ports{};    // the data ports offered in the call: "50006 (EPSV)"
    std::string_view user{};             // the account as sent to the server
    std::string_view step{};             // what the session was doing, in the person's words
    long server_reply = 0;               // the server's last reply code, 0 when none came
    bool tls = false;                    // the session asked for TLS
    std::string_view authority_file{};   // the certificates trusted; empty: the system's
    long certificate_verify_result = 0;  // the TLS library's verdict on the certificate (X509_V_*)
    bool logging_in = false;             // the call began without a logged-in session
    bool account_accepted = false;       // the server has accepted this account before
};

// A refusal of a new session that is the server's limit of sessions, not the account's fault:
// "421" to the new connection, or "530" to an account it has accepted before.
[[nodiscard]] bool is_session_limit(CURLcode code, std::string_view last_reply,
                                    bool account_accepted);

// The one place where libcurl's result becomes the program's error number, description and
// details.
[[nodiscard]] FtpError ftp_failure(CURLcode code, const FtpFailureContext& context);

// libcurl (7.88) on a TLS session: a server that refuses a transfer (550 to RETR) and closes
// the data connection while its TLS handshake is under way makes libcurl take the reset for a
// failed EPSV; it sends PASV and reads the refusal as PASV's reply. The reply to PASV is still
// to come, so the connection's replies no longer answer its commands: only a new connection
// can go on.
[[nodiscard]] bool passive_reply_out_of_step(CURLcode code);

// A failure of this kind on a control connection that had been idle is what a server that
// dropped the session meanwhile produces; the operation is worth one immediate retry. Not after
// the server answered EPSV or PASV (`last_reply`): the session was alive, its data connection
// failed.
[[nodiscard]] bool looks_like_dropped_session(CURLcode code, std::string_view last_reply);

}  // namespace ordano
