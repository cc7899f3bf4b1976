// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string_view>

namespace ordano {

// What a person asks for with the windows' toolbar buttons and the parameters window's folder
// buttons. The main window's: Enviar (send, then receive), Recibir (manual reception),
// Detener (stop the polling), CatErr (the catalogue-update window), Parametros, Historial (the
// history window over the transfer journal), Salir. The
// catalogue-update window's: Recibir (the update) and Salir. The parameters window's:
// Modificar, Guardar, Cancelar, Salir, Password (change the payment password), EnvKro (ask for
// it to be recovered) and Carpeta (pick a folder). Their buttons are declared in the toolbars'
// registry (engine/ActionRegistry.h).
enum class Action {
    Enviar,
    Recibir,
    Detener,
    CatErr,
    Parametros,
    Historial,
    Salir,
    Modificar,
    Guardar,
    Cancelar,
    Password,
    EnvKro,
    Carpeta,
};

// The action's key: the object name its buttons carry ("enviar", "recibir", "detener",
// "caterr", "parametros", "historial", "salir", "modificar", "guardar", "cancelar", "password",
// "envkro", "carpeta").
[[nodiscard]] std::string_view action_key(Action action);

}  // namespace ordano
