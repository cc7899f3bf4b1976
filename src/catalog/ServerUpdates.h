// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <functional>
#include <string>

namespace ordano {

class FtpSession;
class Office;
class UiPort;

// What the account and parameter updates work with: the office, the catalogue-update run's own
// FTP session (already logged in with the update account) and the run's result line.
struct ServerUpdateContext {
    Office& office;
    FtpSession& ftp;
    UiPort& ui;
    std::function<void(const std::string&)> set_result;
};

// The password file "Cpas" + patente + ".rgs": a due change is stored in PassFTP/Password at
// once (and pass_ftp follows, not lower-cased); a later one is scheduled in ACTUALIZACIONES
// (codes 12 and 13). No file on the server: the result line reads "No existió el archivo".
// A day or field that does not decode throws (the run's trap reports it).
void update_account(const ServerUpdateContext& context);

// "revactp.txt" and the parameter file "Actpm" + version + ".act": due changes applied at once
// (with the run-time folders), later ones scheduled, VerPar raised, all in one transaction:
// a line that does not decode leaves the record, ACTUALIZACIONES and VerPar as they were.
void update_parameters(const ServerUpdateContext& context);

// "Actpm" + version formatted "000" + ".act".
[[nodiscard]] std::string parameter_file_name(int version);
// "Cpas" + patente formatted "0000" + ".rgs".
[[nodiscard]] std::string password_file_name(int patente);

}  // namespace ordano
