// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <string_view>

namespace ordano {

// "No hay conexión al servidor de ZORVANIK" + two line breaks + the link hint by link type
// + " o tu Contraseña de Acceso".
[[nodiscard]] std::string no_connection_message(int tipo_acceso);

// "Error No. " + number + CR LF + "Descripcion: " + description.
[[nodiscard]] std::string error_number_message(int number, std::string_view description);

// The login-failure texts, worded per caller.
enum class LoginCaller { SendAndReceive, PollingTimer, CatalogUpdate, BulletinAndRecovery };
[[nodiscard]] std::string_view login_refused_message(LoginCaller caller);

}  // namespace ordano
