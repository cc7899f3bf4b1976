// SPDX-License-Identifier: Apache-2.0
// One QApplication for every test of this executable, headless unless told otherwise.
#include <gtest/gtest.h>
#include <QApplication>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = new QApplication(argc_, argv_);
        QApplication::setApplicationName(QStringLiteral("Ordano"));
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
