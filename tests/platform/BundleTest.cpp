#include "platform/Bundle.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::Bundle;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const char *const MainStrings = R"(/* The launcher */
"Title" = "Video Workshop";
// a line comment with "quotes" = "not a pair";
"Quote" = "Say \"hi\"\n\tthen \\ leave";
"Multi
line" = "two /* not a comment */ lines";
"Apos" = 'kept';
"Unicode" = "\U4E2D\u6587";
"SelfKey";
"Later" = "first";
"Later" = "second";
)";

} // namespace

TEST(Bundle, ReadsStringsTablesWithEscapesAndComments)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("en.lproj/Main.strings");
    writeFile(path, MainStrings);
    const auto table = Bundle::readStringsFile(path);
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(table->value("Title"), "Video Workshop");
    EXPECT_EQ(table->value("Quote"), "Say \"hi\"\n\tthen \\ leave");
    EXPECT_EQ(table->value("Multi\nline"), "two /* not a comment */ lines");
    EXPECT_EQ(table->value("Unicode"), QString::fromUtf8("中文"));
    EXPECT_EQ(table->value("SelfKey"), "SelfKey");
    EXPECT_EQ(table->value("Later"), "second");
    EXPECT_FALSE(table->contains("a line comment with "));
    EXPECT_EQ(table->value("Apos"), "kept");
}

TEST(Bundle, StringsTableInUtf16WithByteOrderMark)
{
    QTemporaryDir dir;
    const QString text = QString::fromUtf8("\"OKBtnTitle\" = \"确定\";\n");
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    writeFile(dir.filePath("t.strings"), bytes);
    const auto table = Bundle::readStringsFile(dir.filePath("t.strings"));
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(table->value("OKBtnTitle"), QString::fromUtf8("确定"));
}

TEST(Bundle, MalformedOrMissingTableIsRefused)
{
    QTemporaryDir dir;
    const char *const broken[] = {"\"a\" = \"b\"", "\"a\" = \"unterminated;", "\"a\" = \"b\"; /* open",
                                  "\"a\" \"b\";"};
    for (const char *text : broken) {
        writeFile(dir.filePath("bad.strings"), text);
        EXPECT_FALSE(Bundle::readStringsFile(dir.filePath("bad.strings")).has_value()) << text;
    }
    EXPECT_FALSE(Bundle::readStringsFile(dir.filePath("absent.strings")).has_value());
}

TEST(Bundle, LocalizedStringFallsBackToValueThenKey)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("fr.lproj/Main.strings"), "\"OKBtnTitle\" = \"D'accord\";");
    Bundle bundle(dir.path());
    EXPECT_EQ(bundle.localizedString("OKBtnTitle", {}, "Main", "fr"), "D'accord");
    EXPECT_EQ(bundle.localizedString("LangeuageItem4", {}, "Main", "fr"), "LangeuageItem4");
    EXPECT_EQ(bundle.localizedString("LangeuageItem4", "fallback", "Main", "fr"), "fallback");
    EXPECT_EQ(bundle.localizedString("OKBtnTitle", {}, "Main", "de"), "OKBtnTitle"); // no such folder

    // A language folder is a bundle of its own whose table sits at its top.
    const auto lproj = Bundle::withPath(dir.filePath("fr.lproj"));
    ASSERT_TRUE(lproj.has_value());
    EXPECT_EQ(lproj->localizedString("OKBtnTitle"), "D'accord");
    EXPECT_FALSE(Bundle::withPath(dir.filePath("de.lproj")).has_value());
}

TEST(Bundle, ReadsAnArrayOfDictionariesPropertyList)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("EffectList.plist"), R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<array>
  <dict>
    <key>EffectName</key><string>Old film &amp; grain</string>
    <key>EffectId</key><integer>12</integer>
    <key>Strength</key><real>0.5</real>
    <key>Enabled</key><true/>
  </dict>
  <dict>
    <key>EffectName</key><string>Gray</string>
    <key>EffectId</key><integer>-1</integer>
    <key>Tags</key><array/>
  </dict>
