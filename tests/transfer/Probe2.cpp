#include <gtest/gtest.h>
#include <chrono>
#include <iostream>
#include "fixtures/FtpServer.h"
#include "transfer/FtpSession.h"
using namespace ordano;
using namespace std::chrono;
TEST(Probe, Loop) {
    test::FtpServer server;
    server.put_file("a.txt", "hello");
    auto dir = std::filesystem::temp_directory_path() / "probe"; std::filesystem::create_directories(dir);
    FtpSession s("p", FtpTimeouts{2, 2});
    s.connect({server.address(), "ag0015", "secreto"});
    for (int i = 0; i < 100; ++i) {
        auto t0 = steady_clock::now();
        try { s.download(dir / "a.txt", i % 2 ? "" : "/", i % 3 ? "a.txt" : "zz"); } catch (...) {}
        auto ms = duration_cast<milliseconds>(steady_clock::now() - t0).count();
        if (ms > 50) std::cout << i << ": " << ms << " ms\n";
    }
}
