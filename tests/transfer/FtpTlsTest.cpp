// Encrypted sessions against the real server with pyftpdlib's TLS handler and a certificate
// authority made when the server starts.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "transfer/FtpFailure.h"
#include "transfer/FtpSession.h"

namespace ordano {
namespace {

namespace fs = std::filesystem;
using test::FtpServer;
using test::FtpServerOptions;
using test::FtpServerTls;
using Certificate = FtpServerTls::Certificate;

FtpServerOptions tls_server(Certificate certificate = Certificate::Trusted) {
    return {.tls = FtpServerTls{.certificate = certificate}};
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class FtpTlsTest : public ::testing::Test {
protected:
    // The office account, over TLS trusting the server's own authority when tls_on.
    FtpLogin login(const FtpServer& server, bool tls_on) const {
        FtpLogin login{server.address(), "ag0015", "secreto"};
        login.tls = {.on = tls_on, .authority_file = server.authority_file()};
        return login;
    }
    // The failure of a login: its number and description (0 when it succeeded).
    std::pair<int, std::string> login_failure(const FtpLogin& login) {
        try {
            ftp.connect(login);
        } catch (const FtpError& error) {
            return {error.number(), error.description()};
        }
        return {0, ""};
    }

    test::Sandbox sandbox;
    FtpSession ftp{"eftpEnvio"};
};

TEST_F(FtpTlsTest, TrustedServerRequiringTlsExchangesFilesByteForByte) {
    FtpServer server(tls_server());
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += static_cast<char>(value);
    }
    bytes += "Pedimento a\xF1o\r\nfin\r";
    std::ofstream(sandbox.path() / "m1234567.001", std::ios::binary) << bytes;
    server.put_file("kroout/m1234567.err", bytes + "respuesta");
    server.make_folder("valin");

    ftp.connect(login(server, true));
    for (const char* name : {"m1234567.001", "m1234567.002", "m1234567.003"}) {
        ftp.upload(sandbox.path() / "m1234567.001", "/valin", name);
    }
    ftp.download(sandbox.path() / "m1234567.err", "/kroout", "m1234567.err");

    EXPECT_EQ(server.file_bytes("valin/m1234567.003"), bytes);
    EXPECT_EQ(read_file(sandbox.path() / "m1234567.err"), bytes + "respuesta");
    EXPECT_EQ(server.logins("ag0015"), 1);
    // Each data connection resumed the login's TLS session instead of a full handshake, as
    // servers commonly require.
    EXPECT_EQ(server.tls_data_connections().resumed, 4);
    EXPECT_EQ(server.tls_data_connections().full, 0);
}

TEST_F(FtpTlsTest, CertificateFaultsHaveTheirOwnNumbersAndNoPasswordGoesOut) {
    const struct {
        Certificate certificate;
        int number;
        const char* words;
    } cases[] = {
        {Certificate::Untrusted, 1032, "no es de confianza"},
        {Certificate::Rotated, 1032, "no es de confianza"},
        {Certificate::Expired, 1033, "está vencido"},
        {Certificate::WrongHost, 1034, "fue emitido para otro nombre"},
    };
    for (const auto& c : cases) {
        FtpServer server(tls_server(c.certificate));
        const auto [number, description] = login_failure(login(server, true));
        EXPECT_EQ(number, c.number);
        EXPECT_NE(
            description.find("El certificado del servidor " + server.address() + " " + c.words),
            std::string::npos)
            << description;
        EXPECT_EQ(server.logins("ag0015") + server.refused_logins("ag0015"), 0);
    }
    // Without a certificate file of its own, the office trusts the system's authorities only.
    FtpServer server(tls_server());
    auto system_trust = login(server, true);
    system_trust.tls.authority_file.clear();
    EXPECT_EQ(login_failure(system_trust).first, 1032);
}

TEST_F(FtpTlsTest, ServerRequiringTlsWhileOffIsNotAWrongPassword) {
    FtpServer server(tls_server());
    const auto [number, description] = login_failure(login(server, false));
    EXPECT_EQ(number, 1030);
    EXPECT_EQ(description, "El servidor " + server.address() +
                               " exige conexión cifrada. Activa \"Conexión cifrada (TLS)\" en "
                               "Parámetros del Sistema, pestaña Generales.");
}

// How other servers word the same refusal; a wrong password stays a wrong password.
TEST(FtpTlsReplies, RefusalsThatAskForEncryptionAreToldApart) {
    const auto number = [](std::string_view reply) {
        return ftp_failure(CURLE_LOGIN_DENIED,
                           {.reached_server = true, .server = "s", .last_reply = reply})
            .number();
    };
    EXPECT_EQ(number("530 Non-anonymous sessions must use encryption."), 1030);
    EXPECT_EQ(number("550 SSL/TLS required on the control channel"), 1030);
    EXPECT_EQ(number("530 Login incorrect."), 1013);
}

TEST_F(FtpTlsTest, TlsOnAgainstAPlainServerSendsNothing) {
    FtpServer server;
    const auto [number, description] = login_failure(login(server, true));
    EXPECT_EQ(number, 1031);
    EXPECT_NE(
        description.find("El servidor " + server.address() + " no ofrece conexión cifrada (TLS)"),
        std::string::npos);
    EXPECT_EQ(server.logins("ag0015") + server.refused_logins("ag0015"), 0);
}

TEST_F(FtpTlsTest, UnreadableAuthorityFileIsNamed) {
    FtpServer server(tls_server());
    auto tls_login = login(server, true);
    tls_login.tls.authority_file = sandbox.path() / "no-existe.pem";
    const auto [number, description] = login_failure(tls_login);
    EXPECT_EQ(number, 1035);
    EXPECT_NE(description.find((sandbox.path() / "no-existe.pem").string()), std::string::npos);
}

}  // namespace
}  // namespace ordano
