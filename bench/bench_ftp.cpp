// SPDX-License-Identifier: Apache-2.0
// FTP session figures on loopback against the test server (pyftpdlib), beside the curl
// command-line tool doing the same work in one invocation (which also reuses its connection):
//   (a) 200 downloads of 1 KB files in one session;
//   (b) 200 downloads of files that do not exist (what a polling tick mostly does);
//   (c) throughput of one 200 MB download.
// Then our session with TLS on (control and data channels encrypted) beside plain FTP, each
// against a server of its kind: 200 uploads and 200 downloads of 1 KB files in one session,
// and one 200 MB download. Ratio = TLS / plain. Last, 200 uploads of 1 KB files published by
// rename (a temporary name, SIZE, RNFR, RNTO) beside the same uploads straight under their
// names, as for a server that refuses renaming, plain and TLS.
// Each figure is the best of three runs. Ratio = ours / curl: below 1 means we are faster.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "fixtures/FtpServer.h"
#include "transfer/FtpSession.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 200;
constexpr std::size_t kSmallSize = 1024;
constexpr std::size_t kBigSize = 200u * 1024u * 1024u;
constexpr int kRuns = 3;

std::string small_name(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "f%03d.bin", i);
    return name;
}

std::string missing_name(int i) {
    return "no" + small_name(i);
}

// The fastest of kRuns runs: its wall time and this process's CPU time in it (what our side
// costs, apart from the server's).
struct Run {
    double seconds = 1e9;
    double cpu_seconds = 0;
};

Run best_run(const std::function<void()>& work) {
    Run best;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        const std::clock_t cpu_start = std::clock();
        work();
        const double cpu = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (seconds < best.seconds) {
            best = {seconds, cpu};
        }
    }
    return best;
}

double best_seconds(const std::function<void()>& work) {
    return best_run(work).seconds;
}

void write_big_file(const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    std::mt19937_64 random(7);
    std::string block(1024 * 1024, '\0');
    for (std::size_t written = 0; written < kBigSize; written += block.size()) {
        for (auto& byte : block) {
            byte = static_cast<char>(random());
        }
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
}

class Bench {
public:
    explicit Bench(ordano::test::FtpServerOptions options = {})
        : server_(std::move(options)),
          local_(fs::temp_directory_path() /
                 (server_.options().tls ? "ordano-bench-ftps" : "ordano-bench-ftp")) {
        fs::remove_all(local_);
        fs::create_directories(local_);
        for (int i = 0; i < kFiles; ++i) {
            server_.put_file("bench/" + small_name(i), std::string(kSmallSize, 'x'));
        }
        write_big_file(server_.local_path("bench/big.bin"));
        server_.make_folder("bench-up");
    }
    ~Bench() { fs::remove_all(local_); }
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // Our session: connect, then the downloads of names(i), failures ignored.
    double ours(const std::function<std::string(int)>& names, int count) {
        return ours_run(names, count).seconds;
    }
    Run ours_run(const std::function<std::string(int)>& names, int count) {
        return best_run([&] {
            ordano::FtpSession ftp("bench");
            ftp.connect(login());
            for (int i = 0; i < count; ++i) {
                try {
                    ftp.download(local_ / names(i), "/bench", names(i));
                } catch (const ordano::FtpError&) {
                }
            }
        });
    }

    // Our session: connect, then uploads of the small files (downloaded first by ours()),
    // renamed into place or, with `direct`, straight under their names.
    Run ours_uploads(int count, bool direct = false) {
        return best_run([&] {
            ordano::FtpSession ftp("bench");
            if (direct) {
                auto ways = std::make_shared<ordano::PublishWays>();
                ways->refused_by(server_.address());
                ftp.share_publish_ways(std::move(ways));
            }
            ftp.connect(login());
            for (int i = 0; i < count; ++i) {
                ftp.upload(local_ / small_name(i), "/bench-up", small_name(i));
            }
        });
    }

    // The curl tool fetching the same URLs in one invocation.
    double curl(const std::function<std::string(int)>& names, int count) {
        const auto config = local_ / "curl.cfg";
        {
            std::ofstream out(config);
            for (int i = 0; i < count; ++i) {
                out << "url = \"ftp://" << server_.address() << "/bench/" << names(i) << "\"\n"
                    << "output = \"" << (local_ / ("c" + names(i))).string() << "\"\n";
            }
        }
        const std::string command =
            "curl -s -u ag0015:secreto --config '" + config.string() + "' >/dev/null 2>&1";
        return best_seconds(
            [&] { [[maybe_unused]] const int ignored = std::system(command.c_str()); });
    }

private:
    [[nodiscard]] ordano::FtpLogin login() const {
        ordano::FtpLogin login{server_.address(), "ag0015", "secreto"};
        if (server_.options().tls) {
            login.tls = {.on = true, .authority_file = server_.authority_file()};
        }
        return login;
    }

    ordano::test::FtpServer server_;
    fs::path local_;

public:
    [[nodiscard]] const ordano::test::FtpServer& server() const { return server_; }
};

void print_row(const char* label, double ours, double curl, const char* unit, double scale) {
    std::printf("%-34s %10.3f %10.3f %s   ratio %.2f\n", label, ours * scale, curl * scale, unit,
                ours / curl);
}

}  // namespace

