// SPDX-License-Identifier: Apache-2.0
#include "engine/Engine.h"

#include <exception>
#include <system_error>

#include "base/RunStop.h"
#include "catalog/Bulletin.h"
#include "engine/FrontEnd.h"
#include "office/Office.h"
#include "transfer/PaymentPasswordChange.h"

namespace ordano {
namespace {

constexpr const char* kUnexpected = "Error inesperado: ";

}  // namespace

Engine::Engine(Office& office, FrontEnd& front, ThreadStart start_thread)
    : office_(office),
      front_(front),
      start_thread_(start_thread ? std::move(start_thread)
                                 : [](std::function<void()> run) { return std::thread(run); }),
      ui_(turn_, front, office.stop_token()),
      desk_(
          office.session(), office.params(), office.journal(), ui_, office.clock(), office.locale(),
          [this] {
              if (front_.shows_bulletin()) {
                  refresh_bulletin(false);
              }
          },
          office.stop_token()),
      catalog_update_(office, ui_) {
    for (FtpSession* session : {&eftpPrincipal_, &eftpBulletin_, &eftpCatalogCheck_}) {
        session->stop_with(office.stop_token());
    }
    desk_.keep_by(&turn_);
    state_.polling_interval_ms = desk_.timer().interval();
    desk_.timer().subscribe(
        [this](bool enabled, int interval_ms) { set_polling(enabled, interval_ms); });
    dispatcher_ = std::thread([this] { dispatch(); });
}

Engine::~Engine() {
    stop();
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return state_.running == 0; });
        tasks_.push_back({});  // an empty task ends the dispatcher
    }
    changed_.notify_all();
    dispatcher_.join();
    for (std::thread& job : jobs_) {
        job.join();
    }
}

void Engine::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        later_.clear();
    }
    changed_.notify_all();
    office_.request_stop();
}

bool Engine::stopping() const {
    const std::lock_guard lock(mutex_);
    return stopping_;
}

void Engine::send() {
    start(Request::Send, Job::Sending, [this] { desk_.send(); });
}

void Engine::receive() {
    start(Request::Receive, Job::Reception, [this] { desk_.receive(); });
}

void Engine::stop_polling() {
    with_turn(Request::StopPolling, [this] { desk_.stop_polling(); });
    // Closing a session may wait on the network.
    with_turn(
        Request::EditLists, [this] { desk_.close_polling_session(); }, Where::EngineThread);
}

void Engine::close_sending_session() {
    with_turn(
        Request::EditLists, [this] { desk_.close_sending_session(); }, Where::EngineThread);
}

void Engine::tick() {
    start(Request::Tick, Job::Tick, [this] { desk_.polling_tick(); });
}

void Engine::refresh_bulletin(bool by_person) {
    start(Request::RefreshBulletin, Job::Bulletin,
          [this, by_person] { fetch_bulletin(by_person, office_, eftpBulletin_, ui_, ticker_); });
}

void Engine::check_catalog(CatalogWindowHooks window) {
    start(Request::CheckCatalog, Job::CatalogCheck, [this, window = std::move(window)] {
        // The update the check leads to counts as one: nothing that would be refused during an
        // update starts meanwhile.
        struct UpdateMark {
            Engine& engine;
            bool set = false;
            ~UpdateMark() {
                if (set) {
                    engine.set_running(Job::CatalogUpdate, false);
                }
            }
        } mark{*this};
        CatalogWindowHooks hooks = window;
        hooks.show = [this, &mark, show = window.show] {
            if (!state().runs(Job::CatalogUpdate)) {
                set_running(Job::CatalogUpdate, true);
                mark.set = true;
            }
            if (show) {
                show();
            }
        };
        check_for_newer_catalog(office_, eftpCatalogCheck_, ui_, catalog_update_, hooks);
    });
}

void Engine::update_catalog() {
    start(Request::UpdateCatalog, Job::CatalogUpdate, [this] { catalog_update_.recibir(); });
}

void Engine::close_catalog() {
    with_turn(
        Request::Review, [this] { catalog_update_.salir(); }, Where::EngineThread);
}

void Engine::change_payment_password(std::string password, std::function<void(bool)> done) {
    start(Request::PaymentPassword, Job::PaymentPassword,
          [this, password = std::move(password), done = std::move(done)] {
              const bool changed = ordano::change_payment_password(
                  {office_.session(), office_.params(), ui_, eftpPrincipal_}, password);
              if (done) {
                  done(changed);
              }
          });
}

void Engine::recover_payment_password() {
    start(Request::PaymentPassword, Job::PaymentPassword, [this] {
        request_password_recovery({office_.session(), office_.params(), ui_, eftpPrincipal_});
    });
}

void Engine::with_turn(Request request, std::function<void()> work, Where where) {
    std::unique_lock lock(mutex_);
    if (stopping_) {
        return;
    }
    const Decision decision = decide(request, state_);
    if (decision.verdict == Verdict::Refuse) {
        lock.unlock();
        refused(decision.reason);
        return;
    }
    if (decision.verdict == Verdict::Defer) {
        later_[request] = {false, Job::Tick, where, std::move(work)};
        return;
    }
    if (decision.verdict == Verdict::Skip) {
        return;
    }
    // At once only when nothing asked before is still waiting for the turn: the order in
    // which things were asked is the order in which they are done.
    if (where == Where::CallingThread && waiting_ == 0 && turn_.try_lock()) {
        lock.unlock();
        run_with_turn(work);
        turn_.unlock();
        return;
    }
    ++waiting_;
    tasks_.push_back({true, std::move(work)});
    lock.unlock();
    changed_.notify_all();
}

