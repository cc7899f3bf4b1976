// SPDX-License-Identifier: Apache-2.0
// Time per catalogue lookup over a 20,000-row ERRORESM and a 20,000-row ERRORESD (whose type
// letters are compared without regard to case), with and without the lookup indexes.
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "office/Catalog.h"
#include "office/Schema.h"

namespace {

constexpr int kRows = 20000;
constexpr int kLookups = 100000;
constexpr int kDLookups = 10000;  // fewer: a table scan costs a millisecond a lookup

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

// Type letters A-Z, consecutives "00"-"99", fields 0-7.
void fill_d(SQLite::Database& db) {
    SQLite::Transaction transaction(db);
    SQLite::Statement insert(db,
                             "INSERT INTO ERRORESD (REG, CAMPO, TIPO_ERROR, CONSECUTIVO, "
                             "DESCRIPCION) VALUES (?, ?, ?, ?, ?)");
    for (int i = 0; i < kRows; ++i) {
        insert.bind(1, 500 + i % 50);
        insert.bind(2, i / 2600);
        insert.bind(3, std::string(1, static_cast<char>('A' + i % 26)));
        char consecutive[8];
        std::snprintf(consecutive, sizeof consecutive, "%02d", (i / 26) % 100);
        insert.bind(4, consecutive);
        insert.bind(5, "DESCRIPCION DEL ERROR D " + std::to_string(i));
        insert.exec();
        insert.reset();
    }
    transaction.commit();
}

// Half the lookups write the type letter in small letters, as some answers do.
void measure_d(const char* label, ordano::Catalog& catalog) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> row(0, kRows - 1);
    int found = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kDLookups; ++i) {
        const int n = row(random);
        const char letter = static_cast<char>((i % 2 == 0 ? 'A' : 'a') + n % 26);
        char consecutive[8];
        std::snprintf(consecutive, sizeof consecutive, "%02d", (n / 26) % 100);
        found += catalog.erroresd(std::string(1, letter), consecutive, n % 9) ? 1 : 0;
    }
    const std::chrono::duration<double, std::micro> elapsed =
        std::chrono::steady_clock::now() - start;
    std::printf("%-18s %8.2f us per lookup  (%d lookups, %d found)\n", label,
                elapsed.count() / kDLookups, kDLookups, found);
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
        fill_d(db);
        std::printf("ERRORESM and ERRORESD rows: %d each\n", kRows);
        {
            ordano::Catalog catalog(db);
            measure("M with indexes", catalog);
            measure_d("D with indexes", catalog);
            ordano::Catalog::ReadScope read(catalog);
            measure("M in a ReadScope", catalog);
            measure_d("D in a ReadScope", catalog);
        }
        // Every index of the two tables, whatever its name.
        std::vector<std::string> indexes;
        SQLite::Statement list(db,
                               "SELECT name FROM sqlite_master WHERE type='index' AND "
                               "tbl_name IN ('ERRORESM', 'ERRORESD') AND sql IS NOT NULL");
        while (list.executeStep()) {
            indexes.push_back(list.getColumn(0).getString());
        }
        list.reset();
        for (const auto& index : indexes) {
            db.exec("DROP INDEX " + index);
        }
        ordano::Catalog catalog(db);
        measure("M without indexes", catalog);
        measure_d("D without indexes", catalog);
    }
    std::filesystem::remove(file);
}
