// SPDX-License-Identifier: Apache-2.0
#include "app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>

#include "app/BulletinFeed.h"
#include "app/CatalogFeatures.h"
#include "app/JournalView.h"
#include "app/StatusPanels.h"
#include "app/TransferPanel.h"
#include "app/WindowTexts.h"
#include "dialogs/ParametersDialog.h"
#include "engine/Engine.h"
#include "engine/FrontEnd.h"
#include "office/Office.h"
#include "office/Parameters.h"
#include "ui/Images.h"
#include "ui/ScreenFit.h"
#include "ui/WindowThread.h"

namespace ordano {

MainWindow::MainWindow(Office& office, FrontEnd& ui, QLocale locale, QuitFunction quit,
                       QWidget* parent)
    : QMainWindow(parent),
      office_(office),
      message_ui_(ui),
      locale_(std::move(locale)),
      quit_(std::move(quit)),
      engine_(std::make_unique<Engine>(office, ui)) {
    setObjectName(QStringLiteral("frmPreVal"));
    // Qt's own controls (dates, numbers) in the workstation's language, also under the C
    // locale.
    setLocale(locale_);
    setWindowIcon(images::program_icon());
    ui_.setup(*this, [this](Action action) { Ejecuta_Accion(action); });
    status_ = new StatusPanels(*ui_.stbPrincipal, office_.clock(), locale_, office_.locale());
    engine_->on_refused([this](std::string_view reason) {
        // Said where the person looks, without a box: the button was pressed, nothing happens.
        const QString text =
            QString::fromUtf8(reason.data(), static_cast<qsizetype>(reason.size()));
        on_thread_of(this, [this, text] { ui_.stbPrincipal->showMessage(text, 5000); });
    });
    // Loaded hidden now and kept for the whole run: its folder fields are the running copy.
    frmParametros_ = new ParametersDialog(office_, *engine_, message_ui_, this);
    catalog_ = std::make_unique<CatalogFeatures>(*this, *ui_.tmrCatError, *engine_, [this] {
        return QString::fromStdString(time_hh_mm_ampm(office_.clock().now(), office_.locale()));
    });
    engine_->desk().poller().on_outage([this](const std::optional<NumberedError>& failure) {
        on_thread_of(this, [this, outage = failure.has_value()] { catalog_->set_outage(outage); });
    });
    transfer_ =
        std::make_unique<TransferPanel>(*engine_, office_, message_ui_, ui_, *this, locale_);
    review_ = new ReviewArea(
        ui_, office_, message_ui_, *engine_, [this] { return frmParametros_->folders(); }, this);
    journal_ = new JournalView(office_, message_ui_, *engine_, *transfer_, ui_, *this,
                               [this](const std::string& name) {
                                   review_->open_answer(name);
                                   bring_forward();
                               });
    start_up();
    catalog_->start();
    fit_to_screen(*this, QSize(1280, 800));
}

MainWindow::~MainWindow() {
    // The jobs tell the windows' parts of their changes: they end before those parts go.
    stop_work();
    engine_.reset();
}

void MainWindow::stop_work() {
    engine_->stop();
}

// The window's part of start-up, after the office is open: caption, status bar, the review
// area's starting values and selectors, the lists' backgrounds.
void MainWindow::start_up() {
    const Sesion& session = office_.session();
    setWindowTitle(QString::fromStdString(
        main_window_caption(session.patente, office_.params().text(Param::Agente))));
    status_->set_day(office_.clock().today(), session.dia_juliano);

    review_->start_up();
    journal_->start_up();
    paint_list_backgrounds();
}

void MainWindow::paint_list_backgrounds() {
    // Only the base is the lists' own: their text colour keeps following the palette, and the
    // picture is drawn again whenever the palette changes (a light or dark desktop theme).
    QPalette background;
    background.setBrush(QPalette::Base, QBrush(images::list_background(palette())));
    for (QTreeWidget* list : ui_.lvwPreVal) {
        list->setPalette(background);
    }
}

void MainWindow::bring_forward() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        paint_list_backgrounds();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::Ejecuta_Accion(Action action) {
    switch (action) {
        case Action::Enviar:
            engine_->send();  // the run closes the sending session when it ends
            return;
        case Action::Recibir:
            engine_->receive();  // closes it when the reception ends
            return;
        case Action::Detener:
            // Only once answered Yes (nothing is asked while the polling is off).
            transfer_->confirm_stop([this] {
                engine_->stop_polling();
                engine_->close_sending_session();
            });
            return;
        case Action::CatErr:
            catalog_->show_update_window();
            break;
        case Action::Parametros:
            frmParametros_->open();
            break;
        case Action::Historial:
            journal_->show_history();
            break;
        case Action::Salir:
            salir();
            break;
        default:
            break;  // the other windows' actions: nothing here but the rule below
    }
    // Every action of the main window ends with the sending session closed, unless a sending
    // run is under way (it closes its own when it ends).
    engine_->close_sending_session();
}

CatalogUpdateWindow& MainWindow::catalog_window() {
    return catalog_->update_window();
}

BulletinFeed& MainWindow::bulletin_feed() {
    return catalog_->bulletin_feed();
}

void MainWindow::refresh_bulletin() {
    catalog_->bulletin_feed().Actualiza_Boletin(false);
}

void MainWindow::salir() {
    const auto waiting = transfer_->receive_rows().rows().size();
    // Asked with No as its default: a stray Enter must not end the session.
    message_ui_.ask({exit_question(waiting, transfer_->under_way()), {}, MessageIcon::Question},
                    [this](MessageAnswer answer) {
                        if (answer != MessageAnswer::Yes) {
                            return;
                        }
                        // At once: the transfers in flight are cancelled and every job ends at
                        // its next step instead of running on once the window is gone.
                        on_thread_of(this, [this] {
                            stop_work();
                            quit_();
                        });
                    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The close box asks first; a close asked by the program, the session (logging out) or the
    // system goes ahead, with the work stopped as Salir stops it.
    if (!event->spontaneous()) {
        stop_work();
        event->accept();
        return;
    }
    event->ignore();
    Ejecuta_Accion(Action::Salir);
}

void MainWindow::quit_application() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->hide();
    }
    QCoreApplication::exit(0);
}

}  // namespace ordano
