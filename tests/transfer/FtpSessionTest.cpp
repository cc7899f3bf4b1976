// SPDX-License-Identifier: Apache-2.0
// The FTP session against a real server (pyftpdlib on 127.0.0.1), faults included.
#include "transfer/FtpSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "fixtures/ChildProcess.h"
#include "fixtures/FtpServer.h"
#include "fixtures/LoopbackSocket.h"
#include "fixtures/Sandbox.h"

namespace ordano {
namespace {

namespace fs = std::filesystem;
using test::FtpFaults;
using test::FtpServer;
using test::FtpTransfer;
using test::Sandbox;

// Short limits so that the stall tests end in a second or two.
constexpr FtpTimeouts kQuick{.connect_seconds = 1, .stall_seconds = 1};

std::string every_byte_value() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += static_cast<char>(value);
    }
    // Windows-1252 text as the server's answer files carry it: accents, CR LF, a lone CR.
    return bytes + "Pedimento 3\xF1o \xC1rea \x80 \x93texto\x94\r\nl\xEDnea\rfin\r\n";
}

std::string random_bytes(std::size_t size) {
    std::mt19937_64 generator(20240611);
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        byte = static_cast<char>(generator());
    }
    return bytes;
}

int error_number_of(const std::function<void()>& call) {
    try {
        call();
    } catch (const NumberedError& error) {
        return error.number();
    }
    return 0;
}

// "number description" of what the call threw; "" when it threw nothing.
std::string error_text_of(const std::function<void()>& call) {
    try {
        call();
    } catch (const NumberedError& error) {
        return std::to_string(error.number()) + " " + error.description();
    }
    return {};
}

class FtpSessionTest : public ::testing::Test {
protected:
    [[nodiscard]] FtpLogin office_login() const {
        return {server.address(), server.options().office.user, server.options().office.password};
    }
    void connect() { ftp.connect(office_login()); }
    [[nodiscard]] fs::path local(std::string_view name) const { return sandbox.path() / name; }
    [[nodiscard]] int office_logins() const { return server.logins("ag0015"); }
    // Nothing but the files named is left in the local folder (no temporary leftovers).
    [[nodiscard]] std::vector<std::string> local_files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(sandbox.path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    Sandbox sandbox;
    FtpServer server;
    FtpSession ftp{"eftpRecepcion", kQuick};
};

// --- logging in -----------------------------------------------------------------------------

TEST_F(FtpSessionTest, LogsInAtConnectAndReusesThatSessionForEveryTransfer) {
    for (int i = 0; i < 50; ++i) {
        server.put_file("kroout/r" + std::to_string(i) + ".err", "respuesta " + std::to_string(i));
    }
    connect();
    EXPECT_TRUE(ftp.connected());
    EXPECT_EQ(office_logins(), 1);

    for (int i = 0; i < 50; ++i) {
        const auto name = "r" + std::to_string(i) + ".err";
        ftp.download(local(name), "/kroout", name);
        EXPECT_EQ(Sandbox::read_file(local(name)), "respuesta " + std::to_string(i));
    }
    EXPECT_EQ(office_logins(), 1);
}

TEST_F(FtpSessionTest, TheUpdateAccountLogsIn) {
    ftp.connect({server.address(), "actualizador", "tivuro"});
    EXPECT_TRUE(ftp.connected());
    EXPECT_EQ(server.logins("actualizador"), 1);
}

TEST_F(FtpSessionTest, DisconnectQuitsAndIsHarmlessWhenNothingIsOpen) {
    ftp.disconnect();
    EXPECT_FALSE(ftp.connected());

    connect();
    ftp.disconnect();
    EXPECT_FALSE(ftp.connected());
    EXPECT_TRUE(FtpServer::wait_for([&] { return server.logouts("ag0015") == 1; }));
    ftp.disconnect();
    EXPECT_EQ(server.logouts("ag0015"), 1);
}

TEST_F(FtpSessionTest, DestroyingTheSessionQuits) {
    {
        FtpSession short_lived("eftpPrincipal", kQuick);
        short_lived.connect(office_login());
    }
    EXPECT_TRUE(FtpServer::wait_for([&] { return server.logouts("ag0015") == 1; }));
}

TEST_F(FtpSessionTest, AServerThatNeverAnswersQuitHoldsTheCloseAtMostTwoSeconds) {
    // The everyday limits: a minute for a reply that never comes. Closing must not take it.
    FtpSession polling("eftpRecepcion", FtpTimeouts{});
    polling.connect(office_login());
    server.set_faults({.ignore_quit = true});
    const auto quits = [&] {
        const auto commands = server.commands();
        return std::count(commands.begin(), commands.end(), "QUIT");
    };
    const auto quits_before = quits();  // the fixture's own check of the greeting ends so

    const auto started = std::chrono::steady_clock::now();
    polling.disconnect();
    const auto took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started);

