// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "base/Sha256.h"
#include "base/TimeStamps.h"
#include "fixtures/Sandbox.h"
#include "office/Journal.h"
#include "office/JournalQuery.h"
#include "office/Office.h"
#include "office/SentDigests.h"

namespace ordano {
namespace {
using test::Sandbox;
using test::TestOffice;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
namespace fs = std::filesystem;

TEST(Sha256Test, KnownDigestsAndAFile) {
    EXPECT_EQ(Sha256().hex_digest(),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    Sha256 abc;
    abc.update("ab");
    abc.update("c");
    EXPECT_EQ(abc.hex_digest(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    Sandbox box;
    const auto file = box.write_file("m.txt", std::string(1000000, 'a'));
    const FileDigest digest = digest_file(file);
    EXPECT_EQ(digest.size, 1000000u);
    EXPECT_EQ(digest.sha256, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(TimeStampsTest, IsoFormRoundTripsAndMinutesCrossDays) {
    const LocalDateTime at{std::chrono::year{2025} / 12 / 31, 23, 50, 7};
    EXPECT_EQ(iso_timestamp(at), "2025-12-31T23:50:07");
    EXPECT_EQ(iso_timestamp(*parse_iso_timestamp("2025-12-31T23:50:07")), "2025-12-31T23:50:07");
    EXPECT_EQ(iso_timestamp(add_minutes(at, 30)), "2026-01-01T00:20:07");
    EXPECT_EQ(iso_timestamp(add_minutes(at, -24 * 60)), "2025-12-30T23:50:07");
    EXPECT_EQ(iso_timestamp(*parse_iso_timestamp("2026-02-02")), "2026-02-02T00:00:00");
    EXPECT_FALSE(parse_iso_timestamp("2026-02-30T10:00:00"));
    EXPECT_FALSE(parse_iso_timestamp("ayer"));
}

class JournalTest : public ::testing::Test {
protected:
    JournalTest() {
        journal = std::make_unique<Journal>(office.db_file, clock);
        journal->on_trouble([this](const std::string& text) { told.push_back(text); });
    }

    void at(int day, int hour, int minute) {
        clock.set({std::chrono::year{2026} / 2 / day, hour, minute, 0});
    }
    JournalId list(const std::string& name) {
        return journal->listed({name, "/envio/" + name, "2", "/ag0015", "/ag0015"});
    }
    static ExpectedAnswers answers_of(const std::string& stem) {
        return {"k" + stem.substr(1) + ".033", "/ag0015", stem + ".err", "/ag0015", "/rec"};
    }
    // What the journal gives back as it opens: its open entries and the rows it names as damaged.
    struct Reopened {
        std::vector<OpenEntry> open;
        std::vector<std::string> damaged;
    };
    // The journal closed, its rows changed by `statements` behind it, and opened again as at
    // start-up.
    Reopened reopen_after(const std::vector<std::string>& statements) {
        journal.reset();
        SQLite::Database db(office.db_file.string(), SQLite::OPEN_READWRITE);
        for (const auto& statement : statements) {
            db.exec(statement);
        }
        journal = std::make_unique<Journal>(office.db_file, clock);
        Reopened reopened;
        reopened.open = journal->reopen(reopened.damaged);
        return reopened;
    }
    JournalReader reader() {
        journal->flush();
        return JournalReader(journal->database(), clock.now(), 30);
    }
    std::vector<std::string> files(const HistoryFilter& filter, HistoryOrder order = {}) {
        std::vector<std::string> out;
        for (const auto& row : reader().rows(filter, order, 0, 100)) {
            out.push_back(row.file + " " + row.status);
        }
        return out;
    }

    Sandbox box;
    TestOffice office{box};
    FixedClock clock{{std::chrono::year{2026} / 2 / 2, 14, 5, 0}};
    std::unique_ptr<Journal> journal;
    std::vector<std::string> told;
};

TEST_F(JournalTest, AFilesWholeJourneyIsKept) {
    const JournalId id = list("M0015001.033");
    at(2, 14, 6);
    journal->upload_started(id, {12, std::string(64, 'f')}, "/valin");
    journal->sent(id, answers_of("M0015001"));
    at(2, 14, 9);
    journal->answer_stored(id, AnswerRole::Prevalidation, "/rec/k0015001.033",
                           AnswerVerdict::Prevalidated, false);
    EXPECT_THAT(files({}), ElementsAre("M0015001.033 prevalidado"));
    at(2, 14, 12);
    journal->answer_stored(id, AnswerRole::Validation, "/rec/M0015001.err", AnswerVerdict::Rejected,
                           true);

    const auto records = reader().records({}, {});
    ASSERT_EQ(records.size(), 1u);
    const JournalRecord& r = records[0];
    EXPECT_EQ(r.file, "M0015001.033");
    EXPECT_EQ(r.kind, "M");
    EXPECT_EQ(r.status, "rechazado");
    EXPECT_EQ(r.local_path, "/envio/M0015001.033");
    EXPECT_EQ(r.listed_at, "2026-02-02T14:05:00");
    EXPECT_EQ(r.sent_at, "2026-02-02T14:06:00");
    EXPECT_EQ(r.moment, "2026-02-02T14:06:00");
    EXPECT_EQ(r.remote_folder, "/valin");
    EXPECT_EQ(r.size, 12);
    EXPECT_EQ(r.sha256, std::string(64, 'f'));
    EXPECT_FALSE(r.awaiting);
    ASSERT_EQ(r.answers.size(), 2u);
    EXPECT_EQ(r.answers[0].name, "k0015001.033");
    EXPECT_EQ(r.answers[0].received_at, "2026-02-02T14:09:00");
    EXPECT_EQ(r.answers[1].stored_path, "/rec/M0015001.err");
    EXPECT_EQ(r.answers[1].received_at, "2026-02-02T14:12:00");
    EXPECT_EQ(r.answers_text(), "k0015001.033, M0015001.err");
    EXPECT_TRUE(r.damage.empty());
    journal->flush();
    EXPECT_THAT(told, IsEmpty());
}

TEST_F(JournalTest, WithdrawnUnsentLeavesNoTraceUnlessItFailed) {
    journal->withdrawn(list("M0015001.033"));
    const JournalId failed = list("M0015002.033");
    journal->send_failed(failed, 68, "No se encuentra");
    journal->withdrawn(failed);
    const auto records = reader().records({}, {});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].file, "M0015002.033");
    EXPECT_EQ(records[0].status, "error");
    ASSERT_EQ(records[0].failures.size(), 1u);
    EXPECT_EQ(records[0].failures[0].number, 68);
    EXPECT_EQ(records[0].failures[0].at, "2026-02-02T14:05:00");
}

TEST_F(JournalTest, TheSameFailureMetOnEveryTickIsKeptOnce) {
    const JournalId id = list("M0015001.033");
    journal->sent(id, answers_of("M0015001"));
    for (int tick = 0; tick < 3; ++tick) {
        journal->failed(id, 1029, "sin conexión");
    }
    journal->failed(id, 1013, "usuario");
    journal->failed(id, 1029, "sin conexión");
    EXPECT_EQ(reader().records({}, {})[0].failures.size(), 3u);
}

TEST_F(JournalTest, ALockedDatabaseIsToldOnceAndCaughtUpInOrder) {
    const JournalId id = list("M0015001.033");
    journal->flush();
    SQLite::Database other(office.db_file.string(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    journal->upload_started(id, {3, "abc"}, "/valin");
    journal->sent(id, answers_of("M0015001"));
    const JournalId second = list("M0015002.033");
    EXPECT_FALSE(journal->flush());
    EXPECT_EQ(journal->owed(), 3u);
    EXPECT_EQ(told.size(), 1u);
    other.exec("COMMIT");

    journal->sent(second, answers_of("M0015002"));

    EXPECT_TRUE(journal->flush());
    EXPECT_EQ(journal->owed(), 0u);
    EXPECT_THAT(files({}, {HistoryColumn::File, false}),
                ElementsAre("M0015001.033 esperando", "M0015002.033 esperando"));
    EXPECT_EQ(told.size(), 1u);
}

// Asking what was last sent under a name (as a watch does at every look) holds no lock: the
// journal's later writes go in.
TEST_F(JournalTest, LookingUpASentDigestLeavesTheJournalFreeToWrite) {
    const JournalId id = list("M0015001.033");
    journal->upload_started(id, {3, "abc"}, "/valin");
    journal->sent(id, answers_of("M0015001"));
    ASSERT_TRUE(journal->flush());
    SentDigests digests(journal->database());
    EXPECT_EQ(digests.last_sent("M0015001.033", "m0015001.033"), "abc");

    journal->answer_stored(id, AnswerRole::Validation, "/rec/M0015001.err", AnswerVerdict::Accepted,
                           true);
    EXPECT_TRUE(journal->flush());
    EXPECT_THAT(told, IsEmpty());
    EXPECT_THAT(files({}), ElementsAre("M0015001.033 aceptado"));
}

// Each way a journey can go, and the name the history gives where it stands: nothing without a
// finished upload is "enviado".
TEST_F(JournalTest, StatusNamesTellWhatHappened) {
    const auto handed_over = [this](JournalId id, const char* stem) {
        journal->handed_over(id, answers_of(stem));
    };
    const std::vector<std::pair<const char*, std::function<void(JournalId)>>> journeys = {
        {"M0015001.033", [&](JournalId id) { journal->send_failed(id, 1029, "sin conexión"); }},
        {"M0015002.033", [&](JournalId id) { journal->sent(id, answers_of("M0015002")); }},
        {"M0015003.033",
         [&](JournalId id) {
             journal->sent(id, answers_of("M0015003"));
             journal->no_longer_awaited(id);  // Detener
         }},
        {"M0015004.033",
         [&](JournalId id) {
             journal->send_failed(id, 1029, "sin conexión");
             handed_over(id, "M0015004");  // Recibir after the failed send
             journal->no_longer_awaited(id);
         }},
        {"M0015005.033", [&](JournalId id) { handed_over(id, "M0015005"); }},
        {"M0015006.033",
         [&](JournalId id) {
             handed_over(id, "M0015006");
             journal->answer_stored(id, AnswerRole::Prevalidation, "/rec/k0015006.033",
                                    AnswerVerdict::Prevalidated, false);
         }},
    };
    for (const auto& [name, journey] : journeys) {
        journey(list(name));
    }
    EXPECT_THAT(files({}, {HistoryColumn::File, false}),
                ElementsAre("M0015001.033 error", "M0015002.033 esperando", "M0015003.033 enviado",
                            "M0015004.033 recepción manual", "M0015005.033 esperando",
                            "M0015006.033 prevalidado"));
    EXPECT_EQ(reader().summary({}).text(),
              "Enviados: 2   En espera: 3   Atrasados: 0   Aceptados: 0   Rechazados: 0   "
              "Recepción manual: 1   Errores: 1");
    HistoryFilter manual;
    manual.status = JourneyStatus::HandedOver;
    EXPECT_THAT(files(manual), ElementsAre("M0015004.033 recepción manual"));
    // Earlier versions wrote "enviado" for such a file; it shows for what it was.
    SQLite::Database(office.db_file.string(), SQLite::OPEN_READWRITE)
        .exec("UPDATE BITACORA SET estado = 'enviado' WHERE archivo = 'M0015004.033'");
    EXPECT_THAT(files(manual), ElementsAre("M0015004.033 recepción manual"));
}

// The database refuses the journal's writes to the end of the run: they are kept beside it,
// the next program writes them, and writes them once even if the file outlives that write.
TEST_F(JournalTest, WritesTheDatabaseRefusesAreKeptAndWrittenOnceByTheNextProgram) {
    SQLite::Database other(office.db_file.string(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    const JournalId id = list("M0015001.033");
    journal->upload_started(id, {3, "abc"}, "/valin");
    journal->sent(id, answers_of("M0015001"));
    EXPECT_FALSE(journal->flush());
    EXPECT_EQ(journal->owed_sent("M0015009.033", "M0015001.033"), "abc");
    EXPECT_EQ(journal->owed_sent("M0015009.033", "m0015009.033"), std::nullopt);

    const Journal::Ending ending = journal->close();
    EXPECT_THAT(ending.unrecorded, ElementsAre("M0015001.033"));
    EXPECT_TRUE(ending.sent_unrecorded);
    EXPECT_EQ(ending.kept_in, office.db_file.parent_path() / "Prevalida-bitacora-pendiente.txt");
    EXPECT_THAT(ending.text(), HasSubstr("M0015001.033"));
    EXPECT_THAT(ending.text(), HasSubstr(ending.kept_in.string()));
    ASSERT_TRUE(fs::exists(ending.kept_in));
    const std::string kept = Sandbox::read_file(ending.kept_in);
    other.exec("COMMIT");

    for (int program = 0; program < 2; ++program) {
        Journal next(office.db_file, clock);
        EXPECT_THAT(next.take_up_owed(), IsEmpty());
        EXPECT_FALSE(fs::exists(ending.kept_in));
        const auto records = JournalReader(next.database(), clock.now(), 30).records({}, {});
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].status, "esperando");
        EXPECT_EQ(records[0].sha256, "abc");
        EXPECT_EQ(records[0].sent_at, "2026-02-02T14:05:00");
        EXPECT_THAT(records[0].failures, IsEmpty());
        // As if that program had ended between writing them and removing the file.
        std::ofstream(ending.kept_in, std::ios::binary) << kept;
    }
}

// A damaged line of the kept writes (a disk error, an edit by hand) is told and loses nothing
// else: the changes after it are written all the same.
TEST_F(JournalTest, AnUnreadableLineOfTheKeptWritesLosesNothingElse) {
    SQLite::Database other(office.db_file.string(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    for (const char* stem : {"M0015001", "M0015002", "M0015003"}) {
        journal->sent(list(std::string(stem) + ".033"), answers_of(stem));
    }
    const fs::path kept = journal->close().kept_in;
    other.exec("COMMIT");
    // After the heading, the batch's token and the first change.
    std::string text = Sandbox::read_file(kept);
    std::size_t at = 0;
    for (int line = 0; line < 3; ++line) {
        at = text.find('\n', at) + 1;
    }
    ASSERT_LT(at, text.size());
    box.write_file(kept, text.insert(at, "esto no es un cambio\n"));

    journal = std::make_unique<Journal>(office.db_file, clock);
    EXPECT_THAT(journal->take_up_owed(), ::testing::SizeIs(1));
    EXPECT_THAT(
        files({}, {HistoryColumn::File, false}),
        ElementsAre("M0015001.033 esperando", "M0015002.033 esperando", "M0015003.033 esperando"));
}

// While the database refuses them, the writes owed still decide what goes back on the lists:
// a file whose upload finished awaits its answers and is never sent again.
TEST_F(JournalTest, WhileItsWritesAreOwedASentFileReopensAwaitingAnswers) {
    SQLite::Database other(office.db_file.string(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN IMMEDIATE");  // others may read, nobody else may write
    list("M0015002.033");
    const JournalId sent = list("M0015001.033");
    journal->upload_started(sent, {3, "abc"}, "/valin");
    journal->sent(sent, answers_of("M0015001"));
    std::vector<std::string> damaged;
    const auto open = journal->reopen(damaged);
    other.exec("COMMIT");

    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(open[0].file.name, "M0015002.033");
    EXPECT_TRUE(open[0].pending);
    EXPECT_EQ(open[1].file.name, "M0015001.033");
    EXPECT_FALSE(open[1].pending);
    EXPECT_TRUE(open[1].awaiting);
    EXPECT_TRUE(open[1].uploaded);
    EXPECT_EQ(open[1].expected.val_name, "M0015001.err");
    EXPECT_THAT(damaged, IsEmpty());
}

TEST_F(JournalTest, ReopenMarksCutShortUploadsAndReturnsOpenEntries) {
    const JournalId cut = list("M0015001.033");
    journal->upload_started(cut, {3, "abc"}, "/valin");
    journal->sent(list("M0015002.033"), answers_of("M0015002"));
    list("C0015003.033");
    journal->sent(list("M0015004.033"), answers_of("M0015004"));  // answered below
    const auto [open, damaged] =
        reopen_after({"UPDATE BITACORA SET esperando = 0 WHERE archivo = 'M0015004.033'",
                      "UPDATE BITACORA SET archivo = '' WHERE archivo = 'C0015003.033'"});

    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(open[0].file.name, "M0015001.033");
    EXPECT_TRUE(open[0].pending);
    EXPECT_EQ(open[1].file.name, "M0015002.033");
    EXPECT_TRUE(open[1].awaiting);
    EXPECT_EQ(open[1].expected.val_name, "M0015002.err");
    EXPECT_THAT(damaged, ElementsAre("Registro 3 de la bitácora: no tiene nombre de archivo."));
    HistoryFilter first;
    first.text = "M0015001";
    const auto cut_record = reader().records(first, {});
    EXPECT_EQ(cut_record[0].status, "error");
    EXPECT_EQ(cut_record[0].sent_at, "");
    ASSERT_EQ(cut_record[0].failures.size(), 1u);
    EXPECT_THAT(cut_record[0].failures[0].text, ::testing::HasSubstr("se interrumpió"));
}

// A name that reaches outside its folder or holds a NUL byte is damage: the row is named, never
// put back on a list, and flagged in the history.
TEST_F(JournalTest, NamesWithAFolderOrANulAreDamage) {
    for (const char* stem : {"M0015001", "M0015002", "M0015003"}) {
        journal->sent(list(std::string(stem) + ".033"), answers_of(stem));
    }
    const auto [open, damaged] =
        reopen_after({"UPDATE BITACORA SET val_archivo = '../../../../evil' WHERE id = 1",
                      "UPDATE BITACORA SET archivo = 'M00' || char(0) || '.033' WHERE id = 2"});
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].file.name, "M0015003.033");
    const std::string why =
        " de la bitácora: un nombre de archivo lleva carpeta o un carácter nulo.";
    EXPECT_THAT(damaged, ElementsAre("Registro 1" + why, "Registro 2" + why));
    const auto records = reader().records({}, {});
    EXPECT_EQ(std::ranges::count_if(records, [](const auto& r) { return !r.damage.empty(); }), 2);
}

TEST_F(JournalTest, ReopeningWithNothingCutShortWritesNothing) {
    journal->sent(list("M0015001.033"), answers_of("M0015001"));
    journal.reset();
    // Another program reading the office's database: a write would have to wait for it.
    SQLite::Database other(office.db_file.string(), SQLite::OPEN_READONLY);
    other.exec("BEGIN");
    (void)other.execAndGet("SELECT count(*) FROM BITACORA");

    Journal reopened(office.db_file, clock);
    reopened.on_trouble([this](const std::string& text) { told.push_back(text); });
    std::vector<std::string> damaged;
    EXPECT_EQ(reopened.reopen(damaged).size(), 1u);
    EXPECT_TRUE(reopened.flush());
    EXPECT_THAT(told, IsEmpty());
}

TEST_F(JournalTest, FiltersSortPagesAndSummary) {
    at(1, 9, 0);
    journal->sent(list("M0015001.032"), answers_of("M0015001"));  // overdue by now
    at(2, 10, 0);
    const JournalId accepted = list("C0015002.033");
    journal->sent(accepted, answers_of("C0015002"));
    journal->answer_stored(accepted, AnswerRole::Validation, "/rec/C0015002.err",
                           AnswerVerdict::Accepted, true);
    at(2, 14, 0);
    journal->sent(list("M0015003.033"), answers_of("M0015003"));
    list("S0015004.033");
    at(2, 14, 20);

    EXPECT_THAT(files({}), ElementsAre("S0015004.033 en envío", "M0015003.033 esperando",
                                       "C0015002.033 aceptado", "M0015001.032 atrasado"));
    HistoryFilter today;
    today.since = today.until = std::chrono::year{2026} / 2 / 2;
    EXPECT_EQ(reader().count(today), 3);
    HistoryFilter kind_m;
    kind_m.kind = "M";
    EXPECT_THAT(files(kind_m, {HistoryColumn::File, false}),
                ElementsAre("M0015001.032 atrasado", "M0015003.033 esperando"));
    HistoryFilter overdue;
    overdue.status = JourneyStatus::Overdue;
    EXPECT_THAT(files(overdue), ElementsAre("M0015001.032 atrasado"));
    HistoryFilter text;
    text.text = "0015002";
    EXPECT_THAT(files(text), ElementsAre("C0015002.033 aceptado"));
    HistoryFilter awaiting;
    awaiting.awaiting_only = true;
    EXPECT_EQ(reader().count(awaiting), 2);
    EXPECT_EQ(reader().rows({}, {}, 1, 2)[1].file, "C0015002.033");
    EXPECT_EQ(reader().summary({}).text(),
              "Enviados: 3   En espera: 1   Atrasados: 1   Aceptados: 1   Rechazados: 0   "
              "Recepción manual: 0   Errores: 0");
    EXPECT_EQ(reader().latest_of("M0015003.033")->status, "esperando");
    EXPECT_FALSE(reader().latest_of("M0015009.033"));
}

TEST_F(JournalTest, NewerColumnsAndDamagedRowsLoseNothingElse) {
    SQLite::Database db(office.db_file.string(), SQLite::OPEN_READWRITE);
    db.exec("ALTER TABLE BITACORA ADD COLUMN prioridad INTEGER NOT NULL DEFAULT 5");
    journal->sent(list("M0015001.033"), answers_of("M0015001"));
    list("M0015002.033");
    journal->flush();
    db.exec("UPDATE BITACORA SET estado = 'perdido', momento = 'nunca' WHERE id = 2");

    const auto records = reader().records({}, {HistoryColumn::File, false});
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].status, "esperando");
    EXPECT_TRUE(records[0].damage.empty());
    EXPECT_EQ(records[1].status, "perdido");
    EXPECT_EQ(records[1].damage, "su estado «perdido» no es ninguno de los conocidos");
    EXPECT_THAT(told, IsEmpty());
}

TEST(JournalUpgradeTest, AnOfficeFromBeforeTheJournalGetsItAtStartUp) {
    Sandbox box;
    TestOffice office(box);
    {
        SQLite::Database db(office.db_file.string(), SQLite::OPEN_READWRITE);
        db.exec(
            "DROP TABLE BITACORA; DROP TABLE BITACORA_FALLAS; "
            "ALTER TABLE PARAMETROS DROP COLUMN min_atraso");
    }
    FixedClock clock({std::chrono::year{2026} / 2 / 2, 9, 0, 0});
    const auto opened = Office::open(office.path_options(), clock);
    EXPECT_EQ(overdue_minutes(opened->params()), 30);
    opened->journal().listed({"M0015001.033", "", "", "", ""});
    EXPECT_TRUE(opened->journal().flush());
    EXPECT_EQ(JournalReader(opened->journal().database(), clock.now(), 30).count({}), 1);
}

}  // namespace
}  // namespace ordano
