// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <stop_token>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "transfer/AnswerListings.h"
#include "transfer/FtpSession.h"
#include "transfer/RowList.h"
#include "transfer/TransferLanes.h"

namespace ordano {

class ParametersRecord;
class PollingTimer;
class ReceiveList;
class ReceptionJournal;
class SendList;
class UiPort;
struct Sesion;

// The polling of tmrPreVal, tick by tick: fetches the awaited answers of the receive list on
// its own session eftpRecepcion, stores them in their receive folders, lists them in the send
// list and forgets the receive rows whose answers are all in. Each tick first lists every remote
// folder that holds an awaited answer, once, then downloads only the answers listed there (a
// folder the server does not list has its answers tried by name), several at once on extra
// sessions (eftpRecepcion#2, ...) as the office's setting allows, stored and listed in the order
// of the rows.
class ReceptionPoller {
public:
    // A failed step is tried this many times in one tick before the tick gives up and leaves
    // the work to the next tick.
    static constexpr int kAttempts = 3;

    // Fetches the answers the rows of `receive` await while `timer` is on, tells `journal` of
    // each answer stored and each failure, and lists each stored answer in `send`. `stop`: see
    // RunStop.h.
    ReceptionPoller(const Sesion& session, const ParametersRecord& params, UiPort& ui,
                    ReceiveList& receive, PollingTimer& timer, ReceptionJournal& journal,
                    SendList& send, std::stop_token stop);

    // One tick. A tick asked for while another is in progress (the window let the timer through
    // while the first waited) does nothing.
    void polling_tick();
    [[nodiscard]] bool tick_in_progress() const { return in_tick_; }
    // The failure with which the last tick gave up (tried kAttempts times); nullopt when it
    // did not give up.
    [[nodiscard]] const std::optional<NumberedError>& gave_up_with() const { return gave_up_with_; }

    // A tick in progress ends at its next step without touching the lists; its transfer in
    // flight is cancelled. Never waits.
    void cancel_tick();
    // The session part of "detener": cancel_tick, and eftpRecepcion closed.
    void stop();

    // An outage of the server, as the polling meets it: its failure when a look fails after
    // none had (its message is shown then, once), nothing when a look gets through again.
    // Called on the tick's thread.
    using OutageListener = std::function<void(const std::optional<NumberedError>& failure)>;
    void on_outage(OutageListener listener);
    [[nodiscard]] bool in_outage() const { return outage_; }

    [[nodiscard]] FtpSession& session() { return ftp_; }

private:
    enum class Step { Done, NotTransferred, GaveUp, Stopped, Retry };
    enum class Answer { Prevalidation, Validation };
    // An answer to fetch, as the listing showed it.
    struct Download {
        RowId id = 0;
        Answer which = Answer::Validation;
        std::string remote_name;  // as the server spells it, once prepared
        int tries = 0;
    };
    // An answer that a receive row awaits: where it is on the server, where it goes.
    struct Awaited {
        std::string folder;
        std::string name;
        std::filesystem::path destination;
        int small_icon = 0;  // of a validation answer
    };

    void tick();
    template <typename Work>
    Step attempt(Work&& work);
    // A failed try of a step on `session` (for the row `row`, 0: all rows): told to the journal
    // and, once a tick, to the person; Retry when it is worth another try.
    [[nodiscard]] Step failed_try(const NumberedError& error, FtpSession& session, RowId row);
    [[nodiscard]] Step gave_up();
    void report_outage(const NumberedError& error);
    void server_answered();
    [[nodiscard]] bool fetch_all();
    [[nodiscard]] bool download_all(std::vector<Download>& downloads);
    [[nodiscard]] std::optional<Awaited> awaited(RowId id, Answer which) const;
    [[nodiscard]] bool list_folders(const std::vector<RowId>& ids);
    [[nodiscard]] std::optional<TransferLanes::Work> prepare_download(Download& download);
    [[nodiscard]] TransferLanes::Next finish_download(Download& download,
                                                      std::exception_ptr failure,
                                                      FtpSession* failed_on, Step& outcome);
    void store_fetched(const Download& download, const Awaited& answer,
                       const std::filesystem::path& work_copy);
    [[nodiscard]] bool store(RowId id, const std::filesystem::path& work_copy,
                             const std::filesystem::path& folder, const std::string& name);
    // Tells the journal of a failure met for a row (0: every row, as at the login).
    void journal_failure(const NumberedError& error, RowId row);
    void list_received(const std::string& name, Answer which, int small_icon);

    const Sesion& session_;
    const ParametersRecord& params_;
    UiPort& ui_;
    ReceiveList& receive_;
    PollingTimer& timer_;
    ReceptionJournal& journal_;
    SendList& send_;
    std::stop_token stop_;
    FtpSession ftp_{"eftpRecepcion"};
    LaneSessions lanes_;
    bool in_tick_ = false;
    bool stop_requested_ = false;
    bool outage_ = false;  // a look has failed, and none has succeeded since
    std::vector<OutageListener> outage_listeners_;
    std::set<std::string> unwritable_reported_;
    AnswerListings listings_;
    std::optional<NumberedError> last_failure_;  // of the step being attempted
    std::optional<NumberedError> gave_up_with_;
};

}  // namespace ordano
