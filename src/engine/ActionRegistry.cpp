// SPDX-License-Identifier: Apache-2.0
#include "engine/ActionRegistry.h"

#include <algorithm>
#include <array>

namespace ordano {
namespace {

// The main window's keys are the usual ones for such commands (F5 "send and receive", F9
// "update", Esc "stop", Ctrl+, "settings", Ctrl+H "history", Ctrl+Q "quit") and clash with none
// of the window's own keys (Ctrl+A, Delete on the send list, Enter). In the parameters window
// the letters after "&" are F, L, G, B and O (only the buttons of one mode are shown at a
// time); the tabs hold N and D.
constexpr std::array kEntries = {
    ActionEntry{.toolbar = Toolbar::Main,
                .action = Action::Enviar,
                .caption = "Enviar/Recibir",
                .tooltip = "Envia los archivos a Prevalidación/Validación",
                .shortcut = "F5",
                .request = Request::Send},
    ActionEntry{.toolbar = Toolbar::Main,
                .action = Action::Recibir,
                .caption = "Recibir",
                .tooltip = "Inicia la recepción manual de archivos",
                .shortcut = "F6",
                .request = Request::Receive},
    ActionEntry{.toolbar = Toolbar::Main,
                .action = Action::Detener,
                .caption = "Detener",
                .tooltip = "Detiene la recepción de archivos en proceso",
                .shortcut = "Esc",
                .request = Request::StopPolling,
                .needs_polling = true},
    ActionEntry{.toolbar = Toolbar::Main,
                .action = Action::CatErr,
                .caption = "Actualizar Catálogo",
                .tooltip = "Actualiza el catálogo de errores",
                .shortcut = "F9"},
    ActionEntry{.toolbar = Toolbar::Main,
                .action = Action::Parametros,
                .caption = "Configuración",
                .tooltip = "Configuración de rutas de los archivos",
                .shortcut = "Ctrl+,"},
    ActionEntry{.toolbar = Toolbar::Main,
                .action = Action::Historial,
                .caption = "Historial",
                .tooltip = "Historial de los archivos enviados y sus respuestas",
                .shortcut = "Ctrl+H"},
    ActionEntry{.toolbar = Toolbar::Main,
                .action = Action::Salir,
                .caption = "Salir",
                .tooltip = "Cierra el módulo de envío de archivos M3",
                .shortcut = "Ctrl+Q"},

    ActionEntry{.toolbar = Toolbar::CatalogUpdate,
                .action = Action::Recibir,
                .caption = "      &Actualizar      ",
                .tooltip = "Inicia la recepción de la actualización",
                .request = Request::UpdateCatalog},
    ActionEntry{.toolbar = Toolbar::CatalogUpdate,
                .action = Action::Salir,
                .caption = "&Salir",
                .tooltip = "Cierra el módulo de actualizaciones"},

    ActionEntry{.toolbar = Toolbar::Parameters,
                .action = Action::Modificar,
                .caption = "      Modi&ficar      ",
                .tooltip = "Permite modificar los parámetros del sistema",
                .request = Request::SaveParameters,
                .separator_after = true},
    ActionEntry{.toolbar = Toolbar::Parameters,
                .action = Action::Salir,
                .caption = "Sa&lir",
                .tooltip = "Cierra el módulo de parámetros del sistema"},
    ActionEntry{.toolbar = Toolbar::Parameters,
                .action = Action::Guardar,
                .caption = "&Guardar",
                .tooltip = "Guarda los cambios efectuados a los parámetros del sistema",
                .shortcut = "Ctrl+S",
                .request = Request::SaveParameters},
    ActionEntry{.toolbar = Toolbar::Parameters,
                .action = Action::Cancelar,
                .caption = "Cance&lar",
                .tooltip = "Cancela los cambios efectuados a los parámetros del sistema",
                .separator_after = true},
    ActionEntry{.toolbar = Toolbar::Parameters,
                .action = Action::Password,
                .caption = "Cam&biar Contraseña",
                .tooltip = "Cambiar Contraseña",
                .request = Request::PaymentPassword,
                .separator_after = true},
    ActionEntry{.toolbar = Toolbar::Parameters,
                .action = Action::EnvKro,
                .caption = "Recuperar C&ontraseña",
                .tooltip = "Solicita a contraseña de pago electrónico",
                .request = Request::PaymentPassword,
                .separator_after = true},
};

}  // namespace

std::span<const ActionEntry> action_entries() {
    return kEntries;
}

std::span<const ActionEntry> toolbar_entries(Toolbar toolbar) {
    const auto first = std::ranges::find(kEntries, toolbar, &ActionEntry::toolbar);
    const auto last = std::find_if(
        first, kEntries.end(), [toolbar](const ActionEntry& e) { return e.toolbar != toolbar; });
    return {first, last};
}

bool entry_enabled(const ActionEntry& entry, const EngineState& state) {
    if (entry.needs_polling && !state.polling) {
        return false;
    }
    return !entry.request || decide(*entry.request, state).verdict != Verdict::Refuse;
}

}  // namespace ordano
