// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stop_token>
#include <string>
#include <utility>

#include "base/Errors.h"
#include "office/SentDigests.h"
#include "transfer/DeskWork.h"
#include "transfer/ReadyFiles.h"
#include "transfer/RetryBackoff.h"
#include "transfer/TransferDesk.h"
#include "transfer/WatchEvent.h"
#include "transfer/WatchUi.h"

namespace ordano {

class Office;

struct WatchOptions {
    std::chrono::seconds interval{30};
    // How long a file must stay unchanged to be sent; 0: found unchanged at one look after
    // another.
    std::chrono::seconds settle{60};
};

// Unattended operation: keeps the office's send folders in step with the server. Each pass
// looks at the send folders, puts on the send list the files that are ready (ReadyFiles: still
// for the settle time, bytes never sent, by the journal or by writes it still owes) and sends
// them with the window's own sending run; two names in one folder that differ only in letter
// case are told once and neither is sent;
// between passes the awaited answers are fetched by the window's own polling tick, at the
// polling timer's pace. Answers that an earlier run left awaited are taken up at the start.
// The runs and the changes of the lists are the desk work's (the engine's, for ordano-cli);
// the watch waits for each.
//
// A server that cannot be reached (or refuses the login) is tried again after a wait that
// doubles from one interval up to ten minutes and starts again at the first success; it is
// told once per outage. A file that meets a local fault is told once and tried again at the
// next pass. Everything is told as WatchEvents; the core's messages go to the front end's UI,
// each said once while it repeats (WatchUi: the port the desk work's questions reach).
class FolderWatch {
public:
    using EventSink = std::function<void(const WatchEvent&)>;

    FolderWatch(Office& office, DeskWork& work, WatchUi& ui, WatchOptions options,
                EventSink events);
    // Files left on the send list leave it (the journal keeps those that met failures).
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // One pass: a look at the folders, the ready files sent, one polling tick for the awaited
    // answers; the server is left alone while an outage's wait runs. true when it met no
    // failure.
    bool pass();
    // Passes every interval, polling ticks between them, until a stop is requested.
    void run(const std::stop_token& stop);
    // For a scheduler: a first look, another pass the settle time later (a file must be seen
    // still for that long), and done. true when it met no failure.
    bool once(const std::stop_token& stop);

    [[nodiscard]] TransferDesk& desk() { return work_.desk(); }

private:
    using Steady = std::chrono::steady_clock;

    static void sleep_until(Steady::time_point wake, const std::stop_token& stop);
    void look();
    void look_at_folders();  // with the turn
    void list_ready(const ReadyLook& ready);
    void tell_clashes(const std::vector<std::vector<std::string>>& clashes);
    void send();
    void poll();
    void end_pass();
    void server_answered(const std::optional<NumberedError>& failure);
    void leave_unsent(const std::function<bool(const SendRow&)>& which, const std::string& reason);
    void check_overdue();
    void failure_met(const FailureNotice& notice);
    void answer_stored(const AnswerArrival& arrival);
    void file_sent(const std::string& name);
    [[nodiscard]] bool awaiting();
    [[nodiscard]] bool server_may_be_tried() const { return Steady::now() >= next_try_; }
    void tell(WatchEvent event);
    void tell_failure(const std::string& file, const NumberedError& error);
    void tell_left(const std::string& file, const std::string& reason);

    Office& office_;
    DeskWork& work_;
    WatchUi& ui_;
    WatchOptions options_;
    EventSink events_;
    SentDigests sent_digests_;
    ReadyFiles ready_;
    RetryBackoff backoff_;
    Steady::time_point next_try_{};
    bool outage_told_ = false;
    bool payment_refused_ = false;
    bool failed_ = false;  // in this pass
    bool talked_ = false;  // to the server, in this pass
    int day_ = 0;
    std::map<std::string, ReadyFile> listed_;  // by this watch, by name
    // What was told, so that what lasts is told once (the failures and files of the day).
    std::set<std::pair<std::string, int>> failures_told_;
    std::set<std::string> left_told_;
    std::set<RowId> overdue_told_;
};

}  // namespace ordano
