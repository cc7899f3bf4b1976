// SPDX-License-Identifier: Apache-2.0
#include "app/ListColumns.h"

namespace ordano {

namespace {

constexpr std::array<ColumnSpec, send_list::kCount> kSendColumns = {{
    {"Archivo", "", true, 190,
     "El archivo por enviar o la respuesta recibida; su icono dice de qué tipo es"},
    {"Estado", "", true, 60,
     "E: archivo por enviar\nK: respuesta de prevalidación recibida\n"
     "R: respuesta de validación recibida"},
    {"Icono", "Icono", false, 40},
    {"Carpeta de prevalidación", "RutaPre", false, 120},
    {"Carpeta de validación", "RutaVal", false, 120},
    {"Situación", "", true, 90,
     "Dónde está el archivo, como lo dice el historial: en envío, error (falló el último "
     "intento), prevalidado, aceptado o rechazado"},
}};

constexpr std::array<ColumnSpec, receive_list::kCount> kReceiveColumns = {{
    {"Archivo", "", true, 150, "El archivo enviado cuyas respuestas se esperan"},
    {"Prev.", "", true, 44,
     "Respuesta de prevalidación: X recibida; —, no se espera; vacío, en espera"},
    {"Val.", "", true, 44, "Respuesta de validación: X recibida; vacío, en espera"},
    {"Enviado", "", true, 78, "Hora en que se envió el archivo"},
    {"Carpeta de prevalidación", "RutaPrev", false, 120},
    {"Carpeta de validación", "RutaVal", false, 120},
    {"Respuesta de prevalidación", "ArchivoPrev", false, 120},
    {"Respuesta de validación", "ArchivoVal", false, 120},
    {"Carpeta local", "RutaDest", false, 120},
    {"Icono", "Icono", false, 40},
    {"Situación", "", true, 84,
     "Dónde está el archivo, como lo dice el historial: esperando, prevalidado (llegó la "
     "respuesta de prevalidación) o atrasado"},
}};

constexpr std::array<ColumnSpec, 1> kFileColumns = {{
    {"Archivos encontrados", "", true, 180,
     "Doble clic o Intro pone el archivo en la lista de envío"},
}};

}  // namespace

std::span<const ColumnSpec> send_list_columns() {
    return kSendColumns;
}

std::span<const ColumnSpec> receive_list_columns() {
    return kReceiveColumns;
}

std::span<const ColumnSpec> file_list_columns() {
    return kFileColumns;
}

}  // namespace ordano
