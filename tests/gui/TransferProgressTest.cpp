// SPDX-License-Identifier: Apache-2.0
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
    std::int64_t now_ms = 0;
    TransferProgress progress{bar, QLocale(QLocale::Spanish, QLocale::Mexico),
                              [this] { return now_ms; }};
};

TEST_F(TransferProgressTest, HiddenUntilSomethingMoves) {
    EXPECT_FALSE(label().isVisible());
    EXPECT_FALSE(meter().isVisible());
}

TEST_F(TransferProgressTest, AnUploadShowsItsPlaceInTheRunItsSizeAndItsRate) {
    progress.show({.what = "M0015001.033", .done = 0, .total = 49152, .item = 2, .items = 3});
    now_ms = 300;  // too soon to tell a rate
    progress.show({.what = "M0015001.033", .done = 6144, .total = 49152, .item = 2, .items = 3});
    EXPECT_EQ(text(), "Enviando M0015001.033 (archivo 2 de 3): 6.0 KB de 48.0 KB");
    now_ms = 1500;
    progress.show({.what = "M0015001.033", .done = 12288, .total = 49152, .item = 2, .items = 3});
    EXPECT_EQ(text(), "Enviando M0015001.033 (archivo 2 de 3): 12.0 KB de 48.0 KB, 8.0 KB/s");
    EXPECT_TRUE(label().isVisible());
    EXPECT_TRUE(meter().isVisible());
    EXPECT_EQ(meter().value() * 4, meter().maximum());
}

TEST_F(TransferProgressTest, ADownloadOfUnknownSizeShowsTheAmountSoFarAndAMovingBar) {
    progress.show({.what = "k0015001.033", .done = 1536});
    EXPECT_EQ(text(), "Recibiendo k0015001.033: 1.5 KB");
    EXPECT_EQ(meter().maximum(), 0);
    progress.show({.what = "cfps0015.rgs"});
    EXPECT_EQ(text(), "Recibiendo cfps0015.rgs");
}

TEST_F(TransferProgressTest, MoreBytesThanAnnouncedKeepTheBarFull) {
    progress.show({.what = "M0015001.033", .done = 900, .total = 300, .item = 1, .items = 1});
    EXPECT_EQ(meter().value(), meter().maximum());
}

TEST(DataSizes, ReadInBytesKilobytesMegabytesAndGigabytesWithOneDecimal) {
    const QLocale mexico(QLocale::Spanish, QLocale::Mexico);
    EXPECT_EQ(data_size_text(1023, mexico), "1,023 bytes");
    EXPECT_EQ(data_size_text(1024, mexico), "1.0 KB");
    EXPECT_EQ(data_size_text(1048524, mexico), "1,023.9 KB");
    EXPECT_EQ(data_size_text(1048550, mexico), "1.0 MB");  // not "1,024.0 KB"
    EXPECT_EQ(data_size_text(3350528, mexico), "3.2 MB");
    EXPECT_EQ(data_size_text(5368709120, mexico), "5.0 GB");
    EXPECT_EQ(data_size_text(3350528, QLocale(QLocale::Spanish, QLocale::Spain)), "3,2 MB");
    EXPECT_EQ(data_rate_text(1258291, 1000, mexico), "1.2 MB/s");
    EXPECT_EQ(data_rate_text(100, 1000, mexico), "0.1 KB/s");
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
