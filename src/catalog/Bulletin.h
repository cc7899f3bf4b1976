// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ordano {

class Catalog;
class FtpSession;
class Office;
class Ticker;
class UiPort;

// The ticker text of a bulletin line: "Información del " + date + " a las " + time + " Horas",
// then " - " + the INFORMACION text of each message number (nothing after the separator for a
// number without a text). std::nullopt when the line has fewer than three fields. A message
// number that is not a 16-bit whole number throws NumberedError (13 or 6).
[[nodiscard]] std::optional<std::string> compose_bulletin(std::string_view line, Catalog& catalog);

// The bulletin's refresh (Actualiza_Boletin): fetches "InfoKRO.txt" from dir_update on `ftp` with
// the catalogue-update account and sets the ticker. by_person is true when a person asked for it:
// only then are refused logins and missing connections reported. The local copy is removed
// whatever happens, and a failure leaves the ticker as it was (except a file the server does
// not have, which empties and stops it). The session is closed at the end.
void fetch_bulletin(bool by_person, Office& office, FtpSession& ftp, UiPort& ui, Ticker& ticker);

inline constexpr const char* kBulletinFile = "InfoKRO.txt";

}  // namespace ordano
