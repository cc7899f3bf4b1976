// SPDX-License-Identifier: Apache-2.0
#include "dialogs/CatalogUpdateWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <limits>

#include "dialogs/CatalogIllustration.h"
#include "engine/Engine.h"
#include "ui/CloseKeys.h"
#include "ui/Images.h"
#include "ui/WindowThread.h"

namespace ordano {
namespace {

constexpr int kMarkSize = 32;

QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A progress bar counts in int: packages beyond its range are counted in kilobytes.
int bar_units(std::int64_t bytes, std::int64_t total) {
    const bool kilobytes = total > std::numeric_limits<int>::max();
    return static_cast<int>(kilobytes ? bytes / 1024 : bytes);
}

}  // namespace

CatalogUpdateWindow::CatalogUpdateWindow(Engine& engine, QWidget* parent)
    : QWidget(parent, Qt::Window), engine_(engine), update_(engine.catalog_update()) {
    setObjectName(QStringLiteral("frmActCatErr"));
    setWindowTitle(QStringLiteral("Actualización del Catálogo de Errores"));
    setWindowIcon(images::action_icon(Action::CatErr));
    build();
    update_.set_observer(this);
    engine_.on_state([this](const EngineState&) {
        on_thread_of(this, [this] { follow_engine(engine_.state()); });
    });
    follow_engine(engine_.state());
    add_close_keys(*this, [this] { Movimientos(Action::Salir); });
}

CatalogUpdateWindow::~CatalogUpdateWindow() {
    update_.set_observer(nullptr);
}

void CatalogUpdateWindow::build() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(build_toolbar());
    layout->addWidget(build_steps(), 1);
    setMinimumWidth(520);
}

QToolBar* CatalogUpdateWindow::build_toolbar() {
    auto* tlbAct = new QToolBar(this);
    tlbAct_ = tlbAct;
    tlbAct->setObjectName(QStringLiteral("tlbAct"));
    tlbAct->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tlbAct->setIconSize(QSize(32, 32));
    buttons_ = ToolbarButtons(*tlbAct, Toolbar::CatalogUpdate,
                              [this](Action action) { Movimientos(action); });
    actRecibir_ = buttons_.button(Action::Recibir);
    actSalir_ = buttons_.button(Action::Salir);
    return tlbAct;
}

QWidget* CatalogUpdateWindow::build_steps() {
    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("fraAct"));
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(12, 8, 12, 0);
    grid->setHorizontalSpacing(12);

    imgAct_[0] = new QLabel(area);
    imgAct_[0]->setObjectName(QStringLiteral("imgAct(0)"));
    imgAct_[0]->setPixmap(catalog_update_illustration());
    grid->addWidget(imgAct_[0], 0, 0, static_cast<int>(kUpdateSteps.size()), 1, Qt::AlignTop);

    for (std::size_t i = 0; i < kUpdateSteps.size(); ++i) {
        const int row = static_cast<int>(i);
        auto* mark = new QLabel(area);
        mark->setObjectName(QStringLiteral("imgAct(%1)").arg(row + 1));
        mark->setFixedSize(kMarkSize, kMarkSize);
        mark->setProperty("picture", 0);
        imgAct_[i + 1] = mark;
        auto* label = new QLabel(utf8(kUpdateSteps[i]), area);
        label->setObjectName(QStringLiteral("lblAct(%1)").arg(row));
        grid->addWidget(mark, row, 1);
        grid->addWidget(label, row, 2);
    }
    grid->setColumnStretch(2, 1);

    prgAct_ = new QProgressBar(area);
    prgAct_->setObjectName(QStringLiteral("prgAct"));
    prgAct_->setRange(0, 1);
    prgAct_->setValue(0);
    prgAct_->setTextVisible(true);
    prgAct_->setFormat(QString());
    grid->addWidget(prgAct_, 4, 1, 1, 2);

    lblResult_ = new QLabel(area);
    lblResult_->setObjectName(QStringLiteral("lblResult"));
    // The result line may quote the server's words: never markup.
    lblResult_->setTextFormat(Qt::PlainText);
    lblResult_->setWordWrap(true);
    QFont bold = lblResult_->font();
    bold.setBold(true);
    lblResult_->setFont(bold);
    grid->addWidget(lblResult_, 5, 0, 1, 3);
    return area;
}

