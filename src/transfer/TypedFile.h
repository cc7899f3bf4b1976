// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ordano {

class SendList;
struct LocalFolders;

// The send folder in which a name typed in the review area is looked for, by its initial in
// upper case: "M", "C", "D" the SAAI M3 folder, "E" the payment folder, "S" the SAGARPA
// folder. Other initials ("P" included, which has no send folder) have none.
[[nodiscard]] std::optional<std::string> typed_name_folder(std::string_view name,
                                                           const LocalFolders& folders);

enum class TypedFileOutcome { Added, Missing, AlreadyListed };

// A name typed in the review area's search box: when the file is in the send folder of its
// kind (letter case ignored, as on the office's file system), it is appended to the send list
// in upper case as a file to send, with its icon and, like a double-clicked file, the remote
// folders of its answers, and becomes the current row. A file already on the list to send is
// refused, as a double-clicked one is: it would go twice.
TypedFileOutcome add_typed_file(SendList& send, const LocalFolders& folders,
                                std::string_view typed);

}  // namespace ordano
