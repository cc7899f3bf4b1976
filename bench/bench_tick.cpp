// SPDX-License-Identifier: Apache-2.0
// The reception polling tick against the test FTP server (pyftpdlib), in one run:
//
// 1. On loopback, beside the curl command-line tool fetching the same 200 answer URLs in one
//    invocation: (a) 200 awaited rows whose answers have not arrived; (b) the 200 answers
//    (10 KB each) arrive and are stored. Best of three runs, the worst beside it; ours includes
//    the tick's login and logout, curl its own. Ratio = ours / curl: below 1, the tick is faster.
//
// 2. 200 awaited rows of two answers each (400 answers, one remote folder), with none of the
//    answers there and with half of them there, on loopback and with every command answered
//    50 ms late (a slow link): the tick listing each folder once ("listing") beside the tick
//    trying every answer by name ("per-answer", forced by a server that refuses the listing,
//    which costs that mode one refused listing per tick). Seconds and commands per tick.
//
// 3. One pass as `ordano-cli receive --pending` makes it: 100 awaited files (200 answers), none
//    or half of them answered, over a slow link (every command answered 50 ms late) and on a
//    server whose logins take 4.4 s, with the answers downloaded one after another (1 session)
//    and up to 4 at once (the default). `bench_tick pass` runs this part alone.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/DateTime.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "fixtures/ScriptedUi.h"
#include "office/Office.h"
#include "office/Parameters.h"
#include "office/Session.h"
#include "transfer/TransferDesk.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace ordano;

constexpr int kRows = 200;
constexpr std::size_t kAnswerSize = 10 * 1024;
constexpr const char* kAnswerFolder = "ag0015";

// Carta cupo files have one (validation) answer each; SAAI M3 files two, both in the office's
// own folder.
std::string carta_answer(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "C0015%03d.err", i);
    return name;
}
std::string m3_number(int i) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03d", i);
    return digits;
}

struct Figure {
    double best = 1e9;
    double worst = 0;
    long commands = 0;  // of the last run
    long busiest = 0;   // of those, the most one session sent
    int stored = 0;     // answers stored by the last run
};

enum class Kind { Carta, M3 };

class Bench {
public:
    Bench() {
        office_ = Office::open(test_office_.path_options(), clock_);
        office_->session().host = server_.address();
        server_.make_folder(kAnswerFolder);
    }

    // Transfers at once (the office's setting).
    void set_sessions(int sessions) {
        office_->params().set_number(Param::sesiones_ftp, sessions);
        office_->params().save();
    }

    // One tick over a fresh desk whose receive list awaits the answers of `rows` rows.
    Figure tick(Kind kind, int runs, int rows = kRows) {
        Figure figure;
        for (int run = 0; run < runs; ++run) {
            TransferDesk desk(office_->session(), office_->params(), office_->journal(), ui_,
                              clock_, office_->locale(), [] {});
            for (int i = 0; i < rows; ++i) {
                desk.receive_list().append(awaiting_row(kind, i));
            }
            const int awaited = kind == Kind::M3 ? 2 * rows : rows;
            desk.timer().set_enabled(true);
            const auto commands_before = server_.commands().size();
            const auto start = Clock::now();
            desk.polling_tick();
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            figure.best = std::min(figure.best, seconds);
            figure.worst = std::max(figure.worst, seconds);
            figure.commands = static_cast<long>(server_.commands().size() - commands_before);
            figure.busiest = busiest_session(commands_before);
            figure.stored = awaited - awaited_answers(desk.receive_list());
        }
        return figure;
    }

    Figure curl(int runs) {
        const auto config = sandbox_.path() / "curl.cfg";
        {
            std::ofstream out(config);
            for (int i = 0; i < kRows; ++i) {
                out << "url = \"ftp://" << server_.address() << "/" << kAnswerFolder << "/"
                    << carta_answer(i) << "\"\n"
                    << "output = \"" << (sandbox_.path() / ("c" + carta_answer(i))).string()
                    << "\"\n";
            }
        }
        const std::string command =
            "curl -s -u ag0015:secreto --config '" + config.string() + "' >/dev/null 2>&1";
        Figure figure;
        for (int run = 0; run < runs; ++run) {
            const auto start = Clock::now();
            [[maybe_unused]] const int ignored = std::system(command.c_str());
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            figure.best = std::min(figure.best, seconds);
            figure.worst = std::max(figure.worst, seconds);
        }
        return figure;
    }

