// SPDX-License-Identifier: Apache-2.0
// The review area of the main window: selectors, search, typed names, opening answers.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTreeWidget>

#include "GuiOffice.h"
#include "app/ReviewArea.h"
#include "transfer/SendList.h"

namespace ordano {
namespace {
using namespace std::chrono;
using test::GuiOffice;

// Patente 3912 on 14 February 2026, julian day 45.
GuiOffice office_3912() {
    OfficeSetup setup = test::TestOffice::default_setup();
    setup.patente = 3912;
    return GuiOffice(setup, {2026y / February / 14, 9, 0, 0});
}

class ReviewAreaTest : public ::testing::Test {
protected:
    ReviewAreaTest() : gui_(office_3912()) {}

    // Files of the SAAI M3 send folder, written before the window opens.
    std::filesystem::path saai() const { return gui_.box.path() / "office/envio/saai"; }
    std::filesystem::path pago() const { return gui_.box.path() / "office/envio/pago"; }
    void put(const std::filesystem::path& folder, const std::string& name,
             std::string_view bytes = "x\r\n") {
        gui_.box.write_file(folder / name, bytes);
    }

    void open() {
        gui_.open();
        review_ = gui_.find<ReviewArea>("ReviewArea");
        ASSERT_NE(review_, nullptr);
    }
    // What the person does: choosing an item of a selector.
    void choose(int selector, int item) {
        auto* combo = gui_.find<QComboBox>(QStringLiteral("cboPreVal(%1)").arg(selector));
        combo->setCurrentIndex(item);
        emit combo->activated(item);
    }
    QStringList listed() const {
        QStringList names;
        auto* list = gui_.find<QTreeWidget>("lvwArchivos");
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            names << list->topLevelItem(i)->text(0);
        }
        return names;
    }
    QLineEdit& typed() const { return *gui_.find<QLineEdit>("txtPreval"); }
    void search_typed(const QString& name) {
        typed().setText(name);
        QTest::mouseClick(gui_.find<QPushButton>("cmdBuscar"), Qt::LeftButton);
    }
    SendList& send() { return review_->send_list(); }

