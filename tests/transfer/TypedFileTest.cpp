// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "fixtures/Sandbox.h"
#include "office/Session.h"
#include "transfer/SendList.h"
#include "transfer/TypedFile.h"

namespace ordano::test {
namespace {

class TypedFileTest : public ::testing::Test {
protected:
    TypedFileTest() {
        folders_.val_env = (box_.path() / "val").string();
        folders_.pag_env = (box_.path() / "pag").string();
        folders_.sag_env = (box_.path() / "sag").string();
    }
    void put(const std::string& folder, const std::string& name, std::string_view bytes = "x") {
        box_.write_file(std::filesystem::path(folder) / name, bytes);
    }

    Sandbox box_;
    LocalFolders folders_;
    SendList send_;
};

TEST_F(TypedFileTest, FolderByInitial) {
    EXPECT_EQ(typed_name_folder("M1", folders_), folders_.val_env);
    EXPECT_EQ(typed_name_folder("c1", folders_), folders_.val_env);
    EXPECT_EQ(typed_name_folder("D1", folders_), folders_.val_env);
    EXPECT_EQ(typed_name_folder("e1", folders_), folders_.pag_env);
    EXPECT_EQ(typed_name_folder("S1", folders_), folders_.sag_env);
    // "P" files have no send folder; neither has any other initial.
    EXPECT_FALSE(typed_name_folder("P0015001.033", folders_));
    EXPECT_FALSE(typed_name_folder("X1", folders_));
    EXPECT_FALSE(typed_name_folder("", folders_));
}

TEST_F(TypedFileTest, LowerCaseMNameIsAddedInUpperCaseWithItsAnswerFolders) {
    put(folders_.val_env, "M0015001.033");
    ASSERT_EQ(TypedFileOutcome::Added, add_typed_file(send_, folders_, "m0015001.033"));
    ASSERT_EQ(send_.size(), 1u);
    const SendRow& row = send_.at(0);
    EXPECT_EQ(row.text, "M0015001.033");
    EXPECT_EQ(row.status, "E");
    EXPECT_EQ(row.small_icon, 2);
    EXPECT_EQ(row.sub_item(2), "2");
    // Like a double-clicked row, so the reception knows where its answers appear.
    EXPECT_EQ(row.ruta_pre, "/ag0015");
    EXPECT_EQ(row.ruta_val, "/ag0015");
    EXPECT_EQ(send_.current_row(), row.id);
}

TEST_F(TypedFileTest, PaymentFileWithCode05GetsImage3) {
    put(folders_.pag_env, "E0015001.033", "0105|datos|\r\n");
    ASSERT_EQ(TypedFileOutcome::Added, add_typed_file(send_, folders_, "e0015001.033"));
    const SendRow& row = send_.at(0);
    EXPECT_EQ(row.text, "E0015001.033");
    EXPECT_EQ(row.small_icon, 3);
    EXPECT_EQ(row.sub_item(2), "3");
    EXPECT_EQ(row.ruta_pre, "");
    EXPECT_EQ(row.ruta_val, "/kroout");
}

TEST_F(TypedFileTest, SagarpaFileGetsImage8) {
    put(folders_.sag_env, "S0015001.033");
    ASSERT_EQ(TypedFileOutcome::Added, add_typed_file(send_, folders_, "S0015001.033"));
    EXPECT_EQ(send_.at(0).small_icon, 8);
    EXPECT_EQ(send_.at(0).ruta_val, "/sagarpaout");
}

TEST_F(TypedFileTest, AFileAlreadyListedIsRefusedWhateverItsLetterCase) {
    put(folders_.val_env, "M0015001.033");
    EXPECT_EQ(add_typed_file(send_, folders_, "M0015001.033"), TypedFileOutcome::Added);
    EXPECT_EQ(add_typed_file(send_, folders_, "m0015001.033"), TypedFileOutcome::AlreadyListed);
    EXPECT_EQ(send_.size(), 1u);
}

TEST_F(TypedFileTest, MissingFilesAreNotAdded) {
    // In another kind's folder, a "P" name, an unknown initial, a path out of the folder.
    put(folders_.pag_env, "M0015001.033");
    put(folders_.val_env, "P0015001.033");
    put(folders_.val_env, "X0015001.033");
    put(box_.path().string(), "M0015009.033");
    EXPECT_EQ(add_typed_file(send_, folders_, "M0015001.033"), TypedFileOutcome::Missing);
    EXPECT_EQ(add_typed_file(send_, folders_, "P0015001.033"), TypedFileOutcome::Missing);
    EXPECT_EQ(add_typed_file(send_, folders_, "X0015001.033"), TypedFileOutcome::Missing);
    EXPECT_EQ(add_typed_file(send_, folders_, "M/../../M0015009.033"), TypedFileOutcome::Missing);
    EXPECT_TRUE(send_.empty());
}

}  // namespace
}  // namespace ordano::test
