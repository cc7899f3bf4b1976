// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QTimer>

#include <memory>
#include <string>

#include "GuiOffice.h"
#include "QtPrinting.h"
#include "app/MainWindow.h"
#include "catalog/CatalogWorld.h"
#include "engine/FrontEnd.h"
#include "office/Parameters.h"
#include "ui/Images.h"

namespace ordano::test {

// The main window of an office whose server is the real FTP server fixture, with vererr 7.
struct CatalogGui {
    explicit CatalogGui(bool keep_catalog_check = false) {
        world.office->params().set_number(Param::vererr, 7);
        world.office->params().save();
        window = std::make_unique<MainWindow>(*world.office, front,
                                              QLocale(QLocale::Spanish, QLocale::Mexico), [] {});
        if (!keep_catalog_check) {
            // Only the tests of the check itself let it run 2 s after start-up.
            find<QTimer>("tmrCatError")->stop();
        }
    }

    template <typename T>
    T* find(const QString& name) const {
        return window->findChild<T*>(name);
    }

    void publish_package(const std::string& version, const PackageContents& contents = {}) {
        package = make_package(world.box.path(), contents);
        world.publish("ACTE" + version + ".mdb.mz", package);
    }

    [[nodiscard]] std::int64_t vererr() const {
        return world.office->params().number(Param::vererr);
    }

    // Waits until the engine has nothing left to do and the window has shown what it did.
    void settle() const { settle_window(*window); }

    CatalogWorld world;
    ImmediateFrontEnd front{world.ui};
    std::unique_ptr<MainWindow> window;
    std::string package;  // the bytes of the last package published
};

// The picture number a step mark shows (0 for none), checked against the picture itself.
inline int shown_mark(const QLabel& mark) {
    const int number = mark.property("picture").toInt();
    const QPixmap shown = mark.pixmap();
    if (number == 0) {
        return shown.isNull() ? 0 : -1;
    }
    return shown.toImage() == images::background(number).toImage() ? number : -1;
}

}  // namespace ordano::test