    std::printf("closing with QUIT unanswered took %.2f s\n", took.count());
    EXPECT_LT(took.count(), 5.0);
    EXPECT_FALSE(polling.connected());
    EXPECT_EQ(quits() - quits_before, 1);  // asked, not skipped
}

TEST_F(FtpSessionTest, ACallAfterDisconnectLogsInAgainWithTheSameAccount) {
    // Callers close the session after error 1000 and then repeat the failed transfer.
    server.put_file("a.txt", "uno");
    connect();
    ftp.disconnect();
    ftp.download(local("a.txt"), "", "a.txt");
    EXPECT_EQ(Sandbox::read_file(local("a.txt")), "uno");
    EXPECT_EQ(office_logins(), 2);
}

TEST_F(FtpSessionTest, ATransferWithoutAnyLoginIsRefused) {
    EXPECT_EQ(error_number_of([&] { ftp.download(local("a.txt"), "", "a.txt"); }),
              ftp_error::kOther);
    EXPECT_FALSE(fs::exists(local("a.txt")));
}

// --- transfers ------------------------------------------------------------------------------

TEST_F(FtpSessionTest, UploadAndDownloadKeepEveryByte) {
    const auto bytes = every_byte_value();
    sandbox.write_file(local("M1234001.123"), bytes);
    server.make_folder("valin");
    connect();

    ftp.upload(local("M1234001.123"), "/valin", "M1234001.123");
    EXPECT_EQ(server.file_bytes("valin/M1234001.123"), bytes);

    ftp.download(local("copia.123"), "/valin", "M1234001.123");
    EXPECT_EQ(Sandbox::read_file(local("copia.123")), bytes);
}

TEST_F(FtpSessionTest, ATwentyMegabyteFileTravelsIntactBothWays) {
    const auto bytes = random_bytes(20 * 1024 * 1024);
    server.put_file("update/ACTE0042.mdb.mz", bytes);
    server.make_folder("valin");
    connect();

    ftp.download(local("ACTE0042.mdb.mz"), "/update", "ACTE0042.mdb.mz");
    EXPECT_TRUE(Sandbox::read_file(local("ACTE0042.mdb.mz")) == bytes);

    ftp.upload(local("ACTE0042.mdb.mz"), "/valin", "grande.bin");
    EXPECT_TRUE(server.file_bytes("valin/grande.bin") == bytes);
}

TEST_F(FtpSessionTest, AnEmptyRemoteFileGivesAnEmptyLocalFile) {
    server.put_file("kroout/vacio.err", "");
    connect();
    ftp.download(local("vacio.err"), "/kroout", "vacio.err");
    ASSERT_TRUE(fs::exists(local("vacio.err")));
    EXPECT_EQ(fs::file_size(local("vacio.err")), 0u);
}

