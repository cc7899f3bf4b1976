// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "base/Encoding.h"
#include "base/Scramble.h"
#include "fixtures/WineHost.h"
#include "office/Parameters.h"
#include "platform/OwnerOnly.h"
#include "transfer/ConnectionMessages.h"
#include "transfer/PaymentPasswordChange.h"
#include "transfer/TransferFixture.h"

namespace ordano::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kServerFile = "update/cfps0015.rgs";

class PaymentPasswordChangeTest : public TransferTest {
protected:
    PaymentPasswordChangeTest() {
        session().pass_ban = "Vieja1";
        office_->params().set_text(Param::PassBan, scramble("Vieja1"));
        office_->params().save();
        server_.put_file(kServerFile, old_line_);
    }

    int link_type() const { return static_cast<int>(office_->params().number(Param::tipo_acceso)); }
    PaymentPasswordContext context() { return {session(), office_->params(), ui_, eftpPrincipal_}; }
    bool change(std::string_view new_password) {
        return change_payment_password(context(), new_password);
    }
    // PassBan as the database holds it, read on a connection of its own.
    std::string stored_pass_ban() const {
        SQLite::Database db(test_office_.db_file.string());
        return db.execAndGet("select PassBan from parametros").getString();
    }
    // Nothing the routines write stays in the drive root.
    std::vector<std::string> drive_root_files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(office_->session().paths.drive_root)) {
            if (entry.is_regular_file()) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }
    void expect_nothing_changed() {
        EXPECT_EQ(session().pass_ban, "Vieja1");
        EXPECT_EQ(office_->params().text(Param::PassBan), scramble("Vieja1"));
        EXPECT_EQ(stored_pass_ban(), scramble("Vieja1"));
        EXPECT_EQ(server_.file_bytes(kServerFile), old_line_);
        EXPECT_THAT(drive_root_files(), IsEmpty());
    }

    const std::string old_line_ = "N" + text::utf8_to_cp1252(scramble("Vieja1")) + "\r\n";
    FtpSession eftpPrincipal_{"eftpPrincipal"};
};

TEST_F(PaymentPasswordChangeTest, CurrentPasswordIsCheckedFirst) {
    EXPECT_EQ(password_change_refusal(session(), "Otra", "A", "B"),
              "No coincide la contraseña actual");
    // Letter case counts in the current password.
    EXPECT_EQ(password_change_refusal(session(), "vieja1", "A", "A"),
              "No coincide la contraseña actual");
    EXPECT_EQ(password_change_refusal(session(), "Vieja1", "Nueva", "nueva"),
              "La contraseña nueva no coincide con la confirmación");
    EXPECT_EQ(password_change_refusal(session(), "Vieja1", "Nueva", "Nueva"), std::nullopt);
    // An empty new password with an empty confirmation is allowed.
    EXPECT_EQ(password_change_refusal(session(), "Vieja1", "", ""), std::nullopt);
}

TEST_F(PaymentPasswordChangeTest, ChangePublishesTheExactLineAndStoresThePassword) {
    ASSERT_TRUE(change("Nueva2"));
    const auto line = server_.file_bytes(kServerFile);
    ASSERT_TRUE(line);
    // The flag immediately followed by the scrambled password, one line.
    EXPECT_EQ(*line, "N" + text::utf8_to_cp1252(scramble("Nueva2")) + "\r\n");
    EXPECT_EQ(unscramble(text::cp1252_to_utf8(line->substr(1, line->size() - 3))), "Nueva2");
    EXPECT_EQ(session().pass_ban, "Nueva2");
    EXPECT_EQ(stored_pass_ban(), scramble("Nueva2"));
    EXPECT_THAT(ui_.messages, IsEmpty());
    EXPECT_THAT(drive_root_files(), IsEmpty());
    EXPECT_EQ(server_.logins("ag0015"), 1);
    EXPECT_TRUE(FtpServer::wait_for([&] { return server_.logouts("ag0015") == 1; }));
}

TEST_F(PaymentPasswordChangeTest, ChangeWritesTheCurrentFlagAndAccentsInWindows1252) {
    session().bandera_pago = 'S';
    ASSERT_TRUE(change("é€x"));
    EXPECT_EQ(server_.file_bytes(kServerFile),
              "S" + text::utf8_to_cp1252(scramble("é€x")) + "\r\n");
    EXPECT_EQ(session().pass_ban, "é€x");
}

TEST_F(PaymentPasswordChangeTest, NextSendingRunReadsTheNewPasswordBack) {
    ASSERT_TRUE(change("Nueva3"));
    session().pass_ban = "otra cosa";
    add_file("M0015001.033", "m");
    enviar();
    EXPECT_EQ(session().pass_ban, "Nueva3");
    EXPECT_EQ(session().bandera_pago, 'N');
    EXPECT_THAT(receive_texts(), ElementsAre("M0015001.033"));
}

