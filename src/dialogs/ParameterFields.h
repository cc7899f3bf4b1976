// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <optional>
#include <string>

#include "office/Parameters.h"
#include "office/Session.h"

namespace ordano {

// Link types, as the parameters dialog's combo lists them (list index = `tipo_acceso`).
inline constexpr std::array<const char*, 3> kLinkTypes = {"MODEM", "INTERNET", "RADIO MODEM"};

// The eight local folders in the order of the dialog's folder fields 5 to 12.
inline constexpr std::array<Param, 8> kFolderColumns = {
    Param::val_env, Param::val_rec, Param::tra_env, Param::tra_rec,
    Param::pag_env, Param::pag_rec, Param::sag_env, Param::sag_rec,
};

// A number column's default, as a field holds it.
[[nodiscard]] constexpr int default_of(Param id) {
    return static_cast<int>(parameter_info(id).default_number);
}

// What the parameters dialog's editable fields hold.
struct ParameterFields {
    int tipo_acceso = 0;                 // the combo's list index, -1 when nothing is selected
    std::string host;                    // field 2: the server address of the selected link type
    std::string telefono;                // field 3
    bool proxy = false;                  // the check box
    std::string ip_proxy;                // field 4
    std::array<std::string, 8> folders;  // fields 5 to 12
    // The minutes after which an awaited answer is overdue; the transfers of one kind at once.
    int min_atraso = default_of(Param::min_atraso);
    int sesiones_ftp = default_of(Param::sesiones_ftp);
    bool tls = false;    // "Conexión cifrada (TLS)"
    std::string tls_ca;  // certificate file to trust; empty: the system's
};

// The server-address column of a link type: Host_Ras (0), Host_Internet (1), Host (2).
[[nodiscard]] std::optional<Param> host_column(int tipo_acceso);

// Guarda_Datos: stages the fields into the parameters row in the dialog's order (link type,
// acc_tel, telephone, the selected type's host column, proxy, proxy host, folders, vererr = 1),
// then the overdue minutes, the transfers at once and the TLS settings; the caller saves. The link
// type must be 0, 1 or 2.
void Guarda_Datos(ParametersRecord& params, const ParameterFields& fields);

// The folders as the running system reads them.
[[nodiscard]] LocalFolders local_folders(const std::array<std::string, 8>& folders);

}  // namespace ordano
