// SPDX-License-Identifier: Apache-2.0
// The engine's turn, its jobs and its waits, without a window and without a server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/DateTime.h"
#include "engine/Engine.h"
#include "engine/EngineTurn.h"
#include "engine/FrontEnd.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "office/Office.h"
#include "office/Session.h"

namespace ordano {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::StartsWith;

// A front end whose person answers later: questions wait here until the test answers them.
class LaterFrontEnd : public FrontEnd {
public:
    void tell(Notice notice) override {
        const std::lock_guard lock(mutex_);
        told.push_back(notice.text);
    }
    void ask(Notice question, Answer answer) override {
        {
            const std::lock_guard lock(mutex_);
            asked.push_back(question.text);
            pending_ = std::move(answer);
        }
        changed_.notify_all();
    }
    void ask_payment_password(PasswordAnswer answer) override { answer(false); }

    // Waits for a question, then answers it.
    void answer(MessageAnswer a) {
        Answer pending;
        {
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, 5s, [this] { return pending_ != nullptr; });
            pending = std::exchange(pending_, nullptr);
        }
        ASSERT_TRUE(pending) << "no question came";
        pending(a);
    }
    [[nodiscard]] bool question_up() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [this] { return pending_ != nullptr; });
    }

    std::vector<std::string> told;
    std::vector<std::string> asked;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    Answer pending_;
};

class EngineTest : public ::testing::Test {
protected:
    EngineTest() : office_(Office::open(files_.path_options(), clock_)) {
        engine_ = std::make_unique<Engine>(*office_, front_);
        engine_->on_refused([this](std::string_view reason) {
            const std::lock_guard lock(mutex_);
            refused_.emplace_back(reason);
        });
    }
    ~EngineTest() override { engine_.reset(); }

    // A job that asks the person a question with the engine's port, and waits for the answer.
    bool start_asking(Request request, Job job, std::atomic<int>& answer) {
        return engine_->start(request, job, [this, &answer] {
            answer = static_cast<int>(
                engine_->ui().message("¿Seguir?", MessageIcon::Question, MessageButtons::YesNo));
        });
    }
    bool settle() {
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (!engine_->idle() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(5ms);
        }
        return engine_->idle();
    }

    test::Sandbox box_;
    test::TestOffice files_{box_};
    FixedClock clock_{LocalDateTime{std::chrono::year{2026} / 2 / 2, 10, 0, 0}};
    std::unique_ptr<Office> office_;
    LaterFrontEnd front_;
    std::unique_ptr<Engine> engine_;
    std::mutex mutex_;
    std::vector<std::string> refused_;
};

// The turn knows which thread holds it, whichever way it was taken, and nobody while it is given
// away for a wait.
TEST(EngineTurnTest, KnowsTheThreadThatHoldsIt) {
    EngineTurn turn;
    const auto held_elsewhere = [&] {
        bool held = true;
        std::thread([&] { held = turn.held_here(); }).join();
        return held;
    };
    EXPECT_FALSE(turn.held_here());
    turn.lock();
    EXPECT_TRUE(turn.held_here());
    EXPECT_FALSE(held_elsewhere());
    {
        const TurnReleased waiting(turn);
        EXPECT_FALSE(turn.held_here());
    }
    EXPECT_TRUE(turn.held_here());
    turn.unlock();
    EXPECT_FALSE(turn.held_here());
    ASSERT_TRUE(turn.try_lock());
    EXPECT_TRUE(turn.held_here());
    turn.unlock();
}

