// Input routing of the area tree: every event goes to the modal child first, then to the children
// whose rectangle holds the point (last to first, so the one drawn on top is asked first), then to
// the area's own handler. Moves and releases follow the child that took the pointer's press.
//
// A release, of a pointer or of a key, goes to what took its press, whatever opened or closed in
// between: a dialog shown over a held button never leaves it held. What has been hidden or has
// gone since hears nothing (a control hidden while held lets go by itself). A key held down
// repeats only to what took it.
#include "widgets/area.h"

#include "widgets/click_sound.h"

namespace
{
const char* const kRefusedClip = "negative";

// Offers an event (offer(child, point in its coordinates)) to the children that hold the point,
// the last first, until one handles it; true when one did. A child may remove children meanwhile.
template <typename Offer>
bool OfferToChildren(const std::vector<std::unique_ptr<CArea2>>& children, const CPoint& point, const bool* handled,
                     Offer offer)
{
    for (size_t i = children.size(); i-- > 0;)
    {
        if (i >= children.size())
            continue;
        CArea2* child = children[i].get();
        if (!child->Contains(point))
            continue;
        offer(child, point - child->GetPosition());
        if (*handled)
            return true;
    }
    return false;
}
}

template <typename Deliver>
void CArea2::OfferToModal(const CPoint& point, bool soundRefusal, Deliver deliver)
{
    if (m_modal->Contains(point))
        deliver(m_modal.get(), point - m_modal->GetPosition());
    else if (soundRefusal)
        PlayClickSound(kRefusedClip);
}

void CArea2::PointerDown(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled)
{
    const CEventScope event;
    if (!m_visible)
        return;
    m_pressTakers.erase(pointerId);
    if (m_modal)
    {
        OfferToModal(point, true, [&](CArea2* modal, const CPoint& local) {
            m_pressTakers[pointerId] = modal;
            modal->PointerDown(pointerId, local, button, handled);
        });
        return;
    }
    if (*handled)
        return;
    // Each child that holds the point takes the capture until one of them handles the press.
    if (OfferToChildren(m_children, point, handled, [&](CArea2* child, const CPoint& local) {
            m_capture[pointerId] = child;
            child->PointerDown(pointerId, local, button, handled);
        }))
    {
        // Null when the child that took it has gone meanwhile.
        const auto captured = m_capture.find(pointerId);
        m_pressTakers[pointerId] = captured == m_capture.end() ? nullptr : captured->second;
        return;
    }
    m_capture.erase(pointerId);
    OnPointerDown(point, button, handled);
    if (*handled)
        m_pressTakers[pointerId] = this;
}

void CArea2::PointerMove(int64_t pointerId, const CPoint& point)
{
    const CEventScope event;
    if (!m_visible)
        return;
    if (m_modal)
    {
        m_modal->PointerMove(pointerId, point - m_modal->GetPosition());
        return;
    }
    const auto captured = m_capture.find(pointerId);
    if (captured != m_capture.end())
    {
        CArea2* child = captured->second;
        child->PointerMove(pointerId, point - child->GetPosition());
        return;
    }
    OnPointerMove(point);
}

void CArea2::PointerUp(int64_t pointerId, const CPoint& point, bool* handled)
{
    const CEventScope event;
    const auto press = m_pressTakers.find(pointerId);
    if (press != m_pressTakers.end())
    {
        CArea2* taker = press->second;
        m_pressTakers.erase(press);
        // Handed on even when hidden, so every area on the way forgets the press; each one
        // that is hidden stops it there.
        if (!taker)
            return;
        if (taker != this)
            taker->PointerUp(pointerId, point - taker->GetPosition(), handled);
        else if (m_visible)
            ReleaseHere(pointerId, point, handled);
        return;
    }
    if (!m_visible)
        return;
    if (m_modal)
    {
        m_modal->PointerUp(pointerId, point - m_modal->GetPosition(), handled);
        return;
    }
    // The capture outlives the release: moves keep going to the child until the next press.
    const auto captured = m_capture.find(pointerId);
    if (captured != m_capture.end())
    {
        CArea2* child = captured->second;
        child->PointerUp(pointerId, point - child->GetPosition(), handled);
        return;
    }
    ReleaseHere(pointerId, point, handled);
}

