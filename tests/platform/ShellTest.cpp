#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/draw/Shell.h"

namespace {

TEST(Shell, AddressesAndFilesOpenAndBareWordsDoNot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("about.html"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    struct Row {
        QString address;
        QString url;  // empty: nothing opens
    } rows[] = {
        {QStringLiteral("https://example.org/lcg"), QStringLiteral("https://example.org/lcg")},
        {QStringLiteral(" http://example.org "), QStringLiteral("http://example.org")},
        {QStringLiteral("www.example.org"), QStringLiteral("http://www.example.org")},
        {QStringLiteral("mailto:someone@example.org"), QStringLiteral("mailto:someone@example.org")},
        {file, QUrl::fromLocalFile(file).toString()},
        {QStringLiteral("HomePageURL"), QString()},  // an untranslated key
        {QStringLiteral("c:\\nowhere"), QString()},
        {QString(), QString()},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.address.toStdString());
        const QUrl url = ShellUrl(r.address);
        EXPECT_EQ(url.isValid(), !r.url.isEmpty());
        if (!r.url.isEmpty()) {
            EXPECT_EQ(url.toString(), r.url);
        } else {
            EXPECT_FALSE(OpenUrl(r.address));
        }
    }
}

}  // namespace
