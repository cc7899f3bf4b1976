// SPDX-License-Identifier: Apache-2.0
#include "JournalSeed.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <array>
#include <cstdio>

#include "office/Schema.h"

namespace ordano::bench {

std::filesystem::path seed_journal(const std::filesystem::path& folder, int rows, int per_day,
                                   std::chrono::year_month_day last_day) {
    std::filesystem::remove_all(folder);
    const auto file = folder / "Prevalida.mdb";
    OfficeSetup setup;
    setup.patente = 15;
    setup.agente = "BENCH";
    setup.host = "127.0.0.1";
    setup.folders_root = folder;
    create_office_database(file, setup);
    SQLite::Database db(file.string(), SQLite::OPEN_READWRITE);
    SQLite::Transaction transaction(db);
    SQLite::Statement insert(
        db,
        "INSERT INTO BITACORA (archivo, tipo, ruta_local, estado, pendiente, esperando, momento, "
        "en_lista, enviado, carpeta_remota, tamano, sha256, espera_desde, prev_archivo, "
        "prev_carpeta, prev_llegada, prev_ruta, val_archivo, val_carpeta, val_destino, "
        "val_llegada, val_ruta) VALUES (?, ?, ?, ?, 0, ?, ?, ?, ?, '/valin', 1234, ?, ?, ?, "
        "'/ag0015', ?, ?, ?, '/ag0015', '/rec', ?, ?)");
    constexpr std::array<const char*, 4> kStatuses = {"aceptado", "rechazado", "prevalidado",
                                                      "esperando"};
    constexpr std::array<char, 5> kKinds = {'M', 'C', 'D', 'E', 'S'};
    const std::chrono::sys_days last(last_day);
    for (int i = 0; i < rows; ++i) {
        const std::chrono::year_month_day day(last - std::chrono::days(i / per_day));
        char moment[32];
        std::snprintf(moment, sizeof moment, "%04d-%02u-%02uT%02d:%02d:%02d",
                      static_cast<int>(day.year()), static_cast<unsigned>(day.month()),
                      static_cast<unsigned>(day.day()), 8 + (i % per_day) * 10 / per_day,
                      (i * 7) % 60, i % 60);
        char name[32];
        std::snprintf(name, sizeof name, "%c0015%03d.%03d", kKinds[static_cast<std::size_t>(i % 5)],
                      i % 1000, 1 + (i / per_day) % 365);
        const std::string stem = std::string(name).substr(0, 9);
        const char* status = kStatuses[static_cast<std::size_t>(i % 4)];
        const bool answered = i % 4 < 2;
        const bool awaiting = !answered && i < per_day;  // only the last day still waits
        insert.bind(1, name);
        insert.bind(2, std::string(1, name[0]));
        insert.bind(3, std::string("/envio/") + name);
        insert.bind(4, awaiting || answered ? status : "enviado");
        insert.bind(5, awaiting ? 1 : 0);
        insert.bind(6, moment);
        insert.bind(7, moment);
        insert.bind(8, moment);
        insert.bind(9, std::string(64, 'a'));
        insert.bind(10, moment);
        insert.bind(11, "k" + std::string(name + 1));
        insert.bind(12, moment);
        insert.bind(13, std::string("/rec/k") + (name + 1));
        insert.bind(14, stem + "err");
        if (answered) {
            insert.bind(15, moment);
            insert.bind(16, "/rec/" + stem + "err");
        } else {
            insert.bind(15);
            insert.bind(16);
        }
        insert.exec();
        insert.reset();
    }
    transaction.commit();
    return file;
}

}  // namespace ordano::bench
