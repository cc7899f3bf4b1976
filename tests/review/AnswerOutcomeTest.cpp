// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "fixtures/Sandbox.h"
#include "review/AnswerOutcome.h"

namespace ordano {
namespace {

struct Case {
    const char* name;
    std::string bytes;
    std::optional<AnswerOutcome> expected;
};

TEST(AnswerOutcomeTest, ErrorRecordsRejectByTheLayoutOfEachKind) {
    using enum AnswerOutcome;
    const std::vector<Case> cases = {
        {"k0015001.033", "anything", Prevalidated},
        {"D0015003.erp", "E anything", Prevalidated},
        {"M0015001.err", "F1234567FIRMA123\r\nM3 header line\r\n", Accepted},
        {"M0015001.err", "F1234567FIRMA123\r\nE1234567001000110102\r\n", Rejected},
        {"M0015001.err", "A1234567001000110102", Rejected},
        {"C0015002.err", "200|3912|CURP|77|FIRMA|\r\n", Accepted},
        {"C0015002.err", "200|3912|CURP|77|FIRMA|\r\n1|77|1|2|3|4|5|\r\n", Rejected},
        {"D0015003.err", "F0015123456700010100001ACUSE123\r\n\r\n", Accepted},
        {"D0015003.err", "F001512345670001010000\r\n 12345670010001A0105\r\n", Rejected},
        {"a0015004.033", std::string(79, 'x'), Accepted},
        {"a0015004.033", std::string(78, 'x'), Rejected},
        {"x0015005.033", "R|A|OP123|B|C|ACEPTADO\r\n", Accepted},
        {"x0015005.033", "R|A|OP123|B|C|\r\nE|2|15|3|REG|\r\n", Rejected},
        {"R0015006.033", "1234567@FIRMA123\n1234567@FIRMA124\n", Accepted},
        {"R0015006.033", "1234567@FIRMA123\n123456712\n", Rejected},
        {"T0015007.err", "1234567FFIRMA123\r\n1234567C\r\n", Accepted},
        {"T0015007.err", "1234567FFIRMA123\r\n1234567E00101010102\r\n", Rejected},
        {"P0015008.033", "F|OP123|ACEPTADO|\r\n", Accepted},
        {"P0015008.033", "F|OP123|\r\ne|2|15|\r\n", Rejected},
        {"Q0015009.033", "F|OP123|ACEPTADO|\r\n", Accepted},
        {"Q0015009.033", "E|2|15|3|REG|\r\n", Rejected},
        {"Z0015007.033", "anything", std::nullopt},
    };
    test::Sandbox box;
    for (const Case& c : cases) {
        const auto file = box.write_file(c.name, c.bytes);
        EXPECT_EQ(answer_outcome(c.name, file), c.expected) << c.name << ": " << c.bytes;
    }
    EXPECT_EQ(answer_outcome("M0015009.err", box.path() / "M0015009.err"), std::nullopt);
}

}  // namespace
}  // namespace ordano
