// SPDX-License-Identifier: Apache-2.0
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cli/PaymentPasswordPrompt.h"
#include "fixtures/ScriptedUi.h"
#include "office/Session.h"

namespace ordano::test {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

class PaymentPasswordPromptTest : public ::testing::Test {
protected:
    PaymentPasswordPromptTest() { session_.pass_ban = "Pago123"; }

    Sesion session_;
    ScriptedUi ui_;
    std::ostringstream err_;
};

TEST_F(PaymentPasswordPromptTest, AcceptsOnlyTheExactPassword) {
    for (const char* typed : {"pago123\n", "Pago123 \n", " Pago123\n", "Pago12\n"}) {
        std::istringstream in(typed);
        cli::PaymentPasswordPrompt prompt(session_, ui_, &in, err_);
        EXPECT_FALSE(prompt.ask()) << typed;
        EXPECT_TRUE(prompt.refused());
    }
    EXPECT_EQ(ui_.messages.size(), 4u);
    EXPECT_EQ(ui_.messages.front().text, "Contraseña de pago electrónico no válida");
    EXPECT_EQ(ui_.messages.front().icon, MessageIcon::Critical);

    std::istringstream in("Pago123\r\n");  // a CR LF line end is not part of it
    cli::PaymentPasswordPrompt prompt(session_, ui_, &in, err_);
    EXPECT_TRUE(prompt.ask());
    EXPECT_FALSE(prompt.refused());
}

TEST_F(PaymentPasswordPromptTest, ReadsOneLineAndComparesWithThePasswordHeldWhenAsked) {
    std::istringstream in("nueva\nPago123\n");
    cli::PaymentPasswordPrompt prompt(session_, ui_, &in, err_);
    EXPECT_FALSE(prompt.ask());
    // A sending run reads the password from the server before it asks again.
    session_.pass_ban = "nueva";
    EXPECT_TRUE(prompt.ask());
    std::string rest;
    std::getline(in, rest);
    EXPECT_EQ(rest, "Pago123");
}

TEST_F(PaymentPasswordPromptTest, EmptyPasswordAcceptsAnEmptyLineOrNoInput) {
    session_.pass_ban.clear();
    std::istringstream empty_line("\n");
    EXPECT_TRUE(cli::PaymentPasswordPrompt(session_, ui_, &empty_line, err_).ask());
    std::istringstream no_input("");
    EXPECT_TRUE(cli::PaymentPasswordPrompt(session_, ui_, &no_input, err_).ask());
    EXPECT_THAT(ui_.messages, IsEmpty());
}

TEST_F(PaymentPasswordPromptTest, WithoutStandardInputThePromptIsRefusedWithAHint) {
    cli::PaymentPasswordPrompt prompt(session_, ui_, nullptr, err_);
    EXPECT_FALSE(prompt.ask());
    EXPECT_TRUE(prompt.refused());
    EXPECT_THAT(err_.str(), HasSubstr("--password-stdin"));
}

}  // namespace
}  // namespace ordano::test
