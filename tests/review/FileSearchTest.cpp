// SPDX-License-Identifier: Apache-2.0
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "base/Errors.h"
#include "base/FileNames.h"
#include "fixtures/Sandbox.h"
#include "review/FileSearch.h"

namespace ordano {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(FilePattern, TodayAndAllDaysForPatente3912OnDay45) {
    EXPECT_EQ(build_file_pattern(SearchBy::CurrentDay, "M", 3912, 45, ""), "M3912*.045");
    EXPECT_EQ(build_file_pattern(SearchBy::AllDays, "M", 3912, 45, ""),
              "M3912*.0*;M3912*.1*;M3912*.2*;M3912*.3*");
}

TEST(FilePattern, SmallNumbersArePadded) {
    EXPECT_EQ(build_file_pattern(SearchBy::CurrentDay, "E", 7, 1, ""), "E0007*.001");
    EXPECT_EQ(build_file_pattern(SearchBy::AllDays, "D", 15, 300, ""),
              "D0015*.0*;D0015*.1*;D0015*.2*;D0015*.3*");
}

TEST(FilePattern, TypedTextToday_IsThePatternItself) {
    EXPECT_EQ(build_file_pattern(SearchBy::CurrentDay, "M", 15, 33, "m0015001.033"),
              "m0015001.033");
}

TEST(FilePattern, TypedTextAllDays_IsTheDayWithThreeDigits) {
    EXPECT_EQ(build_file_pattern(SearchBy::AllDays, "M", 15, 33, "45"), "M0015*.045");
    EXPECT_EQ(build_file_pattern(SearchBy::AllDays, "S", 15, 33, "7"), "S0015*.007");
    EXPECT_EQ(build_file_pattern(SearchBy::AllDays, "M", 15, 33, "1234"), "M0015*.1234");
    // A text that is no number stays as typed.
    EXPECT_EQ(build_file_pattern(SearchBy::AllDays, "M", 15, 33, "0*"), "M0015*.0*");
    EXPECT_EQ(build_file_pattern(SearchBy::AllDays, "M", 15, 33, "abc"), "M0015*.abc");
}

TEST(FilePattern, StarsQuestionMarksAndCase) {
    EXPECT_TRUE(matches_file_pattern("M3912*.045", "M3912001.045"));
    EXPECT_TRUE(matches_file_pattern("M3912*.045", "m3912001.045"));
    EXPECT_TRUE(matches_file_pattern("m3912*.045", "M3912.045"));
    EXPECT_FALSE(matches_file_pattern("M3912*.045", "M3912001.046"));
    EXPECT_FALSE(matches_file_pattern("M3912*.045", "M3912001.0451"));
    EXPECT_FALSE(matches_file_pattern("M3912*.045", "D3912001.045"));
    EXPECT_FALSE(matches_file_pattern("M3912*.045", "M391.045"));
    EXPECT_TRUE(matches_file_pattern("M?912*", "M3912001.045"));
    EXPECT_FALSE(matches_file_pattern("M?912*", "M912001.045"));
    EXPECT_TRUE(matches_file_pattern("*", "anything.at.all"));
    EXPECT_TRUE(matches_file_pattern("*a*b*c", "xxaybzzc"));
    EXPECT_FALSE(matches_file_pattern("*a*b*c", "xxaybzzcd"));
}

TEST(FilePattern, SeveralPatternsSeparatedBySemicolons) {
    const std::string all_days = "M3912*.0*;M3912*.1*;M3912*.2*;M3912*.3*";
    EXPECT_TRUE(matches_file_pattern(all_days, "M3912001.045"));
    EXPECT_TRUE(matches_file_pattern(all_days, "M3912001.366"));
    EXPECT_TRUE(matches_file_pattern(all_days, "M3912001.1"));
    EXPECT_FALSE(matches_file_pattern(all_days, "M3912001.err"));
    EXPECT_FALSE(matches_file_pattern(all_days, "M3912001.4"));
    EXPECT_FALSE(matches_file_pattern(all_days, "D3912001.045"));
    // Empty parts match nothing; blanks around a part do not count.
    EXPECT_FALSE(matches_file_pattern(";;", "x"));
    EXPECT_FALSE(matches_file_pattern("", "x"));
    EXPECT_TRUE(matches_file_pattern("a.txt; b.txt", "B.TXT"));
}

TEST(SearchKinds, LettersAndFoldersOfTheFourItems) {
    LocalFolders folders;
    folders.val_env = "val";
    folders.pag_env = "pag";
    folders.sag_env = "sag";
    const auto folder_of = [&](int index) { return folders.*(search_kind(index)->folder); };
    EXPECT_EQ(search_kind(0)->letra_tipo, 'M');
    EXPECT_EQ(folder_of(0), "val");
    EXPECT_EQ(search_kind(1)->letra_tipo, 'E');
    EXPECT_EQ(folder_of(1), "pag");
    EXPECT_EQ(search_kind(2)->letra_tipo, 'S');
    EXPECT_EQ(folder_of(2), "sag");
    // "CARTAS CUPO": D files from the SAAI M3 folder.
    EXPECT_EQ(search_kind(3)->letra_tipo, 'D');
    EXPECT_EQ(folder_of(3), "val");
    EXPECT_FALSE(search_kind(-1));
    EXPECT_FALSE(search_kind(4));
}

class FolderSearch : public ::testing::Test {
protected:
    void add(const std::string& name) { box_.write_file(folder_ / name, "x\r\n"); }

