#include "editor/EditorPlayerBar.h"

#include "platform/FontAlias.h"
#include "platform/View.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"

namespace {

void stateImages(PNQButton *b, const QString &stem)
{
    b->setStateImages(stem);
    b->setSelectedImage(b->downImage());
    b->setBorderWidth(0);
}

QImage image(const char *name)
{
    return ResourceService::imageWithfileName(QString::fromLatin1(name));
}

} // namespace

void EditorPlayerBar::build(platform::View *bar, RDProgressSliderDelegate *delegate)
{
    auto make = [bar](int i) { return new PNQButton(platform::makeRect(10 + 40 * i, 0, 36, 36), bar); };
    if (!m_playPause) {
        m_playPause = make(0);
        m_stop = make(1);
        m_camera = make(2);
        m_picStyle = make(3);
        m_volume = make(4);
        m_volume->setIsCheckType(true);
        m_volumeSlider = new RDProgressSlider(platform::makeRect(210, 8, 100, 20), bar);
        m_volumeSlider->setProgress(0.5f);
    }
    stateImages(m_playPause, QStringLiteral("Join/btnPlay"));
    // Selected means playing: the button then shows the pause images, not a pressed play.
    m_playPause->setSelectedImage(QImage());
    stateImages(m_stop, QStringLiteral("Join/btnStop"));
    stateImages(m_camera, QStringLiteral("Join/btnCapture"));
    stateImages(m_picStyle, QStringLiteral("Join/btnCaptureSet"));
    stateImages(m_volume, QStringLiteral("Cut/btnOpenVolume"));
    m_volumeSlider->setDelegate(delegate);
    m_volumeSlider->setDisable(false);

    delete m_coverStyle;
    const platform::Rect style = m_picStyle->frame();
    m_coverStyle = new platform::PopUpButton(platform::makeRect(style.maxX(), style.minY(), 80, 20), false, bar);
    for (const char *key : {VW_KEY("png"), VW_KEY("jpg"), VW_KEY("bmp")}) {
        const QString title = LanguageService::localizedStringForKey(key).remove(u'"');
        if (title.isEmpty())
            continue;
        m_coverStyle->addItemWithTitle(title);
        m_coverStyle->setItemStyledTitle(
            m_coverStyle->numberOfItems() - 1,
            platform::StyledTitle{title, platform::FontAlias::systemFont(14), QColor(Qt::black)});
    }
    m_coverStyle->setHidden(true);
}

void EditorPlayerBar::showPlaying(bool playing)
{
    const char *stem = playing ? "Join/btnPause" : "Join/btnPlay";
    m_playPause->setNormalImage(image(QByteArray(stem).append("_Normal.png").constData()));
    m_playPause->setOnImage(image(QByteArray(stem).append("_On.png").constData()));
    m_playPause->setDownImage(image(QByteArray(stem).append("_Down.png").constData()));
    m_playPause->setSelected(playing);
    m_playPause->setContentTitle(QString());
}

void EditorPlayerBar::placeVolumeControls(double afterX)
{
    platform::Rect volume = m_volume->frame();
    volume.origin.x = afterX;
    m_volume->setFrame(volume);
    platform::Rect slider = m_volumeSlider->frame();
    slider.origin.x = volume.maxX();
    m_volumeSlider->setFrame(slider);
}

void EditorPlayerBar::toggleFormatPopUp()
{
    const bool show = m_coverStyle->isHidden();
    m_coverStyle->setHidden(!show);
    placeVolumeControls(show ? m_coverStyle->frame().maxX() : m_picStyle->frame().maxX());
}

QString EditorPlayerBar::chooseFormat(int index)
{
    m_coverStyle->setHidden(true);
    placeVolumeControls(m_picStyle->frame().maxX());
    m_coverStyle->selectItemAtIndex(index);
    return m_coverStyle->itemTitleAtIndex(index);
}
