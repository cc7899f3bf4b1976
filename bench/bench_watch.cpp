// SPDX-License-Identifier: Apache-2.0
// The unattended watch (ordano-cli watch):
//
// 1. Local work of one pass over send folders holding 5,000 of today's files, 4,990 of them
//    sent earlier (in a journal of 100,000 rows) and 10 new: the look at the folders and the
//    decision of what is ready, without the network, with the settle rule of a watch at its
//    default interval (ready once unchanged for two intervals; the passes come one interval
//    apart on the benchmark's own clock). First the three looks after a start (the first sees
//    every file once, the second finds them still but not settled, the third reads each
//    against the journal once), then passes in steady state: 10 new files seen for the first
//    time, settling, then found ready.
//
// 2. Memory over a run: the watch runs on the engine, as ordano-cli's does, against the test
//    FTP server (passes every second, the window's polling between them) while 1,000 files are
//    dropped into the send folder over the run and the server answers each; the process's resident
//    memory is printed as it goes. The run lasts 600 s, or the seconds given as the first argument.
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "base/DateTime.h"
#include "base/Sha256.h"
#include "engine/EngineDeskWork.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "fixtures/ScriptedUi.h"
#include "office/Journal.h"
#include "office/Office.h"
#include "office/SentDigests.h"
#include "office/Session.h"
#include "transfer/FolderWatch.h"
#include "transfer/ReadyFiles.h"

