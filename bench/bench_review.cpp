// SPDX-License-Identifier: Apache-2.0
// Reports of large answers: an "M" answer of 100,000 error records over a 20,000-row
// ERRORESM, and a "C" answer of the same size over a 20,000-row ERRORESC, both indexed as a
// new office database is. Prints records per second and the peak memory of the process.
// Run with "m" or "c" to measure one answer alone (the peak memory is then its own).
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "office/Catalog.h"
#include "office/Schema.h"
#include "review/AnswerReview.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRows = 20000;
constexpr int kRecords = 100000;

void fill_catalogue(SQLite::Database& db) {
    SQLite::Transaction transaction(db);
    SQLite::Statement m(db,
                        "INSERT INTO ERRORESM (NUMERO, REG, CAMPO, TIPO_ERROR, NUM_ERROR, "
                        "DESCRIPCION) VALUES (?, ?, ?, ?, ?, ?)");
    SQLite::Statement c(db,
                        "INSERT INTO ERRORESC (TIPO_ERROR, NUM_ERROR, DESCRIPCION) "
                        "VALUES (?, ?, ?)");
    for (int i = 0; i < kRows; ++i) {
        const std::string description = "DESCRIPCIÓN DEL ERROR NÚMERO " + std::to_string(i);
        m.bind(1, i);
        m.bind(2, 500 + i % 50);
        m.bind(3, i % 40);
        m.bind(4, 1 + i % 9);
        m.bind(5, i / 9);
        m.bind(6, description);
        m.exec();
        m.reset();
        c.bind(1, 1 + i % 3);
        c.bind(2, i);
        c.bind(3, description);
        c.exec();
        c.reset();
    }
    transaction.commit();
    ordano::create_catalog_indexes(db);
}

std::string digits(int value, int width) {
    std::string text = std::to_string(value);
    return std::string(width > static_cast<int>(text.size()) ? width - text.size() : 0, '0') + text;
}

// 21-character error lines; a fifth of them name an error the catalogue does not hold.
void write_m_answer(const fs::path& file) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> row(0, kRows * 5 / 4);
    std::ofstream out(file, std::ios::binary);
    out << "ARCHIVO RECIBIDO\r\n";
    for (int i = 0; i < kRecords; ++i) {
        const int n = row(random);
        out << 'E' << digits(1000000 + i % 9000000, 7) << digits(500 + n % 50, 3)
            << digits(i % 100000, 5) << (1 + n % 9) << digits(n % 40, 2) << digits(n / 9 % 100, 2)
            << "\r\n";
    }
}

void write_c_answer(const fs::path& file) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> key(0, kRows * 5 / 4);
    std::ofstream out(file, std::ios::binary);
    out << "200|3912|CURP18CHARACTERS00|77|SIGNATURE|\r\n";
    for (int i = 0; i < kRecords; ++i) {
        out << i % 1000 << "|F" << i << "|" << i % 7 << "|" << i % 11 << "|2|" << i % 40 << "|"
            << key(random) << "|\r\n";
    }
}

long peak_memory_kib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Renders the answer five times (the machine is shared, so single runs vary) and prints the
// best and the median rate, the report's size and the peak memory of the process so far.
void measure(const char* label, const char* name, const ordano::ReviewContext& context) {
    constexpr int kRuns = 5;
    std::vector<double> seconds;
    std::size_t report_size = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const ordano::ReviewResult result =
            ordano::review_answer(ordano::kReviewTitle, name, context);
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        report_size = result.body.size();
        if (result.failure) {
            std::printf("%s: FAILED: %s\n", label, result.failure->message.c_str());
            return;
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf(
        "%s: %d records; best %.0f records/s, median %.0f records/s; report %.1f MiB; "
        "peak memory %ld KiB\n",
        label, kRecords, kRecords / seconds.front(), kRecords / seconds[kRuns / 2],
        static_cast<double>(report_size) / (1024 * 1024), peak_memory_kib());
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = fs::temp_directory_path() / "ordano-bench-review";
    fs::remove_all(folder);
    fs::create_directories(folder);
    {
        SQLite::Database db((folder / "Prevalida.mdb").string(),
                            SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        ordano::create_schema(db);
        fill_catalogue(db);
        write_m_answer(folder / "M0001234.err");
        write_c_answer(folder / "C0001234.err");
        std::printf("set-up done; peak memory %ld KiB\n", peak_memory_kib());

        ordano::Catalog catalog(db);
        const ordano::ReviewContext context{
            {folder.string(), "", "", "", "", ""}, "", catalog, ordano::SystemClock().now(), {}};
        if (argc < 2 || std::string(argv[1]) == "m") {
            measure("M answer", "M0001234.err", context);
        }
        if (argc < 2 || std::string(argv[1]) == "c") {
            measure("C answer", "C0001234.err", context);
        }
    }
    fs::remove_all(folder);
    return 0;
}
