// SPDX-License-Identifier: Apache-2.0
#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

#include <fstream>
#include <functional>

#include "GuiOffice.h"
#include "dialogs/ParametersDialog.h"
#include "office/Journal.h"
#include "office/Parameters.h"
#include "transfer/TransferLanes.h"

namespace ordano {
namespace {
using test::GuiOffice;
using test::tab_stops;

// The dialog of an office whose record holds known hosts, proxy and folders.
class ParametersDialogTest : public ::testing::Test {
protected:
    void open(const std::string& record = "tipo_acceso=1, acc_tel=0, proxy=0") {
        gui.prepare(
            "UPDATE PARAMETROS SET Host_Ras='ras.example', Host_Internet='net.example', "
            "Host='radio.example', ip_proxy='proxy.example', telefono='5550100', vererr=7, "
            "val_env='/of/val_env', val_rec='/of/val_rec', tra_env='/of/tra_env', "
            "tra_rec='/of/tra_rec', pag_env='/of/pag_env', pag_rec='/of/pag_rec', "
            "sag_env='/of/sag_env', sag_rec='/of/sag_rec', " +
            record);
        gui.open();
        dialog = &gui.window->parameters_dialog();
    }
    QLineEdit& field(int i) const {
        return *dialog->findChild<QLineEdit*>(QStringLiteral("txtParametros(%1)").arg(i));
    }
    QComboBox& link_type() const { return *dialog->findChild<QComboBox*>("cboParametros"); }
    QCheckBox& proxy_box() const { return *dialog->findChild<QCheckBox*>("chkParametros"); }
    QAction& button(const char* key) const { return *dialog->findChild<QAction*>(key); }
    bool shown(const QWidget& w) const { return w.isVisibleTo(dialog); }
    // "Configuración" from the main window: the dialog comes up (without holding the window's
    // thread), `while_shown` acts in it, and this returns once it is hidden again.
    void configure(const std::function<void(QWidget&)>& while_shown) {
        bool acted = false;
        test::when_modal([&](QWidget& modal) {
            while_shown(modal);
            acted = true;
        });
        gui.window->Ejecuta_Accion(Action::Parametros);
        EXPECT_TRUE(QTest::qWaitFor([&] { return acted && !dialog->isVisible(); }, 10000));
    }
    std::string stored(const char* column) const {
        SQLite::Database db(gui.files.db_file.string());
        return db.execAndGet(std::string("SELECT ") + column + " FROM PARAMETROS").getString();
    }
    std::vector<std::string> folder_fields() const {
        std::vector<std::string> out;
        for (int i = 5; i <= 12; ++i) {
            out.push_back(field(i).text().toStdString());
        }
        return out;
    }

    GuiOffice gui;
    ParametersDialog* dialog = nullptr;
};

TEST_F(ParametersDialogTest, LoadsHiddenInViewModeWithTheRecordInItsFields) {
    open();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Parámetros del Sistema");
    auto* tabs = dialog->findChild<QTabWidget*>("sstParametros");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), "Ge&nerales");
    EXPECT_EQ(tabs->tabText(1), "&Directorios de Archivos");

    EXPECT_EQ(field(0).text(), "15");
    EXPECT_EQ(field(1).text(), "NOMBRE");
    EXPECT_EQ(link_type().currentText(), "INTERNET");
    EXPECT_EQ(field(2).text(), "net.example");
    EXPECT_EQ(field(3).text(), "5550100");
    EXPECT_EQ(field(4).text(), "proxy.example");
    EXPECT_EQ(folder_fields(), std::vector<std::string>(
                                   {"/of/val_env", "/of/val_rec", "/of/tra_env", "/of/tra_rec",
                                    "/of/pag_env", "/of/pag_rec", "/of/sag_env", "/of/sag_rec"}));
    // Telephone hidden (only MODEM shows it), proxy box shown but unchecked, its field hidden.
    EXPECT_FALSE(shown(field(3)));
    EXPECT_TRUE(shown(proxy_box()));
    EXPECT_FALSE(shown(field(4)));

