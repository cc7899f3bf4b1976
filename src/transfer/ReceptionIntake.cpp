// SPDX-License-Identifier: Apache-2.0
#include "transfer/ReceptionIntake.h"

#include "transfer/PollingTimer.h"
#include "transfer/ReceiveList.h"
#include "transfer/Routing.h"

namespace ordano {

ReceptionIntake::ReceptionIntake(ReceiveList& receive, PollingTimer& timer, const Clock& clock,
                                 LocaleFormats locale)
    : receive_(receive), timer_(timer), clock_(clock), locale_(std::move(locale)) {}

RowId ReceptionIntake::await_answers(const SendRow& entry, const Route& route, bool handed_over) {
    // The receive list shows the time of day as "hh:mm ampm".
    ReceiveRow row = receive_row_for(entry, route, time_hh_mm_ampm(clock_.now(), locale_));
    row.handed_over = handed_over;
    return receive_.append(std::move(row));
}

void ReceptionIntake::start_polling() {
    timer_.set_enabled(true);
}

}  // namespace ordano
