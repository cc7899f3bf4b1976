// SPDX-License-Identifier: Apache-2.0
#include "workstation/SystemLocale.h"

namespace ordano {

QLocale workstation_locale() {
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C) {
        return QLocale(QLocale::Spanish, QLocale::Mexico);
    }
    return system;
}

namespace {

// Order of day, month and year in a short date format such as "dd/MM/yyyy" or "M/d/yy".
LocaleFormats::DateOrder date_order(const QString& format) {
    const auto day = format.indexOf(QLatin1Char('d'));
    const auto month = format.indexOf(QLatin1Char('M'));
    const auto year = format.indexOf(QLatin1Char('y'));
    if (year >= 0 && year < month && year < day) {
        return LocaleFormats::DateOrder::YearMonthDay;
    }
    if (month >= 0 && month < day) {
        return LocaleFormats::DateOrder::MonthDayYear;
    }
    return LocaleFormats::DateOrder::DayMonthYear;
}

// The first character of the short date format that is not a day, month or year letter.
std::string date_separator(const QString& format) {
    for (const QChar c : format) {
        if (c != QLatin1Char('d') && c != QLatin1Char('M') && c != QLatin1Char('y')) {
            return QString(c).toStdString();
        }
    }
    return "/";
}

std::string or_default(const QString& text, const std::string& fallback) {
    return text.isEmpty() ? fallback : text.toStdString();
}

}  // namespace

LocaleFormats locale_formats(const QLocale& locale) {
    LocaleFormats formats;
    if (locale.language() == QLocale::C) {
        return formats;
    }
    formats.grouping = or_default(locale.groupSeparator(), formats.grouping);
    formats.decimal = or_default(locale.decimalPoint(), formats.decimal);
    formats.am = or_default(locale.amText(), formats.am);
    formats.pm = or_default(locale.pmText(), formats.pm);
    const QString short_date = locale.dateFormat(QLocale::ShortFormat);
    formats.date_order = date_order(short_date);
    formats.date_separator = date_separator(short_date);
    return formats;
}

LocaleFormats workstation_formats() {
    return locale_formats(workstation_locale());
}

}  // namespace ordano
