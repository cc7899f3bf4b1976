#include <gtest/gtest.h>
#include <chrono>
#include <iostream>
#include <fstream>
#include "fixtures/FtpServer.h"
#include "transfer/FtpSession.h"
using namespace ordano;
using namespace std::chrono;
static void timed(const char* what, const std::function<void()>& f) {
    auto t0 = steady_clock::now();
    try { f(); std::cout << what << ": OK"; }
    catch (const NumberedError& e) { std::cout << what << ": " << e.number() << " " << e.what(); }
    std::cout << " in " << duration_cast<milliseconds>(steady_clock::now() - t0).count() << " ms\n";
}
TEST(Probe, Behaviours) {
    test::FtpServer server;
    server.put_file("a.txt", "hello");
    server.put_file("kroout/b.txt", std::string(300000, 'x'));
    auto dir = std::filesystem::temp_directory_path() / "probe"; std::filesystem::create_directories(dir);
    FtpSession s("p", FtpTimeouts{2, 2});
    FtpLogin login{server.address(), "ag0015", "secreto"};
    timed("connect", [&]{ s.connect(login); });
    timed("download", [&]{ s.download(dir / "a.txt", "", "a.txt"); });
    timed("download abs", [&]{ s.download(dir / "b.txt", "/kroout", "b.txt"); });
    timed("missing", [&]{ s.download(dir / "c.txt", "/kroout", "c.txt"); });
    timed("missing folder", [&]{ s.download(dir / "c.txt", "/nope", "c.txt"); });
    timed("upload missing folder", [&]{ s.upload(dir / "a.txt", "/nope", "c.txt"); });
    std::cout << "logins " << server.logins("ag0015") << "\n";
    server.drop_sessions();
    timed("after kick", [&]{ s.download(dir / "a.txt", "", "a.txt"); });
    std::cout << "logins " << server.logins("ag0015") << "\n";
    server.set_faults({.cut_after_bytes = 100000});
    timed("cut drop", [&]{ s.download(dir / "b.txt", "/kroout", "b.txt"); });
    std::cout << "exists " << std::filesystem::exists(dir / "b.txt") << "\n";
    timed("after cut", [&]{ s.download(dir / "a.txt", "", "a.txt"); });
    timed("upload cut", [&]{ s.upload(dir / "a.txt", "", "up.txt"); });
    std::string big(1000000, 'y'); { std::ofstream(dir / "big.bin") << big; }
    timed("upload big cut", [&]{ s.upload(dir / "big.bin", "", "up.txt"); });
    server.set_faults({.cut_after_bytes = 100000, .cut = test::FtpFaults::Cut::Stall});
    timed("cut stall", [&]{ s.download(dir / "b.txt", "/kroout", "b.txt"); });
    timed("upload big stall", [&]{ s.upload(dir / "big.bin", "", "up.txt"); });
    server.set_faults({.stall_replies = true});
    timed("stall replies", [&]{ s.download(dir / "a.txt", "", "a.txt"); });
    server.set_faults({.stall_greeting = true});
    timed("stall greeting", [&]{ s.connect(login); });
    server.clear_faults();
    timed("wrong pw", [&]{ s.connect({server.address(), "ag0015", "bad"}); });
    timed("nothing listening", [&]{ s.connect({"127.0.0.1:1", "ag0015", "bad"}); });
    timed("unknown host", [&]{ s.connect({"nohost.invalid", "ag0015", "bad"}); });
    timed("unroutable", [&]{ s.connect({"10.255.255.1", "ag0015", "bad"}); });
}
