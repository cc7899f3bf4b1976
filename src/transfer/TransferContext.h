// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <stop_token>

#include "base/DateTime.h"

namespace ordano {

class JournalRecorder;
class ParametersRecord;
class PollingTimer;
class ReceiveList;
class SendList;
class UiPort;
struct Sesion;

// What the transfer routines share: the run-time values, the parameters record (link type,
// proxy), the person in front of the program, the clock, and the two lists with the polling
// timer, the journal of each file's journey, and the stop of the program's work. Everything is
// owned elsewhere and outlives the routines.
struct TransferContext {
    Sesion& session;
    const ParametersRecord& params;
    UiPort& ui;
    const Clock& clock;
    LocaleFormats locale;
    SendList& send;
    ReceiveList& receive;
    PollingTimer& timer;
    JournalRecorder& journal;
    std::stop_token stop;  // see RunStop.h

    // tipo_acceso of the parameters record, for the no-connection message.
    [[nodiscard]] int link_type() const;
    // The time of day as the receive list shows it ("hh:mm ampm").
    [[nodiscard]] std::string time_now() const;
    // Minutes after which an awaited answer is overdue.
    [[nodiscard]] int overdue_minutes() const;
};

}  // namespace ordano
