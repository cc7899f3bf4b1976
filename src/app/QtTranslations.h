// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QStringList>
#include <QTranslator>

#include <memory>
#include <ostream>
#include <vector>

namespace ordano {

// Where Qt's translation files are looked for, in order: Qt's own translations folder, then
// the "translations" folder beside the program (where an installation on Windows ships them).
[[nodiscard]] QStringList qt_translation_folders();

// Qt's own texts (standard buttons, the file and print dialogs, the text boxes' menus) in
// Spanish, whatever the workstation's locale, for as long as this lives. The locale still
// decides dates and numbers. Where Qt's translation is missing, message boxes still show
// Spanish (a few texts of the program's own stand in); the rest stays English. Needs the
// application object.
class SpanishQtTexts {
public:
    explicit SpanishQtTexts(const QStringList& folders = qt_translation_folders());
    ~SpanishQtTexts();
    SpanishQtTexts(const SpanishQtTexts&) = delete;
    SpanishQtTexts& operator=(const SpanishQtTexts&) = delete;

    // The translation files found in none of the folders, e.g. "qtbase_es.qm".
    [[nodiscard]] const QStringList& missing() const { return missing_; }
    // One line per missing file on `out`, naming it and the folders searched.
    void report_missing(std::ostream& out) const;

private:
    QStringList folders_;
    QStringList missing_;
    std::vector<std::unique_ptr<QTranslator>> installed_;
};

}  // namespace ordano
