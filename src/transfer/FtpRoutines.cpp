// SPDX-License-Identifier: Apache-2.0
#include "transfer/FtpRoutines.h"

#include <cstdio>
#include <string>

#include "base/UiPort.h"
#include "office/Parameters.h"
#include "office/Session.h"
#include "transfer/FtpSession.h"

namespace ordano {
namespace {

constexpr const char* kUpdateUser = "actualizador";
constexpr const char* kUpdatePassword = "tivuro";

std::string office_user(int patente) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", patente);
    return std::string("ag") + digits;
}

// Shows the transfer's progress through the UI port while it lasts.
class ProgressToUi {
public:
    ProgressToUi(FtpSession& ftp, UiPort& ui, std::string_view file_name) : ftp_(ftp) {
        ftp_.set_progress(
            [&ui, what = std::string(file_name)](std::int64_t done, std::int64_t total) {
                ui.progress(Progress{.what = what, .done = done, .total = total});
            });
    }
    ~ProgressToUi() { ftp_.set_progress(nullptr); }
    ProgressToUi(const ProgressToUi&) = delete;
    ProgressToUi& operator=(const ProgressToUi&) = delete;

private:
    FtpSession& ftp_;
};

// Runs one call on the session off the window's way, then lets pending window events through.
template <typename Work>
void run_then_yield(UiPort& ui, Work&& work) {
    ui.run_blocking(std::forward<Work>(work));
    ui.yield();
}

}  // namespace

FtpLogin office_login(bool update_account, const Sesion& session, const ParametersRecord& params) {
    FtpLogin login;
    login.user = update_account ? kUpdateUser : office_user(session.patente);
    login.password = update_account ? kUpdatePassword : session.pass_ftp;
    // The proxy settings are read at each connection, so a change applies to the next one.
    if (params.number(Param::proxy) == -1) {
        login.user += "@" + session.host;
        login.server = params.text(Param::ip_proxy);
    } else {
        login.server = session.host;
    }
    // Like the proxy, TLS is read at each connection: every session of the office follows it.
    const std::string authority = params.text(Param::tls_ca);
    login.tls = {.on = params.flag(Param::tls),
                 .authority_file = std::u8string(authority.begin(), authority.end())};
    return login;
}

void trace_to(FtpSession& ftp, UiPort& ui) {
    if (ui.wants_ftp_steps()) {
        ftp.set_trace([&ui](std::string_view line) { ui.ftp_step(line); });
    } else {
        ftp.set_trace(nullptr);
    }
}

void log_in(FtpSession& ftp, bool update_account, const Sesion& session,
            const ParametersRecord& params, UiPort& ui) {
    const FtpLogin login = office_login(update_account, session, params);
    trace_to(ftp, ui);
    run_then_yield(ui, [&] { ftp.connect(login); });
}

void upload_file(FtpSession& ftp, UiPort& ui, const std::filesystem::path& local_folder,
                 std::string_view remote_folder, std::string_view file_name) {
    const auto local_file = local_folder / file_name;
    const ProgressToUi progress(ftp, ui, file_name);
    run_then_yield(ui, [&] { ftp.upload(local_file, remote_folder, file_name); });
}

void download_file(FtpSession& ftp, UiPort& ui, const std::filesystem::path& local_folder,
                   std::string_view remote_folder, std::string_view file_name) {
    const auto local_file = local_folder / file_name;
    const ProgressToUi progress(ftp, ui, file_name);
    run_then_yield(ui, [&] { ftp.download(local_file, remote_folder, file_name); });
}

void log_out(FtpSession& ftp, UiPort& ui) {
    run_then_yield(ui, [&] { ftp.disconnect(); });
}

std::vector<std::string> list_remote_names(FtpSession& ftp, UiPort& ui,
                                           std::string_view remote_folder,
                                           NameListing::Wanted wanted) {
    std::vector<std::string> names;
    ui.run_blocking([&] { names = ftp.list_names(remote_folder, std::move(wanted)); });
    return names;
}

}  // namespace ordano