TEST_F(FtpSessionTest, ADownloadReplacesWhatTheLocalFileHeld) {
    server.put_file("kroout/a.err", "nuevo");
    sandbox.write_file(local("a.err"), "contenido anterior, más largo");
    connect();
    ftp.download(local("a.err"), "/kroout", "a.err");
    EXPECT_EQ(Sandbox::read_file(local("a.err")), "nuevo");
    EXPECT_EQ(local_files(), std::vector<std::string>{"a.err"});
}

TEST_F(FtpSessionTest, RemoteFoldersAreAbsoluteRelativeOrTheStartFolder) {
    server.put_file("a.txt", "raiz");
    server.put_file("x/y/a.txt", "profundo");
    server.put_file("kroout/a.txt", "kroout");
    connect();

    ftp.download(local("1"), "/x/y", "a.txt");
    ftp.download(local("2"), "", "a.txt");  // back in the start folder after /x/y
    ftp.download(local("3"), "kroout", "a.txt");
    ftp.download(local("4"), "/", "a.txt");
    ftp.download(local("5"), "x/y/", "a.txt");

    EXPECT_EQ(Sandbox::read_file(local("1")), "profundo");
    EXPECT_EQ(Sandbox::read_file(local("2")), "raiz");
    EXPECT_EQ(Sandbox::read_file(local("3")), "kroout");
    EXPECT_EQ(Sandbox::read_file(local("4")), "raiz");
    EXPECT_EQ(Sandbox::read_file(local("5")), "profundo");
}

TEST_F(FtpSessionTest, NamesWithBlanksAccentsAndUrlSignsReachTheServerAsTheyAre) {
    const std::string name = "Año 1#2%3?.txt";
    sandbox.write_file(local("origen"), "datos");
    server.make_folder("carpeta con blancos");
    connect();
    ftp.upload(local("origen"), "/carpeta con blancos", name);
    // (Windows has no file name with "?", so the server's own record tells what arrived.)
    const auto commands = server.commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "CWD /carpeta con blancos"), 1);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "STOR ." + name + ".parte"), 1);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "RNTO " + name), 1);
    ftp.download(local("vuelta"), "/carpeta con blancos", name);
    EXPECT_EQ(Sandbox::read_file(local("vuelta")), "datos");
}

TEST_F(FtpSessionTest, ProgressReportsBytesSoFarAndTheTotal) {
    const auto bytes = random_bytes(3 * 1024 * 1024);
    server.put_file("big.bin", bytes);
    server.set_faults({.size_in_reply = true});  // "150 ... (3145728 bytes)."
    std::vector<std::pair<std::int64_t, std::int64_t>> reports;
    ftp.set_progress(
        [&](std::int64_t done, std::int64_t total) { reports.emplace_back(done, total); });
    connect();
    reports.clear();

    ftp.download(local("big.bin"), "", "big.bin");
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(),
              std::make_pair(std::int64_t{3 * 1024 * 1024}, std::int64_t{3 * 1024 * 1024}));
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));

    reports.clear();
    ftp.upload(local("big.bin"), "", "otra.bin");
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().first, std::int64_t{3 * 1024 * 1024});

    // A server that states no size: the total is unknown (0).
    server.clear_faults();
    reports.clear();
    ftp.download(local("big.bin"), "", "big.bin");
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), std::make_pair(std::int64_t{3 * 1024 * 1024}, std::int64_t{0}));
}

TEST_F(FtpSessionTest, DownloadsDoNotDependOnTheServersSize) {
    const std::string answer = "respuesta de 22 bytes.";
    server.put_file("kroout/a0015001.033", answer);
    connect();
    server.set_faults({.refuse_size = true});
    ftp.download(local("refused"), "/kroout", "a0015001.033");
    server.set_faults({.lie_size = 3});
    ftp.download(local("lying"), "/kroout", "a0015001.033");

    EXPECT_EQ(Sandbox::read_file(local("refused")), answer);
    EXPECT_EQ(Sandbox::read_file(local("lying")), answer);
    const auto commands = server.commands();
    EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                            [](const std::string& c) { return c.starts_with("SIZE"); }),
              0);
}

