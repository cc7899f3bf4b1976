// SPDX-License-Identifier: Apache-2.0
// Transfers side by side: a sending run's uploads and a tick's downloads on several sessions,
// against the real FTP server; the lists and the journal as one transfer after another.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/RunStop.h"
#include "office/Journal.h"
#include "office/JournalQuery.h"
#include "office/Parameters.h"
#include "office/Session.h"
#include "transfer/TransferFixture.h"
#include "transfer/TransferLanes.h"

namespace ordano::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::vector<std::string> kFiles = {"C0015001.033", "C0015002.033", "C0015003.033",
                                         "C0015004.033", "C0015005.033", "C0015006.033"};

class TransferLanesTest : public TransferTest {
protected:
    explicit TransferLanesTest(FtpServerOptions options = {}) : TransferTest(std::move(options)) {}

    void add_files() {
        for (const auto& name : kFiles) {
            add_file(name, "contenido de " + name);
        }
    }
    void answer_all() {
        for (const auto& row : receive().rows()) {
            server_.put_file("ag0015/" + row.archivo_val, "200|" + row.text + "|\r\n");
        }
    }
    std::vector<std::string> statuses() {
        office_->journal().flush();
        JournalReader reader(office_->journal().database(), clock_.now(), 30);
        std::vector<std::string> out;
        for (const auto& r : reader.records({}, {HistoryColumn::File, false})) {
            out.push_back(r.file + " " + r.status);
        }
        return out;
    }
    std::vector<std::string> stored_answers() const {
        std::vector<std::string> out;
        for (const auto& row : desk_->send_list().rows()) {
            out.push_back(row.text);
        }
        return out;
    }
};

// Four sessions at once (every reply 30 ms late, so they overlap); the rows move, the answers
// are listed and the journal is told in the order of the lists.
TEST_F(TransferLanesTest, UploadsAndDownloadsGoSideBySideInTheOrderOfTheLists) {
    add_files();
    server_.set_faults({.reply_delay = std::chrono::milliseconds(30)});
    enviar();
    EXPECT_EQ(receive_texts(), kFiles);
    EXPECT_EQ(server_.logins("ag0015"), 4);
    for (const auto& name : kFiles) {
        EXPECT_EQ(server_.file_bytes("valin/" + name), "contenido de " + name) << name;
    }
    answer_all();
    desk_->polling_tick();
    EXPECT_EQ(server_.logins("ag0015"), 8);
    EXPECT_THAT(stored_answers(), ElementsAre("C0015001.err", "C0015002.err", "C0015003.err",
                                              "C0015004.err", "C0015005.err", "C0015006.err"));
    EXPECT_THAT(receive_texts(), IsEmpty());
    EXPECT_THAT(statuses(), ElementsAre("C0015001.033 aceptado", "C0015002.033 aceptado",
                                        "C0015003.033 aceptado", "C0015004.033 aceptado",
                                        "C0015005.033 aceptado", "C0015006.033 aceptado"));
    EXPECT_THAT(files_in(session().paths.work_folder), IsEmpty());
    EXPECT_THAT(ui_.messages, IsEmpty());
}

TEST_F(TransferLanesTest, OneSessionIsOneTransferAfterAnother) {
    one_session_at_a_time();
    add_files();
    enviar();
    answer_all();
    desk_->polling_tick();
    EXPECT_EQ(server_.logins("ag0015"), 2);
    EXPECT_EQ(stored_answers().size(), kFiles.size());
}

// Flags the transfers set and wait for (each wait bounded), and which sessions carry one.
class LaneEvents {
public:
    void set(const std::string& flag) {
        {
            const std::lock_guard lock(mutex_);
            flags_[flag] = true;
        }
        changed_.notify_all();
    }
    bool wait_for(const std::string& flag) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(2), [&] { return flags_[flag]; });
    }
    void carry(const FtpSession& session, bool carrying) {
        const std::lock_guard lock(mutex_);
        carrying_[&session] = carrying;
    }
    bool carrying(const FtpSession& session) {
        const std::lock_guard lock(mutex_);
        return carrying_[&session];
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, bool> flags_;
    std::map<const FtpSession*, bool> carrying_;
};

