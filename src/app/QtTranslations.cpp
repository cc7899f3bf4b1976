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

// Qt's own texts that its Spanish translation may lack, in the words it uses elsewhere: the
// standard buttons of a box built without the program's message helper, the button that shows
// the box's details, and the kinds of entries the file dialogs list.
constexpr std::array kFallbackTexts{
    FallbackText{"QPlatformTheme", "OK", "Aceptar"},
    FallbackText{"QPlatformTheme", "Cancel", "Cancelar"},
    FallbackText{"QPlatformTheme", "&Yes", "&Sí"},
    FallbackText{"QPlatformTheme", "&No", "&No"},
    FallbackText{"QMessageBox", "Show Details...", "Mostrar los detalles..."},
    FallbackText{"QMessageBox", "Hide Details...", "Ocultar los detalles..."},
    FallbackText{"QAbstractFileIconProvider", "Folder", "Carpeta"},
    FallbackText{"QAbstractFileIconProvider", "File", "Archivo"},
    FallbackText{"QAbstractFileIconProvider", "Drive", "Unidad"},
    FallbackText{"QAbstractFileIconProvider", "File Folder", "Carpeta"},
};

QString fallback_text(const char* context, const char* source) {
    if (context == nullptr || source == nullptr) {
        return {};
    }
    for (const FallbackText& text : kFallbackTexts) {
        if (text.context == context && text.source == source) {
            return QString::fromUtf8(text.spanish);
        }
    }
    return {};
}

// Qt's Spanish in the office's words: Qt's catalogue (when there is one) with the texts it
// lacks filled in, and Mexico's "archivo" where Spain's catalogue says "fichero" ("Nombre de
// archivo", "Archivos de tipo").
class OfficeSpanish final : public QTranslator {
public:
    explicit OfficeSpanish(std::unique_ptr<QTranslator> catalogue)
        : catalogue_(std::move(catalogue)) {}

    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        QString text =
            catalogue_ ? catalogue_->translate(context, source, disambiguation, n) : QString();
        if (text.isEmpty()) {
            return fallback_text(context, source);
        }
        text.replace(QStringLiteral("fichero"), QStringLiteral("archivo"));
        text.replace(QStringLiteral("Fichero"), QStringLiteral("Archivo"));
        return text;
    }
    [[nodiscard]] bool isEmpty() const override { return false; }

private:
    std::unique_ptr<QTranslator> catalogue_;
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
        std::unique_ptr<QTranslator> found = load_catalogue(catalogue, folders_);
        if (!found) {
            missing_.append(QLatin1String(catalogue) + QStringLiteral(".qm"));
        }
        auto translator = std::make_unique<OfficeSpanish>(std::move(found));
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