    // Puts the answers of rows 0..rows-1, every `step`-th row, on the server.
    void publish(Kind kind, int step, int rows = kRows) {
        for (int i = 0; i < rows; i += step) {
            const auto row = awaiting_row(kind, i);
            if (!row.archivo_prev.empty()) {
                put_answer(row.archivo_prev);
            }
            put_answer(row.archivo_val);
        }
    }
    void clear_answers() {
        fs::remove_all(server_.local_path(kAnswerFolder));
        server_.make_folder(kAnswerFolder);
    }

    test::FtpServer& server() { return server_; }

private:
    ReceiveRow awaiting_row(Kind kind, int i) const {
        ReceiveRow row;
        row.ruta_val = std::string("/") + kAnswerFolder;
        row.ruta_dest = office_->session().folders.val_rec;
        if (kind == Kind::Carta) {
            row.text = carta_answer(i).substr(0, 8) + ".033";
            row.prev_state = std::string(kAnswerIn);  // no prevalidation answer for C
            row.archivo_val = carta_answer(i);
        } else {
            row.text = "M0015" + m3_number(i) + ".033";
            row.ruta_pre = row.ruta_val;
            row.archivo_prev = "k0015" + m3_number(i) + ".033";
            row.archivo_val = "M0015" + m3_number(i) + ".err";
        }
        return row;
    }
    // The most commands one session sent since the `from`-th command.
    long busiest_session(std::size_t from) const {
        const std::vector<std::string> sessions = server_.command_sessions();
        std::map<std::string, long> sent;
        long most = 0;
        for (std::size_t i = from; i < sessions.size(); ++i) {
            most = std::max(most, ++sent[sessions[i]]);
        }
        return most;
    }
    static int awaited_answers(const ReceiveList& list) {
        int awaited = 0;
        for (const auto& row : list.rows()) {
            awaited += (row.awaits_prevalidation() ? 1 : 0) + (row.awaits_validation() ? 1 : 0);
        }
        return awaited;
    }
    void put_answer(const std::string& name) {
        server_.put_file(std::string(kAnswerFolder) + "/" + name, std::string(kAnswerSize, 'r'));
    }

    test::Sandbox sandbox_;
    test::TestOffice test_office_{sandbox_};
    FixedClock clock_{LocalDateTime{std::chrono::year{2026} / 2 / 2, 14, 5, 0}};
    std::unique_ptr<Office> office_;
    test::FtpServer server_;
    test::ScriptedUi ui_;
};

void print_curl_row(const char* label, const Figure& ours, const Figure& curl) {
    std::printf("%-40s %9.3f %9.3f s   ratio %.2f   (worst: %.3f %.3f)\n", label, ours.best,
                curl.best, ours.best / curl.best, ours.worst, curl.worst);
}

void print_mode_row(int delay_ms, const char* present, const char* mode, int runs,
                    const Figure& figure) {
    std::printf("%5d ms  %-8s %-11s %9.3f %9.3f %4d %10ld %7d\n", delay_ms, present, mode,
                figure.best, figure.worst, runs, figure.commands, figure.stored);
}

