#pragma once

#include <QLocale>
#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/MainWindowUi.h"
#include "transfer/FtpSessions.h"

namespace ordano {

class BulletinWindow;
class CatalogFeatures;
class CatalogUpdateWindow;
class Office;
class ParametersDialog;
class StatusPanels;
class UiPort;

// frmPreVal: the program's main window. Its toolbar and close box lead into Ejecuta_Accion;
// the transfer lists sit on the left, the review area on the right.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Ends the program at once (the "salir" action answered Yes).
    using QuitFunction = std::function<void()>;

    MainWindow(Office& office, UiPort& ui, QLocale locale = QLocale(),
               QuitFunction quit = quit_application, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Performs the action of a toolbar key (compared case-sensitively); other keys do nothing.
    void Ejecuta_Accion(const QString& key);

    [[nodiscard]] ParametersDialog& parameters_dialog() { return *frmParametros_; }
    [[nodiscard]] FtpSessions& ftp_sessions() { return sessions_; }
    // frmActCatErr, created on first use.
    [[nodiscard]] CatalogUpdateWindow& catalog_window();
    // frmPrincipal, which holds the bulletin ticker shown above the status bar.
    [[nodiscard]] BulletinWindow& bulletin_window();

    // Refreshes the bulletin ticker from the server: Actualiza_Boletin with Boton false on
    // eftpPrincipal. The sending run calls it near its start, before it opens eftpEnvio.
    void refresh_bulletin();
    [[nodiscard]] const MainWindowUi& controls() const { return ui_; }
    [[nodiscard]] const std::string& letra_tipo() const { return letra_tipo_; }
    [[nodiscard]] const std::string& patron_archivos() const { return patron_archivos_; }
    // The index last handled by a review selector, as text.
    [[nodiscard]] const QString& selector_tag(int index) const {
        return tags_.at(static_cast<std::size_t>(index));
    }

    // Hides every window and leaves the event loop.
    static void quit_application();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void start_up();
    void connect_controls();
    void select_initial_kinds();

    void tlbPreVal_ButtonClick(QAction* button);
    void cboPreVal_Change(int index);

    // The actions of the other parts of the program fill these in.
    void enviar() {}
    void recibir() {}
    void detener() {}
    void caterr();
    void parametros();
    void salir();

    Office& office_;
    UiPort& message_ui_;
    QLocale locale_;
    QuitFunction quit_;
    MainWindowUi ui_;
    FtpSessions sessions_;
    std::unique_ptr<CatalogFeatures> catalog_;
    StatusPanels* status_ = nullptr;
    ParametersDialog* frmParametros_ = nullptr;

    std::string letra_tipo_;
    std::string patron_archivos_;
    std::array<QString, 2> tags_;
};

}  // namespace ordano
