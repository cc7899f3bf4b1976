// SPDX-License-Identifier: Apache-2.0
#include "engine/Gate.h"

namespace ordano {
namespace {

constexpr std::string_view kRunUnderWay = "Hay un envío en curso; espera a que termine.";
constexpr std::string_view kParametersDuringRun =
    "Los parámetros no se pueden guardar mientras hay un envío o una actualización en curso.";
constexpr std::string_view kFoldersAfterRun =
    "Las carpetas nuevas se usarán cuando termine el envío en curso.";
constexpr std::string_view kCatalogDuringRun =
    "El catálogo no se puede actualizar mientras hay un envío en curso.";
constexpr std::string_view kCatalogUnderWay = "La actualización del catálogo ya está en curso.";
constexpr std::string_view kPasswordBusy =
    "La contraseña de pago no se puede cambiar mientras hay un envío o un cambio en curso.";

Decision refuse(std::string_view reason) {
    return {Verdict::Refuse, reason};
}

}  // namespace

Decision decide(Request request, const EngineState& state) {
    const bool updating = state.runs(Job::CatalogUpdate);
    switch (request) {
        case Request::Send:
        case Request::Receive:
            return state.in_run() ? refuse(kRunUnderWay) : Decision{};
        case Request::Tick:
            return state.runs(Job::Tick) ? Decision{Verdict::Skip, {}} : Decision{};
        case Request::SetFolders:
            // What the next file of a run reads must not change under it.
            return state.in_run() ? Decision{Verdict::Defer, kFoldersAfterRun} : Decision{};
        case Request::SaveParameters:
            return state.in_run() || updating || state.runs(Job::PaymentPassword)
                       ? refuse(kParametersDuringRun)
                       : Decision{};
        case Request::UpdateCatalog:
            if (updating) {
                return refuse(kCatalogUnderWay);
            }
            return state.in_run() ? refuse(kCatalogDuringRun) : Decision{};
        case Request::CheckCatalog:
            if (state.runs(Job::CatalogCheck)) {
                return {Verdict::Skip, {}};
            }
            // Its question would lead into an update: it waits for the run (or update) to end.
            return state.in_run() || updating ? Decision{Verdict::Defer, {}} : Decision{};
        case Request::RefreshBulletin:
            return state.runs(Job::Bulletin) ? Decision{Verdict::Skip, {}} : Decision{};
        case Request::PaymentPassword:
            return state.in_run() || state.runs(Job::PaymentPassword) ? refuse(kPasswordBusy)
                                                                      : Decision{};
        case Request::StopPolling:
        case Request::EditLists:
        case Request::Review:
            break;
    }
    return {};
}

}  // namespace ordano