TEST_F(FtpSessionTest, TransfersInTheCurrentFolderDoNotChangeIntoItAgain) {
    server.put_file("kroout/a.txt", "a");
    server.put_file("kroout/b.txt", "b");
    server.put_file("x/c.txt", "c");
    sandbox.write_file("d.txt", "d");
    connect();
    ftp.download(local("a.txt"), "/kroout", "a.txt");
    ftp.download(local("b.txt"), "/kroout", "b.txt");
    ftp.upload(local("d.txt"), "/kroout", "d.txt");
    EXPECT_EQ(ftp.list_names("/kroout").size(), 3u);
    ftp.download(local("c.txt"), "/x", "c.txt");
    ftp.download(local("a.txt"), "/kroout", "a.txt");

    std::vector<std::string> cwds;
    for (const auto& command : server.commands()) {
        if (command.starts_with("CWD")) {
            cwds.push_back(command);
        }
    }
    EXPECT_EQ(cwds, (std::vector<std::string>{"CWD /kroout", "CWD /x", "CWD /kroout"}));
    EXPECT_EQ(server.file_bytes("kroout/d.txt"), "d");
}

TEST_F(FtpSessionTest, ListingGivesTheNamesAndARefusalIs1003) {
    server.put_file("ag0015/M0015001.ERR", "1");
    server.put_file("ag0015/k0015001.033", "2");
    server.put_file("inicio.txt", "3");
    connect();
    auto names = ftp.list_names("/ag0015");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"M0015001.ERR", "k0015001.033"}));
    EXPECT_EQ(ftp.list_names(""), (std::vector<std::string>{"ag0015", "inicio.txt"}));
    EXPECT_TRUE(ftp.list_names("/no-existe").empty());

    server.set_faults({.listing = FtpFaults::Listing::Empty});
    EXPECT_TRUE(ftp.list_names("/ag0015").empty());
    for (const auto refusal : {FtpFaults::Listing::Refused, FtpFaults::Listing::Unsupported}) {
        server.set_faults({.listing = refusal});
        EXPECT_EQ(error_number_of([&] { (void)ftp.list_names("/ag0015"); }),
                  ftp_error::kNotTransferred);
    }
    EXPECT_TRUE(ftp.connected());
}

// A hostile server's huge listing: only the names asked for are kept as it arrives (and the
// first, which tells it from an empty one), and past its bound it is refused, 1003, the session
// fit for what comes next.
TEST_F(FtpSessionTest, AHugeListingKeepsOnlyTheWantedNamesAndPastItsBoundIs1003) {
    server.put_file("ag0015/K0015001.033", "2");
    server.put_file("ag0015/m0015001.err", "1");
    connect();
    const auto wanted = [](std::string_view name) { return name == "m0015001.err"; };
    server.set_faults({.listing_padding = 20 * 1024 * 1024});
    EXPECT_EQ(ftp.list_names("/ag0015", wanted),
              (std::vector<std::string>{"relleno-0000000000000000000.txt", "m0015001.err"}));

    server.set_faults({.listing_padding = 70 * 1024 * 1024});
    const std::string text = error_text_of([&] { (void)ftp.list_names("/ag0015", wanted); });
    EXPECT_EQ(text,
              "1003 El servidor envió un listado de la carpeta /ag0015/ de más de 64 MB; "
              "no se lee.");
    server.clear_faults();
    EXPECT_EQ(ftp.list_names("/ag0015", wanted),
              (std::vector<std::string>{"K0015001.033", "m0015001.err"}));
}

// --- error numbers from their real causes ---------------------------------------------------

