// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>

class QMainWindow;
class QTimer;
class QToolBar;

namespace ordano {

class BulletinFeed;
class CatalogUpdateWindow;
class Engine;
class NewsTicker;

// The main window's part in the catalogue and the bulletin: the catalogue-update window
// frmActCatErr (created on first use), the catalogue check that tmrCatError runs once 2 s after
// start-up, and the bulletin feed frmPrincipal whose ticker the main window shows in a strip
// above its status bar while the ticker is on. The check, the update and the bulletin's refresh
// are the engine's jobs, each on a session of its own.
class CatalogFeatures {
public:
    CatalogFeatures(QMainWindow& window, QTimer& tmrCatError, Engine& engine);
    CatalogFeatures(const CatalogFeatures&) = delete;
    CatalogFeatures& operator=(const CatalogFeatures&) = delete;

    // Switches tmrCatError on: the check runs once, 2 s from now.
    void start();

    // CatErr: shows frmActCatErr without making it modal.
    void show_update_window();
    [[nodiscard]] CatalogUpdateWindow& update_window();
    [[nodiscard]] BulletinFeed& bulletin_feed() { return *frmPrincipal_; }

private:
    void build_strip();
    void show_ticker(const QString& text, bool on);
    void tmrCatError_Timer();

    QMainWindow& window_;
    QTimer& tmrCatError_;
    Engine& engine_;
    CatalogUpdateWindow* frmActCatErr_ = nullptr;
    BulletinFeed* frmPrincipal_ = nullptr;
    QToolBar* strip_ = nullptr;
    NewsTicker* nwstBoletines_ = nullptr;
};

}  // namespace ordano