    EXPECT_TRUE(button("modificar").isVisible());
    EXPECT_EQ(button("modificar").text(), "      Modificar      ");
    EXPECT_TRUE(button("salir").isVisible());
    EXPECT_FALSE(button("guardar").isVisible());
    EXPECT_FALSE(button("cancelar").isVisible());
    EXPECT_TRUE(button("password").isVisible());
    EXPECT_EQ(button("envkro").toolTip(), "Solicita a contraseña de pago electrónico");
    // Shown read-only, not greyed out; the link type takes no input.
    for (int i = 0; i <= 12; ++i) {
        EXPECT_TRUE(field(i).isEnabled() && field(i).isReadOnly()) << i;
    }
    EXPECT_TRUE(link_type().isEnabled());
    QTest::keyClick(&link_type(), Qt::Key_Down);
    EXPECT_EQ(link_type().currentText(), "INTERNET");
    EXPECT_FALSE(dialog->findChild<QPushButton*>("cmdParametros(0)")->isEnabled());
    // The session's folders are the fields.
    EXPECT_EQ(gui.office->session().folders.sag_rec, "/of/sag_rec");
}

TEST_F(ParametersDialogTest, ModificarEnablesEverythingButPatenteAndAgent) {
    open();
    button("modificar").trigger();
    EXPECT_TRUE(dialog->in_edit_mode());
    EXPECT_TRUE(field(0).isReadOnly());
    EXPECT_TRUE(field(1).isReadOnly());
    for (int i = 2; i <= 12; ++i) {
        EXPECT_FALSE(field(i).isReadOnly()) << i;
    }
    for (int k = 0; k < 8; ++k) {
        EXPECT_TRUE(dialog->findChild<QPushButton*>(QStringLiteral("cmdParametros(%1)").arg(k))
                        ->isEnabled());
    }
    QTest::keyClick(&link_type(), Qt::Key_Down);
    EXPECT_EQ(link_type().currentText(), "RADIO MODEM");
    EXPECT_FALSE(button("modificar").isVisible());
    EXPECT_FALSE(button("salir").isVisible());
    EXPECT_TRUE(button("guardar").isVisible());
    EXPECT_TRUE(button("cancelar").isVisible());
}

TEST_F(ParametersDialogTest, TabReachesEveryFieldAndTheToolbarInReadingOrder) {
    open();
    QStringList view_mode;
    QStringList edit_mode;
    configure([&](QWidget&) {
        view_mode = tab_stops(*dialog->findChild<QWidget*>("tlbParametros.modificar"));
        button("modificar").trigger();  // the focus goes to the link type
        QApplication::processEvents();  // the toolbar lays out its new buttons
        edit_mode = tab_stops(link_type());
        button("cancelar").trigger();
        button("salir").trigger();
    });
    // INTERNET without proxy: no telephone, no proxy host. The tab bar has no name. Fields that
    // take no typing are passed by.
    EXPECT_EQ(view_mode, QStringList({"tlbParametros.modificar", "tlbParametros.salir",
                                      "tlbParametros.password", "tlbParametros.envkro",
                                      "qt_tabwidget_tabbar"}));
    EXPECT_EQ(edit_mode, QStringList({"cboParametros", "txtParametros(2)", "chkParametros",
                                      "txtAtraso", "txtSesiones", "chkTls", "tlbParametros.guardar",
                                      "tlbParametros.cancelar", "tlbParametros.password",
                                      "tlbParametros.envkro", "qt_tabwidget_tabbar"}));
}

TEST_F(ParametersDialogTest, CancelarRestoresEveryFieldFromTheRecord) {
    open();
    button("modificar").trigger();
    link_type().setCurrentIndex(2);
    field(2).setText("otro.example");
    field(5).setText("/nuevo/val_env");
    proxy_box().setChecked(true);
    EXPECT_EQ(gui.office->session().folders.val_env, "/nuevo/val_env");

    button("cancelar").trigger();
    EXPECT_FALSE(dialog->in_edit_mode());
    EXPECT_EQ(link_type().currentText(), "INTERNET");
    EXPECT_EQ(field(2).text(), "net.example");
    EXPECT_EQ(field(5).text(), "/of/val_env");
    EXPECT_FALSE(proxy_box().isChecked());
    EXPECT_FALSE(shown(field(4)));
    EXPECT_EQ(gui.office->session().folders.val_env, "/of/val_env");
    EXPECT_EQ(stored("Host"), "radio.example");
}

TEST_F(ParametersDialogTest, SavingWithInternetStoresOnlyItsHostAndSetsTheRunningHost) {
    open("tipo_acceso=0, acc_tel=-1, proxy=0");
    EXPECT_EQ(gui.office->session().host, "ras.example");
    button("modificar").trigger();
    link_type().setCurrentIndex(1);
    field(2).setText("10.0.0.9:2121");
    field(6).setText("/nuevo/val_rec");
    button("guardar").trigger();

    EXPECT_TRUE(gui.ui.messages.empty());
    EXPECT_FALSE(dialog->in_edit_mode());
    EXPECT_TRUE(button("modificar").isVisible());
    EXPECT_EQ(stored("Host_Internet"), "10.0.0.9:2121");
    EXPECT_EQ(stored("Host_Ras"), "ras.example");
    EXPECT_EQ(stored("Host"), "radio.example");
    EXPECT_EQ(stored("tipo_acceso"), "1");
    EXPECT_EQ(stored("acc_tel"), "0");
    EXPECT_EQ(stored("vererr"), "1");
    EXPECT_EQ(stored("val_rec"), "/nuevo/val_rec");
    EXPECT_EQ(gui.office->session().host, "10.0.0.9:2121");
}

