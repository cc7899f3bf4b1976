// SPDX-License-Identifier: Apache-2.0
#include "transfer/TransferLanes.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "base/UiPort.h"
#include "office/Parameters.h"
#include "transfer/FtpRoutines.h"

namespace ordano {

int simultaneous_transfers(const ParametersRecord& params) {
    return static_cast<int>(params.bounded_number(Param::sesiones_ftp));
}

std::vector<FtpSession*> LaneSessions::take(int wanted, std::size_t transfers) {
    const std::size_t count = std::max<std::size_t>(
        1, std::min({static_cast<std::size_t>(std::max(wanted, 1)), transfers, limit_}));
    std::vector<FtpSession*> lanes{&first_};
    for (std::size_t i = 1; i < count; ++i) {
        if (extra_.size() < i) {
            auto session =
                std::make_unique<FtpSession>(first_.name() + "#" + std::to_string(i + 1));
            session->stop_with(stop_);
            session->share_publish_ways(first_.publish_ways());
            extra_.push_back(std::move(session));
        }
        lanes.push_back(extra_[i - 1].get());
    }
    return lanes;
}

void LaneSessions::limit_to(std::size_t lanes) {
    limit_ = std::max<std::size_t>(1, std::min(limit_, lanes));
}

void LaneSessions::cancel_all() noexcept {
    for (const auto& session : extra_) {
        session->cancel();
    }
}

void LaneSessions::close_extra() noexcept {
    for (const auto& session : extra_) {
        session->disconnect();
    }
}

// What the lanes and the calling thread share.
struct TransferLanes::Shared {
    struct Ended {
        std::size_t lane = 0;
        std::size_t transfer = 0;
        std::exception_ptr failure;
        bool refused = false;  // the lane's session could not log in: the transfer did not run
        bool skipped = false;  // nothing to move
    };
    std::mutex mutex;
    std::condition_variable ended_one;
    std::deque<Ended> ended;
    std::mutex reporting;  // the lanes' progress goes into the UI port one report at a time
};

// One session and its thread, which runs the transfers it is given.
struct TransferLanes::Lane {
    std::size_t index = 0;
    FtpSession* session = nullptr;
    bool running = false;  // a transfer was given and has not ended
    // Transfers given whose results are not handled yet: `finish` uses this lane's session,
    // which must not be carrying another transfer by then.
    std::size_t unhandled = 0;
    bool gone = false;  // could not log in
    std::mutex mutex;
    std::condition_variable given;
    std::optional<std::pair<std::size_t, Work>> job;
    bool quit = false;
    std::thread thread;

    void serve(Shared& shared, UiPort& ui, const FtpLogin& login) {
        const std::function<void(const Progress&)> progress = [&shared, &ui](const Progress& p) {
            const std::lock_guard lock(shared.reporting);
            ui.progress(p);
        };
        for (;;) {
            std::pair<std::size_t, Work> next;
            {
                std::unique_lock lock(mutex);
                given.wait(lock, [this] { return job.has_value() || quit; });
                if (!job) {
                    return;
                }
                next = std::move(*job);
                job.reset();
            }
            Shared::Ended ended{index, next.first, nullptr};
            if (index > 0 && !session->connected()) {
                try {
                    session->connect(login);
                } catch (...) {
                    ended.refused = true;
                }
            }
            if (!ended.refused) {
                try {
                    next.second(*session, progress);
                } catch (...) {
                    ended.failure = std::current_exception();
                }
            }
            {
                const std::lock_guard lock(shared.mutex);
                shared.ended.push_back(std::move(ended));
            }
            shared.ended_one.notify_all();
        }
    }

    void give(std::size_t transfer, Work work) {
        {
            const std::lock_guard lock(mutex);
            job.emplace(transfer, std::move(work));
        }
        running = true;
        ++unhandled;
        given.notify_all();
    }

