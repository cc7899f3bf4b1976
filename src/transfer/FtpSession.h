// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "base/Errors.h"
#include "transfer/NameListing.h"
#include "transfer/Publishing.h"

namespace ordano {

// FTP failures, numbered as the rest of the program tells them apart.
namespace ftp_error {
inline constexpr int kSessionBroken = 1000;   // connection lost, transfer cut short
inline constexpr int kOther = 1001;           // anything else (libcurl's own description)
inline constexpr int kNoAnswer = 1002;        // server stopped answering on an open session
inline constexpr int kNotTransferred = 1003;  // remote file/folder missing, refused (550...)
inline constexpr int kLoginRefused = 1013;    // reply 530
inline constexpr int kUnreachable = 1029;     // refused, host not found, connect time-out
// Encrypted connections (TLS).
inline constexpr int kTlsRequired = 1030;           // the server asks for TLS, which is off
inline constexpr int kTlsNotOffered = 1031;         // TLS is on, the server does not offer it
inline constexpr int kCertificateUntrusted = 1032;  // signed by an authority not trusted here
inline constexpr int kCertificateExpired = 1033;    // expired or not valid yet
inline constexpr int kCertificateWrongHost = 1034;  // issued for another host name
inline constexpr int kAuthorityUnreadable = 1035;   // the trusted certificates cannot be read
inline constexpr int kTlsHandshakeFailed = 1036;    // the TLS negotiation itself failed
// The passive data connection (a firewall or NAT in front of the server's passive ports).
inline constexpr int kDataConnectionRefused = 1037;
inline constexpr int kDataConnectionUnanswered = 1038;
// The server takes no more sessions from this address for now: a 421 to a new connection, or a
// 530 to an account it has accepted before (a limit of connections per address).
inline constexpr int kSessionLimit = 1040;
}  // namespace ftp_error

class FtpError : public NumberedError {
public:
    using NumberedError::NumberedError;
    FtpError(int number, const std::string& description, std::string details)
        : NumberedError(number, description), details_(std::move(details)) {}

    // Where and why, for whoever looks into the failure: the server and its port, the
    // account, the step, and the FTP library's own words. Never a password. Empty when the
    // failure is the session's own (no login yet, a call while another runs).
    [[nodiscard]] const std::string& details() const noexcept { return details_; }

private:
    std::string details_;
};

// Explicit TLS ("AUTH TLS"): when on, the login and every transfer go encrypted or not at all,
// and the server's certificate and host name are verified.
struct FtpTls {
    bool on = false;
    std::filesystem::path authority_file{};  // certificates to trust; empty: the system's
};

struct FtpLogin {
    std::string server;    // "address" or "address:port" (21 when none is given)
    std::string user;      // UTF-8; sent as Windows-1252 bytes
    std::string password;  // UTF-8; sent as Windows-1252 bytes
    FtpTls tls{};
};

struct FtpTimeouts {
    long connect_seconds = 20;
    // How long after its start a call on a logged-in session may take to open its passive data
    // connection (EPSV, then PASV when that fails at once) before a blocked data port is said.
    // A call that must log in again first has connect_seconds for both.
    long data_connect_seconds = 15;
    long stall_seconds = 60;  // a transfer or reply that makes no progress for this long fails
};

// One FTP session (one per user of the server: eftpEnvio, eftpRecepcion, ...). Synchronous:
// each call returns when done or throws FtpError. The session logs in at connect() and every
// transfer reuses the same control connection. Binary transfers, passive mode.
// A session the server dropped (or that disconnect() closed) logs in again with the last login
// at the next call. One call at a time: a call made while another runs fails at once with 1001.
// Local files that cannot be read or written fail with NumberedError 68 (missing) or 70.
// An upload cancelled midway (cancel(), or a stop) is aborted so that the server sees a failed
// transfer, never a complete file (see OpenSockets). An upload whose data connection libcurl had
// already ended after its last byte when the cancel came (every byte on its way) completes and
// counts as done.
//
// An upload is published: stored under a temporary name (temporary_upload_name) and renamed to
// its real name only once the server has confirmed the whole file (its 226, and its SIZE where
// it answers one), so the real name never holds part of a file. A server that refuses the
// rename gets the file under its real name, now and for as long as the PublishWays shared by
// the session remember it. What an upload that failed (cancelled, or broken by itself) left on
// the server is removed at once: on the session when it still answers, else on a fresh login
// whose time limit follows the login time measured on that server; as far as the server lets
// it.
class FtpSession {
public:
    using ProgressFn = std::function<void(std::int64_t done, std::int64_t total)>;

