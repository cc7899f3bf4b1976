// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <stop_token>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "office/Journal.h"
#include "transfer/Publishing.h"
#include "transfer/RowList.h"

namespace ordano {

class NumberedError;
class ReceiveList;
class SendList;
struct Sesion;

struct ReceiveRow;
// The answers a receive-list row awaits, as the journal keeps them.
[[nodiscard]] ExpectedAnswers expected_answers(const ReceiveRow& row);

// An answer that has just been stored, for whoever wants to notice it.
struct AnswerArrival {
    std::string name;
    AnswerVerdict verdict = AnswerVerdict::Accepted;
    std::string file;  // the sent file it answers
    std::filesystem::path stored;
};

// A failure met by a file on its way (to send or awaiting answers).
struct FailureNotice {
    std::string file;
    int number = 0;
    std::string text;
};

// What the sending run and the manual reception tell the journal of a file on its way out,
// by its send-list row.
class SendingJournal {
public:
    // The working copy about to be uploaded (its size and SHA-256 are kept). Reading it ends
    // with RunStopped when a stop is requested on `stop`.
    virtual void upload_started(RowId send_row, const std::filesystem::path& work_copy,
                                const std::string& remote_folder,
                                const std::stop_token& stop = {}) = 0;
    // The server confirmed the upload (or already held these very bytes under the name): written
    // at once, whatever the order in which the list moves on.
    virtual void uploaded(RowId send_row, const ExpectedAnswers& expected, UploadWay way) = 0;
    // The upload failed without the server confirming what it kept of it.
    virtual void upload_unconfirmed(RowId send_row) = 0;
    // The same bytes under the same name went up before and the server never confirmed them:
    // ask it what it holds before sending them again.
    [[nodiscard]] virtual bool may_be_on_server(RowId send_row) = 0;
    // Uploads whose end the server never confirmed: what they may have left there.
    [[nodiscard]] virtual std::vector<Journal::UnconfirmedUpload> unconfirmed_uploads() = 0;
    // The send entry went to the receive list, uploaded or handed over as already on the server.
    virtual void sent(RowId send_row, RowId receive_row) = 0;
    virtual void handed_over(RowId send_row, RowId receive_row) = 0;
    virtual void send_failed(RowId send_row, const NumberedError& error) = 0;

protected:
    ~SendingJournal() = default;
};

// What the polling tells the journal of the answers a receive-list row awaits.
class ReceptionJournal {
public:
    virtual void receive_failed(RowId receive_row, const NumberedError& error) = 0;
    // An answer of a receive row stored at `stored` (the row's state already says it is in).
    virtual void answer_stored(RowId receive_row, bool prevalidation,
                               const std::filesystem::path& stored) = 0;

protected:
    ~ReceptionJournal() = default;
};

// Tells the journal every change of a file's state, by the rows of the two lists. Rows put on
// and taken off the lists are seen through the lists' notifications (whoever adds or removes
// them); uploads, answers and failures are told by the routines that cause them.
class JournalRecorder final : public SendingJournal, public ReceptionJournal {
public:
    JournalRecorder(Journal& journal, SendList& send, ReceiveList& receive, const Sesion& session,
                    const Clock& clock);
    JournalRecorder(const JournalRecorder&) = delete;
    JournalRecorder& operator=(const JournalRecorder&) = delete;

    void upload_started(RowId send_row, const std::filesystem::path& work_copy,
                        const std::string& remote_folder,
                        const std::stop_token& stop = {}) override;
    void uploaded(RowId send_row, const ExpectedAnswers& expected, UploadWay way) override;
    void upload_unconfirmed(RowId send_row) override;
    [[nodiscard]] bool may_be_on_server(RowId send_row) override;
    [[nodiscard]] std::vector<Journal::UnconfirmedUpload> unconfirmed_uploads() override {
        return journal_.unconfirmed_uploads();
    }
    void sent(RowId send_row, RowId receive_row) override;
    void handed_over(RowId send_row, RowId receive_row) override;
    void send_failed(RowId send_row, const NumberedError& error) override;
    void receive_failed(RowId receive_row, const NumberedError& error) override;
    void answer_stored(RowId receive_row, bool prevalidation,
                       const std::filesystem::path& stored) override;

    // What a previous run left open, back on the lists: files awaiting answers on the receive
    // list and, with `send_entries`, files to send on the send list. Returns a message for
    // each journal row that could not be put back.
    std::vector<std::string> restore(bool send_entries, const LocaleFormats& locale);

    // Detener, before the receive list is emptied: every file awaiting answers is "detenido".
    void reception_stopped();

    // Marks the receive rows that have waited at least `minutes` as of `now`; returns how many.
    int mark_overdue(const LocalDateTime& now, int minutes);

    void on_answer(std::function<void(const AnswerArrival&)> listener) {
        answer_listeners_.push_back(std::move(listener));
    }
    void on_failure(std::function<void(const FailureNotice&)> listener) {
        failure_listeners_.push_back(std::move(listener));
    }
    // Called after anything was told to the journal.
    void on_change(std::function<void()> listener) {
        change_listeners_.push_back(std::move(listener));
    }
    [[nodiscard]] Journal& journal() { return journal_; }

private:
    struct Awaited {
        JournalId entry = 0;
        LocalDateTime since;
    };

    void watch_send_list();
    void watch_receive_list();
    void listed(RowId row);
    [[nodiscard]] JournalId pending_entry(RowId send_row) const;
    void awaiting(RowId send_row, RowId receive_row, bool uploaded);
    void changed() const;
    void failure_met(const std::string& file, const NumberedError& error) const;

    Journal& journal_;
    SendList& send_;
    ReceiveList& receive_;
    const Sesion& session_;
    const Clock& clock_;
    std::map<RowId, JournalId> pending_;   // send rows not sent yet
    std::map<RowId, JournalId> uploaded_;  // send rows sent, not on the receive list yet
    std::map<RowId, Awaited> awaited_;     // receive rows
    JournalId adopting_ = 0;               // the entry a restored row stands for
    std::vector<std::function<void(const AnswerArrival&)>> answer_listeners_;
    std::vector<std::function<void(const FailureNotice&)>> failure_listeners_;
    std::vector<std::function<void()>> change_listeners_;
};

}  // namespace ordano
