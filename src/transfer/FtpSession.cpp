// SPDX-License-Identifier: Apache-2.0
#include "transfer/FtpSession.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "base/Encoding.h"
#include "base/RunStop.h"
#include "transfer/CurlDriver.h"
#include "transfer/FtpFailure.h"
#include "transfer/FtpTrace.h"
#include "transfer/LocalFiles.h"
#include "transfer/OpenSockets.h"

namespace ordano {
namespace {

// Percent-encodes all but the unreserved characters, so any byte of a name reaches the server
// as it is.
std::string escape(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

// The URL path of folder/name. curl changes into each "/"-separated part in turn; a leading
// "%2F" makes the first part absolute ("/kroout"), and an empty folder leaves the session in
// the folder it started in.
std::string url_path(std::string_view folder, std::string_view name) {
    const bool absolute = !folder.empty() && folder.front() == '/';
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= folder.size();) {
        const auto end = std::min(folder.find('/', start), folder.size());
        if (end > start) {
            parts.push_back(escape(folder.substr(start, end - start)));
        }
        start = end + 1;
    }
    if (absolute) {
        if (parts.empty()) {
            parts.emplace_back();
        }
        parts.front().insert(0, "%2F");
    }
    std::string path;
    for (const auto& part : parts) {
        path += part + "/";
    }
    return path + escape(name);
}

std::string remote_path(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path + std::string(name);
}

// The account as the office's server knows it: the Windows-1252 bytes the office's Windows
// sent, not UTF-8.
FtpLogin wire_login(const FtpLogin& login) {
    FtpLogin wire = login;
    try {
        wire.user = text::utf8_to_cp1252(login.user);
        wire.password = text::utf8_to_cp1252(login.password);
    } catch (const FormatError& e) {
        throw FtpError(ftp_error::kOther,
                       std::string("El usuario o la contraseña no se pueden enviar: ") + e.what());
    }
    return wire;
}

template <typename T>
void set(CURL* handle, CURLoption option, T value) {
    curl_easy_setopt(handle, option, value);
}

// Both channels encrypted or no session at all; the certificate and its host name checked.
// libcurl keeps the control connection's TLS session and resumes it on each data connection,
// so a transfer costs no full handshake. TLS 1.2 exactly: under 1.3 libcurl often opens an
// upload's data connection with a full handshake, and servers commonly refuse a data
// connection that does not resume the login's session.
void set_tls_options(CURL* handle, const FtpTls& tls) {
    set(handle, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    // "AUTH TLS" first: libcurl's default tries "AUTH SSL", which some servers answer 500.
    set(handle, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
    set(handle, CURLOPT_SSLVERSION,
        static_cast<long>(CURL_SSLVERSION_TLSv1_2) |
            static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));
    set(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    set(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    set(handle, CURLOPT_SSL_SESSIONID_CACHE, 1L);
    if (tls.authority_file.empty()) {
        // The system's trusted certificates: on Windows its certificate store (libcurl on
        // OpenSSL would otherwise look for a bundle file); elsewhere libcurl's bundle is it.
        set(handle, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NATIVE_CA));
    } else {
        set(handle, CURLOPT_CAINFO, tls.authority_file.string().c_str());
    }
}

// How long removing what a failed upload left may take at least: the program may be ending.
// A server whose logins are slow (a costly password hash) gets twice its login time on top.
constexpr std::chrono::milliseconds kRemovalLimit{2000};
// Replies that refuse a rename for good: not implemented, not allowed.
constexpr std::array<long, 5> kRenameRefusals = {500, 502, 504, 550, 553};
// How long an aborted upload waits for the server to close the data connection itself before
// resetting it (a server that reads its session only between transfers never does).
constexpr std::chrono::milliseconds kAbortWait{1500};
// How long a stopped upload whose bytes have all left waits for the server to confirm the
// file: a stop must not wait for a slow server to drain the system's buffers (past it the
// upload is cancelled and removed like any other).
constexpr std::chrono::milliseconds kStopConfirmWait{2000};

// A list of FTP commands for libcurl, freed with the object.
class CommandList {
public:
    explicit CommandList(std::initializer_list<std::string> commands) {
        for (const std::string& command : commands) {
            list_ = curl_slist_append(list_, command.c_str());
        }
    }
    ~CommandList() { curl_slist_free_all(list_); }
    CommandList(const CommandList&) = delete;
    CommandList& operator=(const CommandList&) = delete;
    [[nodiscard]] curl_slist* get() const { return list_; }

private:
    curl_slist* list_ = nullptr;
};

// The number a reply line starts with ("213 8000000" gives 8000000); nullopt for none.
std::optional<std::int64_t> leading_number(std::string_view text) {
    std::int64_t number = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && number < (1LL << 50); ++i) {
        number = number * 10 + (text[i] - '0');
    }
    return i > 0 ? std::optional(number) : std::nullopt;
}

long reply_code(std::string_view reply) {
    long code = 0;
    for (std::size_t i = 0; i < 3 && i < reply.size() && reply[i] >= '0' && reply[i] <= '9'; ++i) {
        code = code * 10 + (reply[i] - '0');
    }
    return code;
}

// The size a server states in the reply that opens a download ("150 Opening BINARY mode data
// connection for x (22 bytes)."); 0 when it states none.
std::int64_t size_in_reply(std::string_view reply) {
    const auto open = reply.rfind('(');
    if (open == std::string_view::npos) {
        return 0;
    }
    std::int64_t size = 0;
    std::size_t i = open + 1;
    for (; i < reply.size() && reply[i] >= '0' && reply[i] <= '9' && size < (1LL << 50); ++i) {
        size = size * 10 + (reply[i] - '0');
    }
    return i > open + 1 && reply.substr(i).starts_with(" bytes") ? size : 0;
}

// The data port a passive reply offers, with the command it answers: "50006 (EPSV)" for
// "229 Entering Extended Passive Mode (|||50006|)", "50007 (PASV)" for "227 Entering Passive
// Mode (127,0,0,1,195,87)"; empty for any other reply.
std::string passive_port(std::string_view reply) {
    const bool extended = reply.starts_with("229");
    const auto open = reply.find('(');
    if ((!extended && !reply.starts_with("227")) || open == std::string_view::npos) {
        return {};
    }
    std::vector<long> numbers;
    bool in_number = false;
    for (const char c : reply.substr(open + 1)) {
        const bool digit = c >= '0' && c <= '9';
        if (c == ')' || (digit && in_number && numbers.back() > 65535)) {
            break;
        }
        if (digit && !in_number) {
            numbers.push_back(0);
        }
        if (digit) {
            numbers.back() = numbers.back() * 10 + (c - '0');
        }
        in_number = digit;
    }
    const long port = extended && numbers.size() == 1    ? numbers[0]
                      : !extended && numbers.size() == 6 ? numbers[4] * 256 + numbers[5]
                                                         : 0;
    return port > 0 ? std::to_string(port) + (extended ? " (EPSV)" : " (PASV)") : std::string();
}

}  // namespace

struct FtpSession::Impl {
    Impl(FtpTimeouts limits, const std::string& name) : timeouts(limits), trace(name) {}

