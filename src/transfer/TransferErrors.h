// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "transfer/ConnectionMessages.h"

namespace ordano {

class NumberedError;
class ParametersRecord;
class UiPort;

// tipo_acceso of the parameters record, for the no-connection message.
[[nodiscard]] int link_type(const ParametersRecord& params);

// The message a transfer shows for a failure that ends (or interrupts) its work: the login
// text of the caller for 1013-1015, the no-connection text for 1029, the error-number text for
// anything else; nullopt for 1000 (a broken session is closed without a word) and 1003.
[[nodiscard]] std::optional<std::string> failure_message(const NumberedError& error,
                                                         int tipo_acceso, LoginCaller caller);

// The retry question for a local file that is missing (68) or locked (70); any other number is
// asked as 68. true on Yes.
[[nodiscard]] bool ask_retry(UiPort& ui, int number, std::string_view name);

[[nodiscard]] bool is_login_refused(int number);

// The details of a failure met in an exchange with the server (see FtpError::details); empty
// for any other failure.
[[nodiscard]] std::string failure_details(const NumberedError& error);

// Shows a failure's message (critical icon, OK) with the details of `error`, which open with
// `what_stays`: where the work the failure stopped was left ("Los archivos ... siguen en la
// lista de envío.").
void show_ftp_failure(UiPort& ui, std::string_view text, const NumberedError& error,
                      std::string_view what_stays);

}  // namespace ordano
