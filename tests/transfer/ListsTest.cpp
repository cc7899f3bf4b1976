// SPDX-License-Identifier: Apache-2.0
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/Sandbox.h"
#include "fixtures/ScriptedUi.h"
#include "transfer/FileIcon.h"
#include "transfer/ListActions.h"
#include "transfer/PollingTimer.h"
#include "transfer/ReceiveList.h"
#include "transfer/Routing.h"
#include "transfer/SendList.h"

namespace ordano::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ListsTest : public ::testing::Test {
protected:
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& row : send_.rows()) {
            out.push_back(row.text);
        }
        return out;
    }
    ReceiveRow awaiting(const std::string& name) {
        ReceiveRow row;
        row.text = name;
        return row;
    }

    Sandbox sandbox_;
    std::filesystem::path pag_env_ = sandbox_.path() / "pago";
    SendList send_;
    ReceiveList receive_;
    PollingTimer timer_;
    ScriptedUi ui_;
};

TEST_F(ListsTest, RutaRespuestaByKind) {
    EXPECT_EQ(answer_folder(1, "M0015001.033"), "/ag0015");
    EXPECT_EQ(answer_folder(2, "M0015001.033"), "/ag0015");
    EXPECT_EQ(answer_folder(1, "t1234001.033"), "/ag1234");
    EXPECT_EQ(answer_folder(1, "E0015001.033"), "");
    EXPECT_EQ(answer_folder(2, "E0015001.033"), "/kroout");
    EXPECT_EQ(answer_folder(2, "b0015001.033"), "/kroout");
    EXPECT_EQ(answer_folder(1, "S0015001.033"), "");
    EXPECT_EQ(answer_folder(2, "S0015001.033"), "/sagarpaout");
    EXPECT_EQ(answer_folder(1, "X0015001.033"), "");
    EXPECT_EQ(answer_folder(2, "X0015001.033"), "");
    EXPECT_EQ(answer_folder(2, ""), "");
    EXPECT_EQ(answer_folder(2, "M12"), "/ag12");  // short names do not read past their end
}

TEST_F(ListsTest, DoubleClickAddsWithIconAndFolders) {
    ASSERT_TRUE(add_file_to_send(send_, ui_, pag_env_, "m0015001.033"));
    const SendRow& row = send_.at(0);
    EXPECT_EQ(row.status, "E");
    EXPECT_EQ(row.sub_item(2), "2");
    EXPECT_EQ(row.small_icon, 2);
    EXPECT_EQ(row.ruta_pre, "/ag0015");
    EXPECT_EQ(row.ruta_val, "/ag0015");
    EXPECT_EQ(send_.current_row(), row.id);
    EXPECT_EQ(row.sub_item(*SendRow::column_index("RutaVal")), "/ag0015");
    EXPECT_EQ(row.sub_item(*SendRow::column_index("Icono")), "2");
}

TEST_F(ListsTest, DuplicatePendingFileIsRefusedButAnswersDoNotBlock) {
    ASSERT_TRUE(add_file_to_send(send_, ui_, pag_env_, "M0015001.033"));
    EXPECT_FALSE(add_file_to_send(send_, ui_, pag_env_, "M0015001.033"));
    EXPECT_THAT(ui_.texts(), ElementsAre("El archivo ya esta en la lista de envío!!!"));
    EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(send_.size(), 1u);

    SendRow answer;
    answer.text = "M0015002.err";
    answer.status = "R";
    send_.append(answer);
    EXPECT_TRUE(add_file_to_send(send_, ui_, pag_env_, "M0015002.err"));
    EXPECT_EQ(send_.size(), 3u);

    // Nor does a row a run under way has already sent: it is no longer a file to send.
    send_.update(send_.at(0).id, [](SendRow& r) { r.sent = true; });
    EXPECT_TRUE(add_file_to_send(send_, ui_, pag_env_, "M0015001.033"));
    EXPECT_EQ(send_.size(), 4u);
}