TEST_F(FtpSessionTest, AWrongPasswordIs1013) {
    EXPECT_EQ(error_number_of([&] {
                  ftp.connect({server.address(), "ag0015", "otra"});
              }),
              ftp_error::kLoginRefused);
    EXPECT_FALSE(ftp.connected());
    EXPECT_EQ(server.refused_logins("ag0015"), 1);
}

TEST_F(FtpSessionTest, AServerRefusingEveryLoginGives1013) {
    server.set_faults({.refuse_logins = true});
    EXPECT_EQ(error_number_of([&] { connect(); }), ftp_error::kLoginRefused);
    EXPECT_EQ(office_logins(), 0);
}

TEST_F(FtpSessionTest, NothingListeningIs1029) {
    const FtpLogin login{"127.0.0.1:" + std::to_string(test::unused_loopback_port()), "ag0015",
                         "secreto"};
    EXPECT_EQ(error_number_of([&] { ftp.connect(login); }), ftp_error::kUnreachable);
    EXPECT_FALSE(ftp.connected());
}

TEST_F(FtpSessionTest, AnUnknownHostIs1029) {
    EXPECT_EQ(error_number_of([&] {
                  ftp.connect({"servidor.invalid", "ag0015", "x"});
              }),
              ftp_error::kUnreachable);
}

TEST_F(FtpSessionTest, AConnectionThatIsNeverAcceptedTimesOutAs1029) {
    test::FullListener listener;
    const FtpLogin login{"127.0.0.1:" + std::to_string(listener.port()), "ag0015", "secreto"};
    EXPECT_EQ(error_number_of([&] { ftp.connect(login); }), ftp_error::kUnreachable);
}

TEST_F(FtpSessionTest, AServerThatNeverGreetsIs1002) {
    server.set_faults({.stall_greeting = true});
    EXPECT_EQ(error_number_of([&] { connect(); }), ftp_error::kNoAnswer);
}

TEST_F(FtpSessionTest, AServerThatStopsAnsweringIs1002) {
    server.put_file("a.txt", "uno");
    connect();
    server.set_faults({.stall_replies = true});
    EXPECT_EQ(error_number_of([&] { ftp.download(local("a.txt"), "", "a.txt"); }),
              ftp_error::kNoAnswer);
    EXPECT_FALSE(fs::exists(local("a.txt")));
}

TEST_F(FtpSessionTest, AMissingRemoteFileIs1003AndLeavesNoFile) {
    server.make_folder("kroout");
    sandbox.write_file(local("m1234001.err"), "copia vieja");
    connect();
    EXPECT_EQ(
        error_number_of([&] { ftp.download(local("m1234001.err"), "/kroout", "m1234001.err"); }),
        ftp_error::kNotTransferred);
    EXPECT_TRUE(local_files().empty());

    // The session survives: the next download uses the same login.
    server.put_file("kroout/k1234001.123", "ok");
    ftp.download(local("k1234001.123"), "/kroout", "k1234001.123");
    EXPECT_TRUE(ftp.connected());
    EXPECT_EQ(office_logins(), 1);
}

TEST_F(FtpSessionTest, AMissingRemoteFolderIs1003BothWays) {
    sandbox.write_file(local("M1234001.123"), "datos");
    connect();
    EXPECT_EQ(error_number_of([&] { ftp.download(local("x.err"), "/no/existe", "x.err"); }),
              ftp_error::kNotTransferred);
    EXPECT_EQ(
        error_number_of([&] { ftp.upload(local("M1234001.123"), "/no/existe", "M1234001.123"); }),
        ftp_error::kNotTransferred);
    EXPECT_FALSE(fs::exists(local("x.err")));
}

TEST_F(FtpSessionTest, AnUploadTheServerCannotStoreIs1003) {
    server.make_folder("valin/M1234001.123");  // a folder where the file should go
    sandbox.write_file(local("M1234001.123"), "datos");
    connect();
    EXPECT_EQ(error_number_of([&] { ftp.upload(local("M1234001.123"), "/valin", "M1234001.123"); }),
              ftp_error::kNotTransferred);
}

