// SPDX-License-Identifier: Apache-2.0
#include "transfer/Routing.h"

#include <cctype>
#include <charconv>

#include "office/Session.h"
#include "transfer/ReceiveList.h"
#include "transfer/SendList.h"

namespace ordano {
namespace {

// Characters first..first+count-1 (1-based) of a text, as far as they exist.
std::string mid(std::string_view text, std::size_t first, std::size_t count = std::string::npos) {
    if (first == 0 || first > text.size()) {
        return {};
    }
    return std::string(text.substr(first - 1, count));
}

// The name without its last three characters (the julian day); the dot stays.
std::string stem(std::string_view name) {
    return std::string(name.substr(0, name.size() >= 3 ? name.size() - 3 : 0));
}

}  // namespace

std::optional<int> whole_number(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> julian_day_of(std::string_view name) {
    if (name.size() < 3) {
        return std::nullopt;
    }
    return whole_number(name.substr(name.size() - 3));
}

char kind_letter(std::string_view name) {
    if (name.empty()) {
        return '\0';
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(name.front())));
}

std::string answer_folder(int kind, std::string_view name) {
    if (kind != 1 && kind != 2) {
        return {};
    }
    switch (kind_letter(name)) {
        case 'M':
        case 'C':
        case 'D':
        case 'T':
            return "/ag" + mid(name, 2, 4);
        case 'P':
        case 'E':
        case 'B':
            return kind == 1 ? "" : "/kroout";
        case 'S':
            return kind == 1 ? "" : "/sagarpaout";
        default:
            return {};
    }
}

std::optional<Route> route_for(std::string_view name, const Sesion& session) {
    const auto& folders = session.folders;
    const auto in = [&name](const std::string& folder) {
        return std::filesystem::path(folder) / std::string(name);
    };
    const std::string rest = mid(name, 2);
    switch (kind_letter(name)) {
        case 'M':
            return Route{in(folders.val_env), session.dir_val_in, stem(name) + "err", "k" + rest,
                         folders.val_rec};
        case 'C':
            return Route{in(folders.val_env), session.dir_val_in, stem(name) + "err", "",
                         folders.val_rec};
        case 'D':
            return Route{in(folders.val_env), session.dir_val_in, stem(name) + "err",
                         stem(name) + "erp", folders.val_rec};
        case 'E':
            if (!session.pass_aceptada) {
                return std::nullopt;
            }
            return Route{in(folders.pag_env), session.dir_pag_in, "a" + rest,
                         "ke" + mid(name, 2, 4) + mid(name, 7), folders.pag_rec};
        case 'S':
            return Route{in(folders.sag_env), session.dir_sag_in, "x" + rest, "", folders.sag_rec};
        default:
            return std::nullopt;
    }
}

ReceiveRow receive_row_for(const SendRow& sent, const Route& route, std::string sent_at) {
    const bool prevalidation = !route.archivo_prev.empty();
    ReceiveRow row;
    row.text = sent.text;
    row.prev_state = prevalidation ? "" : std::string(kAnswerIn);
    row.sent_at = std::move(sent_at);
    row.ruta_pre = prevalidation ? sent.ruta_pre : "";
    row.ruta_val = sent.ruta_val;
    row.archivo_prev = route.archivo_prev;
    row.archivo_val = route.archivo_val;
    row.ruta_dest = route.ruta_dest;
    row.small_icon = sent.small_icon;
    return row;
}

}  // namespace ordano