TEST_F(ParametersDialogTest, SavingWithModemOrRadioUsesTheirOwnHostColumns) {
    open();
    button("modificar").trigger();
    link_type().setCurrentIndex(0);
    field(2).setText("ras2.example");
    button("guardar").trigger();
    EXPECT_EQ(stored("Host_Ras"), "ras2.example");
    EXPECT_EQ(stored("acc_tel"), "-1");
    EXPECT_EQ(gui.office->session().host, "ras2.example");

    button("modificar").trigger();
    link_type().setCurrentIndex(2);
    field(2).setText("radio2.example");
    button("guardar").trigger();
    EXPECT_EQ(stored("Host"), "radio2.example");
    EXPECT_EQ(stored("Host_Internet"), "net.example");
    EXPECT_EQ(stored("tipo_acceso"), "2");
    EXPECT_EQ(stored("acc_tel"), "0");
    EXPECT_EQ(gui.office->session().host, "radio2.example");
}

TEST_F(ParametersDialogTest, ChangingTheLinkTypeReplacesAnUnsavedAddress) {
    open();
    button("modificar").trigger();
    field(2).setText("a-medio-escribir");
    link_type().setCurrentIndex(2);
    EXPECT_EQ(field(2).text(), "radio.example");
    link_type().setCurrentIndex(0);
    EXPECT_EQ(field(2).text(), "ras.example");
    EXPECT_TRUE(shown(field(3)));
    EXPECT_FALSE(shown(proxy_box()));
}

TEST_F(ParametersDialogTest, ModemStoredWithProxyShowsTheProxyHostButNotTheBox) {
    open("tipo_acceso=0, acc_tel=-1, proxy=-1");
    EXPECT_TRUE(shown(field(3)));
    EXPECT_FALSE(shown(proxy_box()));
    EXPECT_TRUE(shown(field(4)));
    // The same after "Cancelar".
    button("modificar").trigger();
    link_type().setCurrentIndex(1);
    proxy_box().setChecked(false);
    button("cancelar").trigger();
    EXPECT_FALSE(shown(proxy_box()));
    EXPECT_TRUE(shown(field(4)));
}

TEST_F(ParametersDialogTest, OnlyMinusOneChecksTheProxyBox) {
    // A connection uses the proxy only for -1; 1 is a proxy that is not used.
    open("tipo_acceso=1, acc_tel=0, proxy=1");
    EXPECT_FALSE(proxy_box().isChecked());
    EXPECT_FALSE(shown(field(4)));
}

TEST_F(ParametersDialogTest, SwitchingFromInternetWithProxyToModemStillSavesTheProxy) {
    open("tipo_acceso=1, acc_tel=0, proxy=-1");
    EXPECT_TRUE(shown(field(4)));
    button("modificar").trigger();
    link_type().setCurrentIndex(0);
    EXPECT_FALSE(shown(proxy_box()));
    EXPECT_FALSE(shown(field(4)));
    button("guardar").trigger();
    EXPECT_EQ(stored("proxy"), "-1");
    EXPECT_EQ(stored("ip_proxy"), "proxy.example");
    EXPECT_EQ(stored("tipo_acceso"), "0");
}

TEST_F(ParametersDialogTest, ProxyBoxShowsAndHidesTheProxyHost) {
    open();
    button("modificar").trigger();
    proxy_box().setChecked(true);
    EXPECT_TRUE(shown(field(4)));
    proxy_box().setChecked(false);
    EXPECT_FALSE(shown(field(4)));
}