    // What one call on the handle needs from its caller.
    struct Request {
        std::string path;        // URL path; empty for the login
        std::string shown_path;  // folder/name as the person knows it
        PartFile* sink = nullptr;
        SourceFile* source = nullptr;
        NameListing* listing = nullptr;  // reads the text of a listing
        curl_slist* after = nullptr;     // commands sent once the transfer has succeeded
    };

    FtpTimeouts timeouts;
    std::mutex in_use;    // held by the call that drives the handle
    OpenSockets sockets;  // before curl: the handle's connections close their sockets through it
    CurlDriver curl;
    std::optional<FtpLogin> login;
    std::atomic<bool> live{false};  // a logged-in control connection is believed open
    std::atomic<bool> cancel_requested{false};
    std::atomic<bool> close_requested{false};
    std::atomic<bool> removing_partial{false};  // the clean-up after a cancel runs regardless
    std::stop_token stop;
    std::optional<std::stop_callback<std::function<void()>>> cancel_on_stop;
    std::mutex progress_mutex;
    ProgressFn progress;
    std::int64_t last_done = -1;
    std::int64_t last_total = -1;
    std::int64_t moved = 0;  // bytes written to the sink or read from the source
    bool upload_aborted = false;
    std::optional<std::chrono::steady_clock::time_point> cancel_seen;  // by this call
    std::int64_t stated_size = 0;     // the download's size as the server's reply states it
    CURLcode failed_code = CURLE_OK;  // of the last call that failed
    FtpTrace trace;
    Request request;
    char curl_detail[CURL_ERROR_SIZE] = {};
    std::string last_reply;      // the server's last reply line on the control connection
    std::string passive_ports;   // the data ports the server offered in this call: "50006 (EPSV)"
    bool stored_opened = false;  // the server opened the file of this upload (150, 125)
    bool size_differs = false;   // the server's SIZE of a published upload was not the file's
    std::chrono::steady_clock::duration login_time{};  // of the last login connect() made
    bool accepted = false;  // the server accepted this account since connect()
    // A login the server refuses for its limit of sessions is tried again for a while (not by
    // an extra session, which leaves the place to others).
    bool waits_for_place = true;
    std::shared_ptr<PublishWays> ways = std::make_shared<PublishWays>();

