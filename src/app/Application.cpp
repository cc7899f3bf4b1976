// SPDX-License-Identifier: Apache-2.0
#include "app/Application.h"

#include <QApplication>
#include <QPixmap>
#include <QSessionManager>
#include <QSettings>
#include <QTimer>

#include <iostream>
#include <optional>

#include "app/MainWindow.h"
#include "app/QtTranslations.h"
#include "app/QtUi.h"
#include "app/Startup.h"
#include "app/WindowLayout.h"
#include "base/ProgramVersion.h"
#include "office/Office.h"
#include "platform/StopRequests.h"
#include "ui/DarkPalette.h"
#include "ui/Images.h"
#include "workstation/SystemLocale.h"

namespace ordano {

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr QSize kScreenshotSize(1280, 800);
const QString kPrintFolder = QStringLiteral("impresion/carpeta");

}  // namespace

bool save_screenshot(QWidget& window, const std::filesystem::path& file) {
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.resize(kScreenshotSize);
    window.show();
    bool saved = false;
    // Taken once the event loop has laid the window out.
    QTimer::singleShot(0, &window, [&] {
        const QPixmap picture = window.grab();
        window.hide();
        saved = picture.save(QString::fromStdU16String(file.u16string()), "PNG");
        QCoreApplication::exit(0);
    });
    QApplication::exec();
    return saved;
}

namespace {

// Start-up failed: its message is seen before the program ends.
void wait_for_messages(FrontEnd& ui) {
    bool seen = false;
    ui.after_messages([&seen] {
        seen = true;
        QCoreApplication::exit(0);
    });
    if (!seen) {
        QApplication::exec();
    }
}

}  // namespace

int run_ordano(const GuiOptions& options, FrontEnd& ui, const Clock& clock) {
    const QLocale locale = workstation_locale();
    std::unique_ptr<Office> office =
        open_office_or_report(options.paths, clock, locale_formats(locale), ui);
    if (!office) {
        wait_for_messages(ui);
        return kExitFailure;
    }
    MainWindow window(*office, ui, locale);
    if (options.screenshot) {
        // The picture shows the window as built, whatever this workstation remembers.
        if (!save_screenshot(window, *options.screenshot)) {
            std::cerr << "ordano: no se pudo guardar la imagen " << options.screenshot->string()
                      << "\n";
            return kExitFailure;
        }
        return 0;
    }
    // However the program ends, its work is stopped as Salir stops it: a termination signal
    // (a shutdown), the session's end (its close of the windows), or the event loop's end.
    StopRequests stops([&window](int) {
        QMetaObject::invokeMethod(
            &window,
            [&window] {
                window.stop_work();
                MainWindow::quit_application();
            },
            Qt::QueuedConnection);
    });
    stops.ignore_requests_afterwards();  // the layout is being saved and the work is stopped
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &window,
                     [&window] { window.stop_work(); });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.stop_work(); });
    QSettings layout;  // per workstation, in the platform's usual place
    restore_layout(window, layout);
    window.review_area().set_print_folder(layout.value(kPrintFolder).toString());
    window.show();
    const int status = QApplication::exec();
    save_layout(window, layout);
    layout.setValue(kPrintFolder, window.review_area().print_folder());
    return status;
}

namespace {

// Prints what -h/--help or --version ask for; false when they ask for neither.
bool answer_request(const GuiOptions& options) {
    if (options.request == GuiOptions::Request::Run) {
        return false;
    }
    std::cout << (options.request == GuiOptions::Request::Help ? help_text()
                                                               : version_text("ordano", qVersion()))
              << std::flush;
    return true;
}

void report_usage_problem(const UsageProblem& problem) {
    std::cerr << "ordano: " << problem.text << "\n" << usage_text() << "\n";
}

// -h/--help, --version and a wrong command line are answered before any window system is
// needed (a machine without a display can ask). Qt's own options ("-platform xcb", ...) are
// known only once Qt has read them: with one of those the command line is read afterwards.
std::optional<int> answer_early(int argc, char** argv) {
    QStringList arguments;
    bool qt_options = false;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
        qt_options = qt_options || (i > 0 && arguments.back().startsWith(QLatin1Char('-')) &&
                                    !arguments.back().startsWith(QLatin1String("--")) &&
                                    arguments.back() != QLatin1String("-h"));
    }
    const auto parsed = parse_command_line(arguments, {});
    if (const auto* problem = std::get_if<UsageProblem>(&parsed)) {
        if (qt_options) {
            return std::nullopt;
        }
        report_usage_problem(*problem);
        return kExitUsage;
    }
    if (answer_request(std::get<GuiOptions>(parsed))) {
        return 0;
    }
    return std::nullopt;
}

}  // namespace

int ordano_main(int argc, char** argv) {
    if (const auto status = answer_early(argc, argv)) {
        return *status;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ordano"));
    QApplication::setApplicationVersion(QString::fromStdString(program_version()));
    QApplication::setOrganizationName(QStringLiteral("Ordano"));
    QApplication::setWindowIcon(images::program_icon());

    const auto parsed = parse_command_line(QApplication::arguments(),
                                           QApplication::applicationDirPath().toStdU16String());
    if (const auto* problem = std::get_if<UsageProblem>(&parsed)) {
        report_usage_problem(*problem);
        return kExitUsage;
    }
    if (answer_request(std::get<GuiOptions>(parsed))) {
        return 0;
    }
    const SpanishQtTexts qt_texts;
    qt_texts.report_missing(std::cerr);
    const auto& options = std::get<GuiOptions>(parsed);
    if (options.dark) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(dark_palette());
    }
    QtUi ui;
    const SystemClock clock;
    return run_ordano(options, ui, clock);
}

}  // namespace ordano