TEST_F(FtpSessionTest, AConnectionDroppedMidDownloadIs1000AndLeavesNoFile) {
    server.put_file("update/ACTE0042.mdb.mz", random_bytes(1024 * 1024));
    sandbox.write_file(local("ACTE0042.mdb.mz"), "anterior");
    connect();
    server.set_faults({.cut_after_bytes = 200 * 1024});
    EXPECT_EQ(error_number_of(
                  [&] { ftp.download(local("ACTE0042.mdb.mz"), "/update", "ACTE0042.mdb.mz"); }),
              ftp_error::kSessionBroken);
    EXPECT_TRUE(local_files().empty());
    EXPECT_FALSE(ftp.connected());

    // The next call logs in again and completes.
    server.clear_faults();
    ftp.download(local("ACTE0042.mdb.mz"), "/update", "ACTE0042.mdb.mz");
    EXPECT_EQ(fs::file_size(local("ACTE0042.mdb.mz")), 1024u * 1024u);
    EXPECT_EQ(office_logins(), 2);
}

TEST_F(FtpSessionTest, AConnectionDroppedMidUploadIs1000) {
    sandbox.write_file(local("E1234001.123"), random_bytes(2 * 1024 * 1024));
    server.make_folder("pagin");
    connect();
    server.set_faults({.cut_after_bytes = 100 * 1024});
    EXPECT_EQ(error_number_of([&] { ftp.upload(local("E1234001.123"), "/pagin", "E1234001.123"); }),
              ftp_error::kSessionBroken);
}

TEST_F(FtpSessionTest, ATransferThatStopsMovingIs1002AndLeavesNoFile) {
    server.put_file("big.bin", random_bytes(1024 * 1024));
    connect();
    server.set_faults({.cut_after_bytes = 100 * 1024, .cut = FtpFaults::Cut::Stall});
    EXPECT_EQ(error_number_of([&] { ftp.download(local("big.bin"), "", "big.bin"); }),
              ftp_error::kNoAnswer);
    EXPECT_TRUE(local_files().empty());
}

TEST_F(FtpSessionTest, AnIdleSessionTheServerDroppedIsRetriedOnceOnANewLogin) {
    server.put_file("a.txt", "uno");
    connect();
    server.drop_sessions();  // "421 Control connection timed out."
    ftp.download(local("a.txt"), "", "a.txt");
    EXPECT_EQ(Sandbox::read_file(local("a.txt")), "uno");
    EXPECT_EQ(office_logins(), 2);
}

TEST_F(FtpSessionTest, LocalFilesThatCannotBeReachedAre68) {
    connect();
    EXPECT_EQ(error_number_of([&] { ftp.upload(local("no-existe.123"), "", "x.123"); }),
              error_number::kPathNotFound);
    server.put_file("a.txt", "uno");
    EXPECT_EQ(error_number_of([&] { ftp.download(local("sin/carpeta/a.txt"), "", "a.txt"); }),
              error_number::kPathNotFound);
}

TEST_F(FtpSessionTest, AFullDiskIs61NotAnFtpFailure) {
    server.put_file("grande.err", random_bytes(512 * 1024));
    const auto outcome = test::run_in_child({.max_file_bytes = 64 * 1024}, [&] {
        connect();
        try {
            ftp.download(local("grande.err"), "", "grande.err");
            return std::string("downloaded");
        } catch (const NumberedError& e) {
            return std::to_string(e.number()) + " " + e.description();
        }
    });
    if (!outcome) {
        GTEST_SKIP() << "a child process cannot take a file size limit here";
    }
    EXPECT_EQ(*outcome,
              "61 El disco está lleno: no se pudo escribir " + local("grande.err").string());
    EXPECT_TRUE(local_files().empty());
}

// --- a cancelled upload is aborted -----------------------------------------------------------

