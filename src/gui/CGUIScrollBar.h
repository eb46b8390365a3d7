// CGUIScrollBar: the scroll bar. Its arrows are buttons among its children;
// the track between them is tiled with the Background image or filled in a
// skin colour, and the thumb is an image or a raised block as long as the
// thumb rectangle. The thumb's offset counts from the bar's start edge.
#pragma once

#include "gui/CGUIImageSet.h"
#include "gui/IGUIScrollBar.h"

namespace zu::video
{
class ISpriteAnimationState;
}

namespace kelvo::gui
{

class CGUIButton;

class CGUIScrollBar : public zu::gui::IGUIScrollBar
{
  public:
    // The built-in font's arrows: left, right, up, down.
    static constexpr char ARROW_LEFT = 7;
    static constexpr char ARROW_RIGHT = 8;
    static constexpr char ARROW_UP = 5;
    static constexpr char ARROW_DOWN = 6;
    // A wheel notch moves the bar this far.
    static constexpr int32_t WHEEL_STEP = 10;

    // What the thumb looks like.
    enum EThumbState : int32_t
    {
        ETS_NORMAL = 0,
        ETS_HIGHLIGHTED = 1,
        ETS_PRESSED = 2
    };

    // With drawUnclipped the bar and its arrows draw past the clipping
    // rectangle.
    CGUIScrollBar(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                  const zu::video::SRecti& rectangle, bool horizontal, bool drawUnclipped = false);
    ~CGUIScrollBar() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;
    // Keeps the far arrow at its distance from the far edge, then lays the
    // track out between the arrows again.
    void setRelativePosition(const zu::video::SRecti& rectangle) override;

    void setMax(int32_t max) override;
    int32_t getMax() const override { return m_max; }
    void setSteps(int32_t small, int32_t large) override;
    int32_t getSmallStep() const override { return m_smallStep; }
    int32_t getLargeStep() const override { return m_largeStep; }
    int32_t getPos() const override { return m_pos; }
    void setPos(int32_t pos) override;
    bool isDragging() const override { return m_dragging; }
    bool isHorizontal() const override { return m_horizontal; }
    void setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix) override;

    // How far a wheel event moves a bar or a list: the wheel value truncated
    // to whole notches, WHEEL_STEP each, backwards for positive values.
    // Wild values are limited rather than converted out of range.
    static int64_t wheelDistance(float wheel);

    CGUIButton* getFirstButton() const { return m_first; }
    CGUIButton* getSecondButton() const { return m_second; }
    // Relative to the bar.
    const zu::video::SRecti& getTrackRect() const { return m_trackRect; }
    int32_t getThumbOffset() const { return m_thumbOffset; }
    int32_t getThumbLength() const { return m_thumbLength; }
    EThumbState getThumbState() const { return m_thumbState; }

  private:
    // The arrows' places on a bar of that size: each is as long as the bar
    // is broad, at the two ends.
    void arrowRects(const zu::video::SRecti& bar, zu::video::SRecti& first,
                    zu::video::SRecti& second) const;
    // The track runs from the first arrow's far edge to the second arrow's
    // near edge, across the whole bar.
    void layOutTrack();
    // The image that stands for the state; a state without an image keeps
    // the one shown.
    void chooseThumb(EThumbState state);
    zu::video::ISpriteAnimationState* thumbImage(size_t index) const;
    // The mouse's distance from the thumb's start edge.
    int32_t fromThumb(const zu::event::SMouseEvent& mouse) const;
    void dragTo(const zu::event::SMouseEvent& mouse);
    // Moves by the amount; the sum cannot overflow.
    void moveBy(int64_t amount);
    bool onMouse(const zu::event::SMouseEvent& mouse);

    CGUIButton* m_first = nullptr;
    CGUIButton* m_second = nullptr;
    enum : size_t
    {
        BACKGROUND,
        THUMB_NORMAL,
        THUMB_HIGHLIGHTED,
        THUMB_PRESSED,
        THUMB_DISABLED
    };
    CGUIImageSet m_images{"Background", "ThumbNormal", "ThumbHighlighted", "ThumbPressed",
                          "ThumbDisabled"};
    // The normal thumb of a package that has no ThumbNormal.
    CGUIImageSet m_plainThumb{"Thumb"};
    // One of the images above, or null.
    zu::video::ISpriteAnimationState* m_thumb = nullptr;
    EThumbState m_thumbState = ETS_NORMAL;
    zu::video::SRecti m_trackRect;
    zu::video::SRecti m_thumbRect;
    zu::video::SRecti m_creationRect;
    bool m_dragging = false;
    bool m_horizontal;
    bool m_drawUnclipped;
    int32_t m_pos = 0;
    int32_t m_thumbOffset = 0;
    int32_t m_thumbLength = 0;
    int32_t m_max = 100;
    int32_t m_smallStep = 10;
    int32_t m_largeStep = 30;
};

} // namespace kelvo::gui
