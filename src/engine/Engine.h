// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "catalog/CatalogCheck.h"
#include "catalog/CatalogUpdate.h"
#include "catalog/Ticker.h"
#include "engine/EngineTurn.h"
#include "engine/EngineUi.h"
#include "engine/Gate.h"
#include "transfer/FtpSession.h"
#include "transfer/TransferDesk.h"

namespace ordano {

class FrontEnd;
class Office;

// The office's transfer engine: owns the transfer desk (the two lists, the polling, the sending
// run, the reception), the catalogue update, the bulletin's ticker and every FTP session, and
// runs the long work as jobs on threads of its own. Front ends (the window, ordano-cli) ask for
// work and hear of its progress through the lists' and the desk's notifications (on whichever
// thread made the change) and through the front end (messages, questions, progress). Nothing
// here waits for the person or makes the asking thread wait for the network.
//
// What may run while something else runs is the gate's to say (Gate.h); its refusals are told
// to the listeners of on_refused, its "later" is kept and done once the state allows it.
class Engine {
public:
    // Where work that needs the turn may run: at once on the asking thread when the engine is
    // free and nothing asked before it still waits (the lists by hand, a review), or always on
    // the engine's own thread (work that may close a session, which can wait on the network).
    enum class Where { CallingThread, EngineThread };

    // How a job's thread is started: std::thread unless given (a test makes it fail with
    // std::system_error, as std::thread does when the system will not give one more thread).
    using ThreadStart = std::function<std::thread(std::function<void()>)>;

    Engine(Office& office, FrontEnd& front, ThreadStart start_thread = {});
    // Stops the office's work (Office::request_stop) and waits for every job to end.
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Enviar and Recibir: the sending run and the manual reception as jobs; each ends by
    // closing the sending session.
    void send();
    void receive();
    // Detener, once the person has said Yes: the polling off, then (on the engine's thread)
    // the tick under way cancelled and the reception session closed.
    void stop_polling();
    // The sending session closed on the engine's thread, unless a sending run is under way
    // (it closes its own when it ends).
    void close_sending_session();
    // The polling timer's tick: one look at the server, unless one is under way.
    void tick();
    // Work on the core's state, holding the turn (see Where), unless the gate says otherwise.
    void with_turn(Request request, std::function<void()> work, Where where = Where::CallingThread);
    // Starts `work` as `job` on a thread of its own, as the gate says; false when it did not
    // start now (refused, skipped, or kept for later).
    bool start(Request request, Job job, std::function<void()> work);

    // The bulletin's refresh on its own session (fetch_bulletin; `by_person`: a person asked).
    void refresh_bulletin(bool by_person);
    // The catalogue check on its own session; `window` shows the catalogue window around an
    // update it leads to (called on the job's thread).
    void check_catalog(CatalogWindowHooks window);
    // The catalogue window's Actualizar, and its Salir (closes the update's session).
    void update_catalog();
    void close_catalog();
    // The payment password's change (done: true when changed) and its recovery request.
    void change_payment_password(std::string password, std::function<void(bool changed)> done);
    void recover_payment_password();

    // The program is ending: the office's stop is requested (transfers in flight are cancelled,
    // every job ends at its next step) and nothing more is started. Never waits.
    void stop();

    [[nodiscard]] EngineState state() const;
    // No job runs, nothing waits for the turn, nothing is kept for later, and the end of the
    // last job has been told.
    [[nodiscard]] bool idle() const;
    // Returns once the engine is idle: what was asked before has been done (a front end that
    // waits for its work, the command line). Never on a job's thread, nor with the turn.
    void wait_idle();
    // Told after every change of the state, on the thread that changed it.
    void on_state(std::function<void(const EngineState&)> listener);
    // Told, on the asking thread, when the gate refuses something asked for.
    void on_refused(std::function<void(std::string_view reason)> listener);

    // The core's parts, for work done with the turn (and by front ends that run nothing else).
    [[nodiscard]] TransferDesk& desk() { return desk_; }
    [[nodiscard]] CatalogUpdate& catalog_update() { return catalog_update_; }
    [[nodiscard]] Ticker& ticker() { return ticker_; }
    [[nodiscard]] UiPort& ui() { return ui_; }
    // The sessions of the bulletin and of the catalogue's check (tests look at them).
    [[nodiscard]] FtpSession& bulletin_session() { return eftpBulletin_; }
    [[nodiscard]] FtpSession& check_session() { return eftpCatalogCheck_; }

private:
    struct Task {
        bool needs_turn = true;
        std::function<void()> work;
    };
    struct Later {
        bool job = false;
        Job kind = Job::Tick;
        Where where = Where::CallingThread;
        std::function<void()> work;
    };

    void dispatch();
    void queue(Task task);
    void run_with_turn(const std::function<void()>& work);
    void job_ended(Job job, std::list<std::thread>::iterator thread);
    void set_running(Job job, bool on);
    void set_polling(bool on, int interval_ms);
    void state_changed();
    void resume_later();
    void refused(std::string_view reason) const;
    [[nodiscard]] bool stopping() const;
    [[nodiscard]] bool idle_now() const;  // with mutex_ held

    Office& office_;
    FrontEnd& front_;
    ThreadStart start_thread_;
    EngineTurn turn_;
    EngineUi ui_;
    Ticker ticker_;
    FtpSession eftpPrincipal_{"eftpPrincipal"};
    FtpSession eftpBulletin_{"eftpBulletin"};
    FtpSession eftpCatalogCheck_{"eftpCatalogCheck"};
    TransferDesk desk_;
    CatalogUpdate catalog_update_;

    mutable std::mutex mutex_;  // everything below
    std::condition_variable changed_;
    EngineState state_;
    bool stopping_ = false;
    std::deque<Task> tasks_;
    int waiting_ = 0;  // tasks queued or running on the engine's thread
    // Jobs ended whose end is still being told (those who follow the state are not idle yet).
    int telling_end_ = 0;
    std::map<Request, Later> later_;
    std::list<std::thread> jobs_;
    std::vector<std::function<void(const EngineState&)>> state_listeners_;
    std::vector<std::function<void(std::string_view)>> refusal_listeners_;
    std::thread dispatcher_;  // last: started once everything above exists
};

}  // namespace ordano