    void open_handle();
    void close_now() noexcept;
    void perform(Request request);
    // Sets the handle for `request` (opening it first when closed).
    void apply_request(bool reused);
    CURLcode perform_once();
    [[noreturn]] void fail(CURLcode code, bool on_reused_connection);
    // What the call under way is doing, as the person knows it.
    [[nodiscard]] std::string step() const;
    void report_progress(std::int64_t done, std::int64_t total);
    [[nodiscard]] bool cancelled() const { return cancel_requested || stop.stop_requested(); }
    // Stores source as folder/stored; with `publish_as`, renames it to that name once whole.
    // False when the server refused the rename (the stored file is still there).
    bool store(SourceFile& source, std::string_view folder, const std::string& stored,
               const std::string& publish_as);
    [[nodiscard]] bool rename_refused() const;
    // After a login refused for the server's limit: whether to try again, having waited a
    // moment for a place; false once `since` is long past, or when cancelled.
    [[nodiscard]] bool place_may_come(CURLcode code, std::chrono::steady_clock::time_point since);
    [[nodiscard]] std::chrono::milliseconds removal_limit() const;
    // DELE on this session while it answers, else on a fresh login; bounded. True when the
    // server answered the DELE (removed, or nothing there).
    bool remove_leftover(const std::string& remote_path) noexcept;
    CURLcode delete_now(const std::string& remote_path, bool fresh, long limit_ms);

