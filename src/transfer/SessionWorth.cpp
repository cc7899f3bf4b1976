// SPDX-License-Identifier: Apache-2.0
#include "transfer/SessionWorth.h"

namespace ordano {

namespace {

SessionWorth::Answer open_if(bool worth) {
    SessionWorth::Answer answer;
    answer.open = worth;
    return answer;
}

}  // namespace

SessionWorth::Answer SessionWorth::at(Clock::time_point now) const {
    if (not_begun == 0) {
        return {};
    }
    if (login == Clock::duration::zero()) {
        return open_if(true);
    }
    // Worth it when not_begun * cost > login * sessions: the least cost per transfer that pays.
    const Clock::duration least =
        login * static_cast<Clock::rep>(sessions) / static_cast<Clock::rep>(not_begun);
    if (mean_transfer) {
        return open_if(*mean_transfer > least);
    }
    if (!oldest_under_way) {
        return {};
    }
    const Clock::time_point pays = *oldest_under_way + least;
    if (now > pays) {
        return open_if(true);
    }
    Answer later;
    later.ask_again = pays + std::chrono::milliseconds(1);
    return later;
}

}  // namespace ordano
