// SPDX-License-Identifier: Apache-2.0
// The journal's cost: per file sent (its upload begun, then sent), per answer stored (the
// answer classified and recorded), and `history` of one day out of 100,000 rows.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "JournalSeed.h"
#include "cli/JournalListing.h"
#include "office/Journal.h"
#include "office/JournalQuery.h"
#include "office/Session.h"
#include "transfer/JournalRecorder.h"
#include "transfer/ReceiveList.h"
#include "transfer/SendList.h"

namespace {

using namespace ordano;
using Steady = std::chrono::steady_clock;

constexpr int kRows = 100000;
constexpr int kPerDay = 500;
constexpr int kFiles = 300;
constexpr int kHistoryRuns = 20;

double ms_since(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

void report(const char* label, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    double total = 0;
    for (const double m : ms) {
        total += m;
    }
    std::printf("%-34s mean %7.3f ms  median %7.3f ms  p95 %7.3f ms  (%zu runs)\n", label,
                total / static_cast<double>(ms.size()), ms[ms.size() / 2], ms[ms.size() * 95 / 100],
                ms.size());
}

void write(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
    const auto folder = std::filesystem::temp_directory_path() / "ordano-bench-journal";
    const auto today = std::chrono::year{2026} / 2 / 2;
    const auto db = bench::seed_journal(folder, kRows, kPerDay, today);
    std::printf("journal rows: %d (%d a day)\n", kRows, kPerDay);

    FixedClock clock({today, 15, 0, 0});
    Journal journal(db, clock);
    Sesion session;
    session.folders.val_env = (folder / "envio" / "saai").string();
    SendList send;
    ReceiveList receive;
    JournalRecorder recorder(journal, send, receive, session, clock);
    const auto work_copy = folder / "work.033";
    const auto answer = folder / "M0015999.err";
    write(work_copy, std::string(10 * 1024, 'd'));
    write(answer, "F1234567FIRMA123\r\n" + std::string(100, 'x') + "\r\n");

    std::vector<double> listed, sent, stored;
    for (int i = 0; i < kFiles; ++i) {
        SendRow row;
        row.text = "M0015" + std::to_string(100 + i) + ".033";
        row.status = "E";
        auto start = Steady::now();
        const RowId id = send.append(row);
        listed.push_back(ms_since(start));

        ReceiveRow awaiting;
        awaiting.text = row.text;
        awaiting.prev_state = "X";
        awaiting.archivo_val = "M0015999.err";
        start = Steady::now();
        recorder.upload_started(id, work_copy, "/valin");
        const RowId rid = receive.append(awaiting);
        recorder.sent(id, rid);
        sent.push_back(ms_since(start));

        receive.update(rid, [](ReceiveRow& r) { r.val_state = "X"; });
        start = Steady::now();
        recorder.answer_stored(rid, false, answer);
        stored.push_back(ms_since(start));
    }
    const auto draining = Steady::now();
    journal.flush();
    std::printf("the writing thread had %.1f ms of writes left after the last answer\n",
                ms_since(draining));
    report("put on the send list", listed);
    report("per file sent (10 KB, hashed)", sent);
    report("per answer stored (classified)", stored);

    HistoryFilter one_day;
    one_day.since = one_day.until = std::chrono::year{2026} / 1 / 20;
    std::vector<double> history;
    std::size_t shown = 0;
    for (int run = 0; run < kHistoryRuns; ++run) {
        const auto start = Steady::now();
        const JournalReader reader(journal.database(), clock.now(), 30);
        const auto records = reader.records(one_day, {HistoryColumn::Moment, false});
        std::ostringstream out;
        cli::print_records_table(out, records);
        out << reader.summary(one_day).text() << "\n";
        history.push_back(ms_since(start));
        shown = records.size();
    }
    std::printf("history of one day: %zu rows\n", shown);
    report("history of one day (query + table)", history);

    // The whole command, process start and office start-up included, when it is named.
    if (argc > 1) {
        std::ofstream(folder / "Ordano.ini") << "RutaBD: " << folder.string() << "\r\n";
        const std::string command = std::string(argv[1]) + " --ini " +
                                    (folder / "Ordano.ini").string() + " --root " +
                                    (folder / "root").string() +
                                    " history --since 2026-01-20 --until 2026-01-20 >/dev/null";
        std::vector<double> runs;
        for (int run = 0; run < 10; ++run) {
            const auto start = Steady::now();
            if (std::system(command.c_str()) != 0) {
                std::printf("ordano-cli history failed\n");
                break;
            }
            runs.push_back(ms_since(start));
        }
        if (!runs.empty()) {
            report("ordano-cli history, one day", runs);
        }
    }
    std::filesystem::remove_all(folder);
}
