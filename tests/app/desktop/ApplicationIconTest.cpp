// SPDX-License-Identifier: MIT
// The window's icon draws whatever the desktop offers: no theme with the
// icon, or a theme that has it only as an SVG Qt may not be able to read.

#include "app/desktop/ApplicationIcon.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace {

class ApplicationIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_themes.isValid());
        m_savedPaths = QIcon::themeSearchPaths();
        m_savedTheme = QIcon::themeName();
        QIcon::setThemeSearchPaths({m_themes.path()});
    }
    void TearDown() override
    {
        QIcon::setThemeSearchPaths(m_savedPaths);
        QIcon::setThemeName(m_savedTheme);
    }

    // A theme holding the converter's icon as the installed SVG alone.
    void makeSvgOnlyTheme()
    {
        const QString theme = m_themes.path() + QStringLiteral("/svgonly");
        ASSERT_TRUE(QDir().mkpath(theme + QStringLiteral("/scalable/apps")));
        QFile index(theme + QStringLiteral("/index.theme"));
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=svgonly\nDirectories=scalable/apps\n\n"
                    "[scalable/apps]\nSize=64\nMinSize=8\nMaxSize=512\nType=Scalable\n");
        index.close();
        ASSERT_TRUE(QFile::copy(QStringLiteral(DW_ICON_SVG), theme + QStringLiteral("/scalable/apps/datewright-converter.svg")));
        QIcon::setThemeName(QStringLiteral("svgonly"));
    }

    QTemporaryDir m_themes;
    QStringList m_savedPaths;
    QString m_savedTheme;
};

TEST_F(ApplicationIconTest, BuiltInIconHasEverySizeFrom16To256)
{
    const QIcon icon = dw::desktop::builtInApplicationIcon();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_FALSE(image.isNull()) << size;
        EXPECT_EQ(image.width(), size);
        // Drawn, not blank: the calendar page is opaque (at 20,30 of the 64-pixel design).
        EXPECT_EQ(qAlpha(image.pixel(size * 20 / 64, size * 30 / 64)), 255) << size;
    }
}

TEST_F(ApplicationIconTest, WithoutAThemeTheBuiltInIconIsUsed)
{
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
    const QIcon icon = dw::desktop::applicationIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.pixmap(32, 32).isNull());
    EXPECT_FALSE(icon.pixmap(256, 256).isNull());
}

TEST_F(ApplicationIconTest, AThemeWithTheSvgAloneStillGivesAnIconThatDraws)
{
    makeSvgOnlyTheme();
    const QIcon icon = dw::desktop::applicationIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(48, 48).toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(qAlpha(image.pixel(15, 22)), 255);
}

} // namespace
