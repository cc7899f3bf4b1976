// SPDX-License-Identifier: Apache-2.0
// Every kind of answer fed lines it cannot make sense of: empty, truncated, over-long and
// binary. The review must render them without failing and give valid UTF-8.
#include <random>

#include "ReviewTestSupport.h"

namespace ordano::test {
namespace {

bool valid_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        if ((lead & 0xE0) == 0xC0) {
            extra = 1;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
        } else if (lead >= 0x80) {
            return false;
        }
        if (i + extra >= text.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

std::string garbage_file() {
    std::string file;
    const std::string lines[] = {
        "",
        "E",
        "E1",
        "F",
        "1234567",
        "12345678",
        "123456789",
        "200",
        "200|",
        "|||||||||||||||||||||||||",
        "E|||||||||",
        "R|",
        "@@@@@@@@@",
        "E1234567ABC",
        "E12345675012147483648999",
        "E1234567-12-9999999999999999999999",
        "1234567@" + std::string(58, '9'),
        std::string(78, '\xFF'),
        std::string(79, '9'),
        std::string(200000, 'E'),
        "E" + std::string(5000, '|'),
        "\n\n\n",
        "12345\n@\n" + std::string(66, '\n'),
    };
    for (const auto& line : lines) {
        file += line + "\r\n";
    }
    // Every byte value, and random binary lines (a fixed seed keeps the test repeatable).
    for (int b = 0; b < 256; ++b) {
        file.push_back(static_cast<char>(b));
    }
    file += "\r\n";
    std::mt19937 random(20260305);
    std::uniform_int_distribution<int> byte(0, 255), length(0, 130);
    for (int n = 0; n < 3000; ++n) {
        const int size = length(random);
        for (int i = 0; i < size; ++i) {
            file.push_back(static_cast<char>(byte(random)));
        }
        file += n % 2 == 0 ? "\r\n" : "\r";
    }
    return file;
}

class GarbageLinesTest : public ReviewTest {
protected:
    GarbageLinesTest() {
        // Rows for the lookups that garbage may reach.
        add_erroresm(0, 0, 1, 0, "M");
        add_erroresc(1, 0, "C");
        add_erroresd(0, "E", "0", "D");
        add_erroresb(0, "B");
        add_erroress(0, 0, "S");
        add_erroresa(0, "A");
    }
};

TEST_F(GarbageLinesTest, EveryKindRendersGarbageWithoutFailing) {
    const std::string file = garbage_file();
    const std::pair<std::string, std::string> answers[] = {
        {folders.val_rec, "M0001234.err"},  {folders.tra_rec, "T0001234.err"},
        {folders.val_rec, "C0001234.err"},  {folders.val_rec, "D0001234.err"},
        {folders.pag_rec, "A0001234.065"},  {folders.pag_rec, "R0001234.065"},
        {folders.sag_rec, "X0001234.065"},  {folders.api_rec, "P0001234.065"},
        {folders.prof_rec, "Q0001234.065"}, {dialog_val_rec, "K0001234.065"},
    };
    for (const auto& [folder, name] : answers) {
        write_answer(folder, name, file);
        ReviewResult result;
        EXPECT_NO_THROW(result = review(name)) << name;
        EXPECT_FALSE(result.failure) << name << ": " << result.failure->message;
        EXPECT_TRUE(valid_utf8(result.box_text())) << name;
    }
}

TEST_F(GarbageLinesTest, EmptyFileGivesAnEmptyReport) {
    for (const char* name : {"M0001234.err", "C0001234.err", "D0001234.err"}) {
        write_answer(folders.val_rec, name, "");
        EXPECT_EQ(report(name), "") << name;
    }
}

}  // namespace
}  // namespace ordano::test
