// SPDX-License-Identifier: Apache-2.0
#pragma once

class QMainWindow;
class QTimer;
class QToolBar;

namespace ordano {

class BulletinFeed;
class CatalogUpdateWindow;
class FtpSession;
class NewsTicker;
class Office;
class UiPort;

// The main window's part in the catalogue and the bulletin: the catalogue-update window
// frmActCatErr (created on first use), the catalogue check that tmrCatError runs once 2 s after
// start-up, and the bulletin feed frmPrincipal whose ticker the main window shows in a strip
// above its status bar while the ticker is on.
class CatalogFeatures {
public:
    CatalogFeatures(QMainWindow& window, QTimer& tmrCatError, Office& office, UiPort& ui,
                    FtpSession& eftpPrincipal);
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
    void show_ticker();
    void tmrCatError_Timer();

    QMainWindow& window_;
    QTimer& tmrCatError_;
    Office& office_;
    UiPort& ui_;
    FtpSession& eftpPrincipal_;
    CatalogUpdateWindow* frmActCatErr_ = nullptr;
    BulletinFeed* frmPrincipal_ = nullptr;
    QToolBar* strip_ = nullptr;
    NewsTicker* nwstBoletines_ = nullptr;
};

}  // namespace ordano
