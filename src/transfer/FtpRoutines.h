// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/FtpSession.h"

namespace ordano {

class ParametersRecord;
class UiPort;
struct Sesion;

// The office account ("ag" + patente in four digits, pass_ftp) or the catalogue-update
// account ("actualizador"/"tivuro"); with the record's proxy on, the user becomes
// user + "@" + host and the connection goes to ip_proxy (read at each connection).
void log_in(FtpSession& ftp, bool update_account, const Sesion& session,
            const ParametersRecord& params, UiPort& ui);
// The login log_in makes, as the record and the run-time values hold it now.
[[nodiscard]] FtpLogin office_login(bool update_account, const Sesion& session,
                                    const ParametersRecord& params);
// The session's FTP conversation to the UI port, when the port shows it.
void trace_to(FtpSession& ftp, UiPort& ui);
// Each routine runs its call through ui.run_blocking and then yields once. The two transfer
// routines report progress through ui.progress (from the thread that runs the transfer) and
// leave the session without a progress function afterwards.
void upload_file(FtpSession& ftp, UiPort& ui, const std::filesystem::path& local_folder,
                 std::string_view remote_folder, std::string_view file_name);
void download_file(FtpSession& ftp, UiPort& ui, const std::filesystem::path& local_folder,
                   std::string_view remote_folder, std::string_view file_name);
void log_out(FtpSession& ftp, UiPort& ui);
// The names in a remote folder that `wanted` keeps (FtpSession::list_names), listed through
// ui.run_blocking. No yield afterwards: the listing only tells what to fetch, and the window
// was not held while it ran.
[[nodiscard]] std::vector<std::string> list_remote_names(FtpSession& ftp, UiPort& ui,
                                                         std::string_view remote_folder,
                                                         NameListing::Wanted wanted = {});

}  // namespace ordano
