// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QLocale>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>

#include "app/MainWindowUi.h"
#include "app/ReviewArea.h"
#include "base/Action.h"

namespace ordano {

class BulletinFeed;
class CatalogFeatures;
class CatalogUpdateWindow;
class Engine;
class FrontEnd;
class JournalView;
class Office;
class ParametersDialog;
class StatusPanels;
class TransferPanel;

// frmPreVal: the program's main window. Its toolbar and close box lead into Ejecuta_Accion;
// the transfer lists sit on the left, the review area on the right. It owns the office's
// transfer engine, which runs the transfers off the window's thread; every way the window ends
// (Salir, the close box answered Yes, a close asked by the session or the system) stops it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Ends the program (Salir answered Yes, after the office's work was stopped).
    using QuitFunction = std::function<void()>;

    MainWindow(Office& office, FrontEnd& ui, QLocale locale = QLocale(),
               QuitFunction quit = quit_application, QWidget* parent = nullptr);
    // Stops the engine and waits for its jobs before the window's parts go.
    ~MainWindow() override;

    // The window's one dispatcher: performs a toolbar action (its button, its shortcut, the
    // close box's Salir). Every action ends with the sending session closed (see there).
    void Ejecuta_Accion(Action action);
    // The program is ending however it ends: the engine stops at once (transfers in flight
    // cancelled, an upload cut short taken off the server) and starts nothing more.
    void stop_work();

    [[nodiscard]] Engine& engine() { return *engine_; }
    [[nodiscard]] ParametersDialog& parameters_dialog() { return *frmParametros_; }
    // frmActCatErr, created on first use.
    [[nodiscard]] CatalogUpdateWindow& catalog_window();
    // frmPrincipal, which holds the bulletin ticker shown above the status bar.
    [[nodiscard]] BulletinFeed& bulletin_feed();

    // Refreshes the bulletin ticker from the server: Actualiza_Boletin with Boton false, as a
    // job of the engine on the bulletin's own session.
    void refresh_bulletin();
    [[nodiscard]] const MainWindowUi& controls() const { return ui_; }
    // The transfer side: the two lists, the polling, frmPassword.
    [[nodiscard]] TransferPanel& transfer_panel() { return *transfer_; }
    [[nodiscard]] ReviewArea& review_area() { return *review_; }
    // The journal's side: restored lists, overdue answers, answers noticed, the history.
    [[nodiscard]] JournalView& journal_view() { return *journal_; }
    [[nodiscard]] const std::string& letra_tipo() const { return review_->letra_tipo(); }
    [[nodiscard]] const std::string& patron_archivos() const { return review_->patron_archivos(); }
    // The index last handled by a review selector, as text.
    [[nodiscard]] const QString& selector_tag(int index) const {
        return review_->selector_tag(index);
    }

    // Hides every window and leaves the event loop.
    static void quit_application();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void start_up();
    // The lists' background picture (imlFondos 1), drawn for the window's palette.
    void paint_list_backgrounds();
    // In front and active, also from minimised (an answer opened from the history).
    void bring_forward();

    void salir();

    Office& office_;
    FrontEnd& message_ui_;
    QLocale locale_;
    QuitFunction quit_;
    MainWindowUi ui_;
    std::unique_ptr<Engine> engine_;
    std::unique_ptr<CatalogFeatures> catalog_;
    StatusPanels* status_ = nullptr;
    ParametersDialog* frmParametros_ = nullptr;
    // Destroyed before the window's controls, which it mirrors.
    std::unique_ptr<TransferPanel> transfer_;
    ReviewArea* review_ = nullptr;
    JournalView* journal_ = nullptr;
};

}  // namespace ordano
