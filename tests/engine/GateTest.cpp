// SPDX-License-Identifier: Apache-2.0
// The one table of what may run while the engine is in a state.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "engine/ActionRegistry.h"
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
        // The password change writes the same parameters record: one writer at a time.
        {Request::SaveParameters, running({Job::PaymentPassword}), Verdict::Refuse},
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

const ActionEntry& entry(Toolbar toolbar, Action action) {
    for (const ActionEntry& e : toolbar_entries(toolbar)) {
        if (e.action == action) {
            return e;
        }
    }
    throw std::out_of_range(std::string(action_key(action)));
}

TEST(Gate, EachToolbarButtonIsEnabledAsTheGateSays) {
    struct Case {
        Toolbar toolbar;
        Action action;
        EngineState state;
        bool enabled;
    };
    const EngineState idle = running({});
    const EngineState sending = running({Job::Sending}, true);
    const EngineState updating = running({Job::CatalogUpdate});
    const Case cases[] = {
        {Toolbar::Main, Action::Enviar, idle, true},
        {Toolbar::Main, Action::Enviar, sending, false},
        {Toolbar::Main, Action::Recibir, sending, false},
        {Toolbar::Main, Action::Recibir, updating, true},
        {Toolbar::Main, Action::Detener, idle, false},
        {Toolbar::Main, Action::Detener, sending, true},
        {Toolbar::Main, Action::CatErr, sending, true},
        {Toolbar::Main, Action::Parametros, sending, true},
        {Toolbar::Main, Action::Historial, sending, true},
        {Toolbar::Main, Action::Salir, sending, true},
        {Toolbar::CatalogUpdate, Action::Recibir, idle, true},
        {Toolbar::CatalogUpdate, Action::Recibir, sending, false},
        {Toolbar::CatalogUpdate, Action::Recibir, updating, false},
        {Toolbar::CatalogUpdate, Action::Salir, updating, true},
        {Toolbar::Parameters, Action::Modificar, idle, true},
        {Toolbar::Parameters, Action::Modificar, sending, false},
        {Toolbar::Parameters, Action::Guardar, updating, false},
        {Toolbar::Parameters, Action::Password, sending, false},
        {Toolbar::Parameters, Action::EnvKro, running({Job::PaymentPassword}), false},
        {Toolbar::Parameters, Action::EnvKro, updating, true},
        {Toolbar::Parameters, Action::Cancelar, sending, true},
        {Toolbar::Parameters, Action::Salir, sending, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(entry_enabled(entry(c.toolbar, c.action), c.state), c.enabled)
            << "toolbar " << static_cast<int>(c.toolbar) << ", " << action_key(c.action)
            << ", jobs " << c.state.running;
    }
}

}  // namespace
}  // namespace ordano
