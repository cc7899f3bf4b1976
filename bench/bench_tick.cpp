// The reception polling tick on loopback against the test FTP server (pyftpdlib), beside the
// curl command-line tool fetching the same 200 answer URLs in one invocation:
//   (a) a tick with 200 awaited rows whose answers have not arrived;
//   (b) a tick in which the 200 answers (10 KB each) arrive and are stored.
// Each figure is the best of three runs, with the worst beside it; ours includes the tick's login
// and logout, curl its own. Ratio = ours / curl: below 1 means the tick is faster.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "fixtures/ScriptedUi.h"
#include "store/DateTime.h"
#include "store/Office.h"
#include "store/Session.h"
#include "transfer/TransferDesk.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace ordano;

constexpr int kRows = 200;
constexpr std::size_t kAnswerSize = 10 * 1024;
constexpr int kRuns = 3;
constexpr const char* kAnswerFolder = "ag0015";

// Carta cupo files: one (validation) answer each, so 200 rows await 200 answers.
std::string answer_name(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "C0015%03d.err", i);
    return name;
}

struct Figure {
    double best;
    double worst;
};

class Bench {
public:
    Bench() {
        office_ = Office::open(test_office_.path_options(), clock_);
        office_->session().host = server_.address();
        server_.make_folder(kAnswerFolder);
    }

    // One tick over a fresh desk whose receive list awaits the 200 answers.
    Figure tick() {
        return best_seconds([this] {
            TransferDesk desk(office_->session(), office_->params(), office_->journal(), ui_,
                              clock_, office_->locale(), [] {});
            for (int i = 0; i < kRows; ++i) {
                ReceiveRow row;
                row.text = answer_name(i).substr(0, 8) + ".033";
                row.prev_state = std::string(kAnswerIn);  // no prevalidation answer for C
                row.ruta_val = std::string("/") + kAnswerFolder;
                row.archivo_val = answer_name(i);
                row.ruta_dest = office_->session().folders.val_rec;
                desk.receive_list().append(std::move(row));
            }
            desk.timer().set_enabled(true);
            const auto start = Clock::now();
            desk.tmrPreVal_Timer();
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            received_ = kRows - static_cast<int>(desk.receive_list().size());
            return seconds;
        });
    }

    Figure curl() {
        const auto config = sandbox_.path() / "curl.cfg";
        {
            std::ofstream out(config);
            for (int i = 0; i < kRows; ++i) {
                out << "url = \"ftp://" << server_.address() << "/" << kAnswerFolder << "/"
                    << answer_name(i) << "\"\n"
                    << "output = \"" << (sandbox_.path() / ("c" + answer_name(i))).string()
                    << "\"\n";
            }
        }
        const std::string command =
            "curl -s -u ag0015:secreto --config '" + config.string() + "' >/dev/null 2>&1";
        return best_seconds([&] {
            const auto start = Clock::now();
            [[maybe_unused]] const int ignored = std::system(command.c_str());
            return std::chrono::duration<double>(Clock::now() - start).count();
        });
    }

    void publish_answers() {
        for (int i = 0; i < kRows; ++i) {
            server_.put_file(std::string(kAnswerFolder) + "/" + answer_name(i),
                             std::string(kAnswerSize, 'r'));
        }
    }

    [[nodiscard]] int received() const { return received_; }

private:
    static Figure best_seconds(const std::function<double()>& run) {
        Figure figure{1e9, 0};
        for (int i = 0; i < kRuns; ++i) {
            const double seconds = run();
            figure.best = std::min(figure.best, seconds);
            figure.worst = std::max(figure.worst, seconds);
        }
        return figure;
    }

    test::Sandbox sandbox_;
    test::TestOffice test_office_{sandbox_};
    FixedClock clock_{LocalDateTime{std::chrono::year{2026} / 2 / 2, 14, 5, 0}};
    std::unique_ptr<Office> office_;
    test::FtpServer server_;
    test::ScriptedUi ui_;
    int received_ = 0;
};

void print_row(const char* label, Figure ours, Figure curl) {
    std::printf("%-40s %9.3f %9.3f s   ratio %.2f   (worst: %.3f %.3f)\n", label, ours.best,
                curl.best, ours.best / curl.best, ours.worst, curl.worst);
}

}  // namespace

int main() {
    if (std::system("curl --version >/dev/null 2>&1") != 0) {
        std::fprintf(stderr, "the curl command-line tool is needed for the comparison\n");
        return 1;
    }
    Bench bench;
    const Figure waiting_ours = bench.tick();
    const int waiting_received = bench.received();
    const Figure waiting_curl = bench.curl();
    bench.publish_answers();
    const Figure arriving_ours = bench.tick();
    const int arriving_received = bench.received();
    const Figure arriving_curl = bench.curl();

    std::printf("%-40s %9s %9s\n", "best of 3, loopback, 200 rows", "tick", "curl");
    print_row("(a) answers not arrived (stored: none)", waiting_ours, waiting_curl);
    print_row("(b) 200 answers of 10 KB arrive", arriving_ours, arriving_curl);
    std::printf("answers stored by the tick: (a) %d, (b) %d of %d\n", waiting_received,
                arriving_received, kRows);
    return waiting_received == 0 && arriving_received == kRows ? 0 : 1;
}
