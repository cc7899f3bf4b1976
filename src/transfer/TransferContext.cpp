// SPDX-License-Identifier: Apache-2.0
#include "transfer/TransferContext.h"

#include "office/Journal.h"
#include "office/Parameters.h"

namespace ordano {

int TransferContext::link_type() const {
    return static_cast<int>(params.number(Param::tipo_acceso));
}

int TransferContext::overdue_minutes() const {
    return ordano::overdue_minutes(params);
}

std::string TransferContext::time_now() const {
    return time_hh_mm_ampm(clock.now(), locale);
}

}  // namespace ordano
