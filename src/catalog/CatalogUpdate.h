// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "transfer/FtpSession.h"

namespace ordano {

class Office;
class UiPort;

// The mark beside a step of the catalogue-update window: none, or pictures 2 (under way),
// 3 (finished) and 4 (the step at which the run ended with a result) of the image list.
enum class StepMark { None = 0, UnderWay = 2, Finished = 3, Result = 4 };

// The four steps, as the window labels them (lblAct(0) .. lblAct(3)).
inline constexpr std::array<std::string_view, 4> kUpdateSteps = {
    "Descargando Lista de Actualizaciones", "Revisando Lista de Actualizaciones",
    "Descargando Archivo de Actualización", "Instalando Actualización de Catálogo"};

// How a run ended.
enum class UpdateOutcome {
    Installed,         // a newer catalogue is installed
    NoNewerCatalogue,  // "No existen actualizaciones del catálogo!!!"
    NoVersionList,     // the server publishes no "revact.txt"
    Failed,            // reported through the UI port and, for a package, the result line
    Busy,              // a run was already under way; nothing done
    Stopped,           // the program is ending: the run stopped at once, nothing reported
};

// What a window (or the terminal) shows of a run. Called on the thread that runs the update,
// except package_progress, which comes from the thread the transfer runs on.
class CatalogUpdateObserver {
public:
    virtual ~CatalogUpdateObserver() = default;
    // step: 1 to 4 (imgAct(1) .. imgAct(4)).
    virtual void step_marked(int /*step*/, StepMark /*mark*/) {}
    // lblResult.
    virtual void result_changed(const std::string& /*text*/) {}
    // Bytes of the package downloaded so far; total is 0 while not known.
    virtual void package_progress(std::int64_t /*done*/, std::int64_t /*total*/) {}
};

// The catalogue update of frmActCatErr without its window: on its own FTP session
// (eftpActCatErr) with the catalogue-update account, the server's account and parameter
// updates, then the version list, the package, its decompression and its installation as one
// unit. Keeps the marks and the result line of the last run for a window shown again.
class CatalogUpdate {
public:
    CatalogUpdate(Office& office, UiPort& ui, FtpTimeouts timeouts = {});
    ~CatalogUpdate();
    CatalogUpdate(const CatalogUpdate&) = delete;
    CatalogUpdate& operator=(const CatalogUpdate&) = delete;

    // nullptr for none. The observer must outlive the runs it watches.
    void set_observer(CatalogUpdateObserver* observer) { observer_ = observer; }

    // The window's Recibir: the update run.
    UpdateOutcome recibir();
    // The window's Salir (and its close box): closes the FTP session (the window hides itself
    // first); during a run, the session closes as soon as its call under way returns (stopping
    // a transfer).
    void salir();

    [[nodiscard]] bool running() const { return running_; }
    [[nodiscard]] StepMark mark(int step) const {
        return marks_.at(static_cast<std::size_t>(step - 1));
    }
    [[nodiscard]] const std::string& result() const { return result_; }
    [[nodiscard]] FtpSession& session() { return ftp_; }

private:
    UpdateOutcome run();
    void close_session();
    void set_mark(int step, StepMark mark);
    void set_result(const std::string& text);
    void report_failure();

    Office& office_;
    UiPort& ui_;
    FtpSession ftp_;
    CatalogUpdateObserver* observer_ = nullptr;
    std::array<StepMark, 4> marks_{};
    std::string result_;
    bool running_ = false;
};

// The generic failure text of the catalogue update: "Error Número: " + number + CR LF +
// "Descripción: " + description + "Proceso: Actualización del catálogo de errores".
[[nodiscard]] std::string catalog_failure_message(int number, std::string_view description);

}  // namespace ordano
