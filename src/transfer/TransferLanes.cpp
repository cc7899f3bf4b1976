// SPDX-License-Identifier: Apache-2.0
#include "transfer/TransferLanes.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "base/UiPort.h"
#include "office/Parameters.h"
#include "transfer/FtpRoutines.h"
#include "transfer/SessionWorth.h"

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
        enum class What {
            Transfer,  // a transfer ended (or was left out: skipped)
            LoggedIn,  // the lane's session logged in and takes work
            Refused,   // the server would not have the lane's session
            GivenUp,   // its login was cancelled (given up, or the run stopped)
        };
        std::size_t lane = 0;
        std::size_t transfer = 0;
        std::exception_ptr failure;
        What what = What::Transfer;
        bool skipped = false;  // nothing to move

        static Ended of_transfer(std::size_t lane, std::size_t transfer, bool skipped = false) {
            Ended ended;
            ended.lane = lane;
            ended.transfer = transfer;
            ended.skipped = skipped;
            return ended;
        }
        static Ended of_login(std::size_t lane, What what) {
            Ended ended;
            ended.lane = lane;
            ended.what = what;
            return ended;
        }
    };
    std::mutex mutex;
    std::condition_variable ended_one;
    std::deque<Ended> ended;
    std::mutex reporting;  // the lanes' progress goes into the UI port one report at a time

    void tell(Ended ended_now) {
        {
            const std::lock_guard lock(mutex);
            ended.push_back(std::move(ended_now));
        }
        ended_one.notify_all();
    }
};

// One session and its thread, which logs the session in when asked and runs the transfers it is
// given. Work is given only to a lane whose session is logged in.
struct TransferLanes::Lane {
    enum class State { Closed, LoggingIn, Ready, Gone };

    std::size_t index = 0;
    FtpSession* session = nullptr;
    State state = State::Closed;
    bool dropped = false;                   // given up while logging in
    bool running = false;                   // a transfer was given and has not ended
    SessionWorth::Clock::time_point began;  // of the transfer under way
    // Transfers given that have not ended, or failed and whose results are not handled yet:
    // `finish` uses a failed transfer's session, which must not be carrying another by then.
    std::size_t unhandled = 0;
    std::mutex mutex;
    std::condition_variable given;
    std::optional<std::pair<std::size_t, Work>> job;
    bool log_in = false;
    bool log_out = false;
    bool quit = false;
    std::thread thread;

    void serve(Shared& shared, UiPort& ui, const FtpLogin& login) {
        const std::function<void(const Progress&)> progress = [&shared, &ui](const Progress& p) {
            const std::lock_guard lock(shared.reporting);
            ui.progress(p);
        };
        for (;;) {
            std::optional<std::pair<std::size_t, Work>> next;
            {
                std::unique_lock lock(mutex);
                given.wait(lock, [this] { return job.has_value() || log_in || log_out || quit; });
                if (std::exchange(log_out, false)) {
                    lock.unlock();
                    session->disconnect();
                    continue;
                }
                if (!job && !log_in) {
                    return;
                }
                next.swap(job);
                log_in = false;
            }
            if (!next) {
                shared.tell(Shared::Ended::of_login(index, logged_in(login)));
                continue;
            }
            auto ended = Shared::Ended::of_transfer(index, next->first);
            try {
                next->second(*session, progress);
            } catch (...) {
                ended.failure = std::current_exception();
            }
            shared.tell(std::move(ended));
        }
    }

    Shared::Ended::What logged_in(const FtpLogin& login) {
        try {
            session->connect(login, FtpSession::PlaceWait::GiveUp);
            return Shared::Ended::What::LoggedIn;
        } catch (const FtpError& error) {
            // A login given up ends as a cut session; anything else is the server's answer.
            return error.number() == ftp_error::kSessionBroken ? Shared::Ended::What::GivenUp
                                                               : Shared::Ended::What::Refused;
        } catch (...) {
            return Shared::Ended::What::GivenUp;
        }
    }

    void open() {
        state = State::LoggingIn;
        {
            const std::lock_guard lock(mutex);
            log_in = true;
        }
        given.notify_all();
    }

    // An extra session with nothing left to take says goodbye on its own thread, while the
    // others' last transfers run: over a slow link each QUIT waits for its reply.
    void leave() {
        state = State::Gone;
        {
            const std::lock_guard lock(mutex);
            log_out = true;
        }
        given.notify_all();
    }

