// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "store/Errors.h"
#include "transfer/AnswerListings.h"
#include "transfer/FtpSession.h"
#include "transfer/RowList.h"
#include "transfer/TransferContext.h"

namespace ordano {

// The polling tick tmrPreVal_Timer: fetches the awaited answers of the receive list on its own
// session eftpRecepcion, stores them in their receive folders, lists them in the send list and
// forgets the receive rows whose answers are all in. Each tick first lists every remote folder
// that holds an awaited answer, once, then downloads only the answers listed there (a folder
// the server does not list has its answers tried by name).
class ReceptionPoller {
public:
    // A failed step is tried this many times in one tick before the tick gives up and leaves
    // the work to the next tick.
    static constexpr int kAttempts = 3;

    explicit ReceptionPoller(TransferContext context);

    // One tick. A tick asked for while another is in progress (the window let the timer through
    // while the first waited) does nothing.
    void tmrPreVal_Timer();
    [[nodiscard]] bool tick_in_progress() const { return in_tick_; }
    // The failure with which the last tick gave up (tried kAttempts times); nullopt when it
    // did not give up.
    [[nodiscard]] const std::optional<NumberedError>& gave_up_with() const { return gave_up_with_; }

    // The session part of "detener": closes eftpRecepcion, cancelling any transfer in flight;
    // a tick in progress ends at its next step without touching the lists.
    void stop();

    [[nodiscard]] FtpSession& session() { return eftpRecepcion_; }

private:
    enum class Step { Done, NotTransferred, GaveUp, Stopped };
    enum class Answer { Prevalidation, Validation };
    // An answer that a receive row awaits: where it is on the server, where it goes.
    struct Awaited {
        std::string folder;
        std::string name;
        std::filesystem::path destination;
        std::string icono;  // of a validation answer
    };

    void tick();
    template <typename Work>
    Step attempt(Work&& work);
    void report_once(const NumberedError& error);
    [[nodiscard]] bool fetch_all();
    [[nodiscard]] std::optional<Awaited> awaited(RowId id, Answer which) const;
    [[nodiscard]] bool list_folders(const std::vector<RowId>& ids);
    [[nodiscard]] Step fetch(RowId id, Answer which);
    [[nodiscard]] bool store(RowId id, const std::filesystem::path& work_copy,
                             const std::filesystem::path& folder, const std::string& name);
    // Tells the journal of a failure met for the row being fetched (all rows at the login).
    void journal_failure(const NumberedError& error);
    void list_received(const std::string& name, Answer which, const std::string& icono);

    TransferContext ctx_;
    FtpSession eftpRecepcion_{"eftpRecepcion"};
    RowId fetching_ = 0;  // the receive row whose answer is being fetched
    bool in_tick_ = false;
    bool stop_requested_ = false;
    bool reported_ = false;
    std::set<std::string> unwritable_reported_;
    AnswerListings listings_;
    std::optional<NumberedError> last_failure_;  // of the step being attempted
    std::optional<NumberedError> gave_up_with_;
};

}  // namespace ordano