class FtpSessionAbortTest : public FtpSessionTest {
protected:
    void SetUp() override {
        server.make_folder("valin");
        sending.connect(office_login());
    }

    // Uploads `bytes` as valin/`name` at `speed` bytes a second and cancels once the server
    // holds `cancel_at` bytes of it, or with -1 once every byte has left the program. Returns
    // the upload's error number (0: done) and what the server recorded of it. A `deaf` server
    // reads no command during the upload.
    std::pair<int, std::vector<FtpTransfer>> upload_cancelled(const std::string& name,
                                                              const std::string& bytes,
                                                              std::int64_t speed,
                                                              std::int64_t cancel_at,
                                                              bool deaf = false) {
        sandbox.write_file(name, bytes);
        server.set_faults({.throttle_bytes_per_second = speed, .deaf_in_uploads = deaf});
        std::atomic<bool> all_left{false};
        sending.set_progress([&](std::int64_t done, std::int64_t total) {
            all_left = all_left || (total > 0 && done == total);
        });
        int number = -1;
        std::thread upload(
            [&] { number = error_number_of([&] { sending.upload(local(name), "valin", name); }); });
        const auto held = [&] {
            std::error_code ec;
            // Stored under its temporary name until whole.
            const auto size = fs::file_size(server.local_path("valin/." + name + ".parte"), ec);
            return ec ? std::int64_t{-1} : static_cast<std::int64_t>(size);
        };
        EXPECT_TRUE(FtpServer::wait_for(
            [&] { return cancel_at < 0 ? all_left.load() : held() >= cancel_at; },
            std::chrono::seconds(30)));
        sending.cancel();
        upload.join();
        sending.set_progress(nullptr);
        std::vector<FtpTransfer> recorded;
        FtpServer::wait_for([&] {
            recorded.clear();
            for (const auto& entry : server.transfers()) {
                if (entry.path == "/valin/" + name) {
                    recorded.push_back(entry);
                }
            }
            return !recorded.empty();
        });
        return {number, recorded};
    }

    FtpSession sending{"eftpEnvio"};  // the usual limits: a slow server's last reply is awaited
};

// Early or well under way, the server records a failed transfer, never a complete file of the
// bytes it had, and keeps nothing of it.
TEST_F(FtpSessionAbortTest, ACancelledUploadIsAFailedTransferOnTheServerAndIsRemoved) {
    const std::string bytes = random_bytes(16 * 1024 * 1024);
    for (const std::int64_t cancel_at : {1, 4 * 1024 * 1024}) {
        const std::string name = "m" + std::to_string(cancel_at) + ".bin";
        SCOPED_TRACE(name);
        const auto [number, recorded] = upload_cancelled(name, bytes, 2 * 1024 * 1024, cancel_at);
        EXPECT_EQ(number, ftp_error::kSessionBroken);
        ASSERT_EQ(recorded.size(), 1u);
        EXPECT_FALSE(recorded[0].complete);
        EXPECT_TRUE(
            FtpServer::wait_for([&] { return !server.file_bytes("valin/" + name).has_value(); }));
    }
}

// A server that does not read the control connection during an upload learns of the cancel
// from the data connection alone: it must be reset, since an end in order is a whole file.
TEST_F(FtpSessionAbortTest, AServerDeafDuringTheUploadRecordsTheCancelledOneFailed) {
    const auto [number, recorded] = upload_cancelled("m.bin", random_bytes(16 * 1024 * 1024),
                                                     2 * 1024 * 1024, 1024 * 1024, true);
    EXPECT_EQ(number, ftp_error::kSessionBroken);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_FALSE(recorded[0].complete);
}

