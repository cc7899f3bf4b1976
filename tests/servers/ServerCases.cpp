// SPDX-License-Identifier: Apache-2.0
#include "servers/ServerCases.h"

#include <random>

#include "fixtures/FtpServer.h"

namespace ordano::test {

std::vector<ServerCase> server_cases() {
    using Kind = RealFtpServer::Kind;
    return {
        {.real = std::nullopt},
        {.real = std::nullopt, .tls = true},
        {.real = Kind::Proftpd},
        {.real = Kind::Proftpd, .tls = true, .reuse_required = true},
        {.real = Kind::Proftpd, .tls = true, .repeat_only = true},
        {.real = Kind::Vsftpd},
        {.real = Kind::Vsftpd, .tls = true, .reuse_required = true},
        {.real = Kind::Vsftpd, .tls = true, .repeat_only = true},
        {.real = Kind::PureFtpd},
        {.real = Kind::PureFtpd, .tls = true},
    };
}

std::string case_name(const ServerCase& server) {
    std::string name = "Pyftpdlib";
    if (server.real) {
        name = *server.real == RealFtpServer::Kind::Proftpd  ? "Proftpd"
               : *server.real == RealFtpServer::Kind::Vsftpd ? "Vsftpd"
                                                             : "PureFtpd";
    }
    if (server.tls) {
        name += server.reuse_required ? "TlsReuse" : "Tls";
    }
    return server.repeat_only ? name + "Repeat" : name;
}

void PrintTo(const ServerCase& server, std::ostream* out) {
    *out << case_name(server);
}

std::string param_name(const ::testing::TestParamInfo<ServerCase>& info) {
    return case_name(info.param);
}

std::string missing_for(const ServerCase& server) {
    return server.real ? RealFtpServer::missing() : std::string();
}

std::unique_ptr<TestFtpServer> start_server(const ServerCase& server, int max_per_address,
                                            std::int64_t upload_bytes_per_second) {
    if (server.real) {
        return std::make_unique<RealFtpServer>(RealFtpServer::Options{
            .kind = *server.real,
            .tls = server.tls,
            .tls_reuse_required = server.reuse_required,
            .max_connections_per_address = max_per_address,
            .upload_bytes_per_second = upload_bytes_per_second,
        });
    }
    FtpServerOptions options;
    if (server.tls) {
        options.tls = FtpServerTls{};
    }
    options.max_connections_per_address = max_per_address;
    auto own = std::make_unique<FtpServer>(std::move(options));
    if (upload_bytes_per_second > 0) {
        own->set_faults({.throttle_bytes_per_second = upload_bytes_per_second});
    }
    return own;
}

std::string random_bytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>('A' + generator() % 26);
    }
    return bytes;
}

}  // namespace ordano::test
