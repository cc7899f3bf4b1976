// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ordano {

struct LocalFolders;
struct Sesion;
struct ReceiveRow;
struct SendRow;

// A text that is a whole number (blanks around it allowed), as a count or an image number is
// written; nullopt for anything else, the empty text included.
[[nodiscard]] std::optional<int> whole_number(std::string_view text);

// The julian day a file to send carries as its last three characters; nullopt when they are
// not a number.
[[nodiscard]] std::optional<int> julian_day_of(std::string_view name);

// The kind letter of a file: its first letter in upper case ('\0' for an empty name).
[[nodiscard]] char kind_letter(std::string_view name);

// Remote folder of a file's answers: kind 1 the prevalidation answer, kind 2 the validation
// answer; "" when none is expected (or for any other kind number).
[[nodiscard]] std::string answer_folder(int kind, std::string_view name);

// Where a file to send comes from, where it goes and what its answers are called.
struct Route {
    std::filesystem::path source;  // local file to send
    std::string remote_in;         // remote input folder of its kind
    std::string archivo_val;       // validation answer name
    std::string archivo_prev;      // prevalidation answer name, "" when none is expected
    std::string ruta_dest;         // local folder for the validation answer
};

// The routing of a file to send by its kind (M, C, D, E, S in any case). Electronic-payment
// files are routed only while the payment password is accepted; other kinds have no route.
[[nodiscard]] std::optional<Route> route_for(std::string_view name, const Sesion& session);

// The receive-list row of a file sent (or handed to reception) with this route.
[[nodiscard]] ReceiveRow receive_row_for(const SendRow& sent, const Route& route,
                                         std::string sent_at);

}  // namespace ordano