    static int on_progress(void* self, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal,
                           curl_off_t ulnow);
    static std::size_t on_write(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t on_read(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t on_reply(char* data, std::size_t size, std::size_t count, void* self);

    class Use;
};

// One operation at a time per session: a second call while one runs (from another thread, or
// from window events let through meanwhile) is refused instead of corrupting the handle.
class FtpSession::Impl::Use {
public:
    explicit Use(Impl& impl) : impl_(impl), lock_(impl.in_use, std::try_to_lock) {
        if (!lock_.owns_lock()) {
            throw FtpError(ftp_error::kOther, "La sesión FTP ya tiene una operación en curso");
        }
        // A cancel asked for since the last call ended is kept: it may have come between the
        // hand-over of this session and this line, and it is this call's to honour.
        stop_point(impl_.stop);
    }
    ~Use() {
        impl_.cancel_requested = false;  // honoured, or too late for this call
        lock_.unlock();
        // A disconnect() asked for while this call ran is carried out now.
        if (impl_.close_requested.exchange(false)) {
            std::unique_lock again(impl_.in_use, std::try_to_lock);
            if (again.owns_lock()) {
                impl_.close_now();
            } else {
                impl_.close_requested = true;
            }
        }
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

private:
    Impl& impl_;
    std::unique_lock<std::mutex> lock_;
};

void FtpSession::Impl::open_handle() {
    CURL* h = curl.easy();
    if (h == nullptr) {
        throw FtpError(ftp_error::kOther, "No se pudo preparar la sesión FTP");
    }
    set(h, CURLOPT_PROTOCOLS_STR, "ftp");
    set(h, CURLOPT_USERNAME, login->user.c_str());
    set(h, CURLOPT_PASSWORD, login->password.c_str());
    set(h, CURLOPT_NOSIGNAL, 1L);
    set(h, CURLOPT_ERRORBUFFER, curl_detail);
    // Nothing waits forever: the connection and login, every reply, and a transfer that stops
    // moving each have their limit.
    set(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeouts.stall_seconds);
    set(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(h, CURLOPT_LOW_SPEED_TIME, timeouts.stall_seconds);
    set(h, CURLOPT_TCP_KEEPALIVE, 1L);
    set(h, CURLOPT_TRANSFERTEXT, 0L);  // binary
    set(h, CURLOPT_BUFFERSIZE, 512L * 1024L);
    // A download runs until the server ends it: no SIZE is asked, so a server that refuses it
    // does not make every file look missing, and one that answers it wrongly cuts nothing.
    set(h, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    // One CWD into the transfer's folder, none when the session is already there (libcurl
    // remembers the folder of the last transfer on the connection and goes back to the start
    // folder for an empty one).
    set(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    set(h, CURLOPT_HEADERFUNCTION, &Impl::on_reply);
    set(h, CURLOPT_HEADERDATA, this);
    set(h, CURLOPT_NOPROGRESS, 0L);
    set(h, CURLOPT_XFERINFOFUNCTION, &Impl::on_progress);
    set(h, CURLOPT_XFERINFODATA, this);
    set(h, CURLOPT_WRITEFUNCTION, &Impl::on_write);
    set(h, CURLOPT_WRITEDATA, this);
    set(h, CURLOPT_READFUNCTION, &Impl::on_read);
    set(h, CURLOPT_READDATA, this);
    sockets.follow(h);
    if (login->tls.on) {
        set_tls_options(h, login->tls);
    }
    trace.attach(h);
}

void FtpSession::Impl::close_now() noexcept {
    curl.close();
    live = false;
}

void FtpSession::Impl::perform(Request next) {
    if (!login) {
        throw FtpError(ftp_error::kOther, "No hay sesión abierta con el servidor");
    }
    request = std::move(next);
    bool reused = live;
    apply_request(reused);
    const auto started = std::chrono::steady_clock::now();
    CURLcode code = perform_once();
    const bool quick =
        std::chrono::steady_clock::now() - started < std::chrono::seconds(timeouts.stall_seconds);
    if (code != CURLE_OK && reused && quick && moved == 0 && !cancelled() &&
        looks_like_dropped_session(code, last_reply)) {
        // The server closed the session while it sat idle (a "421" or a reset): a second
        // attempt logs in again on a new connection. A server that is merely slow took the
        // whole stall limit and is not asked twice.
        close_now();
        reused = false;
        apply_request(reused);
        code = perform_once();
    }
    while (code != CURLE_OK && (!reused || code == CURLE_LOGIN_DENIED) &&
           place_may_come(code, started)) {
        code = perform_once();
    }
    if (code != CURLE_OK) {
        fail(code, reused);
    }
    live = true;
    accepted = true;
}

void FtpSession::Impl::apply_request(bool reused) {
    if (!curl.is_open()) {
        open_handle();
    }
    CURL* h = curl.easy();
    const std::string url = "ftp://" + login->server + "/" + request.path;
    set(h, CURLOPT_URL, url.c_str());
    // The same handle serves every kind of call: each call states all of its own kind.
    const bool transfers = request.sink != nullptr || request.source != nullptr;
    set(h, CURLOPT_NOBODY, transfers || request.listing != nullptr ? 0L : 1L);
    set(h, CURLOPT_DIRLISTONLY, request.listing != nullptr ? 1L : 0L);
    set(h, CURLOPT_UPLOAD, request.source != nullptr ? 1L : 0L);
    set(h, CURLOPT_POSTQUOTE, request.after);
    set(h, CURLOPT_INFILESIZE_LARGE,
        static_cast<curl_off_t>(request.source != nullptr ? request.source->size() : -1));

    trace.apply(h);
    // On a logged-in session the only connection a call makes is the data connection.
    set(h, CURLOPT_CONNECTTIMEOUT,
        reused ? timeouts.data_connect_seconds : timeouts.connect_seconds);
}

bool FtpSession::Impl::place_may_come(CURLcode code, std::chrono::steady_clock::time_point since) {
    static constexpr auto kPlaceWait = std::chrono::seconds(20);
    static constexpr auto kPause = std::chrono::milliseconds(100);
    if (!waits_for_place || !is_session_limit(code, last_reply, accepted)) {
        return false;
    }
    for (auto paused = std::chrono::milliseconds(0); paused < std::chrono::seconds(1);
         paused += kPause) {
        if (cancelled() || std::chrono::steady_clock::now() - since > kPlaceWait) {
            return false;
        }
        std::this_thread::sleep_for(kPause);
    }
    return true;
}

CURLcode FtpSession::Impl::perform_once() {
    moved = 0;
    upload_aborted = false;
    cancel_seen.reset();
    stored_opened = false;
    size_differs = false;
    stated_size = 0;
    last_done = last_total = -1;
    curl_detail[0] = '\0';
    last_reply.clear();
    passive_ports.clear();
    if (request.sink != nullptr) {
        request.sink->restart();
    }
    if (request.source != nullptr) {
        request.source->rewind();
    }
    if (request.listing != nullptr) {
        request.listing->restart();
    }
    return curl.perform();
}

std::string FtpSession::Impl::step() const {
    if (request.source != nullptr) {
        return "envío de " + request.shown_path;
    }
    if (request.sink != nullptr) {
        return "recepción de " + request.shown_path;
    }
    if (request.path.empty()) {
        return "conexión e inicio de sesión";
    }
    return "consulta de " + request.shown_path;
}

void FtpSession::Impl::fail(CURLcode code, bool on_reused_connection) {
    stop_point(stop);
    failed_code = code;
    if (code == CURLE_WRITE_ERROR && request.sink != nullptr && request.sink->write_failure()) {
        // The local disk refused the bytes: that, not the transfer, is what failed.
        live = false;
        throw *request.sink->write_failure();
    }
    curl_off_t connect_time = 0;
    curl_easy_getinfo(curl.easy(), CURLINFO_CONNECT_TIME_T, &connect_time);
    long verify_result = 0;
    curl_easy_getinfo(curl.easy(), CURLINFO_SSL_VERIFYRESULT, &verify_result);
    const std::string authority = login->tls.authority_file.string();
    long reply = 0;
    curl_easy_getinfo(curl.easy(), CURLINFO_RESPONSE_CODE, &reply);
    const std::string doing = step();
    const FtpFailureContext context{
        .reached_server = on_reused_connection || connect_time > 0,
        .cancelled = code == CURLE_ABORTED_BY_CALLBACK && cancel_requested,
        .server = login->server,
        .remote_path = request.shown_path,
        .curl_detail = curl_detail,
        .last_reply = last_reply,
        .passive_ports = passive_ports,
        .user = login->user,
        .step = doing,
        .server_reply = reply,
        .tls = login->tls.on,
        .authority_file = authority,
        .certificate_verify_result = verify_result,
        .logging_in = !on_reused_connection,
        .account_accepted = accepted,
    };
    FtpError error =
        size_differs ? FtpError(ftp_error::kSessionBroken,
                                "El servidor no recibió completo el archivo " + request.shown_path,
                                "servidor " + login->server + ", " + doing + ": " + last_reply)
                     : ftp_failure(code, context);
    live = live && error.number() == ftp_error::kNotTransferred;
    if (passive_reply_out_of_step(code)) {
        close_now();
    }
    throw error;
}

void FtpSession::Impl::report_progress(std::int64_t done, std::int64_t total) {
    if (done == last_done && total == last_total) {
        return;
    }
    last_done = done;
    last_total = total;
    std::lock_guard lock(progress_mutex);
    if (progress) {
        progress(done, total);
    }
}

int FtpSession::Impl::on_progress(void* self, curl_off_t dltotal, curl_off_t dlnow,
                                  curl_off_t ultotal, curl_off_t ulnow) {
    auto& impl = *static_cast<Impl*>(self);
    if (impl.cancelled() && !impl.removing_partial) {
        if (impl.request.source != nullptr) {
            const auto now = std::chrono::steady_clock::now();
            const auto seen = impl.cancel_seen.value_or(now);
            impl.cancel_seen = seen;
            if (impl.moved >= impl.request.source->size() && !impl.sockets.data_connection_open() &&
                now - seen < kStopConfirmWait) {
                return 0;  // every byte has left: the upload completes and counts as done
            }
            if (!impl.upload_aborted) {
                impl.upload_aborted = true;
                impl.sockets.abort_upload(kAbortWait);
            }
        }
        return 1;  // libcurl ends the call with CURLE_ABORTED_BY_CALLBACK
    }
    if (impl.request.sink != nullptr) {
        impl.report_progress(dlnow, dltotal > 0 ? dltotal : impl.stated_size);
    } else if (impl.request.source != nullptr) {
        impl.report_progress(ulnow, ultotal);
    }
    return 0;
}

std::size_t FtpSession::Impl::on_write(char* data, std::size_t size, std::size_t count,
                                       void* self) {
    auto& impl = *static_cast<Impl*>(self);
    const std::size_t bytes = size * count;
    if (impl.request.listing != nullptr) {
        // A listing past its bound ends the call (CURLE_WRITE_ERROR).
        return impl.request.listing->add(std::string_view(data, bytes)) ? bytes : 0;
    }
    if (impl.request.sink == nullptr || !impl.request.sink->write(data, bytes)) {
        return 0;  // libcurl ends the call with CURLE_WRITE_ERROR
    }
    impl.moved += static_cast<std::int64_t>(bytes);
    return bytes;
}

std::size_t FtpSession::Impl::on_read(char* data, std::size_t size, std::size_t count, void* self) {
    auto& impl = *static_cast<Impl*>(self);
    if (impl.request.source == nullptr) {
        return 0;
    }
    const std::size_t bytes = impl.request.source->read(data, size * count);
    impl.moved += static_cast<std::int64_t>(bytes);
    return bytes;
}

CURLcode FtpSession::Impl::delete_now(const std::string& remote_path, bool fresh, long limit_ms) {
    CURL* h = curl.easy();
    if (h == nullptr) {
        return CURLE_FAILED_INIT;
    }
    const CommandList dele({"DELE " + remote_path});
    const std::string url = "ftp://" + login->server + "/";
    request = {};
    // A fresh login starts in the start folder, whatever the failed one had done.
    set(h, CURLOPT_FRESH_CONNECT, fresh ? 1L : 0L);
    set(h, CURLOPT_URL, url.c_str());
    set(h, CURLOPT_NOBODY, 1L);
    set(h, CURLOPT_UPLOAD, 0L);
    set(h, CURLOPT_DIRLISTONLY, 0L);
    // After the login (and the way back to the start folder), as a folder of its own.
    set(h, CURLOPT_POSTQUOTE, dele.get());
    set(h, CURLOPT_TIMEOUT_MS, limit_ms);
    last_reply.clear();
    const CURLcode code = curl.perform();
    set(h, CURLOPT_POSTQUOTE, static_cast<curl_slist*>(nullptr));
    set(h, CURLOPT_TIMEOUT_MS, 0L);
    set(h, CURLOPT_FRESH_CONNECT, 0L);
    return code;
}

std::chrono::milliseconds FtpSession::Impl::removal_limit() const {
    return kRemovalLimit + 2 * std::chrono::duration_cast<std::chrono::milliseconds>(login_time);
}

bool FtpSession::Impl::remove_leftover(const std::string& remote_path) noexcept {
    removing_partial = true;
    bool answered = false;
    try {
        const long limit = static_cast<long>(removal_limit().count());
        // The session that is still logged in first: no new login to wait for.
        if (live && !cancelled()) {
            const CURLcode code = delete_now(remote_path, false, limit);
            answered = code == CURLE_OK || reply_code(last_reply) == 550;
        }
        if (!answered) {
            const CURLcode code = delete_now(remote_path, true, limit);
            answered = code == CURLE_OK || reply_code(last_reply) == 550;
        }
    } catch (...) {
        // Nothing more can be done for the file now; the next sending run tries again.
    }
    close_now();
    removing_partial = false;
    return answered;
}

bool FtpSession::Impl::rename_refused() const {
    return failed_code == CURLE_QUOTE_ERROR &&
           std::ranges::find(kRenameRefusals, reply_code(last_reply)) != kRenameRefusals.end();
}

bool FtpSession::Impl::store(SourceFile& source, std::string_view folder, const std::string& stored,
                             const std::string& publish_as) {
    const bool publishing = !publish_as.empty();
    // SIZE may be refused ("*": its failure ignored); its answer is checked in on_reply.
    const CommandList publish({"*SIZE " + stored, "RNFR " + stored, "RNTO " + publish_as});
    const std::string shown = remote_path(folder, publishing ? publish_as : stored);
    try {
        perform({.path = url_path(folder, stored),
                 .shown_path = shown,
                 .source = &source,
                 .after = publishing ? publish.get() : nullptr});
        return true;
    } catch (const FtpError&) {
        if (publishing && rename_refused()) {
            return false;
        }
        // Under the real name only what the server opened for this upload is removed.
        if (publishing || stored_opened || cancelled()) {
            remove_leftover(remote_path(folder, stored));
        }
        throw;
    } catch (...) {
        if (cancelled()) {
            remove_leftover(remote_path(folder, stored));
        }
        throw;
    }
}

// libcurl hands every reply line of the control connection here.
std::size_t FtpSession::Impl::on_reply(char* data, std::size_t size, std::size_t count,
                                       void* self) {
    auto& impl = *static_cast<Impl*>(self);
    std::string_view line(data, size * count);
    const bool opens = line.starts_with("150") || line.starts_with("125");
    if (impl.request.sink != nullptr && opens) {
        impl.stated_size = size_in_reply(line);
    }
    if (impl.request.source != nullptr && opens) {
        impl.stored_opened = true;
    }
    if (impl.request.after != nullptr && line.starts_with("213 ")) {
        // The SIZE of a published upload, asked once the transfer succeeded: a server that
        // kept less than was sent ends the call here, before the rename.
        const auto stated = leading_number(line.substr(4));
        if (stated && *stated != impl.request.source->size()) {
            impl.size_differs = true;
            return 0;
        }
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    impl.last_reply.assign(line);
    if (const auto port = passive_port(line); !port.empty()) {
        impl.passive_ports += (impl.passive_ports.empty() ? "" : ", ") + port;
    }
    return size * count;
}

FtpSession::FtpSession(std::string name, FtpTimeouts timeouts)
    : name_(std::move(name)), impl_(std::make_unique<Impl>(timeouts, name_)) {}

FtpSession::~FtpSession() {
    disconnect();
}

bool FtpSession::connected() const {
    return impl_->live;
}

std::chrono::steady_clock::duration FtpSession::login_time() const {
    return impl_->login_time;
}

void FtpSession::connect(const FtpLogin& login, PlaceWait place) {
    Impl::Use use(*impl_);
    impl_->close_now();
    impl_->login = wire_login(login);
    // A refusal of this login is the account's; once it is accepted, a refusal of the session's
    // own logging in again (the server dropped it) is the server's limit.
    impl_->accepted = false;
    impl_->waits_for_place = place == PlaceWait::Wait;
    try {
        const auto started = std::chrono::steady_clock::now();
        impl_->perform({});  // logs in and reads the start folder, transfers nothing
        impl_->login_time = std::chrono::steady_clock::now() - started;
    } catch (const FtpError&) {
        impl_->close_now();
        throw;
    }
}

UploadWay FtpSession::upload(const std::filesystem::path& local_file,
                             std::string_view remote_folder, std::string_view remote_name) {
    Impl::Use use(*impl_);
    SourceFile source(local_file);
    const std::string name(remote_name);
    const std::string server = impl_->login ? impl_->login->server : std::string();
    if (impl_->ways->renames_on(server)) {
        const std::string temporary = temporary_upload_name(name);
        if (impl_->store(source, remote_folder, temporary, name)) {
            return UploadWay::Renamed;
        }
        // The server keeps files under the name they were stored under: the whole file goes
        // up again under its real name, and the temporary one goes.
        impl_->remove_leftover(remote_path(remote_folder, temporary));
        impl_->ways->refused_by(server);
    }
    impl_->store(source, remote_folder, name, {});
    return UploadWay::Direct;
}

bool FtpSession::remove_file(std::string_view remote_folder, std::string_view remote_name) {
    Impl::Use use(*impl_);
    const CommandList dele({"DELE " + remote_path(remote_folder, remote_name)});
    try {
        impl_->perform({.path = "",
                        .shown_path = remote_path(remote_folder, remote_name),
                        .after = dele.get()});
    } catch (const FtpError&) {
        if (impl_->failed_code == CURLE_QUOTE_ERROR && reply_code(impl_->last_reply) == 550) {
            return false;
        }
        throw;
    }
    return true;
}

void FtpSession::rename_file(std::string_view remote_folder, std::string_view from,
                             std::string_view to) {
    Impl::Use use(*impl_);
    const CommandList rename(
        {"RNFR " + remote_path(remote_folder, from), "RNTO " + remote_path(remote_folder, to)});
    impl_->perform(
        {.path = "", .shown_path = remote_path(remote_folder, to), .after = rename.get()});
}

void FtpSession::download(const std::filesystem::path& local_file, std::string_view remote_folder,
                          std::string_view remote_name) {
    Impl::Use use(*impl_);
    try {
        PartFile part(local_file);
        impl_->perform({.path = url_path(remote_folder, remote_name),
                        .shown_path = remote_path(remote_folder, remote_name),
                        .sink = &part});
        part.commit();
    } catch (const NumberedError&) {
        // What the target held before is gone either way: no file means "not received".
        std::error_code ignored;
        std::filesystem::remove(local_file, ignored);
        throw;
    }
}

std::vector<std::string> FtpSession::list_names(std::string_view remote_folder,
                                                NameListing::Wanted wanted) {
    Impl::Use use(*impl_);
    NameListing listing(std::move(wanted));
    const std::string shown = remote_path(remote_folder, "");
    try {
        impl_->perform(
            {.path = url_path(remote_folder, ""), .shown_path = shown, .listing = &listing});
    } catch (const FtpError&) {
        if (listing.too_long()) {
            impl_->close_now();  // the server may still be sending it
            throw FtpError(ftp_error::kNotTransferred,
                           "El servidor envió un listado de la carpeta " + shown + " de más de " +
                               std::to_string(NameListing::kMaxBytes / (1024 * 1024)) +
                               " MB; no se lee.");
        }
        if (impl_->failed_code == CURLE_REMOTE_ACCESS_DENIED) {
            return {};  // the folder cannot be entered (CWD refused): nothing in it to fetch
        }
        throw;
    }
    return listing.finish();
}

void FtpSession::disconnect() noexcept {
    impl_->close_requested = true;
    cancel();
    std::unique_lock lock(impl_->in_use, std::try_to_lock);
    if (lock.owns_lock() && impl_->close_requested.exchange(false)) {
        impl_->close_now();
        impl_->cancel_requested = false;
    }
}

void FtpSession::cancel() noexcept {
    impl_->cancel_requested = true;
    impl_->curl.wake();
}

void FtpSession::set_trace(std::function<void(std::string_view line)> sink) {
    impl_->trace.set_sink(std::move(sink));
}

void FtpSession::stop_with(std::stop_token stop) {
    impl_->cancel_on_stop.reset();
    impl_->stop = stop;
    impl_->cancel_on_stop.emplace(std::move(stop), std::function<void()>([this] { cancel(); }));
}

void FtpSession::share_publish_ways(std::shared_ptr<PublishWays> ways) {
    impl_->ways = std::move(ways);
}

const std::shared_ptr<PublishWays>& FtpSession::publish_ways() const {
    return impl_->ways;
}

void FtpSession::set_progress(ProgressFn fn) {
    std::lock_guard lock(impl_->progress_mutex);
    impl_->progress = std::move(fn);
}

}  // namespace ordano
