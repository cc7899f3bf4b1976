// SPDX-License-Identifier: Apache-2.0
#include "office/OwedJournal.h"

#include <fstream>
#include <random>
#include <sstream>

#include "base/LocalFailure.h"
#include "office/WorkingFiles.h"
#include "platform/DurableFile.h"
#include "platform/OwnerOnly.h"

namespace ordano {
namespace {

// The first line of the file: what it is, and the version of its lines.
constexpr std::string_view kHeading = "ORDANO BITACORA PENDIENTE 1";

}  // namespace

std::filesystem::path owed_journal_file(const std::filesystem::path& database) {
    return database.parent_path() / (database.stem().string() + "-bitacora-pendiente.txt");
}

std::string new_batch_token() {
    std::random_device device;
    std::ostringstream token;
    token << std::hex << device() << device() << device() << device();
    return token.str();
}

void save_owed(const std::filesystem::path& file, const OwedBatch& batch) {
    std::string text = std::string(kHeading) + "\n" + batch.token + "\n";
    for (const JournalChange& change : batch.changes) {
        text += change.encoded() + "\n";
    }
    const std::filesystem::path temp =
        file.parent_path() / part_file_name(file.filename().string());
    // The failure's own cause tells why, whatever removing the temporary file meets.
    const auto failed = [&](std::error_code cause) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return local_failure(file, cause);
    };
    if (const std::error_code error = write_to_disk(temp, text)) {
        throw failed(error);
    }
    restrict_to_owner(temp);
    std::error_code error;
    std::filesystem::rename(temp, file, error);
    if (error) {
        throw failed(error);
    }
}

namespace {

constexpr std::size_t kReservedBytes = 256 * 1024;

std::filesystem::path reserve_of(const std::filesystem::path& file) {
    return file.parent_path() / (file.filename().string() + ".reserva");
}

}  // namespace

void reserve_owed_room(const std::filesystem::path& file) noexcept {
    const auto reserve = reserve_of(file);
    std::error_code ec;
    if (std::filesystem::file_size(reserve, ec) == kReservedBytes && !ec) {
        return;
    }
    // Written out (not a sparse file): the blocks are the disk's from now on.
    if (write_to_disk(reserve, std::string(kReservedBytes, '\0'))) {
        std::filesystem::remove(reserve, ec);
    }
}

void save_owed_with_room(const std::filesystem::path& file, const OwedBatch& batch) {
    try {
        save_owed(file, batch);
    } catch (const NumberedError&) {
        std::error_code ec;
        if (!std::filesystem::remove(reserve_of(file), ec)) {
            throw;
        }
        save_owed(file, batch);
    }
}

std::optional<OwedBatch> load_owed(const std::filesystem::path& file, std::size_t& unreadable) {
    std::ifstream in(file, std::ios::binary);
    std::string heading;
    OwedBatch batch;
    if (!in || !std::getline(in, heading) || heading != kHeading ||
        !std::getline(in, batch.token) || batch.token.empty()) {
        return std::nullopt;
    }
    for (std::string line; std::getline(in, line);) {
        if (auto change = JournalChange::decoded(line)) {
            batch.changes.push_back(std::move(*change));
        } else {
            ++unreadable;
        }
    }
    return batch;
}

}  // namespace ordano
