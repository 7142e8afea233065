// Texts read in their own direction: an Arabic label's full stop lands at its left end (where an Arabic
// sentence ends), inside a control that keeps its place and its alignment; and a group of step labels
// shows at one size.
#include "controls/TextLabel.h"
#include "platform/FontAlias.h"
#include "services/TextDirectionStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QStyleOptionComboBox>
#include <QFontInfo>
#include <QLabel>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>

namespace {

const QString kArabic = QString::fromUtf8("نص عربي");
const QString kEnglish = QStringLiteral("Some text");

// A widget showing `text` in black on white, left-aligned in 300 x 30.
using Maker = std::function<std::unique_ptr<QWidget>(const QString &text)>;

QImage render(const Maker &make, const QString &text)
{
    std::unique_ptr<QWidget> widget = make(text);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    widget->setPalette(palette);
    widget->resize(300, 30);
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool inked(const QImage &image, int x)
{
    for (int y = 0; y < image.height(); ++y)
        if (qGray(image.pixel(x, y)) < 160)
            return true;
    return false;
}

int lastInkedColumn(const QImage &image)
{
    for (int x = image.width() - 1; x >= 0; --x)
        if (inked(image, x))
            return x;
    return -1;
}

// Whether `a` and `b` show the same pixels in columns [0, columns).
bool sameColumns(const QImage &a, const QImage &b, int columns)
{
    for (int x = 0; x < columns; ++x)
        for (int y = 0; y < a.height(); ++y)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

// Left-aligned, a full stop after a left-to-right text is added at the right and leaves the words where
// they were; after a right-to-left text it takes the left end and pushes the words to the right.
bool fullStopPushesWordsRight(const Maker &make, const QString &words)
{
    const QImage plain = render(make, words);
    const QImage stopped = render(make, words + u'.');
    const int wordsEnd = lastInkedColumn(plain);
    EXPECT_GT(wordsEnd, 0) << "nothing drawn";
    return !sameColumns(plain, stopped, wordsEnd + 1);
}

struct WidgetCase
{
    const char *name;
    Maker make;
    // QLabel turns a leading alignment to the side where its text begins (Qt's own rule for labels).
    bool keepsLeftAlignment = true;
};

void PrintTo(const WidgetCase &c, std::ostream *os)
{
    *os << c.name;
}

class TextDirectionTest : public ::testing::TestWithParam<WidgetCase>
{
protected:
    static void SetUpTestSuite() { TextDirectionStyle::install(); }
};

TEST_P(TextDirectionTest, ArabicReadsRightToLeftInsideItsControl)
{
    const Maker &make = GetParam().make;
    EXPECT_TRUE(fullStopPushesWordsRight(make, kArabic));
    EXPECT_FALSE(fullStopPushesWordsRight(make, kEnglish));
    // The control keeps its left alignment: the Arabic words still begin near its left edge.
    if (!GetParam().keepsLeftAlignment)
        return;
    const QImage image = render(make, kArabic);
    int first = 0;
    while (first < image.width() && !inked(image, first))
        ++first;
    EXPECT_LT(first, 40);
}

INSTANTIATE_TEST_SUITE_P(
    Widgets, TextDirectionTest,
    ::testing::Values(
        WidgetCase{"TextLabel",
                   [](const QString &text) -> std::unique_ptr<QWidget> {
                       auto label = std::make_unique<TextLabel>(platform::makeRect(0, 0, 300, 30));
                       label->setTextFont(platform::FontAlias::systemFont(16));
                       label->setText(text);
                       return label;
                   }},
        WidgetCase{"QLabel",
                   [](const QString &text) -> std::unique_ptr<QWidget> {
                       auto label = std::make_unique<QLabel>(text);
                       label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                       label->setFont(platform::FontAlias::systemFont(16));
                       return label;
                   },
                   false},
        WidgetCase{"QCheckBox",
                   [](const QString &text) -> std::unique_ptr<QWidget> {
                       auto box = std::make_unique<QCheckBox>(text);
                       box->setFont(platform::FontAlias::systemFont(16));
                       return box;
                   }}),
    [](const ::testing::TestParamInfo<WidgetCase> &info) { return std::string(info.param.name); });

TEST(TextLabelGroup, StepsShowAtTheSizeOfTheSmallest)
{
    platform::View host(platform::makeRect(0, 0, 400, 200));
    QList<TextLabel *> steps;
    const QStringList texts = {QStringLiteral("1. Short."),
                               QStringLiteral("2. A step long enough that it cannot stay on one line of this label."),
                               QStringLiteral("3. Short again.")};
    for (int i = 0; i < texts.size(); ++i) {
        auto *label = new TextLabel(platform::makeRect(0, 150 - 40 * i, 300, 30), &host);
        label->setTextFont(platform::FontAlias::systemFont(15));
        label->setText(texts[i]);
        steps << label;
    }
    const int longOnItsOwn = QFontInfo(steps[1]->drawnFont()).pixelSize();
    ASSERT_LT(longOnItsOwn, 15) << "the long step must need a smaller size for this case to mean anything";
    EXPECT_EQ(QFontInfo(steps[0]->drawnFont()).pixelSize(), 15);

    TextLabel::shareDrawnFont(steps);
    for (TextLabel *step : steps)
        EXPECT_EQ(QFontInfo(step->drawnFont()).pixelSize(), longOnItsOwn) << step->text().toStdString();
}

TEST(PopUpTitle, ATitleWiderThanItsFieldLosesItsMiddleNotItsEnd)
{
    TextDirectionStyle::install();
    auto *style = qobject_cast<TextDirectionStyle *>(QApplication::style());
    ASSERT_NE(style, nullptr);
    QComboBox combo;
    combo.resize(200, 26);
    const QString folder = QStringLiteral("/home/someone/Videos/Holidays/2026 Summer at the seaside/Exports");
    for (const QString &title : {QStringLiteral("Videos"), folder}) {
        SCOPED_TRACE(title.toStdString());
        combo.clear();
        combo.addItem(title);
        QStyleOptionComboBox option;
        option.initFrom(&combo);
        option.currentText = combo.currentText();
        const QString shown = style->comboBoxLabel(option, &combo);
        const int field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo)
                              .width();
        EXPECT_LE(option.fontMetrics.horizontalAdvance(shown), field);
        if (option.fontMetrics.horizontalAdvance(title) <= field) {
            EXPECT_EQ(shown, title);
        } else {
            // Both ends stay, so the folder's root and its own name can still be read.
            EXPECT_TRUE(shown.contains(QChar(0x2026)));
            EXPECT_TRUE(shown.startsWith(QStringLiteral("/ho")));
            EXPECT_TRUE(shown.endsWith(QStringLiteral("orts")));
        }
    }
}

} // namespace