void CArea2::ReleaseHere(int64_t pointerId, const CPoint& point, bool* handled)
{
    if (*handled)
        return;
    if (OfferToChildren(m_children, point, handled, [&](CArea2* child, const CPoint& local) {
            child->PointerUp(pointerId, local, handled);
        }))
        return;
    OnPointerUp(point, handled);
}

void CArea2::DoubleClick(int64_t pointerId, const CPoint& point, uint32_t button, bool* handled)
{
    const CEventScope event;
    if (!m_visible)
        return;
    if (m_modal)
    {
        OfferToModal(point, true, [&](CArea2* modal, const CPoint& local) {
            modal->DoubleClick(pointerId, local, button, handled);
        });
        return;
    }
    if (*handled)
        return;
    if (OfferToChildren(m_children, point, handled, [&](CArea2* child, const CPoint& local) {
            child->DoubleClick(pointerId, local, button, handled);
        }))
        return;
    OnDoubleClick(point, button, handled);
}

void CArea2::Wheel(int64_t pointerId, const CPoint& point, int32_t amount, bool* handled)
{
    const CEventScope event;
    if (!m_visible)
        return;
    if (m_modal)
    {
        OfferToModal(point, false, [&](CArea2* modal, const CPoint& local) {
            modal->Wheel(pointerId, local, amount, handled);
        });
        return;
    }
    if (*handled)
        return;
    // A turn while the pointer is pressed must not take the capture from the pressed child.
    const bool keepCapture = m_pressTakers.count(pointerId) != 0;
    if (OfferToChildren(m_children, point, handled, [&](CArea2* child, const CPoint& local) {
            if (!keepCapture)
                m_capture[pointerId] = child;
            child->Wheel(pointerId, local, amount, handled);
        }))
        return;
    if (!keepCapture)
        m_capture.erase(pointerId);
    OnWheel(point, amount, handled);
}

void CArea2::Gesture(const CPoint& point, bool* handled)
{
    const CEventScope event;
    if (!m_visible)
        return;
    if (m_modal)
    {
        m_modal->Gesture(point - m_modal->GetPosition(), handled);
        return;
    }
    if (*handled)
        return;
    if (OfferToChildren(m_children, point, handled,
                        [&](CArea2* child, const CPoint& local) { child->Gesture(local, handled); }))
        return;
    OnGesture(point, handled);
}

void CArea2::KeyDown(uint32_t key, bool* handled)
{
    const CEventScope event;
    m_keyTakers.erase(key);
    // Keys belong to an open dialog alone; the host's visibility does not matter.
    if (m_modal)
    {
        m_keyTakers[key] = m_modal.get();
        m_modal->KeyDown(key, handled);
        return;
    }
    for (size_t i = 0; i < m_children.size() && !*handled; ++i)
    {
        CArea2* child = m_children[i].get();
        if (!child->IsVisible())
            continue;
        // Noted before the call, so a child that goes while it takes the key is forgotten.
        m_keyTakers[key] = child;
        child->KeyDown(key, handled);
    }
    if (*handled)
        return;
    m_keyTakers.erase(key);
    OnKeyDown(key, handled);
    if (*handled)
        m_keyTakers[key] = this;
}

