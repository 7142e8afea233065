// The settings bundle as the build leaves it beside the programs: every image the code names is there and
// loads, state images differ from each other, every profile has its picture, profile files keep the CR LF
// line ends their reader relies on, and the effect list holds the ten effects.
#include "platform/Bundle.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSize>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

QString settingsBundle()
{
    return platform::Bundle::main().resourcePath() + QStringLiteral("/Settings.bundle");
}

const QStringList kFourStates = {"_Normal", "_On", "_Down", "_Disable"};

// Families of state images: the base name, its extension and the suffixes the code asks for.
struct Family {
    QString base;
    QString ext;
    QStringList suffixes;
};

const std::vector<Family> kFamilies = {
    {"Main/btnCrop", ".bmp", kFourStates},           {"Main/btnEffect", ".bmp", kFourStates},
    {"Main/btnSubtitle", ".bmp", kFourStates},       {"Main/btnWatermark", ".bmp", kFourStates},
    {"Main/btnJoin", ".bmp", kFourStates},           {"Main/btnEasyCut", ".bmp", kFourStates},
    {"Main/btnBatchCut", ".bmp", kFourStates},       {"Main/btnAdvancedCut", ".bmp", kFourStates},
    {"Main/btnRotation", ".bmp", kFourStates},       {"Main/btnMusic", ".bmp", kFourStates},
    {"Main/btnSplit", ".bmp", kFourStates},          {"About/btnOK", ".bmp", kFourStates},
    {"About/btnAddFile", ".bmp", kFourStates},       {"About/btnAddFile_Small", ".bmp", kFourStates},
    {"SubFun/btnStart", ".bmp", kFourStates},        {"SubFun/btnCut", ".bmp", kFourStates},
    {"SubFun/btnRotation", ".bmp", kFourStates},     {"SubFun/btnCrop", ".bmp", kFourStates},
    {"SubFun/btnEffect", ".bmp", kFourStates},       {"SubFun/btnWaterMark", ".bmp", kFourStates},
    {"SubFun/btnSubtitle", ".bmp", kFourStates},     {"SubFun/btnMusic", ".bmp", kFourStates},
    {"SubFun/btnAddPicWaterMark", ".png", kFourStates}, {"SubFun/btnAddTextWaterMark", ".png", kFourStates},
    {"SubFun/btnDeleteWaterMark", ".png", kFourStates},
    {"Join/btnPlay", ".png", kFourStates},           {"Join/btnPause", ".png", kFourStates},
    {"Join/btnStop", ".png", kFourStates},           {"Join/btnCapture", ".png", kFourStates},
    {"Join/btnCaptureSet", ".png", kFourStates},     {"Cut/btnOpenVolume", ".png", kFourStates},
    {"Cut/btnCloseVolume", ".png", kFourStates},     {"Cut/btnPlay", ".png", kFourStates},
    {"Cut/btnPause", ".png", kFourStates},           {"Cut/btnPause", ".bmp", {"_On", "_Down"}},
    {"Cut/btnStop", ".png", {"_Normal", "__On", "__Down"}},
    {"Cut/btnPreview", ".png", kFourStates},         {"Cut/btnClear", ".png", kFourStates},
    {"Cut/btnMoveUp", ".png", kFourStates},          {"Cut/btnMoveDown", ".png", kFourStates},
    {"Cut/btnSetStartTime", ".png", kFourStates},    {"Cut/btnSetEndTime", ".png", kFourStates},
    {"Cut/btnCopy", ".bmp", kFourStates},            {"Cut/btnModify", ".bmp", kFourStates},
    {"Cut/btnDeleted", ".bmp", kFourStates},         {"Cut/btnCut", ".bmp", kFourStates},
    {"Split/imgBegin", ".bmp", {"_1", "_2"}},
    {"Split/btnHandSplit", ".bmp", {"_1", "_3", "_4"}}, {"Split/btnLastPoint", ".bmp", {"_1", "_3", "_4"}},
    {"Split/btnNextPoint", ".bmp", {"_1", "_3", "_4"}}, {"Split/btnRemovePoint", ".bmp", {"_1", "_3", "_4"}},
    {"Resources/left", ".png", {"_nor", "_dis"}},    {"Resources/right", ".png", {"_nor", "_dis"}},
};

// Single images; a size is checked where the controls place the picture at a fixed size.
struct Single {
    QString name;
    QSize size;
};

