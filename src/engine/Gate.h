// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <string_view>

namespace ordano {

// The engine's jobs: each runs on a thread of its own, at most one of each kind at a time.
enum class Job : std::uint8_t {
    Sending,          // Enviar: the sending run
    Reception,        // Recibir: the manual reception
    Tick,             // one look of the polling for answers
    CatalogUpdate,    // the catalogue update (its window's Actualizar, or after the check)
    CatalogCheck,     // the check for a newer catalogue, 2 s after start-up
    Bulletin,         // the bulletin's refresh
    PaymentPassword,  // the payment password's change or recovery
};
inline constexpr int kJobKinds = 7;

// What the engine is doing, as the gate reads it.
struct EngineState {
    std::uint32_t running = 0;    // one bit per Job
    bool polling = false;         // the polling for answers is on
    int polling_interval_ms = 0;  // and its timer's interval

    [[nodiscard]] bool runs(Job job) const {
        return (running & (1U << static_cast<unsigned>(job))) != 0;
    }
    // A sending run or a manual reception: the send list's pending files are theirs.
    [[nodiscard]] bool in_run() const { return runs(Job::Sending) || runs(Job::Reception); }
    friend bool operator==(const EngineState&, const EngineState&) = default;
};

// What a front end asks the engine for.
enum class Request {
    Send,             // Enviar
    Receive,          // Recibir
    StopPolling,      // Detener
    Tick,             // the polling timer's tick
    EditLists,        // add to or take off the lists by hand
    SetFolders,       // the parameters window's folder fields, as they are typed
    SaveParameters,   // Guardar in the parameters window (and entering its edit mode)
    UpdateCatalog,    // Actualizar in the catalogue window
    CheckCatalog,     // the check 2 s after start-up
    RefreshBulletin,  // the bulletin's refresh
    PaymentPassword,  // the payment password's change and its recovery
    Review,           // a report opened, a typed name looked up
};

enum class Verdict {
    Go,      // now
    Refuse,  // not now; the reason is said
    Defer,   // as soon as the state lets it (the latest one of its kind)
    Skip,    // not needed: the same work is under way
};

struct Decision {
    Verdict verdict = Verdict::Go;
    std::string_view reason;  // for Refuse (and Defer: what the person is told)
};

// The one place that says what may run while the engine is in a state.
[[nodiscard]] Decision decide(Request request, const EngineState& state);

}  // namespace ordano
