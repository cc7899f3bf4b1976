// SPDX-License-Identifier: Apache-2.0
// Encrypted sessions against the real server with pyftpdlib's TLS handler and a certificate
// authority made when the server starts.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "fixtures/WineHost.h"
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
        FtpLogin login{server.named_address(), "ag0015", "secreto"};
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

std::string every_byte_and_a_text() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += static_cast<char>(value);
    }
    return bytes + "Pedimento a\xF1o\r\nfin\r";
}

TEST_F(FtpTlsTest, TrustedServerRequiringTlsTakesUploadsByteForByte) {
    FtpServer server(tls_server());
    const std::string bytes = every_byte_and_a_text();
    std::ofstream(sandbox.path() / "m1234567.001", std::ios::binary) << bytes;
    server.make_folder("valin");

    ftp.connect(login(server, true));
    for (const char* name : {"m1234567.001", "m1234567.002", "m1234567.003"}) {
        ftp.upload(sandbox.path() / "m1234567.001", "/valin", name);
    }

    EXPECT_EQ(server.file_bytes("valin/m1234567.003"), bytes);
    EXPECT_EQ(server.logins("ag0015"), 1);
}

TEST_F(FtpTlsTest, TheSessionAsksForTlsByThatNameFirst) {
    // Some servers answer "AUTH SSL" with 500; the conversation must open with "AUTH TLS".
    FtpServer server(tls_server());
    ftp.connect(login(server, true));

    // Past the fixture's own check of the greeting, which only says QUIT.
    const auto commands = server.commands();
    const auto first = std::find_if(commands.begin(), commands.end(),
                                    [](const std::string& command) { return command != "QUIT"; });
    ASSERT_NE(first, commands.end());
    EXPECT_EQ(*first, "AUTH TLS");
}

TEST_F(FtpTlsTest, DownloadsComeByteForByteAndEveryDataConnectionResumesTheLogin) {
    if (test::under_wine()) {
        // A download ends where the server ends the data connection, with TLS's close_notify,
        // which Wine's TLS does not pass on; nor does it resume sessions.
        GTEST_SKIP() << "Wine's TLS neither reports close_notify nor resumes sessions";
    }
    FtpServer server(tls_server());
    const std::string bytes = every_byte_and_a_text();
    std::ofstream(sandbox.path() / "m1234567.001", std::ios::binary) << bytes;
    server.make_folder("valin");
    server.put_file("kroout/m1234567.err", bytes + "respuesta");

    ftp.connect(login(server, true));
    ftp.upload(sandbox.path() / "m1234567.001", "/valin", "m1234567.001");
    ftp.download(sandbox.path() / "m1234567.err", "/kroout", "m1234567.err");

    EXPECT_EQ(read_file(sandbox.path() / "m1234567.err"), bytes + "respuesta");
    // Each data connection resumed the login's TLS session instead of a full handshake, as
    // servers commonly require.
    EXPECT_EQ(server.tls_data_connections().resumed, 2);
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
        EXPECT_NE(description.find("El certificado del servidor " + server.named_address() + " " +
                                   c.words),
                  std::string::npos)
            << description;
        EXPECT_EQ(server.logins("ag0015") + server.refused_logins("ag0015"), 0);
    }
}

// Without a certificate file of its own, the office trusts the system's authorities only.
TEST_F(FtpTlsTest, WithoutAnAuthorityFileOnlyTheSystemsAuthoritiesAreTrusted) {
    if (test::under_wine()) {
        GTEST_SKIP() << "Wine's TLS does not check a certificate against the system's authorities";
    }
    FtpServer server(tls_server());
    auto system_trust = login(server, true);
    system_trust.tls.authority_file.clear();
    EXPECT_EQ(login_failure(system_trust).first, 1032);
}

TEST_F(FtpTlsTest, ServerRequiringTlsWhileOffIsNotAWrongPassword) {
    FtpServer server(tls_server());
    const auto [number, description] = login_failure(login(server, false));
    EXPECT_EQ(number, 1030);
    EXPECT_EQ(description, "El servidor " + server.named_address() +
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

// A certificate fault as libcurl words it on OpenSSL and on Windows' own TLS (Schannel).
TEST(FtpTlsReplies, CertificateFaultsAreToldApartOnEveryTlsLibrary) {
    const auto number = [](CURLcode code, std::string_view detail) {
        return ftp_failure(code, {.reached_server = true, .server = "s", .curl_detail = detail})
            .number();
    };
    const auto schannel = [](const std::string& words) { return "schannel: " + words; };
    const struct {
        CURLcode code;
        std::string detail;
        int number;
    } cases[] = {
        {CURLE_PEER_FAILED_VERIFICATION, "SSL certificate problem: certificate has expired", 1033},
        {CURLE_PEER_FAILED_VERIFICATION,
         schannel("CertGetCertificateChain trust error CERT_TRUST_IS_NOT_TIME_VALID"), 1033},
        {CURLE_SSL_CONNECT_ERROR,
         schannel("next InitializeSecurityContext failed: SEC_E_CERT_EXPIRED (0x80090328) - "
                  "The received certificate has expired."),
         1033},
        {CURLE_PEER_FAILED_VERIFICATION,
         schannel("CertGetNameString() failed to match connection hostname (ftp.example) "
                  "against server certificate names"),
         1034},
        {CURLE_PEER_FAILED_VERIFICATION,
         schannel("SNI or certificate check failed: SEC_E_WRONG_PRINCIPAL (0x80090322) - The "
                  "target principal name is incorrect."),
         1034},
        {CURLE_PEER_FAILED_VERIFICATION,
         schannel("CertGetCertificateChain trust error CERT_TRUST_IS_UNTRUSTED_ROOT"), 1032},
        {CURLE_SSL_CONNECT_ERROR,
         schannel("next InitializeSecurityContext failed: SEC_E_ILLEGAL_MESSAGE (0x80090326)"),
         1036},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(number(c.code, c.detail), c.number) << c.detail;
    }
}

TEST_F(FtpTlsTest, TlsOnAgainstAPlainServerSendsNothing) {
    FtpServer server;
    const auto [number, description] = login_failure(login(server, true));
    EXPECT_EQ(number, 1031);
    EXPECT_NE(description.find("El servidor " + server.named_address() +
                               " no ofrece conexión cifrada (TLS)"),
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