    explicit FtpSession(std::string name, FtpTimeouts timeouts = {});
    ~FtpSession();  // closes the session (QUIT)
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    [[nodiscard]] const std::string& name() const { return name_; }
    [[nodiscard]] bool connected() const;
    // How long the last login made by connect() took; zero before the first. (Read it while no
    // call runs on the session.)
    [[nodiscard]] std::chrono::steady_clock::duration login_time() const;

    // Whether a login the server refuses for its limit of sessions (1040) waits a while for a
    // place (the run's own session) or fails at once (an extra session, which leaves the place).
    enum class PlaceWait { Wait, GiveUp };
    // Logs in; the session's later calls log in again by themselves when the server dropped it.
    void connect(const FtpLogin& login, PlaceWait place = PlaceWait::Wait);
    // Stores local_file under remote_folder/remote_name, published as said above; says which
    // way. An empty remote folder means the folder the session starts in.
    UploadWay upload(const std::filesystem::path& local_file, std::string_view remote_folder,
                     std::string_view remote_name);
    // Deletes remote_folder/remote_name; false when the server has no such file (or will not
    // delete it: 550).
    bool remove_file(std::string_view remote_folder, std::string_view remote_name);
    // Renames remote_folder/from to remote_folder/to (RNFR, RNTO).
    void rename_file(std::string_view remote_folder, std::string_view from, std::string_view to);
    // Writes remote_folder/remote_name to local_file through a temporary file beside it,
    // renamed only when complete: after a failure there is no file at local_file. The file ends
    // where the server ends its transfer: SIZE is never asked (servers refuse it or answer it
    // wrongly), and a size stated in the server's reply only serves the progress total.
    void download(const std::filesystem::path& local_file, std::string_view remote_folder,
                  std::string_view remote_name);
    // The names in remote_folder, as the server lists them (NLST), without any folder part:
    // those `wanted` keeps and the first one listed (NameListing). A folder the session cannot
    // change into lists as empty; a listing the server refuses, or one past
    // NameListing::kMaxBytes, fails with 1003.
    [[nodiscard]] std::vector<std::string> list_names(std::string_view remote_folder,
                                                      NameListing::Wanted wanted = {});
    // Closes the session; harmless when none is open. A call under way on another thread is
    // cancelled, and the session closes as that call ends.
    void disconnect() noexcept;

    // Safe from any thread: the transfer under way fails with 1000 as soon as possible; made
    // while no call runs, it fails the next call (which may be starting on another thread).
    // disconnect() forgets it.
    void cancel() noexcept;
    // From now on a stop requested on `stop` cancels the transfer under way, and every call
    // made after it throws RunStopped instead of reaching the server (see RunStop.h).
    void stop_with(std::stop_token stop);
    // Called on the thread that runs the transfer, with the total when the server tells it
    // (0 otherwise).
    void set_progress(ProgressFn fn);
    // Each command this session sends and each reply it gets, as a line for a person
    // (FtpTrace: the password never shows); an empty function stops it. Called on the thread
    // that runs the call.
    void set_trace(std::function<void(std::string_view line)> sink);
    // The servers that refuse renaming, shared with the program's other sessions (each session
    // starts with its own).
    void share_publish_ways(std::shared_ptr<PublishWays> ways);
    [[nodiscard]] const std::shared_ptr<PublishWays>& publish_ways() const;

private:
    struct Impl;
    std::string name_;
    std::unique_ptr<Impl> impl_;
};

// The session's progress goes to `fn` while this lives, and to nobody after (the function
// usually refers to the caller's locals).
class ScopedProgress {
public:
    ScopedProgress(FtpSession& session, FtpSession::ProgressFn fn) : session_(session) {
        session_.set_progress(std::move(fn));
    }
    ~ScopedProgress() { session_.set_progress(nullptr); }
    ScopedProgress(const ScopedProgress&) = delete;
    ScopedProgress& operator=(const ScopedProgress&) = delete;

private:
    FtpSession& session_;
};

}  // namespace ordano