TEST_F(PaymentPasswordChangeTest, ServerDownChangesNothing) {
    session().host = "127.0.0.1:1";
    EXPECT_FALSE(change("Nueva4"));
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, no_connection_message(link_type()));
    EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Critical);
    expect_nothing_changed();
}

TEST_F(PaymentPasswordChangeTest, LoginRefusedChangesNothing) {
    refuse_logins();
    EXPECT_FALSE(change("Nueva5"));
    EXPECT_THAT(ui_.texts(), ElementsAre("El Usuario o Contraseña no aceptado"));
    expect_nothing_changed();
}

TEST_F(PaymentPasswordChangeTest, RefusedUploadIsReportedAndChangesNothing) {
    fs::remove_all(server_.local_path("update"));
    EXPECT_FALSE(change("Nueva6"));
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_THAT(ui_.messages[0].text, ::testing::StartsWith("Error No. 1003\r\nDescripcion: "));
    EXPECT_EQ(session().pass_ban, "Vieja1");
    EXPECT_EQ(stored_pass_ban(), scramble("Vieja1"));
    EXPECT_THAT(drive_root_files(), IsEmpty());
}

TEST_F(PaymentPasswordChangeTest, RecordThatCannotBeSavedPutsTheOldServerLineBack) {
    SQLite::Database locker(test_office_.db_file.string(), SQLite::OPEN_READWRITE);
    locker.exec("BEGIN EXCLUSIVE");
    EXPECT_FALSE(change("Nueva7"));
    locker.exec("ROLLBACK");
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_THAT(ui_.messages[0].text,
                ::testing::StartsWith("No se pudo guardar la contraseña en la base de datos"));
    expect_nothing_changed();
}

TEST_F(PaymentPasswordChangeTest, PasswordThatCannotBeWrittenIsRefusedBeforeAnyUpload) {
    EXPECT_FALSE(change("clave 漢"));
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_THAT(ui_.messages[0].text,
                ::testing::StartsWith("La contraseña nueva no se puede guardar"));
    EXPECT_EQ(server_.logins("ag0015"), 0);
    expect_nothing_changed();
}

TEST(RecoveryFile, NameAndLineForPatente45) {
    EXPECT_EQ(recovery_file_name(45), "PASS0045.TXT");
    EXPECT_EQ(recovery_line(45, "Clave"), "Password de la patente 0045:  Clave\r\n");
    EXPECT_EQ(recovery_line(45, "Año"), "Password de la patente 0045:  A\xF1o\r\n");
}

// Notes whether others may read a file when the first FTP call starts.
class PermissionsAtConnect : public TransferUi {
public:
    explicit PermissionsAtConnect(fs::path file) : file_(std::move(file)) {}
    void run_blocking(const std::function<void()>& work) override {
        if (!open.has_value() && fs::exists(file_)) {
            open = open_to_others(file_);
        }
        TransferUi::run_blocking(work);
    }
    std::optional<bool> open;

private:
    fs::path file_;
};

TEST_F(PaymentPasswordChangeTest, RecoveryUploadsTheRequestWithTheUpdateAccount) {
    PermissionsAtConnect watching(office_->session().paths.drive_root / "PASS0015.TXT");
    request_password_recovery({session(), office_->params(), watching, eftpPrincipal_});
    // Others cannot read the request meanwhile.
    ASSERT_TRUE(watching.open.has_value());
    EXPECT_TRUE(!*watching.open || test::under_wine()) << test::kWineAccessLists;
    EXPECT_EQ(server_.file_bytes("update/PASS0015.TXT"),
              "Password de la patente 0015:  Vieja1\r\n");
    ASSERT_EQ(watching.messages.size(), 1u);
    EXPECT_EQ(watching.messages[0].text, "Envio satisfactorio");
    EXPECT_EQ(watching.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(server_.logins("actualizador"), 1);
    EXPECT_EQ(server_.logins("ag0015"), 0);
    // The password in clear does not stay on the disk.
    EXPECT_THAT(drive_root_files(), IsEmpty());
    EXPECT_TRUE(FtpServer::wait_for([&] { return server_.logouts("actualizador") == 1; }));
}

TEST_F(PaymentPasswordChangeTest, RecoveryFailures) {
    session().host = "127.0.0.1:1";
    request_password_recovery(context());
    session().host = server_.address();
    refuse_logins();
    request_password_recovery(context());
    server_.clear_faults();
    session().dir_update = "/no-existe";
    request_password_recovery(context());  // 1003 ends it without a word
    EXPECT_THAT(ui_.texts(), ElementsAre(no_connection_message(link_type()),
                                         "El Usuario o Contraseña no aceptado"));
    for (const auto& shown : ui_.messages) {
        EXPECT_EQ(shown.icon, MessageIcon::Critical);
    }
    EXPECT_FALSE(server_.file_bytes("no-existe/PASS0015.TXT"));
    EXPECT_THAT(drive_root_files(), IsEmpty());
    EXPECT_EQ(session().pass_ban, "Vieja1");
}

}  // namespace
}  // namespace ordano::test
