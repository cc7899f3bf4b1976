// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "transfer/RowList.h"

namespace ordano {

class PollingTimer;
class ReceiveList;
class SendList;
class UiPort;
struct ReceiveRow;
struct SendRow;

// What the user does to the lists by hand. `selected` is the row selected in the list view.

// Double-click on a file of the file browser list: appends it as a file to send, with its icon
// and answer folders, and makes it the current row; a file already pending is refused with a
// message. true when added.
bool add_file_to_send(SendList& send, UiPort& ui, const std::filesystem::path& pag_env,
                      std::string_view name);

// A file typed in the review area's search box: appended as a file to send with its icon, the
// answer folders left empty and no duplicate check.
void add_searched_file(SendList& send, const std::filesystem::path& pag_env, std::string_view name);

// The questions asked before a row is taken off a list by hand. Asked by the front end, which
// then asks for the removal: the person's answer is never waited for with the lists held.
// nullopt for a row that cannot be taken off that way (an answer, "K" or "R").
[[nodiscard]] std::optional<std::string> send_removal_question(const SendRow& row);
[[nodiscard]] std::string receive_removal_question(const ReceiveRow& row);
inline constexpr std::string_view kClearSendListQuestion =
    "¿Deseas eliminar todos los elementos de la lista de envío?";

// Removes a file to send (answers are not removed this way); false when it is gone or is none.
bool remove_from_send(SendList& send, RowId selected);

// Removes a receive row, with the polling timer off meanwhile and on again while rows remain.
// false when the row is gone.
bool remove_from_receive(ReceiveList& receive, PollingTimer& timer, RowId selected);

// Empties the send list; false when it was empty (the review box is emptied too otherwise).
bool clear_send_list(SendList& send);

}  // namespace ordano