void CArea2::KeyUp(uint32_t key, bool* handled)
{
    const CEventScope event;
    const auto press = m_keyTakers.find(key);
    if (press != m_keyTakers.end())
    {
        CArea2* taker = press->second;
        m_keyTakers.erase(press);
        DeliverKey(taker, key, handled, &CArea2::KeyUp, &CArea2::OnKeyUp);
        return;
    }
    if (m_modal)
    {
        m_modal->KeyUp(key, handled);
        return;
    }
    for (size_t i = 0; i < m_children.size() && !*handled; ++i)
        if (m_children[i]->IsVisible())
            m_children[i]->KeyUp(key, handled);
    if (!*handled)
        OnKeyUp(key, handled);
}

void CArea2::TextInput(const std::string& text, bool* handled)
{
    const CEventScope event;
    // Routed like a key: typed text belongs to an open dialog alone.
    if (m_modal)
    {
        m_modal->TextInput(text, handled);
        return;
    }
    for (size_t i = 0; i < m_children.size() && !*handled; ++i)
        if (m_children[i]->IsVisible())
            m_children[i]->TextInput(text, handled);
    if (!*handled)
        OnTextInput(text, handled);
}

void CArea2::KeyRepeat(uint32_t key, bool* handled)
{
    const CEventScope event;
    const auto press = m_keyTakers.find(key);
    if (press != m_keyTakers.end())
        DeliverKey(press->second, key, handled, &CArea2::KeyRepeat, &CArea2::OnKeyRepeat);
}

void CArea2::DeliverKey(CArea2* taker, uint32_t key, bool* handled, void (CArea2::*route)(uint32_t, bool*),
                        void (CArea2::*own)(uint32_t, bool*))
{
    if (!taker)
        return;
    if (taker != this)
    {
        // Handed on even when hidden, so every area on the way forgets the key.
        (taker->*route)(key, handled);
    }
    else if (m_visible || !m_parent || m_parent->m_modal.get() == this)
    {
        // Where its key-down could reach: a shown area, or a dialog whatever its host shows.
        (this->*own)(key, handled);
    }
}

void CArea2::DispatchCommand(uint32_t code, bool* handled)
{
    const CEventScope event;
    if (!m_visible)
        return;
    if (m_modal)
        m_modal->DispatchCommand(code, handled);
    for (size_t i = 0; i < m_children.size() && !*handled; ++i)
        m_children[i]->DispatchCommand(code, handled);
    if (!*handled)
        OnCommand(code, handled);
}

// Capture

void CArea2::SetCapture(int64_t pointerId, CArea2* child)
{
    if (child)
        m_capture[pointerId] = child;
    else
        m_capture.erase(pointerId);
}

void CArea2::ReleaseCapture(int64_t pointerId)
{
    m_capture.erase(pointerId);
}

CArea2* CArea2::GetCapture(int64_t pointerId) const
{
    const auto it = m_capture.find(pointerId);
    return it == m_capture.end() ? nullptr : it->second;
}

bool CArea2::IsCapturing(const CArea2* child) const
{
    for (const auto& entry : m_capture)
        if (entry.second == child)
            return true;
    return false;
}

bool CArea2::IsCaptured() const
{
    return m_parent && m_parent->IsCapturing(this);
}

void CArea2::ForgetChild(const CArea2* child)
{
    for (auto it = m_capture.begin(); it != m_capture.end();)
        it = it->second == child ? m_capture.erase(it) : std::next(it);
    // A press or key it took, still down, now ends with nobody to hear its release.
    for (auto& press : m_pressTakers)
        if (press.second == child)
            press.second = nullptr;
    for (auto& press : m_keyTakers)
        if (press.second == child)
            press.second = nullptr;
}

CArea2* CArea2::FindChildAt(const CPoint& point, bool deep)
{
    CArea2* area = this;
    for (;;)
    {
        CArea2* found = nullptr;
        for (const auto& child : area->m_children)
            if (child->Contains(point))
            {
                found = child.get();
                break;
            }
        if (!found)
            return area;
        area = found;
        if (!deep)
            return area;
    }
}

void CArea2::ForwardPointerMove(const CPoint& point)
{
    if (m_parent)
        m_parent->OnPointerMove(point);
}