namespace {

namespace fs = std::filesystem;
using namespace ordano;
using Steady = std::chrono::steady_clock;

constexpr int kFiles = 5000;
constexpr int kNew = 10;
constexpr int kOtherRows = 100000;
constexpr int kSteadyRuns = 20;
constexpr int kRunFiles = 1000;
constexpr std::chrono::seconds kInterval{30};

double ms_since(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

std::string julian(const Clock& clock) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", day_of_year(clock.today()));
    return text;
}

// An M file of today: 5,000 names need more than the three digits of the number, so the
// patente's digits vary too.
std::string file_name(int i, const std::string& day) {
    char name[32];
    std::snprintf(name, sizeof name, "M%04d%03d.%s", i / 1000, i % 1000, day.c_str());
    return name;
}

void write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

long resident_kb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

void seed_sent_rows(SQLite::Database& db, const fs::path& folder, const std::string& day) {
    SQLite::Transaction transaction(db);
    SQLite::Statement filler(
        db,
        "INSERT INTO BITACORA (archivo, tipo, estado, momento, enviado, sha256) "
        "VALUES (?, 'C', 'aceptado', '2025-01-01T10:00:00', "
        "'2025-01-01T10:00:00', 'x')");
    for (int i = 0; i < kOtherRows; ++i) {
        filler.reset();
        filler.bind(1, "C" + std::to_string(100000 + i) + ".001");
        filler.exec();
    }
    SQLite::Statement sent(db,
                           "INSERT INTO BITACORA (archivo, tipo, estado, momento, enviado, sha256, "
                           "tamano) VALUES (?, 'M', 'aceptado', ?, ?, ?, ?)");
    for (int i = 0; i < kFiles - kNew; ++i) {
        const std::string name = file_name(i, day);
        const FileDigest digest = digest_file(folder / name);
        sent.reset();
        sent.bind(1, name);
        sent.bind(2, "2026-02-02T09:00:00");
        sent.bind(3, "2026-02-02T09:00:00");
        sent.bind(4, digest.sha256);
        sent.bind(5, static_cast<std::int64_t>(digest.size));
        sent.exec();
    }
    transaction.commit();
}

void local_work() {
    test::Sandbox sandbox;
    test::TestOffice test_office(sandbox);
    const SystemClock clock;
    auto office = Office::open(test_office.path_options(), clock);
    const Sesion& session = office->session();
    const fs::path folder = session.folders.val_env;
    const std::string day = julian(clock);
    const std::string bytes(2048, 'M');
    for (int i = 0; i < kFiles - kNew; ++i) {
        write(folder / file_name(i, day), bytes);
    }
    seed_sent_rows(office->db(), folder, day);

    // The settle rule as a watch with the default interval keeps it: a file is ready once it
    // has stayed unchanged for two intervals. Passes come one interval apart on a clock of the
    // benchmark's own, so they run back to back.
    SentDigests digests(office->journal().database());
    ReadyFiles ready(
        [&digests](const FolderFile& file) {
            return digests.last_sent(file.name, file.path.filename().string());
        },
        2 * kInterval);
    std::size_t last_ready = 0;
    double folder_ms = 0;  // of the last pass, the look at the folder alone
    auto watch_time = Steady::now();
    const auto pass = [&] {
        const auto start = Steady::now();
        const FolderLook look = look_at_send_folders(session.folders, session.dia_juliano);
        folder_ms = ms_since(start);
        last_ready = ready.look(look.files, watch_time).ready.size();
        watch_time += kInterval;
        return ms_since(start);
    };
    std::printf("send folder: %d files of 2 KB, %d sent earlier; journal: %d rows\n", kFiles - kNew,
                kFiles - kNew, kFiles - kNew + kOtherRows);
    std::printf("after a start, first look (each file seen once):        %8.1f ms\n", pass());
    std::printf("after a start, second look (still, not settled yet):     %8.1f ms\n", pass());
    std::printf("after a start, third look (settled: read, looked up):    %8.1f ms, ready %zu\n",
                pass(), last_ready);

    std::vector<double> first;
    std::vector<double> settling;
    std::vector<double> ready_pass;
    std::vector<double> looks;
    for (int run = 0; run < kSteadyRuns; ++run) {
        for (int i = 0; i < kNew; ++i) {
            write(folder / file_name(kFiles - kNew + i, day), "nuevo " + std::to_string(run));
        }
        first.push_back(pass());
        settling.push_back(pass());
        ready_pass.push_back(pass());
        looks.push_back(folder_ms);
        if (last_ready != static_cast<std::size_t>(kNew)) {
            std::printf("unexpected: %zu ready instead of %d\n", last_ready, kNew);
        }
        for (int i = 0; i < kNew; ++i) {  // as if sent: the next run's files are new again
            fs::remove(folder / file_name(kFiles - kNew + i, day));
        }
        pass();
    }
    for (auto* figures : {&first, &settling, &ready_pass, &looks}) {
        std::sort(figures->begin(), figures->end());
    }
    const auto line = [](const char* what, const std::vector<double>& figures) {
        std::printf("steady pass, %d new files %-14s median %6.1f ms  max %6.1f ms (%d runs)\n",
                    kNew, what, figures[figures.size() / 2], figures.back(), kSteadyRuns);
    };
    line("seen first:", first);
    line("settling:", settling);
    line("found ready:", ready_pass);
    std::printf("  of which the look at the folder (a query per file): median %6.1f ms\n",
                looks[looks.size() / 2]);
}

void memory_over_a_run(std::chrono::seconds duration) {
    test::FtpServer server;
    server.make_folder("valin");
    server.make_folder("ag0015");
    server.make_folder("update");
    test::Sandbox sandbox;
    test::TestOffice test_office(sandbox);
    const SystemClock clock;
    auto office = Office::open(test_office.path_options(), clock);
    office->session().host = server.address();
    const fs::path folder = office->session().folders.val_env;
    const std::string day = julian(clock);
    test::ScriptedUi ui;
    WatchUi watch_ui(ui, false);
    EngineDeskWork work(*office, watch_ui);
    std::atomic<int> sent{0};
    std::atomic<int> answers{0};
    FolderWatch watch(*office, work, watch_ui, {std::chrono::seconds(1), std::chrono::seconds(2)},
                      [&](const WatchEvent& e) {
                          sent += e.kind == WatchEvent::Kind::Sent ? 1 : 0;
                          answers += e.kind == WatchEvent::Kind::Answer ? 1 : 0;
                      });
    std::stop_source stop;
    std::thread runner([&] { watch.run(stop.get_token()); });

    const auto start = Steady::now();
    const auto name = [&day](int i) {
        char text[32];
        std::snprintf(text, sizeof text, "C0015%03d.%s", i, day.c_str());
        return std::string(text);
    };
    int written = 0;
    int answered = 0;
    auto next_report = start;
    std::printf("resident memory over a %lld s run (1,000 files):\n",
                static_cast<long long>(duration.count()));
    while (Steady::now() - start < duration) {
        const double share = std::chrono::duration<double>(Steady::now() - start) / duration;
        for (; written < std::min(kRunFiles, static_cast<int>(share * kRunFiles) + 1); ++written) {
            write(folder / name(written), "carta cupo " + std::to_string(written));
        }
        // The server answers each file it received.
        while (answered < written && fs::exists(server.local_path("valin/" + name(answered)))) {
            std::string answer = name(answered);
            answer.replace(answer.size() - 3, 3, "err");
            server.put_file("ag0015/" + answer, "200|15|CURP|77|FIRMA|\r\n");
            ++answered;
        }
        if (Steady::now() >= next_report) {
            std::printf("  %5.0f s  %6ld KB  written %4d  sent %4d  answers %4d\n",
                        std::chrono::duration<double>(Steady::now() - start).count(), resident_kb(),
                        written, sent.load(), answers.load());
            std::fflush(stdout);
            next_report += duration / 10;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    stop.request_stop();
    runner.join();
    std::printf("  end      %6ld KB  written %4d  sent %4d  answers %4d\n", resident_kb(), written,
                sent.load(), answers.load());
    office->journal().flush();
    std::printf("  the office's database file grew to %ju KB\n",
                static_cast<std::uintmax_t>(fs::file_size(test_office.db_file) / 1024));
}

}  // namespace

int main(int argc, char** argv) {
    const std::chrono::seconds duration(argc > 1 ? std::atoi(argv[1]) : 600);
    local_work();
    memory_over_a_run(duration);
    return 0;
}
