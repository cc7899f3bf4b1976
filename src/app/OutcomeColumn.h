// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>

#include <map>
#include <set>
#include <string>

#include "app/ListMirror.h"
#include "office/Journal.h"
#include "transfer/ReceiveList.h"
#include "transfer/RowList.h"
#include "transfer/SendList.h"

class QTreeWidget;

namespace ordano {

class JournalReader;
class JournalRecorder;
struct AnswerArrival;
struct FailureNotice;

// The lists' "Situación" column: where each file stands, in the journal's own words and
// colours, so that the clerk sees it without opening a report or the history. A file to send
// is "en envío", or "error" once an attempt to send it failed; an answer received says what it
// said ("prevalidado", "aceptado", "rechazado"); a file awaiting answers is "esperando",
// "prevalidado" once its prevalidation answer is in, "atrasado" past the office's limit.
class OutcomeColumn : public QObject {
    Q_OBJECT
public:
    // The views as their mirrors show the desk's lists; the journal tells of answers and
    // failures (on the thread that met them).
    OutcomeColumn(ListMirror<SendRow>& send, ListMirror<ReceiveRow>& receive,
                  QTreeWidget& send_view, QTreeWidget& receive_view, JournalRecorder& journal,
                  QObject* parent);

    // Start-up, after the lists were put back: the files to send whose last attempt failed
    // before the program ended say so.
    void read_failures(const JournalReader& journal);

private:
    void watch_send_list();
    void watch_receive_list();
    void show_send(std::size_t index, const SendRow& row);
    void show_receive(std::size_t index, const ReceiveRow& row);
    void answer_arrived(const AnswerArrival& arrival);
    void failure_met(const FailureNotice& failure);
    void refresh_send_rows();

    ListMirror<SendRow>& send_;
    ListMirror<ReceiveRow>& receive_;
    QTreeWidget& send_view_;
    QTreeWidget& receive_view_;
    std::map<std::string, AnswerVerdict> verdicts_;  // the answers stored in this run, by name
    std::set<RowId> failed_;                         // files to send whose last attempt failed
};

}  // namespace ordano
