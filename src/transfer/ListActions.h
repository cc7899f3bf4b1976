// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <string_view>

#include "transfer/RowList.h"

namespace ordano {

class PollingTimer;
class ReceiveList;
class SendList;
class UiPort;

// What the user does to the lists by hand. `selected` is the row selected in the list view.

// Double-click on a file of the file browser list: appends it as a file to send, with its icon
// and answer folders, and makes it the current row; a file already pending is refused with a
// message. true when added.
bool add_file_to_send(SendList& send, UiPort& ui, const std::filesystem::path& pag_env,
                      std::string_view name);

// A file typed in the review area's search box: appended as a file to send with its icon, the
// answer folders left empty and no duplicate check.
void add_searched_file(SendList& send, const std::filesystem::path& pag_env, std::string_view name);

// Removes a selected file to send after asking; answers ("K"/"R") are not removed this way.
// true when removed.
bool remove_from_send(SendList& send, UiPort& ui, RowId selected);

// Removes a selected receive row after asking, with the polling timer off meanwhile and on
// again while rows remain. true when removed.
bool remove_from_receive(ReceiveList& receive, PollingTimer& timer, UiPort& ui, RowId selected);

// Empties the send list after asking. true when emptied (the review box is then emptied too).
bool clear_send_list(SendList& send, UiPort& ui);

}  // namespace ordano
