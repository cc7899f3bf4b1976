#include <gtest/gtest.h>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include "app/TransferProgress.h"

namespace ordano {
namespace {

class TransferProgressTest : public ::testing::Test {
protected:
    TransferProgressTest() { bar.show(); }

    QString text() const { return bar.findChild<QLabel*>(QStringLiteral("lblProgreso"))->text(); }
    QLabel& label() const { return *bar.findChild<QLabel*>(QStringLiteral("lblProgreso")); }
    QProgressBar& meter() const {
        return *bar.findChild<QProgressBar*>(QStringLiteral("prbProgreso"));
    }

    QStatusBar bar;
    TransferProgress progress{bar, QLocale(QLocale::Spanish, QLocale::Mexico)};
};

TEST_F(TransferProgressTest, HiddenUntilSomethingMoves) {
    EXPECT_FALSE(label().isVisible());
    EXPECT_FALSE(meter().isVisible());
}

TEST_F(TransferProgressTest, AnUploadShowsItsPlaceInTheRunAndItsBytes) {
    progress.show({.what = "M0015001.033", .done = 12288, .total = 49152, .item = 2, .items = 3});
    EXPECT_EQ(text(), "Enviando M0015001.033 (archivo 2 de 3): 12,288 de 49,152 bytes");
    EXPECT_TRUE(label().isVisible());
    EXPECT_TRUE(meter().isVisible());
    EXPECT_EQ(meter().value() * 4, meter().maximum());
}

TEST_F(TransferProgressTest, ADownloadOfUnknownSizeShowsTheBytesSoFarAndAMovingBar) {
    progress.show({.what = "k0015001.033", .done = 1536});
    EXPECT_EQ(text(), "Recibiendo k0015001.033: 1,536 bytes");
    EXPECT_EQ(meter().maximum(), 0);
    progress.show({.what = "cfps0015.rgs"});
    EXPECT_EQ(text(), "Recibiendo cfps0015.rgs");
}

TEST_F(TransferProgressTest, MoreBytesThanAnnouncedKeepTheBarFull) {
    progress.show({.what = "M0015001.033", .done = 900, .total = 300, .item = 1, .items = 1});
    EXPECT_EQ(meter().value(), meter().maximum());
}

TEST_F(TransferProgressTest, ClearHidesEverything) {
    progress.show({.what = "M0015001.033", .done = 1, .total = 2, .item = 1, .items = 1});
    progress.clear();
    EXPECT_FALSE(label().isVisible());
    EXPECT_FALSE(meter().isVisible());
    EXPECT_TRUE(text().isEmpty());
}

}  // namespace
}  // namespace ordano
