// SPDX-License-Identifier: Apache-2.0
// A catalogue update with 50,000 rows in each of the seven tables (or the number given as the
// first argument), through the real run against the test FTP server: download, decompression
// and installation times (the installation includes the package's schema check), then the time
// of a lookup once the new tables are in.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "base/DateTime.h"
#include "catalog/CatalogUpdate.h"
#include "catalog/PackageBuilder.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "fixtures/ScriptedUi.h"
#include "office/Catalog.h"
#include "office/Office.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kDefaultRows = 50000;
constexpr int kLookups = 50000;

double ms_between(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Notes when each phase of the run ends.
struct Timeline : ordano::CatalogUpdateObserver {
    void step_marked(int step, ordano::StepMark mark) override {
        if (step == 3 && mark == ordano::StepMark::UnderWay) {
            download_start = Clock::now();
        } else if (step == 3 && mark == ordano::StepMark::Finished) {
            inflated = Clock::now();
            for (const auto& entry : std::filesystem::recursive_directory_iterator(work)) {
                if (entry.path().extension() == ".mdb") {
                    unpacked = static_cast<std::int64_t>(entry.file_size());
                }
            }
        } else if (step == 4 && mark == ordano::StepMark::Result) {
            installed = Clock::now();
        }
    }
    // The last report is the end of the download (the total may not be known beforehand).
    void package_progress(std::int64_t done, std::int64_t /*total*/) override {
        downloaded = Clock::now();
        bytes = done;
    }
    Clock::time_point download_start, downloaded, inflated, installed;
    std::int64_t bytes = 0;
    std::int64_t unpacked = 0;
    std::filesystem::path work;
};

template <typename Lookup>
void measure(const char* table, int rows, Lookup lookup) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> row(1, rows * 5 / 4);  // a fifth find nothing
    int found = 0;
    const auto start = Clock::now();
    for (int i = 0; i < kLookups; ++i) {
        found += lookup(row(random)) ? 1 : 0;
    }
    const double us = ms_between(start, Clock::now()) * 1000.0 / kLookups;
    std::printf("  %-12s %6.2f us per record (%d lookups, %d found)\n", table, us, kLookups, found);
}

void measure_lookups(ordano::Catalog& catalog, int rows) {
    std::printf("lookup after installation, in a Catalog::ReadScope:\n");
    ordano::Catalog::ReadScope scope(catalog);
    measure("ERRORESM", rows, [&](int n) { return catalog.erroresm(1 + n % 9, n).has_value(); });
    measure("ERRORESM+reg", rows,
            [&](int n) { return catalog.erroresm(1 + n % 9, n, 500, n % 40).has_value(); });
    measure("ERRORESC", rows, [&](int n) { return catalog.erroresc(n).has_value(); });
    measure("ERRORESD", rows, [&](int n) {
        char consecutive[8];
        std::snprintf(consecutive, sizeof consecutive, "%03d", n);
        return catalog.erroresd("A" + std::to_string(n % 10), consecutive, 3).has_value();
    });
    measure("ERRORESB", rows, [&](int n) { return catalog.erroresb(n).has_value(); });
    measure("ERRORESS", rows, [&](int n) { return catalog.erroress(1, n).has_value(); });
    measure("ERRORESA", rows, [&](int n) { return catalog.erroresa(n).has_value(); });
    measure("INFORMACION", rows, [&](int n) { return catalog.informacion(n % 32768).has_value(); });
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : kDefaultRows;
    ordano::test::Sandbox box;
    ordano::test::FtpServer server;
    auto setup = ordano::test::TestOffice::default_setup();
    setup.host = server.address();
    ordano::test::TestOffice files(box, setup);
    ordano::FixedClock clock(ordano::LocalDateTime{std::chrono::year_month_day{
        std::chrono::year{2026}, std::chrono::December, std::chrono::day{7}}});
    auto office = ordano::Office::open(files.path_options(), clock);
    ordano::test::ScriptedUi ui;

    const auto built = Clock::now();
    server.put_file("update/revact.txt", "0002");
    server.put_file("update/ACTE0002.mdb.mz",
                    ordano::test::make_package(box.path(), {.rows = rows, .tag = "BENCH"}));
    std::printf("package of %d rows per table built in %.0f ms\n", rows,
                ms_between(built, Clock::now()));

    ordano::CatalogUpdate update(*office, ui);
    Timeline timeline;
    timeline.work = office->session().paths.work_folder;
    update.set_observer(&timeline);
    const auto outcome = update.recibir();
    if (outcome != ordano::UpdateOutcome::Installed) {
        std::printf("the update did not install: %s\n", update.result().c_str());
        return 1;
    }
    std::printf("package: %.1f MB compressed, %.1f MB unpacked\n",
                static_cast<double>(timeline.bytes) / 1e6,
                static_cast<double>(timeline.unpacked) / 1e6);
    std::printf("download:      %8.1f ms\n",
                ms_between(timeline.download_start, timeline.downloaded));
    std::printf("decompression: %8.1f ms\n", ms_between(timeline.downloaded, timeline.inflated));
    std::printf("installation:  %8.1f ms (seven tables, indexes, vererr, one transaction)\n",
                ms_between(timeline.inflated, timeline.installed));
    measure_lookups(office->catalog(), rows);
    return 0;
}