</array>
</plist>
)");
    const QVariant list = Bundle::readPropertyList(dir.filePath("EffectList.plist"));
    ASSERT_EQ(list.typeId(), QMetaType::QVariantList);
    const QVariantList effects = list.toList();
    ASSERT_EQ(effects.size(), 2);
    const QVariantMap first = effects[0].toMap();
    EXPECT_EQ(first.value("EffectName").toString(), "Old film & grain");
    EXPECT_EQ(first.value("EffectId").typeId(), QMetaType::LongLong);
    EXPECT_EQ(first.value("EffectId").toInt(), 12);
    EXPECT_DOUBLE_EQ(first.value("Strength").toDouble(), 0.5);
    EXPECT_EQ(first.value("Enabled"), QVariant(true));
    EXPECT_EQ(effects[1].toMap().value("EffectId").toInt(), -1);
    EXPECT_EQ(effects[1].toMap().value("Tags").typeId(), QMetaType::QVariantList);
}

TEST(Bundle, BrokenPropertyListIsInvalid)
{
    QTemporaryDir dir;
    const char *const broken[] = {
        "<plist><dict><key>a</key></dict></plist>",           // key without a value
        "<plist><array><integer>x</integer></array></plist>", // not a number
        "<plist><array><string>open</array></plist>",         // bad XML
        "not xml at all",
    };
    for (const char *text : broken) {
        writeFile(dir.filePath("bad.plist"), text);
        EXPECT_FALSE(Bundle::readPropertyList(dir.filePath("bad.plist")).isValid()) << text;
    }
    EXPECT_FALSE(Bundle::readPropertyList(dir.filePath("absent.plist")).isValid());
}

// A resource looked up by name is an empty path when it is missing; reading it refuses it quietly,
// without Qt's "No file name specified" on the terminal.
TEST(Bundle, EmptyPathIsRefusedWithoutAWord)
{
    static QStringList messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &text) { messages << text; });
    const bool noTable = !Bundle::readStringsFile(QString()).has_value();
    const bool noList = !Bundle::readPropertyList(QString()).isValid();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(noTable);
    EXPECT_TRUE(noList);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

TEST(Bundle, DeeplyNestedPropertyListIsRefusedWithALogLine)
{
    QTemporaryDir dir;
    // 10,000 nested arrays (150 KB) would overflow the reader's stack; 256 is still read.
    auto nested = [](int depth) {
        return "<plist>" + QByteArray("<array>").repeated(depth) + "<string>deep</string>" +
               QByteArray("</array>").repeated(depth) + "</plist>";
    };
    writeFile(dir.filePath("deep.plist"), nested(10000));
    platform::LogCapture capture;
    EXPECT_FALSE(Bundle::readPropertyList(dir.filePath("deep.plist")).isValid());
    EXPECT_TRUE(capture.containsText("nested deeper than 256 levels"));

    writeFile(dir.filePath("deep-enough.plist"), nested(256));
    QVariant value = Bundle::readPropertyList(dir.filePath("deep-enough.plist"));
    for (int level = 0; level < 256; ++level) {
        ASSERT_EQ(value.typeId(), QMetaType::QVariantList) << level;
        value = value.toList().value(0);
    }
    EXPECT_EQ(value.toString(), "deep");
}

TEST(Bundle, FindsResourcesByRelativeName)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("Settings.bundle/Main/btnCrop_Normal.bmp"), "BM");
    Bundle bundle(dir.path());
    EXPECT_EQ(bundle.pathForResource("Settings.bundle/Main/btnCrop_Normal.bmp"),
              dir.filePath("Settings.bundle/Main/btnCrop_Normal.bmp"));
    EXPECT_EQ(bundle.pathForResource("btnCrop_Normal", "bmp", "Settings.bundle/Main"),
              dir.filePath("Settings.bundle/Main/btnCrop_Normal.bmp"));
    EXPECT_TRUE(bundle.pathForResource("Settings.bundle/Main/btnCrop_Normal").isEmpty());
    EXPECT_TRUE(bundle.pathForResource("btnCrop_Normal", "png", "Settings.bundle/Main").isEmpty());
}

TEST(Bundle, MainBundleUsesResourcesBesideTheExecutable)
{
    EXPECT_EQ(Bundle::main().resourcePath(), QCoreApplication::applicationDirPath() + "/Resources");
    EXPECT_EQ(Bundle::identifier(), "org.videoworkshop.VideoWorkshop");
    EXPECT_FALSE(Bundle::version().isEmpty());
}
