#include <gtest/gtest.h>

#include <QGuiApplication>

#include "platform/draw/Canvas.h"
#include "platform/draw/Cursors.h"

namespace {

struct CursorsTest : ::testing::Test {
    void TearDown() override { SetAppCursor(crDefault); }
};

TEST_F(CursorsTest, SystemCursorNumbersMapToShapes)
{
    struct Row {
        TCursor cursor;
        Qt::CursorShape shape;
    } rows[] = {
        {crDefault, Qt::ArrowCursor},
        {crArrow, Qt::ArrowCursor},
        {crCross, Qt::CrossCursor},
        {crAppStart, Qt::BusyCursor},
        {crHourGlass, Qt::WaitCursor},
        {crHandPoint, Qt::PointingHandCursor},
        {crIBeam, Qt::IBeamCursor},
        {crSizeAll, Qt::SizeAllCursor},
        {crNone, Qt::BlankCursor},
        {crNo, Qt::ForbiddenCursor},
        {-99, Qt::ArrowCursor},
        {77, Qt::ArrowCursor},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.cursor);
        EXPECT_EQ(CursorOf(r.cursor).shape(), r.shape);
    }
}

TEST_F(CursorsTest, NamedCursorPicturesLoadIntoSlots)
{
    TCursor slot = 11;
    for (const char* name : {"CURHAND", "CURZOOMW", "CURZOOMD", "curzoomp"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(LoadCursorResource(slot, QLatin1String(name)));
        EXPECT_TRUE(HasCursor(slot));
        ++slot;
    }
    EXPECT_EQ(CursorOf(11).shape(), Qt::OpenHandCursor);
    EXPECT_EQ(CursorOf(12).shape(), Qt::BitmapCursor);
    EXPECT_EQ(CursorOf(14).shape(), Qt::BitmapCursor);
    EXPECT_FALSE(LoadCursorResource(40, QStringLiteral("NOSUCHCURSOR")));
    EXPECT_FALSE(HasCursor(40));
    EXPECT_FALSE(LoadCursorResource(0, QStringLiteral("CURHAND")));
}

TEST_F(CursorsTest, AppCursorOverridesUntilTheDefaultComesBack)
{
    SetAppCursor(crCross);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    SetAppCursor(crHourGlass);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    {
        TAppCursorScope scope(crAppStart);
        EXPECT_EQ(AppCursor(), crAppStart);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    }
    EXPECT_EQ(AppCursor(), crHourGlass);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetAppCursor(crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    SetAppCursor(crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
