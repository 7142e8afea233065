// Every text shows whole, at a readable size, in every window the launcher opens, in every language;
// a right-to-left text is drawn right to left, and any other (a bracket, a time) left to right.
//
// The launcher opens its windows through the window-controller registry, so a window registered later
// is walked as soon as its launcher button opens it. Texts are found generically: those our views draw
// (reported by View's drawn-text observer while the window is rendered) and those of Qt's own widgets.
#include "app/AppDelegate.h"
#include "app/ViewController.h"
#include "controls/PNQButton.h"
#include "platform/PopUpButton.h"
#include "platform/UserDefaults.h"
#include "platform/View.h"
#include "platform/Window.h"
#include "services/LanguageService.h"
#include "tests/support/TestEnvironment.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

constexpr int kSmallestPixelSize = 10;

int pixelSize(const QFont &font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

// Only file names and paths may be cut (they are elided in the middle where they do not fit).
bool mayBeCut(const QString &text)
{
    return text.startsWith(u'/') || text.startsWith(QStringLiteral("~/"));
}

// What is wrong with `text` in `font` given `room` (empty when it fits). `visible` is the part of `room`
// that the widget's parents do not clip away.
QString misfit(const QString &text, const QFont &font, const QRectF &room, int flags, const QRectF &visible)
{
    if (text.trimmed().isEmpty() || mayBeCut(text))
        return {};
    if (pixelSize(font) < kSmallestPixelSize)
        return QStringLiteral("drawn at %1 px").arg(pixelSize(font));
    const QRectF need = QFontMetricsF(font).boundingRect(room, flags, text);
    // Half a pixel of slack for rounding across, one pixel up and down: a line's height counts the font's
    // own space above and below its glyphs.
    const QRectF allowed = visible.adjusted(-0.5, -1, 0.5, 1);
    if (!allowed.contains(need))
        return QStringLiteral("needs %1 x %2 at %3, %4; has %5 x %6 at %7, %8")
            .arg(need.width(), 0, 'f', 1)
            .arg(need.height(), 0, 'f', 1)
            .arg(need.x(), 0, 'f', 1)
            .arg(need.y(), 0, 'f', 1)
            .arg(visible.width(), 0, 'f', 1)
            .arg(visible.height(), 0, 'f', 1)
            .arg(visible.x(), 0, 'f', 1)
            .arg(visible.y(), 0, 'f', 1);
    return {};
}

QString misfit(const QString &text, const QFont &font, const QRectF &room, int flags)
{
    return misfit(text, font, room, flags, room);
}

// The part of `room` (in `widget`'s coordinates) that `widget` and its parents up to `window` show. What a
// scroll area's viewport clips in a direction the area scrolls (if the viewport can show it whole) is out of
// view, not cut off: from there up, that direction is not clipped.
QRectF visiblePart(const QWidget *widget, const QWidget *window, QRectF room)
{
    const QPointF origin = widget->mapTo(window, QPoint(0, 0));
    room.translate(origin);
    bool scrollsAcross = false, scrollsDown = false;
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        QRectF shown = QRectF(w->rect()).translated(w->mapTo(window, QPoint(0, 0)));
        const auto *area = qobject_cast<const QAbstractScrollArea *>(w->parentWidget());
        if (area && area->viewport() == w) {
            scrollsAcross |=
                area->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff && room.width() <= shown.width();
            scrollsDown |=
                area->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff && room.height() <= shown.height();
        }
        if (scrollsAcross) {
            shown.setLeft(room.left());
            shown.setRight(room.right());
        }
        if (scrollsDown) {
            shown.setTop(room.top());
            shown.setBottom(room.bottom());
        }
        room &= shown;
        if (w == window)
            break;
    }
    return room.translated(-origin);
}

// Whether the user can see `widget` (shown, and not made transparent like the launcher's language list,
// whose entries appear in its own list).
bool seen(QWidget *widget, QWidget *window)
{
    if (!widget->isVisibleTo(window))
        return false;
    for (QWidget *w = widget; w && w != window; w = w->parentWidget()) {
        auto *effect = qobject_cast<QGraphicsOpacityEffect *>(w->graphicsEffect());
        if (effect && effect->isEnabled() && effect->opacity() == 0)
            return false;
    }
    return true;
}

// The misfits of Qt's own widgets in `window`, one line each.
QStringList qtWidgetMisfits(QWidget *window)
{
    QStringList found;
    auto report = [&](QWidget *w, const QString &text, const QString &problem) {
        if (!problem.isEmpty())
            found << QStringLiteral("%1 \"%2\": %3")
                         .arg(QString::fromLatin1(w->metaObject()->className()), text, problem);
    };
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!seen(w, window))
            continue;
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            QStyleOptionFrame option;
            option.initFrom(edit);
            option.lineWidth =
                edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
            QRectF room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
            const QMargins margins = edit->textMargins();
            room = room.adjusted(margins.left() + 2, margins.top(), -margins.right() - 2, -margins.bottom());
            report(edit, edit->text(),
                   misfit(edit->text(), edit->font(), room, Qt::AlignLeft | Qt::AlignVCenter));
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            const QRectF room = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                               QStyle::SC_ComboBoxEditField, combo);
            report(combo, combo->currentText(),
                   misfit(combo->currentText(), combo->font(), room, Qt::AlignLeft | Qt::AlignVCenter));
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            if (!button->text().isEmpty() && button->sizeHint().width() > button->width())
                report(button, button->text(),
                       QStringLiteral("needs %1 px wide, has %2")
                           .arg(button->sizeHint().width())
                           .arg(button->width()));
            else
                report(button, button->text(), misfit(button->text(), button->font(), button->rect(), 0));
        } else if (auto *label = qobject_cast<QLabel *>(w)) {
            report(label, label->text(),
                   misfit(label->text(), label->font(), label->contentsRect(),
                          int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0)));
        }
    }
    return found;
}

