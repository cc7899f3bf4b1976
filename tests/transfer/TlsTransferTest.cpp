// SPDX-License-Identifier: Apache-2.0
// The office's TLS setting reaches every session: the sending run against a server that
// requires TLS.
#include "office/Parameters.h"
#include "transfer/TransferFixture.h"

namespace ordano::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TlsTransferTest : public TransferTest {
protected:
    TlsTransferTest() : TransferTest({.tls = FtpServerTls{}}) {
        session().host = server_.named_address();
    }

    void set_tls(bool on) {
        auto& params = office_->params();
        params.set_flag(Param::tls, on);
        params.set_text(Param::tls_ca, server_.authority_file().string());
        params.save();
    }
};

TEST_F(TlsTransferTest, SendingRunGoesEncryptedWhenTheOfficeAsksForIt) {
    set_tls(true);
    add_file("M0015001.033", "M\r\nbytes \x01\xff\r\n");

    enviar();

    EXPECT_EQ(server_.file_bytes("valin/M0015001.033"), "M\r\nbytes \x01\xff\r\n");
    EXPECT_THAT(ui_.texts(), IsEmpty());
    EXPECT_THAT(receive_texts(), ElementsAre("M0015001.033"));
}

TEST_F(TlsTransferTest, ServerRequiringTlsWhileOffIsNamedNotTakenForAWrongPassword) {
    set_tls(false);
    add_file("M0015001.033", "M data");

    enviar();

    EXPECT_THAT(
        ui_.texts(),
        ElementsAre("Error No. 1030\r\nDescripcion: El servidor " + server_.named_address() +
                    " exige conexión cifrada. Activa \"Conexión cifrada (TLS)\" en "
                    "Parámetros del Sistema, pestaña Generales."));
    EXPECT_EQ(server_.file_bytes("valin/M0015001.033"), std::nullopt);
    EXPECT_THAT(send_texts(), ElementsAre("M0015001.033"));
}

}  // namespace
}  // namespace ordano::test