void CatalogUpdateWindow::Movimientos(Action action) {
    if (action == Action::Recibir) {
        engine_.update_catalog();
        return;
    }
    if (action == Action::Salir) {
        hide();
    }
    engine_.close_catalog();
}

void CatalogUpdateWindow::show_modeless() {
    // Opened afresh unless a run is under way: the marks of an earlier run would read as this
    // one's.
    if (!updating_) {
        clear_marks();
    }
    show();
    raise();
    activateWindow();
    focus_button(updating_ ? *actSalir_ : *actRecibir_);
}

void CatalogUpdateWindow::focus_button(QAction& button) {
    if (QWidget* widget = tlbAct_->widgetForAction(&button)) {
        // Shown as keyboard focus, also when the window becomes active only after this (F9):
        // the styles draw the focus frame once the window knows the keyboard moves it.
        setAttribute(Qt::WA_KeyboardFocusChange);
        widget->setFocus(Qt::TabFocusReason);
    }
}

CatalogWindowHooks CatalogUpdateWindow::hooks() {
    return {[this] { on_thread_of(this, [this] { show_modeless(); }); },
            [this] { on_thread_of(this, [this] { hide(); }); }};
}

void CatalogUpdateWindow::closeEvent(QCloseEvent* event) {
    // The close box is "Salir"; a close asked by the program goes ahead.
    if (!event->spontaneous()) {
        event->accept();
        return;
    }
    event->ignore();
    Movimientos(Action::Salir);
}

void CatalogUpdateWindow::follow_engine(const EngineState& state) {
    buttons_.follow(state);
    const bool ended = updating_ && !state.runs(Job::CatalogUpdate);
    updating_ = state.runs(Job::CatalogUpdate);
    if (ended) {
        // A Space or an Enter now closes the window instead of starting the run again.
        focus_button(*actSalir_);
    }
}

// Every run, also one the catalogue check starts, begins by clearing its marks.
void CatalogUpdateWindow::begin_run() {
    clear_progress();
}

void CatalogUpdateWindow::clear_progress() {
    prgAct_->setRange(0, 1);
    prgAct_->setValue(0);
    prgAct_->setFormat(QString());
}

void CatalogUpdateWindow::clear_marks() {
    for (int step = 1; step <= static_cast<int>(kUpdateSteps.size()); ++step) {
        show_mark(step, StepMark::None);
    }
    lblResult_->clear();
    clear_progress();
}

void CatalogUpdateWindow::show_mark(int step, StepMark mark) {
    QLabel* picture = imgAct_.at(static_cast<std::size_t>(step));
    const int number = static_cast<int>(mark);
    picture->setPixmap(mark == StepMark::None ? QPixmap() : images::background(number));
    picture->setProperty("picture", number);
}

// The run tells its marks on its own thread; they are shown on the window's, in order.
void CatalogUpdateWindow::step_marked(int step, StepMark mark) {
    if (step == 1 && mark == StepMark::None) {
        ++run_serial_;
    }
    on_thread_of(this, [this, step, mark] {
        if (step == 1 && mark == StepMark::None) {
            begin_run();
        }
        show_mark(step, mark);
    });
}

void CatalogUpdateWindow::result_changed(const std::string& text) {
    on_thread_of(this, [this, text] { lblResult_->setText(QString::fromStdString(text)); });
}

// Comes from the thread that runs the transfer: the bar is changed on the window's thread.
void CatalogUpdateWindow::package_progress(std::int64_t done, std::int64_t total) {
    const std::uint64_t run = run_serial_;
    QMetaObject::invokeMethod(
        this, [this, run, done, total] { show_progress(run, done, total); }, Qt::QueuedConnection);
}

void CatalogUpdateWindow::show_progress(std::uint64_t run, std::int64_t done, std::int64_t total) {
    if (run != run_serial_) {
        return;
    }
    if (total > 0) {
        prgAct_->setRange(0, bar_units(total, total));
        prgAct_->setValue(bar_units(done, total));
        prgAct_->setFormat(QStringLiteral("%1 de %2 bytes").arg(done).arg(total));
    } else {
        // Size unknown: a busy bar with the bytes so far.
        prgAct_->setRange(0, 0);
        prgAct_->setFormat(QStringLiteral("%1 bytes").arg(done));
    }
}

}  // namespace ordano