bool Engine::start(Request request, Job job, std::function<void()> work) {
    std::unique_lock lock(mutex_);
    if (stopping_) {
        return false;
    }
    const Decision decision = decide(request, state_);
    if (decision.verdict == Verdict::Refuse) {
        lock.unlock();
        refused(decision.reason);
        return false;
    }
    if (decision.verdict == Verdict::Defer) {
        later_[request] = {true, job, Where::EngineThread, std::move(work)};
        return false;
    }
    if (decision.verdict == Verdict::Skip || state_.runs(job)) {
        return false;
    }
    const std::uint32_t bit = 1U << static_cast<unsigned>(job);
    state_.running |= bit;
    jobs_.emplace_back();
    const auto thread = std::prev(jobs_.end());
    // The job's place in the order of turns is taken now, before its thread exists.
    const std::uint64_t ticket = turn_.queue_up();
    try {
        *thread = start_thread_([this, job, thread, ticket, work = std::move(work)] {
            turn_.wait_for(ticket);
            run_with_turn(work);
            turn_.unlock();
            job_ended(job, thread);
        });
    } catch (const std::system_error& error) {
        turn_.give_back(ticket);
        jobs_.erase(thread);
        state_.running &= ~bit;
        lock.unlock();
        front_.tell({std::string(kUnexpected) + error.what(), {}, MessageIcon::Critical});
        return false;
    }
    lock.unlock();
    state_changed();
    return true;
}

void Engine::run_with_turn(const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& error) {
        if (front_.take_unforeseen(std::current_exception())) {
            return;
        }
        // A stop: the program is ending, and what is left of the work is not done.
        if (dynamic_cast<const RunStopped*>(&error) == nullptr) {
            front_.tell({std::string(kUnexpected) + error.what(), {}, MessageIcon::Critical});
        }
    }
}

void Engine::job_ended(Job job, std::list<std::thread>::iterator thread) {
    {
        const std::lock_guard lock(mutex_);
        state_.running &= ~(1U << static_cast<unsigned>(job));
        ++telling_end_;
        // Joined on the engine's thread: this one is about to end.
        tasks_.push_back({false, [this, thread] {
                              std::thread ended;
                              {
                                  const std::lock_guard inner(mutex_);
                                  ended = std::move(*thread);
                                  jobs_.erase(thread);
                              }
                              ended.join();
                          }});
    }
    changed_.notify_all();
    state_changed();
    resume_later();
    {
        const std::lock_guard lock(mutex_);
        --telling_end_;
    }
    changed_.notify_all();
}

void Engine::set_running(Job job, bool on) {
    {
        const std::lock_guard lock(mutex_);
        const std::uint32_t bit = 1U << static_cast<unsigned>(job);
        state_.running = on ? (state_.running | bit) : (state_.running & ~bit);
    }
    changed_.notify_all();
    state_changed();
    if (!on) {
        resume_later();
    }
}

void Engine::set_polling(bool on, int interval_ms) {
    {
        const std::lock_guard lock(mutex_);
        if (state_.polling == on && state_.polling_interval_ms == interval_ms) {
            return;
        }
        state_.polling = on;
        state_.polling_interval_ms = interval_ms;
    }
    state_changed();
}

void Engine::state_changed() {
    const EngineState now = state();
    std::vector<std::function<void(const EngineState&)>> listeners;
    {
        const std::lock_guard lock(mutex_);
        listeners = state_listeners_;
    }
    for (const auto& listener : listeners) {
        listener(now);
    }
}

// What the gate kept for later is asked for again, as it was asked.
void Engine::resume_later() {
    std::map<Request, Later> later;
    {
        const std::lock_guard lock(mutex_);
        later.swap(later_);
    }
    for (auto& [request, kept] : later) {
        if (kept.job) {
            start(request, kept.kind, std::move(kept.work));
        } else {
            with_turn(request, std::move(kept.work), Where::EngineThread);
        }
    }
    changed_.notify_all();  // what was kept is under way, or refused
}

void Engine::refused(std::string_view reason) const {
    std::vector<std::function<void(std::string_view)>> listeners;
    {
        const std::lock_guard lock(mutex_);
        listeners = refusal_listeners_;
    }
    for (const auto& listener : listeners) {
        listener(reason);
    }
}

void Engine::dispatch() {
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !tasks_.empty(); });
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        if (!task.work) {
            return;
        }
        if (!task.needs_turn) {
            task.work();
            continue;
        }
        turn_.lock();
        run_with_turn(task.work);
        turn_.unlock();
        {
            const std::lock_guard lock(mutex_);
            --waiting_;
        }
        changed_.notify_all();
    }
}

EngineState Engine::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

bool Engine::idle() const {
    const std::lock_guard lock(mutex_);
    return idle_now();
}

void Engine::wait_idle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return idle_now(); });
}

bool Engine::idle_now() const {
    return state_.running == 0 && waiting_ == 0 && later_.empty() && telling_end_ == 0;
}

void Engine::on_state(std::function<void(const EngineState&)> listener) {
    const std::lock_guard lock(mutex_);
    state_listeners_.push_back(std::move(listener));
}

void Engine::on_refused(std::function<void(std::string_view)> listener) {
    const std::lock_guard lock(mutex_);
    refusal_listeners_.push_back(std::move(listener));
}

}  // namespace ordano