    test::Sandbox box_;
    std::filesystem::path folder_ = box_.path() / "envio";
};

TEST_F(FolderSearch, MatchingFilesInNameOrderWithCaseIgnored) {
    for (const char* name : {"M0015002.033", "m0015001.033", "M0015003.032", "D0015001.033",
                             "M0015001.err", "M0015004.033"}) {
        add(name);
    }
    std::filesystem::create_directories(folder_ / "M0015999.033");  // a folder is no file
    EXPECT_THAT(matching_files(folder_, "M0015*.033"),
                ElementsAre("m0015001.033", "M0015002.033", "M0015004.033"));
    EXPECT_THAT(matching_files(folder_, "D0015*.0*;D0015*.1*"), ElementsAre("D0015001.033"));
    EXPECT_THAT(matching_files(folder_, "S0015*.033"), IsEmpty());
}

TEST_F(FolderSearch, MissingFolderIsError68) {
    try {
        (void)matching_files(folder_ / "nada", "*");
        FAIL() << "no error";
    } catch (const NumberedError& error) {
        EXPECT_EQ(error.number(), 68);
        EXPECT_NE(error.description().find("nada"), std::string::npos) << error.description();
    }
    add("archivo.txt");
    // A file where the folder should be is no folder either.
    EXPECT_THROW((void)matching_files(folder_ / "archivo.txt", "*"), NumberedError);
}

TEST_F(FolderSearch, FindsATypedNameWhateverItsCase) {
    add("M0015001.033");
    EXPECT_EQ(find_file_ignoring_case(folder_, "M0015001.033"), folder_ / "M0015001.033");
    const auto found = find_file_ignoring_case(folder_, "m0015001.033");
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(std::filesystem::equivalent(*found, folder_ / "M0015001.033"));
    EXPECT_FALSE(find_file_ignoring_case(folder_, "M0015002.033"));
    EXPECT_FALSE(find_file_ignoring_case(folder_ / "nada", "M0015001.033"));
    EXPECT_FALSE(find_file_ignoring_case(folder_, ""));
}

TEST_F(FolderSearch, ATypedNameNeverLeavesTheFolder) {
    box_.write_file("M0015001.033", "fuera\r\n");
    add("dentro.txt");
    EXPECT_FALSE(find_file_ignoring_case(folder_, "../M0015001.033"));
    EXPECT_FALSE(find_file_ignoring_case(folder_, "..\\M0015001.033"));
    EXPECT_FALSE(find_file_ignoring_case(folder_, ".."));
    EXPECT_FALSE(find_file_ignoring_case(folder_, "."));
}

}  // namespace
}  // namespace ordano