// Part 3; true when each pass stored what was there.
bool slow_pass(Bench& bench) {
    constexpr int kFiles = 100;
    struct Server {
        const char* name;
        std::chrono::milliseconds reply_delay;
        std::chrono::milliseconds login_delay;
    };
    const Server servers[] = {{"50ms-link", std::chrono::milliseconds(50), {}},
                              {"4.4s-login", {}, std::chrono::milliseconds(4400)}};
    std::printf(
        "one pass, %d awaited files (%d answers); floors: the replies over the link of the "
        "commands shared evenly (even), and of the session that sent the most (busiest)\n",
        kFiles, 2 * kFiles);
    std::printf("%-11s %-8s %8s %9s %9s %4s %10s %7s %7s %7s\n", "server", "present", "sessions",
                "best", "worst", "runs", "commands", "even", "busiest", "stored");
    bool as_expected = true;
    for (const Server& server : servers) {
        for (const int step : {0, 2}) {
            bench.clear_answers();
            if (step > 0) {
                bench.publish(Kind::M3, step, kFiles);
            }
            test::FtpFaults faults;
            faults.reply_delay = server.reply_delay;
            faults.login_delay = server.login_delay;
            bench.server().set_faults(faults);
            for (const int sessions : {1, 4}) {
                bench.set_sessions(sessions);
                const Figure figure = bench.tick(Kind::M3, 3, kFiles);
                const double reply = std::chrono::duration<double>(server.reply_delay).count();
                std::printf("%-11s %-8s %8d %9.3f %9.3f %4d %10ld %7.3f %7.3f %7d\n", server.name,
                            step == 0 ? "none" : "half", sessions, figure.best, figure.worst, 3,
                            figure.commands,
                            static_cast<double>(figure.commands) * reply / sessions,
                            static_cast<double>(figure.busiest) * reply, figure.stored);
                as_expected = as_expected && figure.stored == (step == 0 ? 0 : kFiles);
            }
        }
    }
    bench.server().clear_faults();
    bench.set_sessions(4);
    return as_expected;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "pass") {
        Bench bench;
        return slow_pass(bench) ? 0 : 1;
    }
    if (std::system("curl --version >/dev/null 2>&1") != 0) {
        std::fprintf(stderr, "the curl command-line tool is needed for the comparison\n");
        return 1;
    }
    Bench bench;
    bool as_expected = true;

    const Figure waiting_ours = bench.tick(Kind::Carta, 3);
    const Figure waiting_curl = bench.curl(3);
    bench.publish(Kind::Carta, 1);
    const Figure arriving_ours = bench.tick(Kind::Carta, 3);
    const Figure arriving_curl = bench.curl(3);
    bench.clear_answers();
    std::printf("%-40s %9s %9s\n", "best of 3, loopback, 200 rows", "tick", "curl");
    print_curl_row("(a) answers not arrived (stored: none)", waiting_ours, waiting_curl);
    print_curl_row("(b) 200 answers of 10 KB arrive", arriving_ours, arriving_curl);
    std::printf("answers stored by the tick: (a) %d, (b) %d of %d\n\n", waiting_ours.stored,
                arriving_ours.stored, kRows);
    as_expected = waiting_ours.stored == 0 && arriving_ours.stored == kRows;

    std::printf("200 rows awaiting 400 answers in one folder, seconds and commands per tick\n");
    std::printf("%8s  %-8s %-11s %9s %9s %4s %10s %7s\n", "delay", "present", "mode", "best",
                "worst", "runs", "commands", "stored");
    for (const int delay_ms : {0, 50}) {
        for (const int step : {0, 2}) {
            bench.clear_answers();
            if (step > 0) {
                bench.publish(Kind::M3, step);
            }
            const char* present = step == 0 ? "none" : "half";
            const int expected = step == 0 ? 0 : kRows;
            test::FtpFaults faults;
            faults.reply_delay = std::chrono::milliseconds(delay_ms);
            bench.server().set_faults(faults);
            const Figure listing = bench.tick(Kind::M3, 3);
            print_mode_row(delay_ms, present, "listing", 3, listing);
            // Trying each answer by name costs a minute per tick over the slow link: once.
            const int runs = delay_ms > 0 ? 1 : 3;
            faults.listing = test::FtpFaults::Listing::Refused;
            bench.server().set_faults(faults);
            const Figure per_answer = bench.tick(Kind::M3, runs);
            print_mode_row(delay_ms, present, "per-answer", runs, per_answer);
            as_expected =
                as_expected && listing.stored == expected && per_answer.stored == expected;
        }
    }
    bench.server().clear_faults();
    as_expected = slow_pass(bench) && as_expected;
    return as_expected ? 0 : 1;
}
