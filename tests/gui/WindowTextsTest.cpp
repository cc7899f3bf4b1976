// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>
#include <QImage>
#include <QLocale>
#include <QSet>

#include "app/WindowTexts.h"
#include "ui/Images.h"
#include "workstation/SystemLocale.h"

namespace ordano {
namespace {

TEST(WindowTexts, NumbersAreZeroPaddedAsTheirFormats) {
    EXPECT_EQ(zero_padded(7, 4), "0007");
    EXPECT_EQ(zero_padded(3912, 4), "3912");
    EXPECT_EQ(zero_padded(12345, 4), "12345");
    EXPECT_EQ(zero_padded(0, 3), "000");
    EXPECT_EQ(zero_padded(-7, 4), "-0007");
}

TEST(WindowTexts, CaptionOfVersion310Patente15) {
    EXPECT_EQ(main_window_caption(15, "NOMBRE", Version{3, 1, 0}),
              " PROGRAMA DE ORDANO A VALIDACIÓN - VERSIÓN 3.1.0  |  PATENTE 0015 - NOMBRE");
}

TEST(WindowTexts, StartingPatternAndJulianPanel) {
    EXPECT_EQ(initial_file_pattern("M", 15, 33), "M0015*.033");
    EXPECT_EQ(julian_day_panel(1), "Día Juliano:  001");
    EXPECT_EQ(julian_day_panel(366), "Día Juliano:  366");
}

TEST(SystemLocale, FormsComeFromTheLocale) {
    const LocaleFormats mexico = locale_formats(QLocale(QLocale::Spanish, QLocale::Mexico));
    EXPECT_EQ(mexico.grouping, ",");
    EXPECT_EQ(mexico.decimal, ".");
    EXPECT_EQ(mexico.date_order, LocaleFormats::DateOrder::DayMonthYear);
    EXPECT_EQ(mexico.date_separator, "/");

    const LocaleFormats germany = locale_formats(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(germany.grouping, ".");
    EXPECT_EQ(germany.decimal, ",");
    EXPECT_EQ(germany.date_separator, ".");

    const LocaleFormats us = locale_formats(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.date_order, LocaleFormats::DateOrder::MonthDayYear);
    EXPECT_EQ(us.am, "AM");

    const LocaleFormats sweden = locale_formats(QLocale(QLocale::Swedish, QLocale::Sweden));
    EXPECT_EQ(sweden.date_order, LocaleFormats::DateOrder::YearMonthDay);
    EXPECT_EQ(sweden.date_separator, "-");
}

TEST(SystemLocale, TheCLocaleGivesTheOfficesOwnForms) {
    const LocaleFormats c = locale_formats(QLocale::c());
    const LocaleFormats office;
    EXPECT_EQ(c.grouping, office.grouping);
    EXPECT_EQ(c.am, office.am);
    EXPECT_EQ(c.date_order, office.date_order);
}

TEST(Images, ThirteenDistinctRowPictures) {
    QSet<QByteArray> seen;
    for (int n = 1; n <= images::kRowImageCount; ++n) {
        const QIcon icon = images::row_image(n);
        ASSERT_FALSE(icon.isNull()) << n;
        const QImage image = icon.pixmap(32, 32).toImage();
        seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()),
                               static_cast<int>(image.sizeInBytes())));
    }
    EXPECT_EQ(seen.size(), images::kRowImageCount);
    EXPECT_TRUE(images::row_image(0).isNull());
    EXPECT_TRUE(images::row_image(14).isNull());
}

TEST(Images, EveryActionHasItsKeyAndAPicture) {
    const std::pair<Action, const char*> actions[] = {
        {Action::Enviar, "enviar"},         {Action::Recibir, "recibir"},
        {Action::Detener, "detener"},       {Action::CatErr, "caterr"},
        {Action::Parametros, "parametros"}, {Action::Salir, "salir"},
        {Action::Modificar, "modificar"},   {Action::Guardar, "guardar"},
        {Action::Cancelar, "cancelar"},     {Action::Password, "password"},
        {Action::EnvKro, "envkro"},         {Action::Carpeta, "carpeta"},
        {Action::Historial, "historial"}};
    for (const auto& [action, key] : actions) {
        EXPECT_EQ(action_key(action), key);
        EXPECT_FALSE(images::action_icon(action).isNull()) << key;
    }
    for (int n = 1; n <= 4; ++n) {
        EXPECT_FALSE(images::background(n).isNull()) << n;
    }
    EXPECT_TRUE(images::background(5).isNull());
}

}  // namespace
}  // namespace ordano