const std::vector<Single> kSingles = {
    {"Main/btnAbout_Normal.png", {}},            {"Main/btnHomepage_Normal.png", {}},
    {"SubFun/btnBrowse_Down.png", {}},           {"SubFun/旋转-左.png", {}},
    {"SubFun/旋转-右.png", {}},                   {"SubFun/左右翻转.png", {}},
    {"SubFun/上下翻转.png", {}},                  {"Join/imgEmail.png", {}},
    {"Join/CheckBox_Checked.bmp", {}},           {"Join/CheckBox_NoCheck.bmp", {}},
    {"Cut/btnSlip_Normal.png", {}},              {"Cut/musicIconB.png", {}},
    {"Cut/imgBack.bmp", {}},                     {"Cut/imgTop.bmp", {}},
    {"Cut/pbTop.bmp", {}},                       {"Cut/ListBottom_Normal.bmp", {}},
    {"Cut/ListBottom_Select.bmp", {}},           {"Cut/imgActionBottom.bmp", {168, 48}},
    {"Cut/imgWelcome_center.bmp", {}},           {"Split/btnExample_2.bmp", {17, 17}},
    {"Resources/play_played_bkg.png", {}},       {"Resources/play_notplayed_bkg.png", {}},
    {"Resources/edit_trim_focus.png", {}},       {"Resources/edit_trimleft_normal.png", {9, 12}},
    {"Resources/edit_trimright_normal.png", {9, 12}}, {"Resources/edit_trimknob_normal.png", {15, 24}},
    {"Resources/edit_cancel_normal.png", {}},    {"Resources/edit_cancel_alternate.png", {}},
    {"Resources/MergeBackground.png", {}},       {"Resources/MergeKnob.png", {}},
    {"Resources/trim_textfield.png", {151, 26}}, {"Resources/WSCategoryBack.png", {}},
    {"Resources/selImageView.png", {}},          {"Resources/CategoryHead.png", {}},
    {"Resources/selDVDItemBack.png", {}},        {"Resources/WSBoxA1.png", {}},
    {"Resources/blankBkg.bmp", {}},              {"Resources/defaultMusicZoom.png", {}},
    {"Resources/setingParam.png", {28, 28}},     {"Resources/Extend.png", {8, 10}},
    {"Resources/shrink.png", {8, 10}},           {"Resources/checkFiles.png", {}},
    {"Resources/checkNoFiles.png", {}},          {"im/app_Icon.png", {}},
};

QImage load(const QString &relative)
{
    return QImage(settingsBundle() + QLatin1Char('/') + relative);
}

TEST(ResourceImages, EveryNamedImageLoads)
{
    for (const Family &family : kFamilies) {
        for (const QString &suffix : family.suffixes) {
            const QString name = family.base + suffix + family.ext;
            EXPECT_FALSE(load(name).isNull()) << name.toStdString();
        }
    }
    for (const Single &single : kSingles) {
        const QImage image = load(single.name);
        ASSERT_FALSE(image.isNull()) << single.name.toStdString();
        if (single.size.isValid()) {
            EXPECT_EQ(image.size(), single.size) << single.name.toStdString();
        }
    }
}

TEST(ResourceImages, StatesOfAFamilyLookDifferent)
{
    for (const Family &family : kFamilies) {
        const QString first = family.base + family.suffixes.first() + family.ext;
        const QImage normal = load(first);
        for (qsizetype i = 1; i < family.suffixes.size(); ++i) {
            const QString name = family.base + family.suffixes.at(i) + family.ext;
            EXPECT_NE(load(name), normal) << name.toStdString() << " looks the same as " << first.toStdString();
        }
    }
}

QStringList profileFiles()
{
    QStringList files;
    for (const char *tree : {"functionFolder", "pf_join"}) {
        QDirIterator it(settingsBundle() + QLatin1Char('/') + QLatin1String(tree), {"*.pf", "pf.dat"},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
    }
    return files;
}

TEST(ProfileFiles, EveryProfileHasItsPictureBesideIt)
{
    int profiles = 0;
    for (const QString &path : profileFiles()) {
        if (!path.endsWith(QLatin1String(".pf")))
            continue;
        ++profiles;
        const QFileInfo info(path);
        const QString picture = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + ".png";
        EXPECT_FALSE(QImage(picture).isNull()) << picture.toStdString();
    }
    EXPECT_GT(profiles, 0) << "no profiles found under " << settingsBundle().toStdString();
}

// The reader drops the byte before each line feed and never reads a last line without one.
TEST(ProfileFiles, EveryLineEndsInCrLf)
{
    const QStringList files = profileFiles();
    ASSERT_FALSE(files.isEmpty());
    for (const QString &path : files) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray bytes = file.readAll();
        ASSERT_TRUE(bytes.endsWith("\r\n")) << path.toStdString();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes.at(i) == '\n') {
                ASSERT_TRUE(i > 0 && bytes.at(i - 1) == '\r') << path.toStdString() << " byte " << i;
            }
        }
    }
}

TEST(EffectList, HoldsTheTenEffectsNumberedInOrder)
{
    const QStringList names = {"effect_gray", "effect_sepia", "effect_negative", "effect_blur",
                               "effect_sharpen", "effect_emboss", "effect_edge", "effect_vignette",
                               "effect_oldfilm", "effect_mosaic"};
    const QVariantList list =
        platform::Bundle::readPropertyList(settingsBundle() + QStringLiteral("/EffectList.plist")).toList();
    ASSERT_EQ(list.size(), names.size());
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QVariantMap entry = list.at(i).toMap();
        EXPECT_EQ(entry.value("EffectName").toString(), names.at(i));
        EXPECT_EQ(entry.value("EffectId").toLongLong(), i + 1);
    }
}

} // namespace
