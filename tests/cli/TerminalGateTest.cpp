// SPDX-License-Identifier: Apache-2.0
// ordano-cli's transfers go through the engine's gate as the window's do: a run of the window's
// refuses the command line's, and the command line's runs are in the state the gate reads when
// the window asks. (An empty send list: every run here ends with its message, off the network.)
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "base/DateTime.h"
#include "cli/TerminalUi.h"
#include "engine/EngineDeskWork.h"
#include "fixtures/Sandbox.h"
#include "office/Office.h"

namespace ordano::cli {
namespace {

using DeskRun = DeskWork::Run;

constexpr std::string_view kRefused = "ordano-cli: Hay un envío en curso; espera a que termine.\n";
constexpr std::string_view kNothingToSend =
    "ordano-cli: Debes incluir al menos un archivo en la lista de envío!!!\n";
constexpr std::string_view kNothingToReceive =
    "ordano-cli: Debes incluir al menos un archivo en la lista de recepción!!!\n";

Job job_of(DeskRun asked) {
    return asked == DeskRun::Send ? Job::Sending : Job::Reception;
}

class TerminalGate : public ::testing::Test {
protected:
    TerminalGate() {
        work_.engine().on_state([this](const EngineState& state) {
            const std::lock_guard lock(mutex_);
            for (const Job job : {Job::Sending, Job::Reception}) {
                if (state.runs(job)) {
                    seen_during_[job] = state;
                }
            }
            // The command line's run has started: the window's job may end.
            if (awaited_ && state.runs(*awaited_)) {
                released_ = true;
            }
        });
    }

    // A job of the window's that works in steps, its turn given away between them, until
    // released (or, should the command line's request never come, 30 s later: the case fails
    // instead of waiting for ever).
    void start_window_job(Job job) {
        static const std::map<Job, Request> kRequests = {
            {Job::Sending, Request::Send},
            {Job::Reception, Request::Receive},
            {Job::Tick, Request::Tick},
            {Job::CatalogUpdate, Request::UpdateCatalog},
        };
        released_ = false;
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        ASSERT_TRUE(work_.engine().start(kRequests.at(job), job, [this, give_up] {
            while (!released_ && std::chrono::steady_clock::now() < give_up) {
                work_.engine().ui().yield();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }));
    }

    // The command line's run (or, with none, a change of its lists) while the window's job
    // runs; true when it was done.
    bool ask_during(Job window, std::optional<DeskRun> asked) {
        start_window_job(window);
        bool done = false;
        if (asked) {
            {
                const std::lock_guard lock(mutex_);
                awaited_ = job_of(*asked);
            }
            done = work_.run(*asked);
        } else {
            work_.with_turn([&] {
                done = work_.engine().state().runs(window);  // between two of its steps
                released_ = true;
            });
        }
        released_ = true;
        work_.engine().wait_idle();
        const std::lock_guard lock(mutex_);
        awaited_.reset();
        return done;
    }

    std::string take_told() { return std::exchange(told_, {}).str(); }

    test::Sandbox box_;
    test::TestOffice files_{box_};
    FixedClock clock_{LocalDateTime{std::chrono::year{2026} / 2 / 2, 10, 0, 0}};
    std::unique_ptr<Office> office_ = Office::open(files_.path_options(), clock_);
    std::ostringstream told_;
    TerminalUi terminal_{false, told_, Verbosity::Normal, "ordano-cli: "};
    EngineDeskWork work_{*office_, terminal_};
    std::atomic<bool> released_{false};
    std::mutex mutex_;
    std::optional<Job> awaited_;
    std::map<Job, EngineState> seen_during_;
};

TEST_F(TerminalGate, TheWindowsRunsRefuseOrLetThroughTheCommandLinesRequests) {
    struct Case {
        Job window;
        std::optional<DeskRun> asked;  // none: a change of the lists
        bool done;
        std::string_view told;
    };
    const Case cases[] = {
        {Job::Sending, DeskRun::Send, false, kRefused},
        {Job::Sending, DeskRun::Receive, false, kRefused},
        {Job::Reception, DeskRun::Send, false, kRefused},
        {Job::Tick, DeskRun::Send, true, kNothingToSend},
        {Job::CatalogUpdate, DeskRun::Receive, true, kNothingToReceive},
        // Queued behind the job, which holds the turn, and done between two of its steps.
        {Job::Sending, std::nullopt, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("window's job " + std::to_string(static_cast<int>(c.window)) + ", run " +
                     (c.asked ? std::to_string(static_cast<int>(*c.asked)) : "none"));
        EXPECT_EQ(ask_during(c.window, c.asked), c.done);
        EXPECT_EQ(take_told(), c.told);
    }
}

TEST_F(TerminalGate, TheCommandLinesRunsAreInTheStateTheGateReadsForTheWindow) {
    EXPECT_TRUE(work_.run(DeskRun::Send));
    EXPECT_TRUE(work_.run(DeskRun::Receive));
    EXPECT_EQ(take_told(), std::string(kNothingToSend) + std::string(kNothingToReceive));

    struct Case {
        Job cli;
        Request window;
        Verdict verdict;
    };
    const Case cases[] = {
        {Job::Sending, Request::Send, Verdict::Refuse},
        {Job::Sending, Request::SaveParameters, Verdict::Refuse},
        {Job::Sending, Request::PaymentPassword, Verdict::Refuse},
        {Job::Sending, Request::SetFolders, Verdict::Defer},
        {Job::Sending, Request::Tick, Verdict::Go},
        {Job::Reception, Request::Receive, Verdict::Refuse},
        {Job::Reception, Request::UpdateCatalog, Verdict::Refuse},
        {Job::Reception, Request::EditLists, Verdict::Go},
    };
    const std::lock_guard lock(mutex_);
    for (const Case& c : cases) {
        ASSERT_TRUE(seen_during_.contains(c.cli)) << "the engine never ran job " << int(c.cli);
        EXPECT_EQ(decide(c.window, seen_during_.at(c.cli)).verdict, c.verdict)
            << "job " << static_cast<int>(c.cli) << ", request " << static_cast<int>(c.window);
    }
}

}  // namespace
}  // namespace ordano::cli
