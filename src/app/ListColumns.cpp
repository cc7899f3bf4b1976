#include "app/ListColumns.h"

namespace ordano {

namespace {

constexpr std::array<ColumnSpec, send_list::kCount> kSendColumns = {{
    {"Archivo", "", true, 190},
    {"Estado", "", true, 60},
    {"Icono", "Icono", false, 40},
    {"Carpeta de prevalidación", "RutaPre", false, 120},
    {"Carpeta de validación", "RutaVal", false, 120},
}};

constexpr std::array<ColumnSpec, receive_list::kCount> kReceiveColumns = {{
    {"Archivo", "", true, 150},
    {"Prev.", "", true, 50},
    {"Val.", "", true, 50},
    {"Enviado", "", true, 90},
    {"Carpeta de prevalidación", "RutaPrev", false, 120},
    {"Carpeta de validación", "RutaVal", false, 120},
    {"Respuesta de prevalidación", "ArchivoPrev", false, 120},
    {"Respuesta de validación", "ArchivoVal", false, 120},
    {"Carpeta local", "RutaDest", false, 120},
    {"Icono", "Icono", false, 40},
}};

constexpr std::array<ColumnSpec, 1> kFileColumns = {{
    {"Archivos encontrados", "", true, 180},
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
