// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>

#include <functional>

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
    // The time of day as the window shows it ("10:30 a.m.").
    using TimeText = std::function<QString()>;

    CatalogFeatures(QMainWindow& window, QTimer& tmrCatError, Engine& engine, TimeText now);
    CatalogFeatures(const CatalogFeatures&) = delete;
    CatalogFeatures& operator=(const CatalogFeatures&) = delete;

    // Switches tmrCatError on: the check runs once, 2 s from now.
    void start();

    // CatErr: shows frmActCatErr without making it modal.
    void show_update_window();
    [[nodiscard]] CatalogUpdateWindow& update_window();
    [[nodiscard]] BulletinFeed& bulletin_feed() { return *frmPrincipal_; }

    // The server cannot be reached (true) or answers again (false). Meanwhile the bulletin
    // says since when, and when it was fetched: it may say the server is working.
    void set_outage(bool outage);

private:
    void build_strip();
    void show_ticker();
    void tmrCatError_Timer();

    QMainWindow& window_;
    QTimer& tmrCatError_;
    Engine& engine_;
    CatalogUpdateWindow* frmActCatErr_ = nullptr;
    BulletinFeed* frmPrincipal_ = nullptr;
    QToolBar* strip_ = nullptr;
    NewsTicker* nwstBoletines_ = nullptr;
    TimeText now_;
    QString bulletin_;  // the ticker's text as the server's bulletin says it
    bool bulletin_on_ = false;
    QString fetched_at_;    // when it was last set
    QString outage_since_;  // empty while the server answers
};

}  // namespace ordano