// Esc or the close box in edit mode: nothing saved, and nothing of the edit left behind, in
// the dialog or in the folders the rest of the program reads.
TEST_F(ParametersDialogTest, LeavingInEditModeDropsTheUnsavedEdit) {
    open();
    gui.window->show();
    auto* tls = dialog->findChild<QCheckBox*>("chkTls");
    const auto edit_and_leave = [&](const std::function<void()>& leave) {
        configure([&, leave](QWidget&) {
            button("modificar").trigger();
            field(9).setText("/sin/guardar");
            tls->setChecked(true);
            EXPECT_EQ(gui.office->session().folders.pag_env, "/sin/guardar");
            leave();
        });
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_FALSE(dialog->in_edit_mode());
        EXPECT_EQ(field(9).text(), "/of/pag_env");
        EXPECT_FALSE(tls->isChecked());
        EXPECT_EQ(gui.office->session().folders.pag_env, "/of/pag_env");
    };
    edit_and_leave([&] { QTest::keyClick(dialog, Qt::Key_Escape); });
    edit_and_leave([&] { test::press_close_box(*dialog); });
    EXPECT_EQ(stored("pag_env"), "/of/pag_env");
    EXPECT_EQ(stored("tls"), "0");

    // Shown again: in view mode.
    bool view_mode_again = false;
    configure([&](QWidget&) {
        view_mode_again = button("modificar").isVisible() && field(9).isReadOnly();
        button("salir").trigger();
    });
    EXPECT_TRUE(view_mode_again);
}

// Out of edit mode a value reads as text on the dialog, not as a box waiting for typing.
TEST_F(ParametersDialogTest, ReadOnlyFieldsDoNotLookEditable) {
    open();
    const QColor window = dialog->palette().color(QPalette::Window);
    auto* minutes = dialog->findChild<QSpinBox*>("txtAtraso");
    auto* sessions = dialog->findChild<QSpinBox*>("txtSesiones");
    for (QWidget* shown :
         std::initializer_list<QWidget*>{&field(0), &field(2), &field(9), minutes, sessions}) {
        EXPECT_EQ(shown->palette().color(QPalette::Base), window)
            << shown->objectName().toStdString();
        EXPECT_EQ(shown->focusPolicy(), Qt::ClickFocus) << shown->objectName().toStdString();
    }
    EXPECT_EQ(minutes->buttonSymbols(), QAbstractSpinBox::NoButtons);
    button("modificar").trigger();
    for (QWidget* edited :
         std::initializer_list<QWidget*>{&field(2), &field(9), minutes, sessions}) {
        EXPECT_NE(edited->palette().color(QPalette::Base), window)
            << edited->objectName().toStdString();
        EXPECT_EQ(edited->focusPolicy(), Qt::StrongFocus) << edited->objectName().toStdString();
    }
    EXPECT_EQ(field(0).palette().color(QPalette::Base), window) << "the patente is never edited";
}

TEST_F(ParametersDialogTest, FolderButtonsUseThePickerWithTheFieldAsStart) {
    open();
    std::vector<QString> starts;
    std::optional<QString> answer = QStringLiteral("/elegida");
    dialog->set_folder_picker([&](QWidget*, const QString& start, Chosen chosen) {
        starts.push_back(start);
        chosen(answer);
    });
    button("modificar").trigger();
    dialog->findChild<QPushButton*>("cmdParametros(3)")->click();
    EXPECT_EQ(field(8).text(), "/elegida");
    EXPECT_EQ(gui.office->session().folders.tra_rec, "/elegida");

    answer.reset();  // the user cancels
    dialog->findChild<QPushButton*>("cmdParametros(0)")->click();
    EXPECT_EQ(field(5).text(), "/of/val_env");

    field(12).clear();
    dialog->findChild<QPushButton*>("cmdParametros(7)")->click();
    EXPECT_EQ(starts, std::vector<QString>({"/of/tra_rec", "/of/val_env", ""}));
}

TEST_F(ParametersDialogTest, TlsAndItsCertificateFileAreSavedAndTheFileOnlyCountsWithTlsOn) {
    open();
    auto& tls = *dialog->findChild<QCheckBox*>("chkTls");
    auto& ca = *dialog->findChild<QLineEdit*>("txtTlsCa");
    auto& choose = *dialog->findChild<QPushButton*>("cmdTlsCa");
    EXPECT_EQ(tls.text(), "Conexión &cifrada (TLS)");
    EXPECT_FALSE(tls.isChecked());
    const auto pem = gui.files.db_file.parent_path() / "autoridad.pem";
    std::ofstream(pem) << "-----BEGIN CERTIFICATE-----\n";
    dialog->set_certificate_picker([&](QWidget*, const QString&, Chosen chosen) {
        chosen(QString::fromStdString(pem.string()));
    });

    button("modificar").trigger();
    EXPECT_TRUE(tls.isEnabled());
    EXPECT_FALSE(ca.isEnabled());
    tls.setChecked(true);
    EXPECT_TRUE(ca.isEnabled());
    choose.click();
    button("guardar").trigger();

    EXPECT_EQ(stored("tls"), "-1");
    EXPECT_EQ(stored("tls_ca"), pem.string());
    EXPECT_EQ(tls.focusPolicy(), Qt::NoFocus);  // shown, not greyed out, and left alone
    EXPECT_TRUE(ca.isReadOnly());
    EXPECT_FALSE(choose.isEnabled());

    // A certificate file that is not there is not saved.
    button("modificar").trigger();
    ca.setText("/no/existe.pem");
    button("guardar").trigger();
    EXPECT_EQ(gui.ui.texts().back().rfind("No se encontró el archivo de certificados "
                                          "/no/existe.pem.",
                                          0),
              0u);
    EXPECT_EQ(stored("tls_ca"), pem.string());
}