TEST_F(ListsTest, PaymentIconFromTheFilesFirstLine) {
    sandbox_.write_file(pag_env_ / "E1.033", "1|05|resto\r\nsegunda");
    sandbox_.write_file(pag_env_ / "E2.033", "1|AB|resto");
    sandbox_.write_file(pag_env_ / "E3.033", "1|11");
    sandbox_.write_file(pag_env_ / "E4.033", "");
    EXPECT_EQ(icon_for_file("E1.033", pag_env_), 3);
    EXPECT_EQ(icon_for_file("e2.033", pag_env_), 10);  // letter case ignored; not a number
    EXPECT_EQ(icon_for_file("E3.033", pag_env_), 5);
    EXPECT_EQ(icon_for_file("E4.033", pag_env_), 10);
    EXPECT_EQ(payment_code_image("xx03"), 12);
    EXPECT_EQ(payment_code_image("xx08"), 4);
    EXPECT_EQ(payment_code_image("xx9|"), 10);
    EXPECT_EQ(payment_code_image("xx 9"), 7);
    EXPECT_EQ(icon_for_file("S1.033", pag_env_), 8);
    EXPECT_EQ(icon_for_file("p1.033", pag_env_), 13);
    EXPECT_EQ(icon_for_file("Z1.033", pag_env_), image::kNone);
}

// The column "Icono" and the journal hold an image number as text; none is "", and text that is
// not a number (a journal written by hand) is no icon.
TEST(IconText, NoneIsEmptyAndTextThatIsNoNumberIsNoIcon) {
    EXPECT_EQ(icon_text(image::kNone), "");
    EXPECT_EQ(icon_text(7), "7");
    for (const auto& [text, image] :
         {std::pair{"7", 7}, std::pair{"", 0}, std::pair{"x", 0}, std::pair{"2a", 0}}) {
        EXPECT_EQ(icon_of_text(text), image) << text;
    }
}

TEST_F(ListsTest, MissingPaymentFileAddsWithoutIcon) {
    ASSERT_TRUE(add_file_to_send(send_, ui_, pag_env_, "E0015001.033"));
    EXPECT_EQ(send_.at(0).sub_item(2), "");
    EXPECT_EQ(send_.at(0).small_icon, image::kNone);
    EXPECT_EQ(send_.at(0).ruta_val, "/kroout");
}

TEST_F(ListsTest, SearchedFileHasNoFoldersAndNoDuplicateCheck) {
    add_searched_file(send_, pag_env_, "M0015001.033");
    add_searched_file(send_, pag_env_, "M0015001.033");
    EXPECT_EQ(send_.size(), 2u);
    EXPECT_EQ(send_.at(1).ruta_pre, "");
    EXPECT_EQ(send_.at(1).sub_item(2), "2");
    EXPECT_THAT(ui_.messages, IsEmpty());
}

// The front end asks the question first; the removal then takes off only what is still there.
TEST_F(ListsTest, RemovingFromSendAsksOnlyForPendingRows) {
    add_file_to_send(send_, ui_, pag_env_, "M0015001.033");
    SendRow answer;
    answer.text = "k0015001.033";
    answer.status = "K";
    const RowId k = send_.append(answer);
    EXPECT_EQ(send_removal_question(send_.at(1)), std::nullopt);  // no question for an answer
    EXPECT_FALSE(remove_from_send(send_, k));
    EXPECT_EQ(send_removal_question(send_.at(0)),
              "¿Deseas eliminar el archivo M0015001.033 de la lista de envío?");
    EXPECT_TRUE(remove_from_send(send_, send_.at(0).id));
    EXPECT_THAT(texts(), ElementsAre("k0015001.033"));
    EXPECT_FALSE(remove_from_send(send_, 9999));
}

TEST_F(ListsTest, ClearingTheSendListRemovesEveryStatus) {
    EXPECT_FALSE(clear_send_list(send_));  // empty: nothing to clear
    add_file_to_send(send_, ui_, pag_env_, "M0015001.033");
    SendRow answer;
    answer.text = "a.err";
    answer.status = "R";
    send_.append(answer);
    EXPECT_TRUE(clear_send_list(send_));
    EXPECT_TRUE(send_.empty());
    EXPECT_FALSE(send_.current_row());  // a removed row is no current row
    EXPECT_EQ(kClearSendListQuestion, "¿Deseas eliminar todos los elementos de la lista de envío?");
}

