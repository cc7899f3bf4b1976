// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "office/ParameterColumns.h"
#include "transfer/FtpSession.h"

namespace ordano {

class ParametersRecord;
class UiPort;
struct Progress;

// How many transfers of one kind (uploads of a sending run, downloads of a look at the server)
// may run at once: the office's setting (PARAMETROS.sesiones_ftp) within its bounds; its default
// when it holds anything else. 1 is one transfer after another on the one session, as ever.
[[nodiscard]] int simultaneous_transfers(const ParametersRecord& params);

// The sessions a kind of transfer runs on side by side: its own (eftpEnvio, eftpRecepcion) and
// extra ones named after it ("eftpRecepcion#2", ...), made on first use and logged in with the
// same account. A server that will not have one more session (a limit of connections per
// address) is taken at its word: the sessions that did log in are the most used from then on.
class LaneSessions {
public:
    LaneSessions(FtpSession& first, std::stop_token stop) : first_(first), stop_(std::move(stop)) {}
    LaneSessions(const LaneSessions&) = delete;
    LaneSessions& operator=(const LaneSessions&) = delete;

    // The first session, then as many extra ones as `wanted` allows for `transfers` to run,
    // within what the server has accepted.
    [[nodiscard]] std::vector<FtpSession*> take(int wanted, std::size_t transfers);
    // Only `lanes` sessions could log in: no more are used from now on.
    void limit_to(std::size_t lanes);
    [[nodiscard]] std::size_t limit() const { return limit_; }
    // Safe from any thread: every extra session's transfer in flight fails at once.
    void cancel_all() noexcept;
    // Closes the extra sessions (the first is its owner's to close).
    void close_extra() noexcept;

private:
    FtpSession& first_;
    std::stop_token stop_;
    std::vector<std::unique_ptr<FtpSession>> extra_;
    std::size_t limit_ = static_cast<std::size_t>(parameter_bounds(Param::sesiones_ftp).max);
};

// Runs a list of transfers on several sessions at once, each session on a thread of its own,
// while the rest of the work stays on the calling thread (which holds whatever the caller holds,
// the engine's turn among it): for each transfer, in order, `prepare` says what to move (or
// nothing, to leave it out) when a session is free, and `finish` takes its outcome in the order
// of the list, whatever the order in which they end. So the lists change in the order they
// would one transfer after another, and with one session it is exactly that. `ended` hears of
// each transfer the moment it ends, in the order they end (the journal keeps step with the
// server there, never behind an earlier, bigger transfer).
// A session whose transfer failed takes no other transfer until that outcome has been finished:
// `finish` gets the session, idle (to log it out, say). One whose transfer succeeded takes the
// next at once and `finish` gets no session: the order of the outcomes never holds a lane back.
//
// The calling thread waits through the UI port's run_blocking; a transfer's failure reaches
// `finish` after being thrown through it, as a failure of a blocking call. The first session is
// logged in already; the others log in beside the work, one at a time while another pays for
// itself (SessionWorth: on a server whose logins take seconds, small files never wait for one),
// and take work only once logged in. One still logging in when nothing is left to begin is
// given up. One that cannot log in (a server's limit) ends the opening of more. A failure of
// `prepare` or `finish` (a stop) ends the starting of new transfers; those under way end and are
// finished before it is rethrown.
class TransferLanes {
public:
    // What a transfer does on the session it was given, reporting its progress through
    // `progress` (safe from its thread). The UI port hears of progress from the lanes alone,
    // one report at a time: `prepare` and `finish` report none.
    using Work = std::function<void(FtpSession& session,
                                    const std::function<void(const Progress&)>& progress)>;
    enum class Next {
        Go,     // on with the list
        Again,  // prepare and run this transfer again (a retry)
        Halt,   // start nothing more; what is under way ends and is finished
    };
    using Prepare = std::function<std::optional<Work>(std::size_t transfer)>;
    // `failed_on`: the idle session of a failed transfer; null for one that succeeded.
    using Finish = std::function<Next(std::size_t transfer, std::exception_ptr failure,
                                      FtpSession* failed_on)>;
    using Ended = std::function<void(std::size_t transfer, const std::exception_ptr& failure)>;

    TransferLanes(UiPort& ui, std::vector<FtpSession*> sessions, FtpLogin login);

    // Returns how many sessions could be used (a server's limit shows as fewer than given).
    std::size_t run(std::size_t transfers, const Prepare& prepare, const Finish& finish,
                    const Ended& ended = {});

private:
    struct Lane;
    struct Shared;
    class Dispatch;

    UiPort& ui_;
    std::vector<FtpSession*> sessions_;
    FtpLogin login_;
};

// One sending run's or look's transfers on the lanes: the sessions `pool` gives for them,
// traced to `ui`, handed to `run`, which returns how many could be used (the pool keeps to
// that from then on). The extra sessions are closed when it ends, however it ends.
void run_on_lanes(LaneSessions& pool, int wanted, std::size_t transfers, UiPort& ui,
                  const FtpLogin& login, const std::function<std::size_t(TransferLanes&)>& run);

}  // namespace ordano
