// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <functional>

namespace ordano {

class CatalogUpdate;
class FtpSession;
class Office;
class UiPort;

// What the catalogue check needs of the window that shows the update (the GUI passes
// frmActCatErr's show and hide; the terminal passes nothing).
struct CatalogWindowHooks {
    std::function<void()> show;
    std::function<void()> hide;
};

// The catalogue check (Revisa_Catalogo): reads the version list on `ftp` with the
// catalogue-update account;
// when it offers a version above vererr, asks "Existe una versión actualizada del catálogo de
// errores, ¿Deseas descargar la actualización?" and on Yes runs the whole update (window shown,
// Recibir, then Salir). "Catálogo de errores actualizado correctamente" is shown only when
// the update did install the catalogue; a run that failed has already said why. Every failure
// of the check itself is silent. The session `ftp` is closed at the end.
// Returns true when a newer catalogue was installed.
bool check_for_newer_catalog(Office& office, FtpSession& ftp, UiPort& ui, CatalogUpdate& update,
                             const CatalogWindowHooks& window = {});

}  // namespace ordano
