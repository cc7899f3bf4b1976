// SPDX-License-Identifier: Apache-2.0
// The one table of what may run while the engine is in a state.
#include <gtest/gtest.h>

#include "engine/Gate.h"

namespace ordano {
namespace {

EngineState running(std::initializer_list<Job> jobs, bool polling = false) {
    EngineState state;
    for (const Job job : jobs) {
        state.running |= 1U << static_cast<unsigned>(job);
    }
    state.polling = polling;
    return state;
}

struct Case {
    Request request;
    EngineState state;
    Verdict verdict;
};

TEST(Gate, WhatMayRunWhileSomethingRuns) {
    const Case cases[] = {
        {Request::Send, running({}), Verdict::Go},
        {Request::Send, running({Job::Sending}), Verdict::Refuse},
        {Request::Send, running({Job::Reception}), Verdict::Refuse},
        {Request::Send, running({Job::Tick, Job::Bulletin, Job::CatalogUpdate}), Verdict::Go},
        {Request::Receive, running({Job::Sending}), Verdict::Refuse},
        {Request::Tick, running({Job::Tick}), Verdict::Skip},
        {Request::Tick, running({Job::Sending}), Verdict::Go},
        {Request::EditLists, running({Job::Sending, Job::Tick}), Verdict::Go},
        {Request::SetFolders, running({Job::Sending}), Verdict::Defer},
        {Request::SetFolders, running({Job::Tick}), Verdict::Go},
        {Request::SaveParameters, running({Job::Reception}), Verdict::Refuse},
        {Request::SaveParameters, running({Job::CatalogUpdate}), Verdict::Refuse},
        {Request::SaveParameters, running({Job::Tick, Job::Bulletin}), Verdict::Go},
        {Request::UpdateCatalog, running({Job::Sending}), Verdict::Refuse},
        {Request::UpdateCatalog, running({Job::CatalogUpdate}), Verdict::Refuse},
        {Request::CheckCatalog, running({Job::Sending}), Verdict::Defer},
        {Request::CheckCatalog, running({Job::CatalogCheck}), Verdict::Skip},
        {Request::RefreshBulletin, running({Job::Bulletin}), Verdict::Skip},
        {Request::PaymentPassword, running({Job::PaymentPassword}), Verdict::Refuse},
        {Request::PaymentPassword, running({Job::Tick}), Verdict::Go},
    };
    for (const Case& c : cases) {
        const Decision decision = decide(c.request, c.state);
        EXPECT_EQ(decision.verdict, c.verdict)
            << "request " << static_cast<int>(c.request) << ", jobs " << c.state.running;
        EXPECT_EQ(decision.reason.empty(),
                  c.verdict != Verdict::Refuse &&
                      !(c.verdict == Verdict::Defer && c.request == Request::SetFolders));
    }
}

TEST(Gate, TheButtonsFollowTheSameTable) {
    const EngineState idle = running({});
    const EngineState sending = running({Job::Sending}, true);
    EXPECT_TRUE(action_enabled(Action::Enviar, idle));
    EXPECT_FALSE(action_enabled(Action::Enviar, sending));
    EXPECT_FALSE(action_enabled(Action::Recibir, sending));
    EXPECT_FALSE(action_enabled(Action::Detener, idle));
    EXPECT_TRUE(action_enabled(Action::Detener, sending));
    EXPECT_FALSE(action_enabled(Action::Guardar, sending));
    EXPECT_FALSE(action_enabled(Action::Modificar, sending));
    EXPECT_FALSE(action_enabled(Action::Password, sending));
    for (const Action always :
         {Action::CatErr, Action::Parametros, Action::Historial, Action::Salir, Action::Cancelar}) {
        EXPECT_TRUE(action_enabled(always, sending)) << action_key(always);
    }
}

}  // namespace
}  // namespace ordano
