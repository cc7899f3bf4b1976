// SPDX-License-Identifier: Apache-2.0
#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

#include <array>
#include <string_view>

namespace ordano {

namespace {

// Widgets and print support both take their texts from qtbase.
constexpr std::array kCatalogues{"qtbase_es"};

struct FallbackText {
    std::string_view context;
    std::string_view source;
    const char* spanish;
};

// Qt's own texts in a message box, in the words Qt's Spanish translation uses: the standard
// buttons of a box built without the program's message helper, and the button that shows the
// box's details.
constexpr std::array kMessageBoxTexts{
    FallbackText{"QPlatformTheme", "OK", "Aceptar"},
    FallbackText{"QPlatformTheme", "Cancel", "Cancelar"},
    FallbackText{"QPlatformTheme", "&Yes", "&Sí"},
    FallbackText{"QPlatformTheme", "&No", "&No"},
    FallbackText{"QMessageBox", "Show Details...", "Mostrar los detalles..."},
    FallbackText{"QMessageBox", "Hide Details...", "Ocultar los detalles..."},
};

// Stands in for Qt's translation where it is missing, so that no message box shows English.
class MessageBoxFallback final : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (context == nullptr || source == nullptr) {
            return {};
        }
        for (const FallbackText& text : kMessageBoxTexts) {
            if (text.context == context && text.source == source) {
                return QString::fromUtf8(text.spanish);
            }
        }
        return {};
    }
    [[nodiscard]] bool isEmpty() const override { return false; }
};

// The catalogue from the first folder that has it; nothing when none does.
std::unique_ptr<QTranslator> load_catalogue(const char* catalogue, const QStringList& folders) {
    auto translator = std::make_unique<QTranslator>();
    for (const QString& folder : folders) {
        if (!folder.isEmpty() && translator->load(QLatin1String(catalogue), folder)) {
            return translator;
        }
    }
    return nullptr;
}

}  // namespace

QStringList qt_translation_folders() {
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
}

SpanishQtTexts::SpanishQtTexts(const QStringList& folders) : folders_(folders) {
    for (const char* catalogue : kCatalogues) {
        std::unique_ptr<QTranslator> translator = load_catalogue(catalogue, folders_);
        if (!translator) {
            missing_.append(QLatin1String(catalogue) + QStringLiteral(".qm"));
            translator = std::make_unique<MessageBoxFallback>();
        }
        QCoreApplication::installTranslator(translator.get());
        installed_.push_back(std::move(translator));
    }
}

SpanishQtTexts::~SpanishQtTexts() {
    for (const auto& translator : installed_) {
        QCoreApplication::removeTranslator(translator.get());
    }
}

void SpanishQtTexts::report_missing(std::ostream& out) const {
    const QString searched = folders_.join(QStringLiteral(", "));
    for (const QString& file : missing_) {
        out << "ordano: no se encontró la traducción " << file.toStdString() << " en "
            << searched.toStdString()
            << "; los diálogos de archivos e impresión y los menús de los cuadros de texto "
               "quedarán en inglés\n";
    }
}

}  // namespace ordano
