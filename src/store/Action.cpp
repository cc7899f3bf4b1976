#include "store/Action.h"

namespace ordano {

std::string_view action_key(Action action) {
    switch (action) {
        case Action::Enviar:
            return "enviar";
        case Action::Recibir:
            return "recibir";
        case Action::Detener:
            return "detener";
        case Action::CatErr:
            return "caterr";
        case Action::Parametros:
            return "parametros";
        case Action::Historial:
            return "historial";
        case Action::Salir:
            return "salir";
        case Action::Modificar:
            return "modificar";
        case Action::Guardar:
            return "guardar";
        case Action::Cancelar:
            return "cancelar";
        case Action::Password:
            return "password";
        case Action::EnvKro:
            return "envkro";
        case Action::Carpeta:
            return "carpeta";
    }
    return {};
}

}  // namespace ordano
