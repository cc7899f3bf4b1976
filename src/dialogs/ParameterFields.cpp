// SPDX-License-Identifier: Apache-2.0
#include "dialogs/ParameterFields.h"

#include <stdexcept>

namespace ordano {

std::optional<Param> host_column(int tipo_acceso) {
    switch (tipo_acceso) {
        case 0:
            return Param::Host_Ras;
        case 1:
            return Param::Host_Internet;
        case 2:
            return Param::Host;
        default:
            return std::nullopt;
    }
}

void Guarda_Datos(ParametersRecord& params, const ParameterFields& fields) {
    const auto host = host_column(fields.tipo_acceso);
    if (!host) {
        throw std::invalid_argument("tipo_acceso fuera de 0..2");
    }
    params.set_number(Param::tipo_acceso, fields.tipo_acceso);
    params.set_flag(Param::acc_tel, fields.tipo_acceso == 0);
    params.set_text(Param::telefono, fields.telefono);
    params.set_text(*host, fields.host);
    params.set_flag(Param::proxy, fields.proxy);
    params.set_text(Param::ip_proxy, fields.ip_proxy);
    for (std::size_t i = 0; i < kFolderColumns.size(); ++i) {
        params.set_text(kFolderColumns[i], fields.folders[i]);
    }
    params.set_number(Param::vererr, 1);
    params.set_number(Param::min_atraso, fields.min_atraso);
    params.set_number(Param::sesiones_ftp, fields.sesiones_ftp);
    params.set_flag(Param::tls, fields.tls);
    params.set_text(Param::tls_ca, fields.tls_ca);
}

LocalFolders local_folders(const std::array<std::string, 8>& f) {
    return {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
}

}  // namespace ordano
