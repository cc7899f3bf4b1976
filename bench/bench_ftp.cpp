// FTP session figures on loopback against the test server (pyftpdlib), beside the curl
// command-line tool doing the same work in one invocation (which also reuses its connection):
//   (a) 200 downloads of 1 KB files in one session;
//   (b) 200 downloads of files that do not exist (what a polling tick mostly does);
//   (c) throughput of one 200 MB download.
// Each figure is the best of three runs. Ratio = ours / curl: below 1 means we are faster.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
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

double best_seconds(const std::function<void()>& work) {
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
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
    Bench() : local_(fs::temp_directory_path() / "ordano-bench-ftp") {
        fs::remove_all(local_);
        fs::create_directories(local_);
        for (int i = 0; i < kFiles; ++i) {
            server_.put_file("bench/" + small_name(i), std::string(kSmallSize, 'x'));
        }
        write_big_file(server_.local_path("bench/big.bin"));
    }
    ~Bench() { fs::remove_all(local_); }
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // Our session: connect, then the downloads of names(i), failures ignored.
    double ours(const std::function<std::string(int)>& names, int count) {
        return best_seconds([&] {
            ordano::FtpSession ftp("bench");
            ftp.connect({server_.address(), "ag0015", "secreto"});
            for (int i = 0; i < count; ++i) {
                try {
                    ftp.download(local_ / names(i), "/bench", names(i));
                } catch (const ordano::FtpError&) {
                }
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
    ordano::test::FtpServer server_;
    fs::path local_;
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
    return 0;
}
