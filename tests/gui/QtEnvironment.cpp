// SPDX-License-Identifier: Apache-2.0
// One QApplication for every test of this executable, headless unless told otherwise.
#include <gtest/gtest.h>
#include <QApplication>

#ifdef _WIN32
#include <QDir>
#include <QFontDatabase>

#include "fixtures/WineHost.h"
#endif

namespace {

// Qt's offscreen screen on Windows knows none of the system's fonts (it looks for them beside
// Qt's own libraries) and draws every letter as a box, far wider than any font. Under Wine the
// tests take the Linux side's fonts, the ones they have on Linux.
void use_the_linux_fonts() {
#ifdef _WIN32
    if (!ordano::test::under_wine()) {
        return;
    }
    const QDir folder(QString::fromStdWString(
        ordano::test::from_linux_path("/usr/share/fonts/truetype/dejavu").wstring()));
    for (const QString& file : folder.entryList({QStringLiteral("DejaVuSans*.ttf")})) {
        QFontDatabase::addApplicationFont(folder.filePath(file));
    }
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
#endif
}

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = new QApplication(argc_, argv_);
        QApplication::setApplicationName(QStringLiteral("Ordano"));
        use_the_linux_fonts();
    }
    void TearDown() override { delete app_; }

private:
    int argc_ = 1;
    char name_[10] = "tests_gui";
    char* argv_[2] = {name_, nullptr};
    QApplication* app_ = nullptr;
};

[[maybe_unused]] auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
