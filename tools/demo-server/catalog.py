# SPDX-License-Identifier: Apache-2.0
"""Error codes the demo answers use, with their catalogue descriptions.

The answers (answers.py) draw their error records from these lists only, and the catalogue
package (update_folder.py) holds exactly these rows, so every error a demo report shows has a
description once the office has installed the package.
"""

from dataclasses import dataclass


@dataclass(frozen=True)
class SaaiError:
    """An SAAI M3 validation error; types 3, 4 and 6 are described per record and field."""
    tipo: int
    numero: int
    registro: int
    campo: int
    descripcion: str


@dataclass(frozen=True)
class CartaError:
    clase: int  # 1 normativo, 2 sintáctico-catalógico, 3 técnico
    clave: int
    descripcion: str
    solucion: str


@dataclass(frozen=True)
class DocumentError:
    registro: int
    campo: int
    tipo: str
    consecutivo: int
    descripcion: str
    solucion: str


@dataclass(frozen=True)
class SagarpaError:
    tipo: int
    codigo: int
    descripcion: str


SAAI_ERRORS = (
    SaaiError(3, 1, 501, 5, "EL RFC DEL IMPORTADOR O EXPORTADOR NO ES VÁLIDO"),
    SaaiError(2, 12, 510, 3, "LA CLAVE DE CONTRIBUCIÓN NO EXISTE EN EL CATÁLOGO"),
    SaaiError(6, 4, 551, 7, "LA FRACCIÓN ARANCELARIA REQUIERE PERMISO DE IMPORTACIÓN"),
    SaaiError(5, 8, 557, 4, "EL IMPORTE DE LA CONTRIBUCIÓN NO CORRESPONDE AL CALCULADO"),
)

CARTA_ERRORS = (
    CartaError(1, 101, "LA CARTA CUPO YA FUE UTILIZADA EN OTRO PEDIMENTO",
               "Solicite una nueva carta cupo al almacén."),
    CartaError(2, 205, "LA CLAVE DEL ALMACÉN NO EXISTE EN EL CATÁLOGO",
               "Verifique la clave del almacén general de depósito."),
    CartaError(3, 310, "EL FOLIO DE LA CARTA CUPO ESTÁ DUPLICADO EN EL ARCHIVO",
               "Elimine el registro repetido y envíe de nuevo."),
)

DOCUMENT_ERRORS = (
    DocumentError(501, 4, "1", 5, "El número de pedimento no corresponde a la patente.",
                  "Revise la patente y el número de pedimento."),
    DocumentError(505, 0, "2", 12, "La fecha de entrada es posterior a la fecha de pago.",
                  "Corrija la fecha de entrada de la mercancía."),
    DocumentError(510, 2, "3", 7, "La cantidad de bultos debe ser mayor que cero.",
                  "Capture la cantidad de bultos."),
)

# Electronic-payment rejections (three-digit number at positions 76-78 of an "a" line).
PAYMENT_ERRORS = {
    17: "La línea de captura no es válida o ya fue pagada.",
    23: "El importe pagado no coincide con el importe de la línea de captura.",
    41: "La cuenta de cargo no tiene fondos suficientes.",
}

SAGARPA_ERRORS = (
    SagarpaError(1, 15, "El certificado fitosanitario no está vigente."),
    SagarpaError(2, 3, "La fracción arancelaria no requiere requisito de SAGARPA."),
    SagarpaError(2, 21, "El país de origen no corresponde al del certificado."),
)

# Bulletin texts: the bulletin file names these numbers.
BULLETIN_TEXTS = {
    7: "El servidor de validación de demostración está en operación.",
    12: "Nuevo catálogo de errores disponible: actualice desde el menú Catálogo.",
}
