#include "profiles/ProfileReader.h"
#include "tests/support/TempResources.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ReadCase
{
    const char *what;
    QByteArray content;
    const char *section;
    const char *key;
    const char *expected;
};

TEST(ProfileReader, ReadsValuesByTheFileRules)
{
    const ReadCase cases[] = {
        {"CR LF lines", "[Parameter]\r\nacodec=aac\r\n", "Parameter", "acodec", "aac"},
        {"bare LF lines keep their last byte", "[Parameter]\nvcodec=hevc\nacodec=aac\n", "Parameter", "acodec", "aac"},
        {"last line without a line feed", "[Parameter]\r\nvcodec=hevc\r\nacodec=aac", "Parameter", "acodec", "aac"},
        {"comments are skipped", "[Parameter]\r\n#vcodec=x\r\n//vcodec=z\r\nvcodec=y\r\n", "Parameter", "vcodec", "y"},
        {"only a comment", "[Parameter]\r\n# vcodec=x\r\n", "Parameter", "vcodec", ""},
        {"key split by a blank", "[Parameter]\r\n v codec =x\r\n", "Parameter", "vcodec", ""},
        {"blank before =", "[Parameter]\r\nvcodec =x\r\n", "Parameter", "vcodec", "x"},
        {"blank before key", "[Parameter]\r\n vcodec=x\r\n", "Parameter", "vcodec", "x"},
        {"tab before key", "[Parameter]\r\n\tvcodec=x\r\n", "Parameter", "vcodec", "x"},
        {"value taken unchanged", "[Parameter]\r\nvcodec= \"h264\" ,{a, b}\r\n", "Parameter", "vcodec", " \"h264\" ,{a, b}"},
        {"value after the first =", "[Main]\r\nExtName=a=b\r\n", "Main", "ExtName", "a=b"},
        {"first match wins", "[Parameter]\r\nb=1\r\nb=2\r\n", "Parameter", "b", "1"},
        {"key is not a suffix match", "[Parameter]\r\nab=128\r\nb=900\r\n", "Parameter", "b", "900"},
        {"blank key part never matches", "[Parameter]\r\n =x\r\n", "Parameter", "", ""},
        {"key before its section", "vcodec=q\r\n[Parameter]\r\n", "Parameter", "vcodec", ""},
        {"search ends at the next section", "[Main]\r\nExtName=mkv\r\n[Parameter]\r\nvcodec=x\r\n", "Main", "vcodec", ""},
        {"later section", "[Main]\r\nExtName=mkv\r\n[Parameter]\r\nvcodec=x\r\n", "Parameter", "vcodec", "x"},
        {"header with trailing text", "[frmFormat] list\r\nCount=3\r\n", "frmFormat", "Count", "3"},
        {"section of a longer name", "[Parameters]\r\nvcodec=x\r\n", "Parameter", "vcodec", ""},
        {"UTF-8 text", "[frmFormat]\r\nType1 = Vid\xc3\xa9o\r\n", "frmFormat", "Type1", " Vid\xc3\xa9o"},
        {"empty file", "", "Parameter", "vcodec", ""},
        {"CR kept inside a line", "[Main]\r\nExtName=m\rkv\r\n", "Main", "ExtName", "m\rkv"},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int index = 0;
    for (const ReadCase &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("case%1.pf").arg(index++));
        TempResources::writeFile(path, c.content);
        EXPECT_EQ(ProfileReader::readProfileValue(QString::fromLatin1(c.section), QString::fromLatin1(c.key), path),
                  QString::fromUtf8(c.expected));
    }
}

TEST(ProfileReader, MissingFileReadsEmptyAndSaysSo)
{
    testing::internal::CaptureStdout();
    const QString value = ProfileReader::readProfileValue(QStringLiteral("Main"), QStringLiteral("ExtName"),
                                                          QStringLiteral("/nonexistent/none.pf"));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(value.isEmpty());
    EXPECT_NE(out.find("have   no   such   file "), std::string::npos) << out;
}

} // namespace