    void give(std::size_t transfer, Work work) {
        {
            const std::lock_guard lock(mutex);
            job.emplace(transfer, std::move(work));
        }
        running = true;
        began = SessionWorth::Clock::now();
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

// The calling thread's side of one run: which transfer goes next, to which lane, when a lane is
// worth logging in, and the outcomes finished in the order of the list.
class TransferLanes::Dispatch {
public:
    Dispatch(TransferLanes& owner, std::size_t transfers, const Prepare& prepare,
             const Finish& finish, const Ended& ended_now)
        : owner_(owner),
          transfers_(transfers),
          prepare_(prepare),
          finish_(finish),
          ended_now_(ended_now),
          login_(owner.sessions_.front()->login_time()) {
        for (std::size_t i = 0; i < owner.sessions_.size(); ++i) {
            auto lane = std::make_unique<Lane>();
            lane->index = i;
            lane->session = owner.sessions_[i];
            // The first session is logged in already.
            lane->state = i == 0 ? Lane::State::Ready : Lane::State::Closed;
            lane->thread = std::thread(
                [raw = lane.get(), this] { raw->serve(shared_, owner_.ui_, owner_.login_); });
            lanes_.push_back(std::move(lane));
        }
    }
    ~Dispatch() {
        for (const auto& lane : lanes_) {
            if (lane->state == Lane::State::LoggingIn) {
                lane->session->disconnect();  // its login ends at once
            }
            lane->end();
        }
    }
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;

    std::size_t run() {
        for (;;) {
            finish_in_order();
            start_free_lanes();
            finish_in_order();
            const auto ask_again = open_or_drop();
            const bool running = std::ranges::any_of(lanes_, [](const auto& l) {
                return l->running || l->state == Lane::State::LoggingIn;
            });
            if (!running) {
                if (outcomes_.empty() &&
                    (halted_ || (prepare_again_.empty() && next_ >= transfers_))) {
                    break;
                }
                continue;
            }
            take_ended(wait_for_ended(ask_again));
        }
        if (thrown_) {
            std::rethrow_exception(thrown_);
        }
        return refused_ ? logged_in_ : lanes_.size();
    }

private:
    using Clock = SessionWorth::Clock;

    [[nodiscard]] bool nothing_to_begin() const {
        return halted_ || (prepare_again_.empty() && next_ >= transfers_);
    }

    // Logs one more session in while it pays for itself; gives up those still logging in once
    // nothing is left to begin. Returns when to ask again if nothing ends before.
    std::optional<Clock::time_point> open_or_drop() {
        if (nothing_to_begin()) {
            for (const auto& lane : lanes_) {
                if (lane->state == Lane::State::LoggingIn && !lane->dropped) {
                    lane->dropped = true;
                    lane->session->disconnect();
                }
                // The first session stays: a retry asked for later goes to it.
                if (lane->index > 0 && lane->state == Lane::State::Ready && lane->unhandled == 0) {
                    lane->leave();
                }
            }
            return std::nullopt;
        }
        if (refused_) {
            return std::nullopt;
        }
        // A session of the run logging in again (the server dropped it) is given its place
        // before any other session takes one: on a server with a limit per address, an extra
        // session would keep it out.
        const bool relogging = std::ranges::any_of(lanes_, [](const auto& l) {
            return l->state == Lane::State::Ready && l->running && !l->session->connected();
        });
        if (relogging) {
            return Clock::now() + std::chrono::milliseconds(50);
        }
        const auto closed = std::ranges::find_if(
            lanes_, [](const auto& l) { return l->state == Lane::State::Closed; });
        if (closed == lanes_.end()) {
            return std::nullopt;
        }
        const auto answer = worth().at(Clock::now());
        if (answer.open) {
            (*closed)->open();
            return open_or_drop();
        }
        return answer.ask_again;
    }

    [[nodiscard]] SessionWorth worth() const {
        SessionWorth w;
        w.login = login_;
        w.not_begun = transfers_ - std::min(next_, transfers_) + prepare_again_.size();
        w.sessions = static_cast<std::size_t>(std::ranges::count_if(lanes_, [](const auto& l) {
            return l->state == Lane::State::Ready || l->state == Lane::State::LoggingIn;
        }));
        if (ended_transfers_ > 0) {
            w.mean_transfer = time_in_transfers_ / static_cast<Clock::rep>(ended_transfers_);
        }
        for (const auto& lane : lanes_) {
            if (lane->running && (!w.oldest_under_way || lane->began < *w.oldest_under_way)) {
                w.oldest_under_way = lane->began;
            }
        }
        return w;
    }

    std::deque<Shared::Ended> wait_for_ended(std::optional<Clock::time_point> until) {
        std::deque<Shared::Ended> ended;
        owner_.ui_.run_blocking([&] {
            std::unique_lock lock(shared_.mutex);
            const auto some = [&] { return !shared_.ended.empty(); };
            if (until) {
                shared_.ended_one.wait_until(lock, *until, some);
            } else {
                shared_.ended_one.wait(lock, some);
            }
            ended.swap(shared_.ended);
        });
        return ended;
    }

    void take_ended(std::deque<Shared::Ended> ended) {
        for (Shared::Ended& one : ended) {
            Lane& lane = *lanes_[one.lane];
            switch (one.what) {
                case Shared::Ended::What::LoggedIn:
                    lane.state = lane.dropped ? Lane::State::Gone : Lane::State::Ready;
                    if (lane.dropped) {
                        lane.session->disconnect();
                    } else {
                        ++logged_in_;
                    }
                    break;
                case Shared::Ended::What::Refused:
                    // A server's limit (even for a login given up meanwhile): no more
                    // knocking, in this run or later ones.
                    lane.state = Lane::State::Gone;
                    refused_ = true;
                    break;
                case Shared::Ended::What::GivenUp:
                    lane.state = Lane::State::Gone;
                    break;
                case Shared::Ended::What::Transfer:
                    transfer_ended(lane, std::move(one));
                    break;
            }
        }
    }

    void transfer_ended(Lane& lane, Shared::Ended one) {
        lane.running = false;
        if (!one.failure) {
            --lane.unhandled;  // its outcome needs no session: the lane goes on
        }
        time_in_transfers_ += Clock::now() - lane.began;
        ++ended_transfers_;
        if (ended_now_) {
            try {
                ended_now_(one.transfer, one.failure);
            } catch (...) {
                thrown_ = thrown_ ? thrown_ : std::current_exception();
                halted_ = true;
            }
        }
        outcomes_[one.transfer] = std::move(one);
    }

    void finish_in_order() {
        for (auto found = outcomes_.find(finished_); found != outcomes_.end();
             found = outcomes_.find(finished_)) {
            const Shared::Ended ended = found->second;
            outcomes_.erase(found);
            if (ended.skipped) {
                ++finished_;
                continue;
            }
            const Next then = finish_one(ended);
            if (ended.failure) {
                --lanes_[ended.lane]->unhandled;
            }
            if (then == Next::Again && !halted_ && !thrown_) {
                prepare_again_.push_back(finished_);
                return;  // the ones after it wait for its retry
            }
            ++finished_;
            halted_ = halted_ || then != Next::Go || thrown_;
        }
    }

    Next finish_one(const Shared::Ended& ended) {
        std::exception_ptr failure = ended.failure;
        if (failure) {
            // Told to the port as a failure of a blocking call, as it is one.
            try {
                owner_.ui_.run_blocking([&failure] { std::rethrow_exception(failure); });
            } catch (...) {
                failure = std::current_exception();
            }
        }
        try {
            return finish_(finished_, failure,
                           ended.failure ? lanes_[ended.lane]->session : nullptr);
        } catch (...) {
            thrown_ = thrown_ ? thrown_ : std::current_exception();
            return Next::Halt;
        }
    }

    // A lane whose result waits may still take the transfer that every result waits for: its
    // own result cannot be handled before that one has ended.
    [[nodiscard]] bool may_take(const Lane& lane) const {
        if (lane.state != Lane::State::Ready || lane.running) {
            return false;
        }
        const std::size_t wanted = !prepare_again_.empty() ? prepare_again_.front() : next_;
        return lane.unhandled == 0 || wanted == finished_;
    }

    void start_free_lanes() {
        for (const auto& lane : lanes_) {
            while (may_take(*lane) && begin_next(*lane)) {
            }
        }
    }

    // Prepares the next transfer (a retry first) and gives it to `lane`; false when there is
    // none to begin.
    bool begin_next(Lane& lane) {
        const bool retry = !prepare_again_.empty();
        if (halted_ && retry) {
            // Its last try was finished already; nothing more is started.
            outcomes_[prepare_again_.front()] =
                Shared::Ended::of_transfer(lane.index, prepare_again_.front(), true);
            prepare_again_.pop_front();
            return true;
        }
        if (halted_ || (!retry && next_ >= transfers_)) {
            return false;
        }
        const std::size_t transfer = retry ? prepare_again_.front() : next_;
        std::optional<Work> work;
        try {
            work = prepare_(transfer);
        } catch (...) {
            thrown_ = thrown_ ? thrown_ : std::current_exception();
            halted_ = true;
            return false;
        }
        if (retry) {
            prepare_again_.pop_front();
        } else {
            ++next_;
        }
        if (!work) {
            outcomes_[transfer] = Shared::Ended::of_transfer(lane.index, transfer, true);
            return true;
        }
        lane.give(transfer, std::move(*work));
        return false;  // the lane is busy now
    }

    TransferLanes& owner_;
    std::size_t transfers_;
    const Prepare& prepare_;
    const Finish& finish_;
    const Ended& ended_now_;
    Clock::duration login_;
    Shared shared_;
    std::vector<std::unique_ptr<Lane>> lanes_;
    std::map<std::size_t, Shared::Ended> outcomes_;  // ended, waiting for their turn
    std::deque<std::size_t> prepare_again_;          // a retry asked by `finish`
    std::size_t next_ = 0;
    std::size_t finished_ = 0;
    bool halted_ = false;
    std::exception_ptr thrown_;
    std::size_t logged_in_ = 1;  // the first session is
    bool refused_ = false;       // an extra session could not log in
    Clock::duration time_in_transfers_{};
    std::size_t ended_transfers_ = 0;
};

TransferLanes::TransferLanes(UiPort& ui, std::vector<FtpSession*> sessions, FtpLogin login)
    : ui_(ui), sessions_(std::move(sessions)), login_(std::move(login)) {}

std::size_t TransferLanes::run(std::size_t transfers, const Prepare& prepare, const Finish& finish,
                               const Ended& ended_now) {
    Dispatch dispatch(*this, transfers, prepare, finish, ended_now);
    return dispatch.run();
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