TEST_F(ListsTest, RemovingAReceiveRowSwitchesTheTimerOffAndOn) {
    std::vector<std::pair<bool, int>> changes;
    timer_.subscribe([&](bool on, int ms) { changes.emplace_back(on, ms); });
    timer_.set_enabled(true);
    const RowId a = receive_.append(awaiting("A"));
    const RowId b = receive_.append(awaiting("B"));

    EXPECT_TRUE(remove_from_receive(receive_, timer_, a));
    EXPECT_TRUE(timer_.enabled());
    EXPECT_THAT(changes,
                ElementsAre(std::pair(true, 2000), std::pair(false, 2000), std::pair(true, 2000)));

    EXPECT_EQ(receive_removal_question(receive_.at(0)),
              "¿Deseas eliminar el archivo B de la lista de recepción?");
    EXPECT_TRUE(remove_from_receive(receive_, timer_, b));
    EXPECT_FALSE(timer_.enabled());                          // the last row: the timer stays off
    EXPECT_FALSE(remove_from_receive(receive_, timer_, b));  // gone
}

TEST_F(ListsTest, ObserversFollowEveryChangeByPositionAndId) {
    std::vector<std::string> events;
    send_.subscribe({
        .added =
            [&](std::size_t i, const SendRow& r) {
                events.push_back("add " + std::to_string(i) + " " + r.text);
            },
        .removed = [&](std::size_t i, RowId) { events.push_back("del " + std::to_string(i)); },
        .changed =
            [&](std::size_t i, const SendRow& r) {
                events.push_back("chg " + std::to_string(i) + " " + r.text);
            },
        .reset = [&] { events.push_back("reset"); },
    });
    SendRow row;
    row.text = "a";
    const RowId a = send_.append(row);
    row.text = "b";
    const RowId b = send_.append(row);
    row.text = "c";
    send_.append(row);
    send_.update(a, [](SendRow& r) { r.sent = true; });
    send_.update(b, [](SendRow& r) { r.sent = true; });
    send_.compact();
    send_.clear();
    EXPECT_THAT(events, ElementsAre("add 0 a", "add 1 b", "add 2 c", "chg 0 a", "chg 1 b", "del 0",
                                    "del 0", "reset"));
}

TEST_F(ListsTest, RemovedRowsAreGoneForGoodAndIdsAreNotReused) {
    SendRow row;
    row.text = "a";
    const RowId a = send_.append(row);
    send_.remove(a);
    EXPECT_EQ(send_.find(a), nullptr);
    EXPECT_FALSE(send_.update(a, [](SendRow& r) { r.text = "back"; }));
    EXPECT_FALSE(send_.remove(a));
    const RowId b = send_.append(row);
    EXPECT_NE(a, b);
    EXPECT_TRUE(send_.empty() == false && send_.size() == 1u);
    EXPECT_THROW((void)send_.at(1), std::out_of_range);
}

TEST_F(ListsTest, ReceiveRowColumnsAndSweep) {
    ReceiveRow row = awaiting("M1");
    row.archivo_prev = "k1";
    row.ruta_dest = "/dest";
    EXPECT_EQ(row.sub_item(*ReceiveRow::column_index("ArchivoPrev")), "k1");
    EXPECT_EQ(row.sub_item(*ReceiveRow::column_index("RutaDest")), "/dest");
    EXPECT_FALSE(ReceiveRow::column_index("Nada"));
    EXPECT_TRUE(row.awaits_prevalidation());
    row.prev_state = "X";
    const RowId one = receive_.append(row);
    row.val_state = "X";
    receive_.append(row);
    receive_.append(row);
    EXPECT_EQ(receive_.sweep(), 2);
    ASSERT_EQ(receive_.size(), 1u);
    EXPECT_EQ(receive_.at(0).id, one);
}

TEST_F(ListsTest, TimerIntervalAndNotifications) {
    int calls = 0;
    timer_.subscribe([&](bool, int) { ++calls; });
    EXPECT_FALSE(timer_.enabled());
    EXPECT_EQ(timer_.interval(), 2000);
    timer_.set_enabled(false);  // no change, no notification
    timer_.set_interval(5000);
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace ordano::test
