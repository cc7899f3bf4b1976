// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <array>

#include "ui/ActionButton.h"

namespace ordano {

// The controls of the main window frmPreVal, each under its own name, laid out for a
// 1280 x 800 screen and still usable at 800 x 500 (a 1600 x 1000 screen at twice the size):
// the transfer lists on the left, the review area on the right.
struct MainWindowUi {
    // Builds every control into the window; the window owns them. The toolbar's buttons call
    // `act` with their actions.
    void setup(QMainWindow& window, const ToolbarButtons::Handler& act);

    QToolBar* tlbPreVal = nullptr;
    ToolbarButtons toolbar_buttons;           // tlbPreVal's, by action
    std::array<QTreeWidget*, 2> lvwPreVal{};  // 0 send list, 1 receive list
    QTreeWidget* lvwArchivos = nullptr;
    std::array<QComboBox*, 2> cboPreVal{};  // 0 "Buscar Por", 1 "Tipo de Archivo"
    QLineEdit* txtPreval = nullptr;
    QLabel* lblAviso = nullptr;  // under "Archivo": why the name typed there was not taken
    QPushButton* cmdBuscar = nullptr;
    QPlainTextEdit* rtbPreVal = nullptr;  // reports are plain text, never markup
    QPushButton* cmdVistaPrevia = nullptr;
    QPushButton* cmdImprime = nullptr;
    QPushButton* cmdPreVal = nullptr;
    QPushButton* cmdPreElm = nullptr;
    QPushButton* cmdLimpia = nullptr;
    QStatusBar* stbPrincipal = nullptr;
    QTimer* tmrPreVal = nullptr;
    QTimer* tmrCatError = nullptr;

private:
    void build_toolbar(QMainWindow& window, const ToolbarButtons::Handler& act);
    QWidget* build_transfer_area(QWidget* parent);
    QWidget* build_review_area(QWidget* parent);
    void build_timers(QMainWindow& window);
    void set_tab_order();
};

// Items of the review area's selectors.
[[nodiscard]] const std::array<const char*, 2>& search_by_items();
[[nodiscard]] const std::array<const char*, 4>& file_kind_items();

}  // namespace ordano
