#pragma once
// The player's picture: the latest frame, kept in its aspect ratio and centred on black.
#include "platform/View.h"
#include "player/Picture.h"

#include <memory>

namespace player {

class PlayerView : public platform::View
{
    Q_OBJECT

public:
    explicit PlayerView(const platform::Rect &frame, QWidget *parent = nullptr);

    // Shows `picture` from the next paint on (main thread).
    void setPicture(std::shared_ptr<const Picture> picture);
    std::shared_ptr<const Picture> picture() const { return m_picture; }

protected:
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    std::shared_ptr<const Picture> m_picture;
};

} // namespace player