TEST_F(ParametersDialogTest, AFailingSaveReportsItAndKeepsTheEdits) {
    open();
    button("modificar").trigger();
    link_type().setCurrentIndex(2);
    field(2).setText("nuevo.example");
    field(11).setText("/nuevo/sag_env");

    // Another program holds the database locked.
    SQLite::Database other(gui.files.db_file.string(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    gui.office->db().setBusyTimeout(0);
    button("guardar").trigger();

    ASSERT_EQ(gui.ui.messages.size(), 1u);
    EXPECT_EQ(gui.ui.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(gui.ui.messages[0].caption, std::string(kProductName));
    EXPECT_NE(gui.ui.messages[0].text.find("No se pudieron guardar los parámetros"),
              std::string::npos);
    EXPECT_TRUE(dialog->in_edit_mode());
    EXPECT_EQ(link_type().currentIndex(), 2);
    EXPECT_EQ(field(2).text(), "nuevo.example");
    EXPECT_EQ(field(11).text(), "/nuevo/sag_env");
    EXPECT_EQ(gui.office->session().host, "net.example");
    EXPECT_FALSE(gui.office->params().has_unsaved_changes());
    EXPECT_EQ(gui.office->params().text(Param::Host), "radio.example");

    // Once the lock is gone the same edits save.
    other.exec("ROLLBACK");
    button("guardar").trigger();
    EXPECT_EQ(gui.ui.messages.size(), 1u);
    EXPECT_EQ(stored("Host"), "nuevo.example");
    EXPECT_EQ(gui.office->session().host, "nuevo.example");
}

TEST_F(ParametersDialogTest, AnUnknownStoredLinkTypeSelectsNothingAndCannotBeSaved) {
    open("tipo_acceso=7, acc_tel=0, proxy=0");
    EXPECT_EQ(link_type().currentIndex(), -1);
    EXPECT_EQ(field(2).text(), "");
    // With no link type, start-up takes the proxy field as provisional host.
    EXPECT_EQ(gui.office->session().host, "proxy.example");
    button("modificar").trigger();
    button("guardar").trigger();
    ASSERT_EQ(gui.ui.messages.size(), 1u);
    EXPECT_TRUE(dialog->in_edit_mode());
    EXPECT_EQ(stored("tipo_acceso"), "7");
    EXPECT_EQ(stored("vererr"), "7");
}

TEST_F(ParametersDialogTest, OverdueMinutesAreEditedAndSavedWithTheRest) {
    open("tipo_acceso=1, min_atraso=0");
    auto& minutes = *dialog->findChild<QSpinBox*>("txtAtraso");
    EXPECT_EQ(minutes.value(), 30);  // a stored limit that is no limit reads as the default
    EXPECT_EQ(minutes.minimum(), 1);
    EXPECT_EQ(minutes.maximum(), 10080);  // a week
    EXPECT_TRUE(minutes.isReadOnly());
    button("modificar").trigger();
    ASSERT_FALSE(minutes.isReadOnly());
    minutes.setValue(45);
    button("guardar").trigger();
    EXPECT_EQ(stored("min_atraso"), "45");
    EXPECT_EQ(overdue_minutes(gui.office->params()), 45);
}

TEST_F(ParametersDialogTest, SimultaneousTransfersAreEditedAndSavedWithTheRest) {
    open("tipo_acceso=1, sesiones_ftp=0");
    auto& sessions = *dialog->findChild<QSpinBox*>("txtSesiones");
    EXPECT_EQ(sessions.value(), 4);  // a stored count that is none reads as the default
    EXPECT_EQ(sessions.minimum(), 1);
    EXPECT_EQ(sessions.maximum(), 8);
    button("modificar").trigger();
    sessions.setValue(1);
    button("guardar").trigger();
    EXPECT_EQ(stored("sesiones_ftp"), "1");
    EXPECT_EQ(simultaneous_transfers(gui.office->params()), 1);
}

}  // namespace
}  // namespace ordano