    GuiOffice gui_;
    ReviewArea* review_ = nullptr;
};

TEST_F(ReviewAreaTest, WindowOpensListingTodaysSaaiFiles) {
    for (const char* name : {"M3912002.045", "m3912001.045", "M3912003.044", "D3912001.045",
                             "M3912001.err", "M0015001.045"}) {
        put(saai(), name);
    }
    open();
    EXPECT_EQ(review_->patron_archivos(), "M3912*.045");
    EXPECT_EQ(review_->letra_tipo(), "M");
    EXPECT_EQ(listed(), QStringList({"m3912001.045", "M3912002.045"}));
    EXPECT_TRUE(gui_.ui.messages.empty());
}

TEST_F(ReviewAreaTest, AllDaysListsEveryJulianDayOfTheKind) {
    for (const char* name :
         {"M3912001.045", "M3912002.001", "M3912003.366", "M3912004.err", "D3912001.045"}) {
        put(saai(), name);
    }
    open();
    choose(0, 1);
    EXPECT_EQ(review_->patron_archivos(), "M3912*.0*;M3912*.1*;M3912*.2*;M3912*.3*");
    EXPECT_EQ(review_->selector_tag(0), "1");
    EXPECT_EQ(listed(), QStringList({"M3912001.045", "M3912002.001", "M3912003.366"}));
    choose(0, 0);
    EXPECT_EQ(review_->patron_archivos(), "M3912*.045");
    EXPECT_EQ(review_->selector_tag(0), "0");
    EXPECT_EQ(listed(), QStringList({"M3912001.045"}));
}

TEST_F(ReviewAreaTest, CartasCupoListsDFilesFromTheSaaiFolder) {
    put(saai(), "M3912001.045");
    put(saai(), "D3912001.045");
    put(saai(), "D3912002.044");
    put(gui_.box.path() / "office/envio/cartas", "D3912009.045");
    open();
    choose(1, 3);
    EXPECT_EQ(review_->letra_tipo(), "D");
    EXPECT_EQ(review_->selector_tag(1), "3");
    EXPECT_EQ(review_->patron_archivos(), "D3912*.045");
    EXPECT_EQ(review_->list_folder(), gui_.office->session().folders.val_env);
    EXPECT_EQ(listed(), QStringList({"D3912001.045"}));
}

TEST_F(ReviewAreaTest, PaymentKindListsThePaymentFolder) {
    put(pago(), "E3912001.045");
    put(saai(), "E3912002.045");
    open();
    choose(1, 1);
    EXPECT_EQ(review_->letra_tipo(), "E");
    EXPECT_EQ(listed(), QStringList({"E3912001.045"}));
}

TEST_F(ReviewAreaTest, ReselectingTheSameKindStillRebuildsAndSearches) {
    put(saai(), "M3912001.045");
    open();
    choose(0, 1);
    put(saai(), "M3912002.100");  // appears only if the search runs again
    choose(1, 0);
    EXPECT_EQ(review_->letra_tipo(), "M");
    EXPECT_EQ(review_->selector_tag(1), "0");
    EXPECT_EQ(review_->patron_archivos(), "M3912*.0*;M3912*.1*;M3912*.2*;M3912*.3*");
    EXPECT_EQ(listed(), QStringList({"M3912001.045", "M3912002.100"}));
}

TEST_F(ReviewAreaTest, PatternWithTypedDayForAllDays) {
    put(saai(), "M3912001.007");
    put(saai(), "M3912002.045");
    open();
    typed().setText("7");
    choose(0, 1);
    EXPECT_EQ(review_->patron_archivos(), "M3912*.007");
    // The typed text filters the list; it is not taken for a file to send.
    EXPECT_EQ(listed(), QStringList({"M3912001.007"}));
    EXPECT_TRUE(gui_.ui.messages.empty());
}

// Choosing a kind or a day with a name typed lists that kind's files by the name; only Enter,
// Buscar or a double-click put a file on the send list. Buscar with the box emptied lists the
// kind's files again, not the name typed before.
TEST_F(ReviewAreaTest, ChangingAKindOrTheDayNeverQueuesTheTypedName) {
    put(saai(), "M3912001.045");
    put(saai(), "M3912002.045");
    put(gui_.box.path() / "office/envio/sagarpa", "S3912001.045");
    open();
    typed().setText("M3912001.045");
    choose(1, 2);  // SAGARPA
    EXPECT_TRUE(listed().isEmpty());
    choose(1, 0);  // SAAI M3
    EXPECT_EQ(listed(), QStringList({"M3912001.045"}));
    choose(0, 1);
    EXPECT_TRUE(send().empty());
    EXPECT_TRUE(gui_.ui.messages.empty());
    EXPECT_EQ(typed().text(), "M3912001.045");

    choose(0, 0);
    typed().clear();
    QTest::mouseClick(gui_.find<QPushButton>("cmdBuscar"), Qt::LeftButton);
    EXPECT_EQ(listed(), QStringList({"M3912001.045", "M3912002.045"}));
    EXPECT_TRUE(send().empty());
}

TEST_F(ReviewAreaTest, MissingFolderIsShownWithItsNumber) {
    open();
    std::filesystem::remove_all(saai());
    QTest::mouseClick(gui_.find<QPushButton>("cmdBuscar"), Qt::LeftButton);
    ASSERT_EQ(gui_.ui.messages.size(), 1u);
    EXPECT_EQ(
        gui_.ui.messages[0].text.rfind("Error No. 68\r\nDescripcion: No existe la carpeta", 0), 0u)
        << gui_.ui.messages[0].text;
    EXPECT_EQ(gui_.ui.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(listed().isEmpty());
}

TEST_F(ReviewAreaTest, MissingFolderAtStartUpLeavesTheListEmptyWithoutABox) {
    std::filesystem::remove_all(saai());
    open();
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_TRUE(gui_.ui.messages.empty());
    choose(1, 0);  // the next search tells why
    EXPECT_EQ(gui_.ui.messages.size(), 1u);
}

TEST_F(ReviewAreaTest, EnterOnAnEmptyBoxDoesNothing) {
    put(saai(), "M3912001.045");
    open();
    put(saai(), "M3912002.045");  // a search would list it
    typed().setFocus();
    QTest::keyClick(&typed(), Qt::Key_Return);
    QTest::keyClick(&typed(), Qt::Key_Enter);
    EXPECT_EQ(listed(), QStringList({"M3912001.045"}));
    EXPECT_TRUE(gui_.ui.messages.empty());
    EXPECT_TRUE(send().empty());
}

TEST_F(ReviewAreaTest, EnterWithATypedLowerCaseMNameAddsItInUpperCase) {
    put(saai(), "M3912001.045");
    open();
    typed().setText("m3912001.045");
    QTest::keyClick(&typed(), Qt::Key_Return);
    ASSERT_EQ(send().size(), 1u);
    const SendRow& row = send().at(0);
    EXPECT_EQ(row.text, "M3912001.045");
    EXPECT_EQ(row.status, "E");
    EXPECT_EQ(row.sub_item(2), "2");
    EXPECT_EQ(row.small_icon, 2);
    EXPECT_EQ(row.ruta_pre, "/ag3912");
    EXPECT_EQ(row.ruta_val, "/ag3912");
    EXPECT_EQ(send().current_row(), row.id);
    EXPECT_TRUE(typed().text().isEmpty());
    EXPECT_TRUE(gui_.ui.messages.empty());
}

// Typed again, in another letter case or found and double-clicked: one file, one row to send.
TEST_F(ReviewAreaTest, ANameAlreadyOnTheSendListIsRefusedByEveryPath) {
    put(saai(), "m3912001.045");
    open();
    search_typed("M3912001.045");
    search_typed("m3912001.045");
    // Said beside "Archivo", where the clerk looks, with the name selected: the next name
    // typed replaces it.
    auto* aviso = gui_.find<QLabel>("lblAviso");
    EXPECT_FALSE(aviso->isHidden());
    EXPECT_EQ(aviso->text(), "Ya está en la lista de envío: M3912001.045");
    EXPECT_TRUE(gui_.find<QStatusBar>("stbPrincipal")->currentMessage().isEmpty());
    EXPECT_EQ(typed().selectedText(), "m3912001.045");
    QTest::keyClicks(&typed(), "M3912002.045");
    EXPECT_EQ(typed().text(), "M3912002.045");
    EXPECT_TRUE(aviso->isHidden());
    EXPECT_TRUE(gui_.ui.messages.empty());
    auto* found = gui_.find<QTreeWidget>("lvwArchivos");
    emit found->itemActivated(found->topLevelItem(0), 0);
    EXPECT_EQ(send().size(), 1u);
    EXPECT_EQ(gui_.ui.texts(),
              std::vector<std::string>{"El archivo ya esta en la lista de envío!!!"});
}

TEST_F(ReviewAreaTest, TypedPaymentFileWithCode05GetsImage3) {
    put(pago(), "E3912001.045", "0105|20260214|\r\nsegunda\r\n");
    open();
    search_typed("E3912001.045");
    ASSERT_EQ(send().size(), 1u);
    EXPECT_EQ(send().at(0).sub_item(2), "3");
    EXPECT_EQ(send().at(0).small_icon, 3);
    EXPECT_EQ(send().at(0).ruta_val, "/kroout");
}

TEST_F(ReviewAreaTest, TypedPNameIsMissingNotAFailure) {
    put(saai(), "P3912001.045");
    open();
    search_typed("P3912001.045");
    ASSERT_EQ(gui_.ui.messages.size(), 1u);
    const auto& shown = gui_.ui.messages[0];
    EXPECT_EQ(shown.text,
              "El archivo juliano no existe en las rutas configuradas.\r\n\r\n"
              "Archivo: P3912001.045");
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);
    EXPECT_EQ(shown.caption, std::string(kProductName));
    EXPECT_TRUE(send().empty());
    EXPECT_EQ(typed().text(), "P3912001.045");  // the box keeps what was typed, selected
    EXPECT_EQ(typed().selectedText(), "P3912001.045");
}

TEST_F(ReviewAreaTest, TypedNameMissingFromItsFolder) {
    put(pago(), "M3912001.045");
    open();
    search_typed("M3912001.045");
    EXPECT_EQ(gui_.ui.texts(),
              std::vector<std::string>{"El archivo juliano no existe en las rutas configuradas."
                                       "\r\n\r\nArchivo: M3912001.045"});
    EXPECT_TRUE(send().empty());
}

// Answers are put into the send list by the reception; here the rows are laid in the view.
class OpeningAnswers : public ReviewAreaTest {
protected:
    void SetUp() override {
        open();
        gui_.window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(gui_.window.get()));
        box().setPlainText("lo que había");
    }
    QTreeWidgetItem* add_row(const QString& name, const QString& status) {
        auto* list = gui_.find<QTreeWidget>("lvwPreVal(0)");
        auto* item = new QTreeWidgetItem(QStringList{name, status});
        list->addTopLevelItem(item);
        return item;
    }
    void click(QTreeWidgetItem* item) {
        auto* list = gui_.find<QTreeWidget>("lvwPreVal(0)");
        const QRect rect = list->visualItemRect(item);
        ASSERT_TRUE(rect.isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    QPlainTextEdit& box() const { return *gui_.find<QPlainTextEdit>("rtbPreVal"); }
    const LocalFolders& folders() const { return gui_.office->session().folders; }
};

TEST_F(OpeningAnswers, ClickingAFileToSendLeavesTheBoxAlone) {
    put(folders().val_rec, "M3912001.err", "E1234567001\r\n");
    click(add_row("M3912001.err", "E"));
    EXPECT_EQ(box().toPlainText(), "lo que había");
    EXPECT_TRUE(gui_.ui.messages.empty());
}

TEST_F(OpeningAnswers, KAnswerReplacesTheBoxWithItsTextAsPlainText) {
    put(folders().val_rec, "K3912001.045", "PREVALIDACI\xD3N <b>OK</b>\r\nL\xCDNEA 2\r\n");
    click(add_row("K3912001.045", "K"));
    EXPECT_EQ(box().toPlainText(), "PREVALIDACIÓN <b>OK</b>\nLÍNEA 2\n");
    EXPECT_TRUE(gui_.ui.messages.empty());
}

TEST_F(OpeningAnswers, EnterOnARowDoesWhatTheClickDoes) {
    put(folders().val_rec, "K3912001.045", "PREVALIDACION OK\r\n");
    auto* list = gui_.find<QTreeWidget>("lvwPreVal(0)");
    list->setCurrentItem(add_row("E3912001.045", "E"));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(box().toPlainText(), "lo que había");  // a file to send opens nothing
    list->setCurrentItem(add_row("K3912001.045", "K"));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(box().toPlainText(), "PREVALIDACION OK\n");
}

// The row shown chosen is the report shown: the arrows open the answer they reach, and an
// answer opened by name (from the history) chooses its row.
TEST_F(OpeningAnswers, TheChosenRowIsAlwaysTheReportShown) {
    put(folders().val_rec, "D3912003.erp", "PREVALIDACION D OK\r\n");
    put(folders().val_rec, "D3912003.err", "");
    auto* list = gui_.find<QTreeWidget>("lvwPreVal(0)");
    QTreeWidgetItem* prevalidation = add_row("D3912003.erp", "K");
    QTreeWidgetItem* validation = add_row("D3912003.err", "R");
    click(validation);
    EXPECT_TRUE(box().toPlainText().contains("Archivo: D3912003.ERR"))
        << box().toPlainText().toStdString();
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(list->currentItem(), prevalidation);
    EXPECT_EQ(box().toPlainText(), "PREVALIDACION D OK\n");

    gui_.find<ReviewArea>("ReviewArea")->open_answer("D3912003.err");
    EXPECT_EQ(list->currentItem(), validation);
    EXPECT_TRUE(validation->isSelected());
    gui_.find<ReviewArea>("ReviewArea")->open_answer("D3912009.err");
    EXPECT_TRUE(list->selectedItems().isEmpty());
}

TEST_F(ReviewAreaTest, EnterOnAFoundFilePutsItOnTheSendListAsADoubleClickDoes) {
    put(saai(), "M3912001.045");
    put(saai(), "M3912002.045");
    open();
    auto* found = gui_.find<QTreeWidget>("lvwArchivos");
    found->setCurrentItem(found->topLevelItem(1));
    QTest::keyClick(found, Qt::Key_Enter);
    ASSERT_EQ(send().size(), 1u);
    EXPECT_EQ(send().at(0).text, "M3912002.045");
}

TEST_F(OpeningAnswers, LongAnswerReadsBackLineForLine) {
    std::string bytes;
    QString expected;
    for (int i = 1; i <= 200; ++i) {
        bytes += "LINEA " + std::to_string(i) + "\r\n";
        expected += QStringLiteral("LINEA %1\n").arg(i);
    }
    put(folders().val_rec, "K3912002.045", bytes);
    click(add_row("K3912002.045", "K"));
    EXPECT_EQ(box().toPlainText(), expected);
    // Selected lines come back with their line feeds, also across the box's paragraphs.
    QTextCursor cursor(box().document());
    cursor.setPosition(static_cast<int>(expected.indexOf(QStringLiteral("LINEA 60\n"))));
    cursor.setPosition(static_cast<int>(expected.indexOf(QStringLiteral("LINEA 71\n"))),
                       QTextCursor::KeepAnchor);
    QString lines;
    for (int i = 60; i <= 70; ++i) {
        lines += QStringLiteral("LINEA %1\n").arg(i);
    }
    EXPECT_EQ(cursor.selection().toPlainText(), lines);
}

TEST_F(OpeningAnswers, RAnswerIsRenderedUnderTheReviewTitle) {
    put(folders().pag_rec, "R3912001.045", "1234567@1\r\n");
    click(add_row("R3912001.045", "R"));
    const QString text = box().toPlainText();
    EXPECT_TRUE(text.startsWith("Programa de Ordano  -  Revisión Archivo: R3912001.045  -  "))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith("\n\nPedimento: 1234567    Error: @1\n")) << text.toStdString();
    EXPECT_FALSE(text.contains('\r'));
    EXPECT_TRUE(gui_.ui.messages.empty());
}

TEST_F(OpeningAnswers, NameOfNoKnownKindEmptiesTheBox) {
    click(add_row("Z3912001.045", "R"));
    EXPECT_TRUE(box().toPlainText().isEmpty());
    EXPECT_TRUE(gui_.ui.messages.empty());
}

TEST_F(OpeningAnswers, UnreadableAnswerShowsItsNumberAndDescription) {
    click(add_row("R3912009.045", "R"));
    ASSERT_EQ(gui_.ui.messages.size(), 1u);
    const auto& shown = gui_.ui.messages[0];
    EXPECT_EQ(shown.text.rfind("Error No. 68\r\nDescripcion: No se encontró el archivo ", 0), 0u)
        << shown.text;
    EXPECT_NE(shown.text.find("R3912009.045"), std::string::npos);
    EXPECT_EQ(shown.icon, MessageIcon::Critical);
    // The header stays in the box above what could be read.
    EXPECT_TRUE(box().toPlainText().startsWith("Programa de Ordano  -  Revisión Archivo: "));
}

}  // namespace
}  // namespace ordano
