// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QWidget>

#include <array>
#include <atomic>
#include <cstdint>

#include "catalog/CatalogCheck.h"
#include "catalog/CatalogUpdate.h"
#include "ui/ActionButton.h"

class QAction;
class QLabel;
class QProgressBar;
class QToolBar;

namespace ordano {

class Engine;
struct EngineState;

// frmActCatErr: the catalogue-update window over the engine's catalogue update. Modeless;
// "Salir", Esc and the close box hide it. It opens without the marks and the result line of an
// earlier run (unless a run is under way), the focus on "Actualizar", and the focus goes to
// "Salir" once a run ends. Its run is a job of the engine, on its own FTP session
// (eftpActCatErr); "Actualizar" can be pressed when the engine's gate lets it run.
class CatalogUpdateWindow : public QWidget, private CatalogUpdateObserver {
    Q_OBJECT
public:
    explicit CatalogUpdateWindow(Engine& engine, QWidget* parent = nullptr);
    ~CatalogUpdateWindow() override;

    // Recibir: the update run (nothing while one is under way); Salir: hides the window and
    // closes the session; any other action only closes the session.
    void Movimientos(Action action);

    // Shows the window without making it modal and brings it to the front.
    void show_modeless();

    [[nodiscard]] CatalogUpdate& update() { return update_; }
    // What the catalogue check needs to show this window around its run and hide it after
    // (called on the check's thread).
    [[nodiscard]] CatalogWindowHooks hooks();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    QToolBar* build_toolbar();
    QWidget* build_steps();
    void follow_engine(const EngineState& state);
    void begin_run();
    void clear_progress();
    void clear_marks();
    void show_mark(int step, StepMark mark);
    void focus_button(QAction& button);
    void show_progress(std::uint64_t run, std::int64_t done, std::int64_t total);

    // CatalogUpdateObserver
    void step_marked(int step, StepMark mark) override;
    void result_changed(const std::string& text) override;
    void package_progress(std::int64_t done, std::int64_t total) override;

    Engine& engine_;
    CatalogUpdate& update_;
    QToolBar* tlbAct_ = nullptr;
    ToolbarButtons buttons_;  // tlbAct's, by action
    bool updating_ = false;   // a run is under way, as last followed
    QAction* actRecibir_ = nullptr;
    QAction* actSalir_ = nullptr;
    std::array<QLabel*, 5> imgAct_{};  // 0 the illustration, 1 to 4 the step marks
    QLabel* lblResult_ = nullptr;
    QProgressBar* prgAct_ = nullptr;
    // Progress reports of an earlier run that arrive late are dropped.
    std::atomic<std::uint64_t> run_serial_ = 0;
};

}  // namespace ordano
