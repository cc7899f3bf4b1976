#pragma once

namespace ordano {

// The transfer journal: one row per file put on a send list and sent (sending a name again
// makes a new row), with its answers; and the failures met on the way. Times are local ISO
// 8601 texts ("2026-02-02T14:05:00"); `momento` is the time the history shows and sorts by
// (listed, then handed to reception or sent).
inline constexpr const char* kJournalTableSql = R"sql(
CREATE TABLE BITACORA (
    id INTEGER PRIMARY KEY,
    archivo TEXT NOT NULL DEFAULT '',
    tipo TEXT NOT NULL DEFAULT '',
    ruta_local TEXT NOT NULL DEFAULT '',
    icono TEXT NOT NULL DEFAULT '',
    ruta_pre TEXT NOT NULL DEFAULT '',
    ruta_val TEXT NOT NULL DEFAULT '',
    estado TEXT NOT NULL DEFAULT 'en envío',
    pendiente INTEGER NOT NULL DEFAULT 0,
    esperando INTEGER NOT NULL DEFAULT 0,
    momento TEXT NOT NULL DEFAULT '',
    en_lista TEXT,
    envio_inicio TEXT,
    enviado TEXT,
    carpeta_remota TEXT,
    tamano INTEGER,
    sha256 TEXT,
    espera_desde TEXT,
    prev_archivo TEXT NOT NULL DEFAULT '',
    prev_carpeta TEXT NOT NULL DEFAULT '',
    prev_llegada TEXT,
    prev_ruta TEXT,
    val_archivo TEXT NOT NULL DEFAULT '',
    val_carpeta TEXT NOT NULL DEFAULT '',
    val_destino TEXT NOT NULL DEFAULT '',
    val_llegada TEXT,
    val_ruta TEXT
);
CREATE INDEX BITACORA_MOMENTO ON BITACORA (momento);
CREATE INDEX BITACORA_ARCHIVO ON BITACORA (archivo, momento);
CREATE INDEX BITACORA_ESPERANDO ON BITACORA (esperando);
CREATE INDEX BITACORA_PENDIENTE ON BITACORA (pendiente);
)sql";

inline constexpr const char* kJournalFailuresTableSql = R"sql(
CREATE TABLE BITACORA_FALLAS (
    id INTEGER PRIMARY KEY,
    entrada INTEGER NOT NULL DEFAULT 0,
    momento TEXT NOT NULL DEFAULT '',
    numero INTEGER NOT NULL DEFAULT 0,
    texto TEXT NOT NULL DEFAULT ''
);
CREATE INDEX BITACORA_FALLAS_ENTRADA ON BITACORA_FALLAS (entrada);
)sql";

}  // namespace ordano
