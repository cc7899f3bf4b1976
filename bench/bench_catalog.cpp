// Time per catalogue lookup over a 20,000-row ERRORESM, with and without the lookup indexes.
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "store/Catalog.h"
#include "store/Schema.h"

namespace {

constexpr int kRows = 20000;
constexpr int kLookups = 100000;

void fill(SQLite::Database& db) {
    SQLite::Transaction transaction(db);
    SQLite::Statement insert(db,
                             "INSERT INTO ERRORESM (NUMERO, REG, CAMPO, TIPO_ERROR, "
                             "NUM_ERROR, DESCRIPCION) VALUES (?, ?, ?, ?, ?, ?)");
    for (int i = 0; i < kRows; ++i) {
        insert.bind(1, i);
        insert.bind(2, 500 + i % 50);
        insert.bind(3, i % 40);
        insert.bind(4, 1 + i % 9);
        insert.bind(5, i / 9);
        insert.bind(6, "DESCRIPCION DEL ERROR NUMERO " + std::to_string(i));
        insert.exec();
        insert.reset();
    }
    transaction.commit();
}

void measure(const char* label, ordano::Catalog& catalog) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> row(0, kRows * 5 / 4);  // a fifth of lookups find nothing
    int found = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kLookups; ++i) {
        const int n = row(random);
        const int tipo = 1 + n % 9;
        const bool by_field = tipo == 3 || tipo == 4 || tipo == 6;
        const auto result = by_field ? catalog.erroresm(tipo, n / 9, 500 + n % 50, n % 40)
                                     : catalog.erroresm(tipo, n / 9);
        found += result ? 1 : 0;
    }
    const std::chrono::duration<double, std::micro> elapsed =
        std::chrono::steady_clock::now() - start;
    std::printf("%-18s %8.2f us per lookup  (%d lookups, %d found)\n", label,
                elapsed.count() / kLookups, kLookups, found);
}

}  // namespace

int main() {
    const auto file = std::filesystem::temp_directory_path() / "ordano-bench-catalog.mdb";
    std::filesystem::remove(file);
    {
        SQLite::Database db(file.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        ordano::create_schema(db);
        fill(db);
        std::printf("ERRORESM rows: %d\n", kRows);
        {
            ordano::Catalog catalog(db);
            measure("with indexes", catalog);
            ordano::Catalog::ReadScope read(catalog);
            measure("  in a ReadScope", catalog);
        }
        db.exec("DROP INDEX ERRORESM_LOOKUP");
        ordano::Catalog catalog(db);
        measure("without indexes", catalog);
    }
    std::filesystem::remove(file);
}
