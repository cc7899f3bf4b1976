// SPDX-License-Identifier: Apache-2.0
// The main window reads in every theme, and explains its letters and icons.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>
#include <ostream>

#include "GuiOffice.h"
#include "QtPrinting.h"
#include "app/TransferPanel.h"
#include "ui/DarkPalette.h"
#include "ui/MarkColors.h"

namespace ordano {
namespace {
using test::GuiOffice;

// Relative luminance and contrast ratio as the accessibility guidelines define them.
double luminance(const QColor& color) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The lowest contrast of `text` against any colour `background` paints.
double lowest_contrast(const QColor& text, const QBrush& background) {
    if (background.texture().isNull()) {
        return contrast(text, background.color());
    }
    const QImage tile = background.texture().toImage();
    double lowest = 21.0;
    for (int y = 0; y < tile.height(); ++y) {
        for (int x = 0; x < tile.width(); ++x) {
            lowest = std::min(lowest, contrast(text, tile.pixelColor(x, y)));
        }
    }
    return lowest;
}

void expect_legible(const GuiOffice& gui, const char* theme) {
    for (const char* name : {"lvwPreVal(0)", "lvwPreVal(1)", "lvwArchivos"}) {
        const QPalette& palette = gui.find<QTreeWidget>(name)->palette();
        EXPECT_GE(lowest_contrast(palette.color(QPalette::Text), palette.brush(QPalette::Base)),
                  4.5)
            << name << " " << theme;
    }
    const QPalette& list = gui.find<QTreeWidget>("lvwPreVal(1)")->palette();
    for (const Mark mark : {Mark::Late, Mark::Refused, Mark::Accepted}) {
        EXPECT_GE(lowest_contrast(mark_color(mark, list), list.brush(QPalette::Base)), 4.5)
            << static_cast<int>(mark) << " " << theme;
    }
    for (const char* name : {"lblEnvio", "lblRecepcion", "lblRevision"}) {
        const QPalette& palette = gui.find<QLabel>(name)->palette();
        EXPECT_GE(contrast(palette.color(QPalette::WindowText), palette.color(QPalette::Window)),
                  4.5)
            << name << " " << theme;
    }
}

TEST(Legibility, ListsAndHeadingsReadOnALightAndOnADarkPalette) {
    const QPalette light = QApplication::palette();
    GuiOffice gui;
    gui.open();
    expect_legible(gui, "light");
    // The desktop turns dark while the program runs.
    QApplication::setPalette(dark_palette());
    expect_legible(gui, "dark");
    QApplication::setPalette(light);
}

TEST(Legibility, TooltipsSayWhatTheLettersAndIconsMean) {
    GuiOffice gui;
    MainWindow& window = gui.open();
    test::with_turn(window,
                    [&] { window.transfer_panel().desk().add_file_to_send("M0015001.033"); });
    const QTreeWidget& send = *gui.find<QTreeWidget>("lvwPreVal(0)");
    EXPECT_EQ(send.topLevelItem(0)->toolTip(0), "Archivo SAAI M3 (M, C o D): M0015001.033");
    EXPECT_EQ(send.topLevelItem(0)->toolTip(1), "E: archivo por enviar");
    EXPECT_EQ(send.headerItem()->toolTip(1),
              "E: archivo por enviar\nK: respuesta de prevalidación recibida\n"
              "R: respuesta de validación recibida");

    window.Ejecuta_Accion(Action::Recibir);
    gui.settle();
    const QTreeWidgetItem& row = *gui.find<QTreeWidget>("lvwPreVal(1)")->topLevelItem(0);
    EXPECT_EQ(row.toolTip(1), "En espera de la respuesta de prevalidación");
    EXPECT_EQ(row.toolTip(2), "En espera de la respuesta de validación");
}

}  // namespace
}  // namespace ordano
