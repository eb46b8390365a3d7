// IGUIElement: the base of every GUI element. An element sits in a tree: its
// parent holds one reference to it, and it holds one to each of its children,
// kept in drawing order (later children lie on top and are hit first). Its
// rectangle is relative to the parent's upper-left corner; the absolute
// rectangle and the clipping rectangle follow from the parent's. Events that
// an element does not consume travel up to its parent.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"
#include "core/SDimension.h"
#include "event/IEventReceiver.h"
#include "video/SGeometry.h"

#include <cstdint>
#include <list>

namespace zu::gui
{

class IGUIEnvironment;

// The kind of an element, for the widgets that set one; every other element
// keeps EGUIET_ELEMENT.
enum EGUIElementType : int32_t
{
    EGUIET_ELEMENT = 0,
    EGUIET_SCROLL_BAR = 3,
    EGUIET_CHECK_BOX = 6,
    EGUIET_RADIO_LIST = 7,
    EGUIET_LIST_BOX = 8,
    EGUIET_STATIC_TEXT = 11,
    EGUIET_EDIT_BOX = 12,
    EGUIET_COMBO_BOX = 16,
    EGUIET_BUTTON = 18,
    EGUIET_LAYOUT = 19,
    EGUIET_WINDOW = 20,
    EGUIET_DETACHABLE_FRAME = 21,
    EGUIET_TEXT_BUTTON = 22,
    EGUIET_TAB_BUTTON_ROW = 23,
    EGUIET_CLICK_AREA = 24
};

// When an element reports that it is drawn (GuiDrawReport).
enum EGUIDrawReport : int32_t
{
    EGUIDR_NONE = 0,
    EGUIDR_BEFORE_CHILDREN = 1,
    EGUIDR_AFTER_CHILDREN = 2
};

// A point inside a rectangle: left and top inclusive, right and bottom not.
inline bool isInside(const video::SRecti& r, video::SPosition2i p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The intersection; it is not normalised, so it may come out empty or inverted.
inline video::SRecti intersect(const video::SRecti& a, const video::SRecti& b)
{
    return {a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
            a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
}

inline bool overlaps(const video::SRecti& a, const video::SRecti& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

class IGUIElement : public virtual IUnknown, public event::IEventReceiver
{
  public:
    using ChildList = std::list<IGUIElement*>;

    // Stores the arguments and, with a parent, becomes its last child. The
    // environment is borrowed.
    IGUIElement(EGUIElementType type, IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                const video::SRecti& rectangle);
    ~IGUIElement() override;

    // Sets the size-changed flag when the width or height differs.
    virtual void setRelativePosition(const video::SRecti& rectangle);
    const video::SRecti& getRelativePosition() const { return m_relativeRect; }
    const video::SRecti& getAbsolutePosition() const { return m_absoluteRect; }
    const video::SRecti& getAbsoluteClippingRect() const { return m_clippingRect; }
    // The clipping rectangle a child gets, by whether the child is fixed.
    virtual video::SRecti getChildClippingRect(bool fixed) const;
    // Recomputes the absolute and clipping rectangles of the whole subtree.
    virtual void updateAbsolutePosition();

    // Appends the child (taking it from its old parent) and grabs it.
    virtual void addChild(IGUIElement* child);
    // Drops a child; an element that is not a child is ignored.
    virtual void removeChild(IGUIElement* child);
    virtual void removeAllChildren();
    // Leaves the tree with the whole subtree: gives up the focus, removes
    // the children, then is dropped by the parent.
    virtual void remove();

    // Draws the children; widgets draw themselves first, then call this.
    virtual void draw();

    virtual void move(int32_t dx, int32_t dy);
    void moveTo(int32_t x, int32_t y);
    void centerInRect(const video::SRecti& rectangle);
    // Without a parent this logs and does nothing.
    void centerOnParent();

    bool isVisible() const { return m_visible; }
    virtual void setVisible(bool visible) { m_visible = visible; }
    bool isEnabled() const { return m_enabled; }
    // Also enables or disables every descendant.
    virtual void setEnabled(bool enabled);
    // A fixed element is placed in its parent's whole area, not its content
    // area; layouts leave it where it is.
    bool isFixed() const { return m_fixed; }
    void setFixed(bool fixed) { m_fixed = fixed; }
    // A noClip element hands its children the clipping its parent gives it.
    bool isNoClip() const { return m_noClip; }
    void setNoClip(bool noClip) { m_noClip = noClip; }
    // An unclipped element is not cut by its parent's clipping (tool-tips).
    bool isUnclipped() const { return m_unclipped; }
    void setUnclipped(bool unclipped) { m_unclipped = unclipped; }
    bool doesReportOnDraw() const { return m_reportOnDraw != EGUIDR_NONE; }
    void setReportOnDraw(int32_t mode);

    virtual void setText(const core::CString& text) { m_text = text; }
    const core::CString& getText() const { return m_text; }
    int32_t getID() const { return m_id; }
    void setID(int32_t id) { m_id = id; }
    EGUIElementType getType() const { return m_type; }

    // Offers a key event to the children in order; true at the first that
    // takes it.
    virtual bool offerKeyEvent(const event::SEngineEvent& event);
    // Moves the child to the end of the list (drawn last, hit first); false
    // when it is not a child.
    bool bringToFront(IGUIElement* child);
    const ChildList& getChildren() const { return m_children; }
    // The first child with the id, each child's subtree searched before the
    // next child when searchChildren is set; null when none has it.
    IGUIElement* getElementFromId(int32_t id, bool searchChildren) const;
    // The top-most visible element of this subtree under the point, or null.
    // Disabled elements are hit too: widgets ignore input themselves.
    IGUIElement* getElementFromPoint(video::SPosition2i point);

    IGUIElement* getToolTip() const { return m_toolTip; }
    // Keeps the frame (grabbed) and makes it hidden, fixed and unclipped;
    // null removes the tool-tip.
    void setToolTip(IGUIElement* frame);

    virtual core::SDimension2i getPreferredSize() const;
    void setRiverText(const core::CString& text) { m_riverText = text; }
    const core::CString& getRiverText() const { return m_riverText; }
    // Asked before the parent when an event bubbles up; not grabbed.
    void setEventHook(event::IEventReceiver* hook) { m_eventHook = hook; }
    // Whether the size changed since the last call; the call clears it.
    bool hasBeenResized();
    // A pointer the element sets to null when it is destroyed, so an owner
    // that does not hold a reference (a script component) learns that it is
    // gone. One per element; null stops the notice.
    void setDestructionNotice(IGUIElement** notice) { m_destructionNotice = notice; }

    IGUIElement* getParent() const { return m_parent; }
    IGUIEnvironment* getEnvironment() const { return m_environment; }

    // Offers the event to the hook, then passes it to the parent. Without a
    // parent the event counts as consumed.
    bool onEvent(const event::SEngineEvent& event) override;

  protected:
    // Reports to the parent, with this element as the caller; false without
    // a parent. Both stay alive while the parent handles it, so a handler
    // may remove this element.
    bool sendGUIEvent(event::GUIEventType type, int32_t value = 0);
    // Hands the event to this element's own receiver, keeping it alive.
    bool sendToSelf(const event::SEngineEvent& event);
    // The environment's clock in milliseconds; 0 without a timer.
    uint32_t getTime() const;
    // Sets the relative rectangle without marking a size change.
    void setRelativeRect(const video::SRecti& rectangle) { m_relativeRect = rectangle; }

    ChildList m_children;
    IGUIElement* m_parent = nullptr;
    video::SRecti m_relativeRect;
    bool m_sizeChanged = false;
    video::SRecti m_absoluteRect;
    video::SRecti m_clippingRect;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_fixed = false;
    bool m_noClip = false;
    bool m_unclipped = false;
    int32_t m_reportOnDraw = EGUIDR_NONE;
    core::CString m_text;
    int32_t m_id;
    EGUIElementType m_type;
    IGUIEnvironment* m_environment;
    IGUIElement* m_toolTip = nullptr;
    core::CString m_riverText;
    event::IEventReceiver* m_eventHook = nullptr;
    IGUIElement** m_destructionNotice = nullptr;
};

} // namespace zu::gui