// Asked while the engine is free, the work is done at once on the asking thread; asked while a
// job holds the turn, it is done after it on the engine's thread, in the order asked.
// Two waiters asleep in the other order than their turns: giving the turn away wakes the one
// whose turn it is, not merely the first asleep (who would sleep again, the engine stuck).
TEST(EngineTurnTest, TheWaiterWhoseTurnItIsWakesWhateverOrderTheyFellAsleepIn) {
    // Shared with the waiters: on a failure they are left asleep, and outlive the test.
    const auto turn = std::make_shared<EngineTurn>();
    turn->lock();
    const std::uint64_t first = turn->queue_up();
    const std::uint64_t second = turn->queue_up();
    const auto served = std::make_shared<std::atomic<int>>(0);
    const auto waiter = [turn, served](std::uint64_t ticket) {
        turn->wait_for(ticket);
        ++*served;
        turn->unlock();
    };
    std::thread later(waiter, second);
    // Asleep first (a machine too busy for that makes the case weaker, never false).
    std::this_thread::sleep_for(100ms);
    std::thread sooner(waiter, first);
    std::this_thread::sleep_for(100ms);
    turn->unlock();

    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (*served < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    if (*served < 2) {
        later.detach();
        sooner.detach();
        FAIL() << "the turn was given away and nobody took it";
    }
    later.join();
    sooner.join();
}

TEST_F(EngineTest, WorkWithTheTurnRunsAtOnceWhenFreeElseInOrderAfterTheHolder) {
    std::vector<std::string> done;
    const auto here = std::this_thread::get_id();
    std::thread::id ran_on;
    engine_->with_turn(Request::EditLists, [&] {
        ran_on = std::this_thread::get_id();
        done.push_back("now");
    });
    EXPECT_EQ(ran_on, here);

    std::atomic<bool> release{false};
    engine_->start(Request::Send, Job::Sending, [&] {
        while (!release) {
            std::this_thread::sleep_for(1ms);  // holds the turn all along
        }
        done.push_back("job");
    });
    engine_->with_turn(Request::EditLists, [&] { done.push_back("first"); });
    engine_->with_turn(Request::EditLists, [&] {
        ran_on = std::this_thread::get_id();
        done.push_back("second");
    });
    EXPECT_THAT(done, ElementsAre("now"));
    release = true;
    ASSERT_TRUE(settle());
    EXPECT_THAT(done, ElementsAre("now", "job", "first", "second"));
    EXPECT_NE(ran_on, here);
}

// Idle means told: once the engine says it is idle, those who follow its state (a window's
// buttons) have been told the last job ended, however slowly they take it in.
TEST_F(EngineTest, IdleOnlyOnceTheEndOfTheLastJobHasBeenTold) {
    const auto told_ended = std::make_shared<std::atomic<bool>>(false);  // told to the end
    engine_->on_state([told_ended](const EngineState& state) {
        if (!state.runs(Job::Sending)) {
            std::this_thread::sleep_for(300ms);  // a busy machine
            *told_ended = true;
        }
    });
    ASSERT_TRUE(engine_->start(Request::Send, Job::Sending, [] {}));
    ASSERT_TRUE(settle());
    EXPECT_TRUE(*told_ended);
}

// A job whose thread cannot be had gives back its place in the order of turns and says why:
// what was asked after it still runs, and the engine can end.
TEST_F(EngineTest, AJobWhoseThreadCannotStartGivesBackItsPlaceAndSaysWhy) {
    std::atomic<bool> no_threads{false};
    engine_.reset();
    engine_ = std::make_unique<Engine>(*office_, front_, [&](std::function<void()> run) {
        if (no_threads) {
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                                    "sin hilos");
        }
        return std::thread(std::move(run));
    });
    std::vector<std::string> done;
    std::atomic<bool> release{false};
    ASSERT_TRUE(engine_->start(Request::Send, Job::Sending, [&] {
        while (!release) {
            std::this_thread::sleep_for(1ms);  // holds the turn all along
        }
        done.push_back("job");
    }));
    no_threads = true;
    EXPECT_FALSE(engine_->start(Request::Tick, Job::Tick, [&] { done.push_back("tick"); }));
    engine_->with_turn(Request::EditLists, [&] { done.push_back("after"); });
    release = true;
    ASSERT_TRUE(settle());
    EXPECT_THAT(done, ElementsAre("job", "after"));
    EXPECT_THAT(front_.told, ElementsAre(StartsWith("Error inesperado: sin hilos")));

    // At the head of the order too: the turn is free at once.
    EXPECT_FALSE(engine_->start(Request::Tick, Job::Tick, [&] { done.push_back("tick"); }));
    engine_->with_turn(Request::EditLists, [&] { done.push_back("at once"); });
    EXPECT_THAT(done, ElementsAre("job", "after", "at once"));
}

// Work done at once on the front end's thread must never wait there for the person: the box
// it would wait for is that thread's to show. The tests' builds stop at the breach; a release
// build fails the work with an error.
#ifdef ORDANO_RULE_CHECKS
using EngineDeathTest = EngineTest;
TEST_F(EngineDeathTest, AQuestionWaitingOnTheFrontEndsThreadBreaksTheRules) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(engine_->with_turn(Request::EditLists,
                                    [this] {
                                        (void)engine_->ui().message("¿Seguir?",
                                                                    MessageIcon::Question,
                                                                    MessageButtons::YesNo);
                                    }),
                 "Regla rota: Una pregunta no puede esperar");
}

