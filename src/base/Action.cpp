// SPDX-License-Identifier: Apache-2.0
#include "base/Action.h"

#include <array>
#include <cstddef>

namespace ordano {
namespace {

// In the enum's order.
constexpr std::array<std::string_view, 13> kKeys = {
    "enviar",    "recibir", "detener",  "caterr",   "parametros", "historial", "salir",
    "modificar", "guardar", "cancelar", "password", "envkro",     "carpeta",
};
static_assert(kKeys.size() == static_cast<std::size_t>(Action::Carpeta) + 1);

}  // namespace

std::string_view action_key(Action action) {
    return kKeys[static_cast<std::size_t>(action)];
}

}  // namespace ordano
