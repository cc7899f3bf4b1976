// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "office/JournalChange.h"

namespace ordano {

// The journal's writes that the database refused, kept in a small file of their own beside
// the database so that nothing that happened is lost when the program ends before the
// database takes them: the next program of Ordano that opens the office writes them. The
// batch's token is written into the journal (BITACORA_LOTES) together with its changes, so a
// batch is written once even if a program ends between writing it and removing its file.
struct OwedBatch {
    std::string token;
    std::vector<JournalChange> changes;
};

// "<database folder>/Prevalida-bitacora-pendiente.txt" for ".../Prevalida.mdb".
[[nodiscard]] std::filesystem::path owed_journal_file(const std::filesystem::path& database);

// A token no other batch has.
[[nodiscard]] std::string new_batch_token();

// Replaces the file whole, through a temporary file beside it put on the disk first, readable
// by its owner only. Throws NumberedError (61, 68, 70) naming the file.
void save_owed(const std::filesystem::path& file, const OwedBatch& batch);

// Room kept on the office's disk for the file: "<file>.reserva", 256 KB made while there is
// room (harmless when it cannot be made), given up by save_owed_with_room when the disk is
// full, so that a write the database refuses is still kept there.
void reserve_owed_room(const std::filesystem::path& file) noexcept;
// save_owed; when that fails, the reserved room is given up and the save tried once more.
void save_owed_with_room(const std::filesystem::path& file, const OwedBatch& batch);

// The batch the file holds; nullopt when there is none or it is not such a file. Lines that
// cannot be read are left out and counted in `unreadable`.
[[nodiscard]] std::optional<OwedBatch> load_owed(const std::filesystem::path& file,
                                                 std::size_t& unreadable);

}  // namespace ordano