// The desk and its lists are the turn holder's alone: changed by a thread without the turn, or
// by a job while it has given the turn away to wait, they stop the program where it happens.
TEST_F(EngineDeathTest, TheDeskAndItsListsChangedWithoutTheTurnBreakTheRules) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TransferDesk& desk = engine_->desk();
    EXPECT_DEATH(desk.add_file_to_send("M0015001.033"),
                 "Regla rota: TransferDesk::add_file_to_send sin tener el turno del motor");
    EXPECT_DEATH(desk.receive_list().clear(), "Regla rota: Una lista vaciada sin tener el turno");
    EXPECT_DEATH(engine_->with_turn(
                     Request::EditLists,
                     [&] { engine_->ui().run_blocking([&] { desk.send_list().append({}); }); }),
                 "Regla rota: Una fila añadida a una lista sin tener el turno");
    engine_->with_turn(Request::EditLists, [&] { desk.send_list().append({}); });
    EXPECT_EQ(desk.send_list().size(), 1u);
}
#else
TEST_F(EngineTest, TheDeskChangedWithoutTheTurnFailsTheChange) {
    EXPECT_THROW(engine_->desk().send_list().append({}), RuleBroken);
    EXPECT_TRUE(engine_->desk().send_list().empty());
}

TEST_F(EngineTest, AQuestionWaitingOnTheFrontEndsThreadFailsTheWork) {
    bool went_on = false;
    engine_->with_turn(Request::EditLists, [&] {
        (void)engine_->ui().message("¿Seguir?", MessageIcon::Question, MessageButtons::YesNo);
        went_on = true;
    });
    EXPECT_FALSE(went_on);
    EXPECT_THAT(front_.told, ElementsAre(StartsWith("Error inesperado: Una pregunta no puede")));
}
#endif

// While a job waits for the person, it holds nothing: work asked meanwhile is done at once.
TEST_F(EngineTest, AJobWaitingForAnAnswerLetsWorkThroughAndGetsTheAnswerLater) {
    std::atomic<int> answer{-1};
    ASSERT_TRUE(start_asking(Request::Send, Job::Sending, answer));
    ASSERT_TRUE(front_.question_up());
    bool done_meanwhile = false;
    engine_->with_turn(Request::EditLists, [&] { done_meanwhile = true; });
    EXPECT_TRUE(done_meanwhile);
    EXPECT_FALSE(engine_->idle());
    front_.answer(MessageAnswer::Yes);
    ASSERT_TRUE(settle());
    EXPECT_EQ(answer, static_cast<int>(MessageAnswer::Yes));
}

// The program ending answers a waiting question No at once, and nothing starts any more.
TEST_F(EngineTest, AStopEndsAWaitForAnAnswerAndStartsNothingMore) {
    std::atomic<int> answer{-1};
    ASSERT_TRUE(start_asking(Request::Send, Job::Sending, answer));
    ASSERT_TRUE(front_.question_up());
    const auto asked_at = std::chrono::steady_clock::now();
    engine_->stop();
    ASSERT_TRUE(settle());
    EXPECT_LT(std::chrono::steady_clock::now() - asked_at, 2s);
    EXPECT_EQ(answer, static_cast<int>(MessageAnswer::No));
    EXPECT_FALSE(engine_->start(Request::Send, Job::Sending, [] {}));
    EXPECT_TRUE(office_->stop_token().stop_requested());
}

// A second run is refused and said; the folders typed meanwhile wait for the run's end.
TEST_F(EngineTest, DuringARunTheGateRefusesAnotherAndKeepsTheFoldersForItsEnd) {
    std::atomic<int> answer{-1};
    ASSERT_TRUE(start_asking(Request::Send, Job::Sending, answer));
    ASSERT_TRUE(front_.question_up());
    engine_->send();
    engine_->receive();
    const std::string before = office_->session().folders.val_env;
    engine_->with_turn(Request::SetFolders,
                       [this] { office_->session().folders.val_env = "/nueva"; });
    EXPECT_EQ(office_->session().folders.val_env, before);
    EXPECT_FALSE(engine_->idle());

    front_.answer(MessageAnswer::No);
    ASSERT_TRUE(settle());
    EXPECT_EQ(office_->session().folders.val_env, "/nueva");
    const std::lock_guard lock(mutex_);
    EXPECT_THAT(refused_, ElementsAre("Hay un envío en curso; espera a que termine.",
                                      "Hay un envío en curso; espera a que termine."));
}

}  // namespace
}  // namespace ordano