// The server takes half a second to read what the system already took: well within the wait
// a stop gives the server's confirmation.
TEST_F(FtpSessionAbortTest, AnUploadWhoseBytesHaveAllLeftCompletesDespiteTheCancel) {
    const std::string bytes = random_bytes(100 * 1024);
    const auto [number, recorded] = upload_cancelled("m.bin", bytes, 200 * 1024, -1);
    EXPECT_EQ(number, 0);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_TRUE(recorded[0].complete);
    EXPECT_TRUE(server.file_bytes("valin/m.bin") == bytes);
}

// --- cancelling and concurrent use ----------------------------------------------------------

// Runs a slow download on a thread of its own; done() tells its outcome.
class SlowDownload {
public:
    SlowDownload(FtpSession& ftp, fs::path target) {
        ftp.set_progress([this](std::int64_t done, std::int64_t) {
            if (done > 0) {
                moving_ = true;
            }
        });
        thread_ = std::thread([this, &ftp, target] {
            number_ = error_number_of([&] { ftp.download(target, "", "slow.bin"); });
        });
    }
    ~SlowDownload() { finish(); }
    SlowDownload(const SlowDownload&) = delete;
    SlowDownload& operator=(const SlowDownload&) = delete;

    bool wait_until_moving() {
        return FtpServer::wait_for([this] { return moving_.load(); });
    }
    int finish() {
        if (thread_.joinable()) {
            thread_.join();
        }
        return number_;
    }

private:
    std::atomic<bool> moving_{false};
    int number_ = -1;
    std::thread thread_;
};

class FtpSessionSlowTest : public FtpSessionTest {
protected:
    void SetUp() override {
        server.put_file("slow.bin", random_bytes(4 * 1024 * 1024));
        server.put_file("a.txt", "uno");
        connect();
        server.set_faults({.throttle_bytes_per_second = 256 * 1024});
    }
};

TEST_F(FtpSessionSlowTest, CancelFromAnotherThreadStopsTheTransferWith1000) {
    SlowDownload slow(ftp, local("slow.bin"));
    ASSERT_TRUE(slow.wait_until_moving());
    ftp.cancel();
    EXPECT_EQ(slow.finish(), ftp_error::kSessionBroken);
    EXPECT_TRUE(local_files().empty());

    server.clear_faults();
    ftp.download(local("a.txt"), "", "a.txt");
    EXPECT_EQ(Sandbox::read_file(local("a.txt")), "uno");
}

TEST_F(FtpSessionTest, ACancelMadeBeforeTheCallTakesTheSessionStopsThatCall) {
    // The session was handed to a thread whose download has not begun yet when Detener comes.
    server.put_file("a.txt", "uno");
    connect();
    ftp.cancel();
    EXPECT_EQ(error_number_of([&] { ftp.download(local("a.txt"), "", "a.txt"); }),
              ftp_error::kSessionBroken);
    EXPECT_FALSE(fs::exists(local("a.txt")));

    // Honoured once: the next call runs.
    ftp.download(local("a.txt"), "", "a.txt");
    EXPECT_EQ(Sandbox::read_file(local("a.txt")), "uno");
}

TEST_F(FtpSessionSlowTest, ASecondCallWhileOneRunsIsRefusedWithoutHarm) {
    SlowDownload slow(ftp, local("slow.bin"));
    ASSERT_TRUE(slow.wait_until_moving());
    EXPECT_EQ(error_number_of([&] { ftp.download(local("a.txt"), "", "a.txt"); }),
              ftp_error::kOther);
    EXPECT_FALSE(fs::exists(local("a.txt")));
    ftp.cancel();
    slow.finish();
}

TEST_F(FtpSessionSlowTest, DisconnectDuringATransferCancelsItAndClosesTheSession) {
    SlowDownload slow(ftp, local("slow.bin"));
    ASSERT_TRUE(slow.wait_until_moving());
    ftp.disconnect();
    EXPECT_EQ(slow.finish(), ftp_error::kSessionBroken);
    EXPECT_FALSE(ftp.connected());
    EXPECT_TRUE(local_files().empty());
}

}  // namespace
}  // namespace ordano