int main() {
    if (std::system("curl --version >/dev/null 2>&1") != 0) {
        std::fprintf(stderr, "the curl command-line tool is needed for the comparison\n");
        return 1;
    }
    Bench bench;
    const auto big = [](int) { return std::string("big.bin"); };

    const double small_ours = bench.ours(small_name, kFiles);
    const double small_curl = bench.curl(small_name, kFiles);
    const double missing_ours = bench.ours(missing_name, kFiles);
    const double missing_curl = bench.curl(missing_name, kFiles);
    const double big_ours = bench.ours(big, 1);
    const double big_curl = bench.curl(big, 1);

    const double megabytes = static_cast<double>(kBigSize) / (1024.0 * 1024.0);
    std::printf("%-34s %10s %10s\n", "best of 3, loopback", "ours", "curl");
    print_row("(a) 200 x 1 KB downloads", small_ours, small_curl, "s", 1.0);
    print_row("(b) 200 missing-file downloads", missing_ours, missing_curl, "s", 1.0);
    std::printf("%-34s %10.1f %10.1f MB/s   ratio %.2f (time ours/curl)\n", "(c) 200 MB download",
                megabytes / big_ours, megabytes / big_curl, big_ours / big_curl);

    Bench tls_bench({.tls = ordano::test::FtpServerTls{}});
    const auto tls_row = [](const char* label, const Run& tls, const Run& plain) {
        std::printf("%-28s %8.3f %8.3f s  ratio %.2f   CPU %6.3f %6.3f s\n", label, tls.seconds,
                    plain.seconds, tls.seconds / plain.seconds, tls.cpu_seconds, plain.cpu_seconds);
    };
    std::printf("\n%-28s %8s %8s\n", "ours, best of 3, loopback", "TLS", "plain");
    tls_row("(d) 200 x 1 KB downloads", tls_bench.ours_run(small_name, kFiles),
            bench.ours_run(small_name, kFiles));
    tls_row("(e) 200 x 1 KB uploads", tls_bench.ours_uploads(kFiles), bench.ours_uploads(kFiles));
    tls_row("(f) 200 MB download", tls_bench.ours_run(big, 1), bench.ours_run(big, 1));
    std::printf("\n%-28s %8s %8s\n", "200 x 1 KB uploads, best of 3", "renamed", "direct");
    const auto way_row = [](const char* label, const Run& renamed, const Run& direct) {
        std::printf("%-28s %8.3f %8.3f s  ratio %.2f\n", label, renamed.seconds, direct.seconds,
                    renamed.seconds / direct.seconds);
    };
    way_row("(g) plain", bench.ours_uploads(kFiles), bench.ours_uploads(kFiles, true));
    way_row("(h) TLS", tls_bench.ours_uploads(kFiles), tls_bench.ours_uploads(kFiles, true));
    const auto data = tls_bench.server().tls_data_connections();
    std::printf("TLS data connections that resumed the login's session: %d of %d\n", data.resumed,
                data.resumed + data.full);
    return 0;
}