// The misfits of every text in `window`, one line each.
QStringList misfits(platform::Window *window)
{
    QStringList found;
    platform::View::setDrawnTextObserver([&](const platform::View::DrawnText &t) {
        const QRectF visible = t.widget ? visiblePart(t.widget, window, t.room) : t.room;
        QString problem = misfit(t.text, t.font, t.room, t.flags, visible);
        // An Arabic text is read right to left inside its control (its full stop at the left end); one
        // with no right-to-left letter left to right (read right to left, a "[" would show as "]").
        const Qt::LayoutDirection own = t.text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
        if (problem.isEmpty() && t.direction != own)
            problem = own == Qt::RightToLeft ? QStringLiteral("drawn left to right")
                                             : QStringLiteral("drawn right to left");
        if (!problem.isEmpty())
            found << QStringLiteral("%1 \"%2\": %3")
                         .arg(QString::fromLatin1(t.widget ? t.widget->metaObject()->className() : "text"),
                              t.text, problem);
    });
    window->grab();
    platform::View::setDrawnTextObserver(nullptr);
    found << qtWidgetMisfits(window);
    return found;
}

std::set<platform::Window *> visibleWindows()
{
    std::set<platform::Window *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<platform::Window *>(widget); window && window->isVisible())
            windows.insert(window);
    return windows;
}

class TextFitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::UserDefaults::standard().remove(QStringLiteral("AppLanguage"));
        LanguageService::setLanguage();
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->applicationDidFinishLaunching();
        m_delegate->mainWindow()->show();
    }

    void TearDown() override
    {
        m_delegate.reset();
        platform::UserDefaults::standard().remove(QStringLiteral("AppLanguage"));
        platform::UserDefaults::standard().remove(
            QString::fromLatin1(platform::UserDefaults::PreferredLanguagesKey));
        LanguageService::setLanguage();
        TestEnvironment::processDeferredDeletes();
    }

    // Clicks `button` as the user does and checks every window it opened; then closes them. The check
    // runs from a timer, so that it also runs inside the modal session of a window that runs modally.
    void checkWindowsOpenedBy(PNQButton *button, const QString &language)
    {
        const std::set<platform::Window *> before = visibleWindows();
        bool checked = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            std::vector<QPointer<platform::Window>> opened;
            for (platform::Window *window : visibleWindows())
                if (!before.count(window))
                    opened.emplace_back(window);
            if (opened.empty())
                return;
            poll.stop();
            for (const QPointer<platform::Window> &window : opened) {
                const QStringList found = misfits(window);
                EXPECT_TRUE(found.isEmpty())
                    << language.toStdString() << ", window \"" << window->windowTitle().toStdString()
                    << "\":\n  " << found.join(QStringLiteral("\n  ")).toStdString();
                window->close();
            }
            checked = true;
        });
        poll.start();
        ASSERT_TRUE(button->mouseDownAction);
        button->mouseDownAction(button);
        EXPECT_TRUE(TestEnvironment::waitUntil([&] { return checked; }, 20000))
            << "nothing opened in " << language.toStdString();
        poll.stop();
        TestEnvironment::processEvents();
        TestEnvironment::processDeferredDeletes();
    }

    std::unique_ptr<AppDelegate> m_delegate;
};

TEST_F(TextFitTest, EveryTextOfEveryWindowFitsInEveryLanguage)
{
    platform::PopUpButton *languages = m_delegate->langeuagePopBtn();
    for (int n = 0; n < LanguageService::languageSetSize(); ++n) {
        languages->chooseItemAtIndex(n + 1);
        const QString language = LanguageService::currentLanguageFolder();
        ASSERT_EQ(LanguageService::storedLanguage(), n);
        TestEnvironment::processEvents();

        const QStringList launcher = misfits(m_delegate->mainWindow());
        EXPECT_TRUE(launcher.isEmpty()) << language.toStdString() << ", launcher:\n  "
                                        << launcher.join(QStringLiteral("\n  ")).toStdString();
        ViewController *view = m_delegate->viewController();
        for (int tool = 0; tool < ViewController::ToolCount; ++tool)
            checkWindowsOpenedBy(view->toolButton(ViewController::Tool(tool)), language);
        checkWindowsOpenedBy(view->aboutButton(), language);
    }
}

} // namespace
