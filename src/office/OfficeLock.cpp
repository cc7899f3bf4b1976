// SPDX-License-Identifier: Apache-2.0
#include "office/OfficeLock.h"

#include <chrono>
#include <string>
#include <system_error>
#include <thread>

#include "platform/ProcessId.h"

namespace ordano {
namespace {

// The holder writes its note right after taking the lock: a note still empty is waited for
// this long before the holder is named without it.
constexpr auto kNoteWait = std::chrono::milliseconds(1000);
constexpr auto kNotePoll = std::chrono::milliseconds(20);

std::string shown(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// "PID 4711, ordano-cli send" from the note "4711 ordano-cli send".
std::string holder_from_note(const std::string& note) {
    const auto blank = note.find(' ');
    if (note.empty() || blank == std::string::npos) {
        return "otro proceso";
    }
    return "PID " + note.substr(0, blank) + ", " + note.substr(blank + 1);
}

std::string wait_for_note(const std::filesystem::path& file) {
    const auto deadline = std::chrono::steady_clock::now() + kNoteWait;
    std::string note = read_lock_note(file);
    while (note.empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kNotePoll);
        note = read_lock_note(file);
    }
    return note;
}

}  // namespace

OfficeLock OfficeLock::take(const std::filesystem::path& db_folder, std::string_view program) {
    const auto file = db_folder / kOfficeLockFileName;
    std::optional<FileLock> lock;
    try {
        lock = FileLock::try_acquire(file);
    } catch (const std::system_error& e) {
        throw StartupError("No se pudo abrir el archivo de bloqueo de la oficina " + shown(file) +
                           ": " + e.code().message());
    }
    if (!lock) {
        throw OfficeBusyError("La oficina de " + shown(db_folder) +
                              " está en uso por otro programa de Ordano (" +
                              holder_from_note(wait_for_note(file)) +
                              "). Espera a que termine, o ciérralo, y vuelve a intentarlo.");
    }
    lock->write_note(std::to_string(current_process_id()) + " " + std::string(program));
    return OfficeLock(std::move(*lock));
}

}  // namespace ordano
