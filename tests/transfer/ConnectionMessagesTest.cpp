// SPDX-License-Identifier: Apache-2.0
#include "transfer/ConnectionMessages.h"

#include <gtest/gtest.h>

namespace ordano {
namespace {

TEST(ConnectionMessages, NoConnectionHintDependsOnTheLinkType) {
    EXPECT_EQ(no_connection_message(0),
              "No hay conexión al servidor de ZORVANIK\r\n\r\n"
              "Revisa tu Ordano Telefónico o tu Contraseña de Acceso");
    EXPECT_EQ(no_connection_message(1),
              "No hay conexión al servidor de ZORVANIK\r\n\r\n"
              "Revisa tu Conexión de Red o tu Contraseña de Acceso");
    EXPECT_EQ(no_connection_message(2), no_connection_message(1));
}

TEST(ConnectionMessages, ErrorNumberMessageCarriesNumberAndDescription) {
    EXPECT_EQ(error_number_message(1001, "Falla inesperada"),
              "Error No. 1001\r\nDescripcion: Falla inesperada");
    EXPECT_EQ(error_number_message(13, ""), "Error No. 13\r\nDescripcion: ");
}

TEST(ConnectionMessages, LoginRefusedIsWordedPerCaller) {
    EXPECT_EQ(login_refused_message(LoginCaller::SendAndReceive),
              "Usuario o Contraseña no aceptado");
    EXPECT_EQ(login_refused_message(LoginCaller::PollingTimer), "Usuario o Contraseña no válido");
    EXPECT_EQ(login_refused_message(LoginCaller::CatalogUpdate), "Usuario o Password no aceptado");
    EXPECT_EQ(login_refused_message(LoginCaller::BulletinAndRecovery),
              "El Usuario o Contraseña no aceptado");
}

}  // namespace
}  // namespace ordano
