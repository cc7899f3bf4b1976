// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "base/DateTime.h"
#include "transfer/RowList.h"

namespace ordano {

class PollingTimer;
class ReceiveList;
struct Route;
struct SendRow;

// Where a file enters reception once it is on the server: a receive-list row, stamped with the
// time of day, awaits its answers, and the polling is switched on to fetch them. The sending
// run and the manual reception hand their files over here; ReceptionPoller takes them from the
// receive list.
class ReceptionIntake {
public:
    ReceptionIntake(ReceiveList& receive, PollingTimer& timer, const Clock& clock,
                    LocaleFormats locale);

    // The receive row awaiting the answers of `entry`, routed by `route`; `handed_over` for a
    // file already on the server that this office did not upload ("Recibir").
    RowId await_answers(const SendRow& entry, const Route& route, bool handed_over);
    void start_polling();

private:
    ReceiveList& receive_;
    PollingTimer& timer_;
    const Clock& clock_;
    LocaleFormats locale_;
};

}  // namespace ordano