// Two lanes over three answers on the server; the first session is logged in.
class TwoLanesTest : public TransferLanesTest {
protected:
    TwoLanesTest() {
        for (const auto& name : names) {
            server_.put_file("kroout/" + name, "respuesta " + name);
        }
        first.connect(login);
    }

    const std::vector<std::string> names{"a.err", "b.err", "c.err"};
    const FtpLogin login{server_.address(), "ag0015", "secreto"};
    FtpSession first{"eftpRecepcion"};
    FtpSession second{"eftpRecepcion#2"};
    LaneEvents events;
};

// Two lanes: the first file is slow, the second fails at once and its result waits for the
// first. Its lane must not take the third file meanwhile: handling the failure logs that
// lane's session out, which would break the third file's download.
TEST_F(TwoLanesTest, ALaneStaysBusyUntilTheResultOfItsFileIsHandled) {
    const auto prepare = [&](std::size_t i) -> std::optional<TransferLanes::Work> {
        return [&, i](FtpSession& session, const auto&) {
            events.carry(session, true);
            if (i == 0) {
                events.wait_for("third started");  // ends after a lane is free for the third
            } else if (i == 1) {
                events.carry(session, false);
                throw FtpError(ftp_error::kSessionBroken, "Se perdió la conexión");
            } else {
                events.set("third started");
                events.wait_for("failure handled");
            }
            session.download(sandbox_.path() / names[i], "/kroout", names[i]);
            events.carry(session, false);
        };
    };
    std::vector<std::string> handled;
    const auto finish = [&](std::size_t i, std::exception_ptr failure, FtpSession* failed_on) {
        handled.push_back(names[i] + (failure ? " falló" : " llegó") +
                          (failed_on != nullptr ? " en su sesión" : "") +
                          (failed_on != nullptr && events.carrying(*failed_on) ? " ocupada" : ""));
        if (failed_on != nullptr) {
            failed_on->disconnect();  // as a failed try does before the next
            events.set("failure handled");
        }
        return TransferLanes::Next::Go;
    };
    TransferLanes lanes(ui_, {&first, &second}, login);
    EXPECT_EQ(lanes.run(names.size(), prepare, finish), 2U);

    EXPECT_THAT(handled, ElementsAre("a.err llegó", "b.err falló en su sesión", "c.err llegó"));
    EXPECT_EQ(Sandbox::read_file(sandbox_.path() / "c.err"), "respuesta c.err");
}

// Two lanes: the first file is slow, the second arrives at once. Its lane takes the third file
// while the first is still under way: an outcome that needs no session never holds a lane back
// for the order of the list.
TEST_F(TwoLanesTest, ALaneWhoseFileArrivedTakesTheNextAtOnce) {
    bool third_began_beside_first = false;
    const auto prepare = [&](std::size_t i) -> std::optional<TransferLanes::Work> {
        return [&, i](FtpSession& session, const auto&) {
            if (i == 0) {
                third_began_beside_first = events.wait_for("third started");
            } else if (i == 2) {
                events.set("third started");
            }
            session.download(sandbox_.path() / names[i], "/kroout", names[i]);
        };
    };
    std::vector<std::string> handled;
    const auto finish = [&](std::size_t i, std::exception_ptr, FtpSession*) {
        handled.push_back(names[i]);
        return TransferLanes::Next::Go;
    };
    TransferLanes lanes(ui_, {&first, &second}, login);
    EXPECT_EQ(lanes.run(names.size(), prepare, finish), 2U);

    EXPECT_TRUE(third_began_beside_first);
    EXPECT_THAT(handled, ElementsAre("a.err", "b.err", "c.err"));
}

// Two lanes: the first file is slow, the other two go on the second session. Once nothing is
// left to begin, the second session logs out beside the first file's transfer, not after the
// run: over a slow link each QUIT waits for its reply.
TEST_F(TwoLanesTest, AnExtraSessionWithNothingLeftLogsOutBesideTheOthersTransfers) {
    bool left_beside_first = false;
    const auto prepare = [&](std::size_t i) -> std::optional<TransferLanes::Work> {
        return [&, i](FtpSession& session, const auto&) {
            if (i == 0) {
                left_beside_first = server_.wait_for([&] { return server_.logouts("ag0015") == 1; },
                                                     std::chrono::seconds(10));
            }
            session.download(sandbox_.path() / names[i], "/kroout", names[i]);
        };
    };
    std::vector<std::string> handled;
    const auto finish = [&](std::size_t i, std::exception_ptr failure, FtpSession*) {
        handled.push_back(names[i] + (failure ? " falló" : ""));
        return TransferLanes::Next::Go;
    };
    TransferLanes lanes(ui_, {&first, &second}, login);
    EXPECT_EQ(lanes.run(names.size(), prepare, finish), 2U);

    EXPECT_TRUE(left_beside_first);
    EXPECT_FALSE(second.connected());
    EXPECT_TRUE(first.connected());  // the first session stays for what follows the run
    EXPECT_THAT(handled, ElementsAre("a.err", "b.err", "c.err"));
}