    void end() {
        {
            const std::lock_guard lock(mutex);
            quit = true;
        }
        given.notify_all();
        thread.join();
    }
};

TransferLanes::TransferLanes(UiPort& ui, std::vector<FtpSession*> sessions, FtpLogin login)
    : ui_(ui), sessions_(std::move(sessions)), login_(std::move(login)) {}

std::size_t TransferLanes::run(std::size_t transfers, const Prepare& prepare, const Finish& finish,
                               const Ended& ended_now) {
    Shared shared;
    std::vector<std::unique_ptr<Lane>> lanes;
    for (std::size_t i = 0; i < sessions_.size(); ++i) {
        auto lane = std::make_unique<Lane>();
        lane->index = i;
        lane->session = sessions_[i];
        lane->thread =
            std::thread([raw = lane.get(), &shared, this] { raw->serve(shared, ui_, login_); });
        lanes.push_back(std::move(lane));
    }

    std::map<std::size_t, Shared::Ended> outcomes;  // ended, waiting for their turn
    std::map<std::size_t, Work> under_way;          // given to a lane
    std::map<std::size_t, Work> run_again;          // prepared, its lane could not log in
    std::deque<std::size_t> prepare_again;          // a retry asked by `finish`
    std::size_t next = 0;
    std::size_t finished = 0;
    bool halted = false;
    std::exception_ptr thrown;

    const auto finish_in_order = [&] {
        for (auto found = outcomes.find(finished); found != outcomes.end();
             found = outcomes.find(finished)) {
            const Shared::Ended ended = found->second;
            outcomes.erase(found);
            if (ended.skipped) {
                ++finished;
                continue;
            }
            std::exception_ptr failure = ended.failure;
            if (failure) {
                // Told to the port as a failure of a blocking call, as it is one.
                try {
                    ui_.run_blocking([&failure] { std::rethrow_exception(failure); });
                } catch (...) {
                    failure = std::current_exception();
                }
            }
            Next then = Next::Halt;
            try {
                then = finish(finished, failure, *sessions_[ended.lane]);
            } catch (...) {
                thrown = thrown ? thrown : std::current_exception();
            }
            --lanes[ended.lane]->unhandled;
            if (then == Next::Again && !halted && !thrown) {
                prepare_again.push_back(finished);
                return;  // the ones after it wait for its retry
            }
            ++finished;
            halted = halted || then != Next::Go || thrown;
        }
    };
    // A lane whose result waits may still take the transfer that every result waits for: its
    // own result cannot be handled before that one has ended. (Without this, lanes all waiting
    // for a transfer whose own lane could not log in would wait for ever.)
    const auto may_take = [&](const Lane& lane) {
        if (lane.gone || lane.running) {
            return false;
        }
        if (lane.unhandled == 0) {
            return true;
        }
        const std::size_t wanted = !run_again.empty()       ? run_again.begin()->first
                                   : !prepare_again.empty() ? prepare_again.front()
                                                            : next;
        return wanted == finished;
    };
    const auto start_free_lanes = [&] {
        for (const auto& lane : lanes) {
            while (may_take(*lane)) {
                if (!run_again.empty()) {
                    auto [transfer, work] = std::move(*run_again.begin());
                    run_again.erase(run_again.begin());
                    under_way[transfer] = work;
                    lane->give(transfer, std::move(work));
                    break;
                }
                const bool retry = !prepare_again.empty();
                if (halted && retry) {
                    // Its last try was finished already; nothing more is started.
                    outcomes[prepare_again.front()] = {lane->index, prepare_again.front(), nullptr,
                                                       false, true};
                    prepare_again.pop_front();
                    continue;
                }
                if (halted || (!retry && next >= transfers)) {
                    return;
                }
                const std::size_t transfer = retry ? prepare_again.front() : next;
                std::optional<Work> work;
                try {
                    work = prepare(transfer);
                } catch (...) {
                    thrown = thrown ? thrown : std::current_exception();
                    halted = true;
                    return;
                }
                if (retry) {
                    prepare_again.pop_front();
                } else {
                    ++next;
                }
                if (!work) {
                    outcomes[transfer] = {lane->index, transfer, nullptr, false, true};
                    continue;
                }
                under_way[transfer] = *work;
                lane->give(transfer, std::move(*work));
            }
        }
    };

    std::size_t usable = lanes.size();
    for (;;) {
        finish_in_order();
        start_free_lanes();
        finish_in_order();
        const bool running =
            std::any_of(lanes.begin(), lanes.end(), [](const auto& l) { return l->running; });
        if (!running) {
            if (outcomes.empty() && run_again.empty() &&
                (halted || (prepare_again.empty() && next >= transfers))) {
                break;
            }
            continue;
        }
        std::deque<Shared::Ended> ended;
        ui_.run_blocking([&] {
            std::unique_lock lock(shared.mutex);
            shared.ended_one.wait(lock, [&] { return !shared.ended.empty(); });
            ended.swap(shared.ended);
        });
        for (Shared::Ended& one : ended) {
            Lane& lane = *lanes[one.lane];
            lane.running = false;
            Work work = std::move(under_way[one.transfer]);
            under_way.erase(one.transfer);
            if (one.refused) {
                lane.gone = true;
                --lane.unhandled;
                --usable;
                run_again.emplace(one.transfer, std::move(work));
                continue;
            }
            if (ended_now && !one.skipped) {
                try {
                    ended_now(one.transfer, one.failure);
                } catch (...) {
                    thrown = thrown ? thrown : std::current_exception();
                    halted = true;
                }
            }
            outcomes[one.transfer] = std::move(one);
        }
    }
    for (const auto& lane : lanes) {
        lane->end();
    }
    if (thrown) {
        std::rethrow_exception(thrown);
    }
    return usable;
}

void run_on_lanes(LaneSessions& pool, int wanted, std::size_t transfers, UiPort& ui,
                  const FtpLogin& login, const std::function<std::size_t(TransferLanes&)>& run) {
    const std::vector<FtpSession*> sessions = pool.take(wanted, transfers);
    for (FtpSession* session : sessions) {
        trace_to(*session, ui);
    }
    TransferLanes lanes(ui, sessions, login);
    struct CloseExtra {
        LaneSessions& pool;
        ~CloseExtra() { pool.close_extra(); }
    } const close{pool};
    pool.limit_to(run(lanes));
}

}  // namespace ordano