class TwoConnectionsTest : public TransferLanesTest {
protected:
    TwoConnectionsTest() : TransferLanesTest({.max_connections_per_address = 2}) {}
};

// A server that takes two connections from one address: the extra sessions it refuses are left
// out, nothing is said, and the rest of the run goes on the two it took; later runs and ticks
// do not knock again (a server may take that for a flood). Every reply 30 ms late: a transfer
// costs about a login, so extra sessions pay for themselves however fast the machine.
TEST_F(TwoConnectionsTest, ARefusedExtraSessionLeavesTheRunOnTheOnesThatWork) {
    server_.set_faults({.reply_delay = std::chrono::milliseconds(30)});
    add_files();
    enviar();
    EXPECT_EQ(receive_texts(), kFiles);
    EXPECT_EQ(server_.logins("ag0015"), 2);
    answer_all();
    desk_->polling_tick();
    EXPECT_EQ(stored_answers().size(), kFiles.size());
    EXPECT_THAT(receive_texts(), IsEmpty());
    EXPECT_EQ(server_.logins("ag0015"), 4);
    EXPECT_THAT(ui_.messages, IsEmpty());
    EXPECT_THAT(statuses(), ElementsAre("C0015001.033 aceptado", "C0015002.033 aceptado",
                                        "C0015003.033 aceptado", "C0015004.033 aceptado",
                                        "C0015005.033 aceptado", "C0015006.033 aceptado"));

    const int turned_away = server_.turned_away();
    EXPECT_GE(turned_away, 2);  // by the run and by the tick, once each
    add_files();
    enviar();
    answer_all();
    desk_->polling_tick();
    EXPECT_EQ(stored_answers().size(), 2 * kFiles.size());
    EXPECT_EQ(server_.turned_away(), turned_away);
}

// Stopped while four uploads crawl: every file is either on the server whole and sent in the
// journal, or not on the server and not sent: stopped ("error") or never begun (still to send).
TEST_F(TransferLanesTest, AStopAmidUploadsLeavesEachFileSentWholeOrNotAtAll) {
    // The desk watches the office's stop, as the engine's does (the fixture's goes first: one
    // desk at a time speaks for the office's journal).
    desk_.reset();
    desk_ = std::make_unique<TransferDesk>(
        session(), office_->params(), office_->journal(), ui_, clock_, office_->locale(), [] {},
        office_->stop_token());
    const std::string bytes(400000, 'x');
    for (const auto& name : kFiles) {
        add_file(name, bytes);
    }
    throttle(100000);
    ui_.while_blocking_after = std::chrono::milliseconds(500);
    ui_.while_blocking = [this] { office_->request_stop(); };
    enviar();
    const auto on_server = [&](const std::string& name) {
        return server_.file_bytes("valin/" + name) == bytes;
    };
    const std::vector<std::string> journal = statuses();
    ASSERT_EQ(journal.size(), kFiles.size());
    int sent_files = 0;
    for (std::size_t i = 0; i < kFiles.size(); ++i) {
        const bool sent = journal[i] == kFiles[i] + " esperando";
        sent_files += sent ? 1 : 0;
        EXPECT_TRUE(sent || journal[i] == kFiles[i] + " error" ||
                    journal[i] == kFiles[i] + " en envío")
            << journal[i];
        // What was cut short is taken off the server within its 2 s.
        EXPECT_TRUE(
            server_.wait_for([&] { return on_server(kFiles[i]) == sent; }, std::chrono::seconds(3)))
            << kFiles[i];
    }
    EXPECT_LT(sent_files, 6);
}

}  // namespace
}  // namespace ordano::test
