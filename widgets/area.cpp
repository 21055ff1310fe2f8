#include "widgets/area.h"

#include "foundation/owned_list.h"
#include "graphics/font_manager.h"
#include "shell/app.h"

#include <algorithm>

namespace
{
constexpr uint32_t kDefaultSide = 100;
constexpr uint32_t kFontSize = 14;
constexpr uint32_t kLargeFontSize = 28;
constexpr float kTextShade = 0.8f;
constexpr int32_t kClientMargin = 4;
// A centred dialog leaves this much of its host's height free.
constexpr uint32_t kDialogMargin = 20;
constexpr int32_t kMaxEvenlyWidth = 2559;
constexpr int32_t kMaxRowsWidth = 2047;
constexpr int32_t kMinArrangeHeight = 6;
constexpr uint32_t kRows = 8;
constexpr uint32_t kPerRow = 8;

// Input events and ticks running through the tree now, and the areas removed meanwhile. Areas
// live on the main thread only.
uint32_t g_eventDepth = 0;

std::vector<std::unique_ptr<CArea2>>& RemovedAreas()
{
    static std::vector<std::unique_ptr<CArea2>> removed;
    return removed;
}

int32_t ClampPosition(int32_t value)
{
    return std::max(0, std::min(value, CArea2::kMaxPosition));
}

// A size from float arithmetic: truncated, never negative, NaN as 0.
uint32_t ToSize(float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 4294967040.0f)
        return UINT32_MAX;
    return uint32_t(value);
}

// The equal shares of a length with a gap: the outer two items get the exact share, the remainder
// of the division is spread over the middle ones. A length too short for the gaps gives shares of
// 0 rather than wrapping round.
std::vector<CRect> EqualShares(size_t n, const CRect& bounds, uint32_t gap, bool sideBySide)
{
    std::vector<CRect> rects;
    if (n == 0)
        return rects;
    const int64_t start = sideBySide ? bounds.GetX() : bounds.GetY();
    const int64_t length = sideBySide ? bounds.GetWidth() : bounds.GetHeight();
    std::vector<int64_t> from(n, start);
    std::vector<int64_t> size(n, length);
    if (n > 1)
    {
        const int64_t gaps = int64_t(n - 1) * gap;
        const int64_t share = length > gaps ? (length - gaps) / int64_t(n) : 0;
        std::fill(size.begin(), size.end(), share);
        from[n - 1] = start + length - share;
        for (size_t i = 1; i + 1 < n; ++i)
        {
            const int64_t previousEnd = from[i - 1] + size[i - 1];
            from[i] = previousEnd + gap;
            const int64_t room = from[n - 1] - previousEnd - int64_t(n - i) * gap;
            size[i] = std::max<int64_t>(0, room / int64_t(n - 1 - i));
        }
    }
    for (size_t i = 0; i < n; ++i)
    {
        if (sideBySide)
            rects.emplace_back(int32_t(from[i]), bounds.GetY(), int32_t(size[i]), bounds.GetHeight());
        else
            rects.emplace_back(bounds.GetX(), int32_t(from[i]), bounds.GetWidth(), int32_t(size[i]));
    }
    return rects;
}
}

CArea2::CArea2(CArea2* parent, bool ownSurface) : m_parent(parent)
{
    Init(ownSurface, kDefaultSide, kDefaultSide);
}

CArea2::CArea2(CArea2* parent, bool ownSurface, uint32_t width, uint32_t height) : m_parent(parent)
{
    Init(ownSurface, width, height);
}

CArea2::CArea2(CArea2* parent, uint32_t width, uint32_t height) : m_parent(parent)
{
    Init(false, width, height);
}

void CArea2::Init(bool ownSurface, uint32_t width, uint32_t height)
{
    m_ownSurface = ownSurface;
    m_visible = false;
    if (m_parent)
    {
        m_colour = m_parent->m_colour;
        m_backgroundColour = m_parent->m_backgroundColour;
        m_textColour = m_parent->m_textColour;
        m_fontSize = m_parent->m_fontSize;
    }
    else
    {
        m_colour = CRgbaColour(208, 208, 208, 255);
        m_backgroundColour = CRgbaColour(0u);
        m_textColour = m_colour.Scale(kTextShade);
        m_fontSize = CApp::IsHighResolution() ? kLargeFontSize : kFontSize;
    }
    m_fontName = "arial";
    m_font = FontAt(m_fontSize);
    m_width = width;
    m_height = height;
    if (m_ownSurface)
        ResizeOwnImage();
}

CArea2::~CArea2()
{
    m_modalClosed = nullptr;
    m_modal.reset();
    DeleteBackwards(m_children);
    m_capture.clear();
    m_dirty = true;
    m_parent = nullptr;
}

// Tree

bool CArea2::IsOwnedHere(const CArea2* area) const
{
    return area == this || (area && area == m_modal.get()) || GetChildIndex(area) >= 0;
}

void CArea2::Adopt(std::unique_ptr<CArea2> child, bool hidden)
{
    if (!child)
        return;
    // Adopting an area twice would make it owned twice.
    if (IsOwnedHere(child.get()))
    {
        child.release();
        return;
    }
    CArea2* adopted = child.get();
    m_children.push_back(std::move(child));
    adopted->m_parent = this;
    MarkForTick();
    MarkForRender();
    adopted->SetVisible(hidden ? false : m_visible);
    adopted->Layout();
}

void CArea2::RemoveChild(CArea2* child)
{
    if (child)
    {
        ForgetChild(child);
        std::unique_ptr<CArea2> removed;
        for (auto it = m_children.begin(); it != m_children.end();)
        {
            if (it->get() == child)
            {
                removed = std::move(*it);
                it = m_children.erase(it);
            }
            else
            {
                ++it;
            }
        }
        if (child == m_modal.get())
        {
            // A dialog taken away is not closed: nothing of its end is heard.
            removed = std::move(m_modal);
            m_modalClosed = nullptr;
        }
        Discard(std::move(removed));
    }
    SetDirty();
}

CArea2* CArea2::ReplaceChild(uint32_t index, std::unique_ptr<CArea2> child)
{
    if (!child)
        return nullptr;
    if (IsOwnedHere(child.get()))
    {
        // Owned already: nothing moves.
        child.release();
        SetDirty();
        return nullptr;
    }
    CArea2* adopted = nullptr;
    if (index < m_children.size())
    {
        ForgetChild(m_children[index].get());
        adopted = child.get();
        adopted->m_parent = this;
        m_children[index].swap(child);
        MarkForTick();
    }
    // Now the old child, or the new one that found no place.
    Discard(std::move(child));
    SetDirty();
    return adopted;
}

void CArea2::Discard(std::unique_ptr<CArea2> area)
{
    // Outside events the area goes here and now.
    if (area && g_eventDepth > 0)
        RemovedAreas().push_back(std::move(area));
}

CArea2::CEventScope::CEventScope()
{
    ++g_eventDepth;
}

CArea2::CEventScope::~CEventScope()
{
    if (--g_eventDepth > 0)
        return;
    // Deleting an area runs no event, so the list is complete once taken.
    std::vector<std::unique_ptr<CArea2>> removed;
    removed.swap(RemovedAreas());
}

CArea2* CArea2::GetChild(uint32_t index) const
{
    return ItemAt(m_children, index);
}

int32_t CArea2::GetChildIndex(const CArea2* child) const
{
    return PositionIn(m_children, child);
}

int32_t CArea2::GetIndexInParent() const
{
    return m_parent ? m_parent->GetChildIndex(this) : 0;
}

// Geometry

void CArea2::SetPosition(const CPoint& position)
{
    const CPoint clamped(ClampPosition(position.GetX()), ClampPosition(position.GetY()));
    if (clamped == m_position)
        return;
    m_position = clamped;
    if (m_ownSurface)
        Refresh(false);
}

void CArea2::SetX(int32_t x)
{
    x = ClampPosition(x);
    if (x == GetX())
        return;
    m_position = CPoint(x, GetY());
    if (m_ownSurface)
        Refresh(false);
}

void CArea2::SetY(int32_t y)
{
    y = std::min(y, kMaxPosition);
    if (y == GetY())
        return;
    m_position = CPoint(GetX(), y);
    if (m_ownSurface)
        Refresh(false);
}

void CArea2::SetWidth(uint32_t width)
{
    SetSize(width, m_height);
}

void CArea2::SetHeight(uint32_t height)
{
    SetSize(m_width, height);
}

void CArea2::SetSize(uint32_t width, uint32_t height)
{
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    if (m_ownSurface)
        ResizeOwnImage();
    Refresh(false);
}

void CArea2::SetSize(const CZevralImage& image)
{
    SetSize(uint32_t(image.GetWidth()), uint32_t(image.GetHeight()));
}

void CArea2::SetRect(const CRect& rect)
{
    m_position = rect.GetPosition();
    SetSize(uint32_t(std::max(rect.GetWidth(), 0)), uint32_t(std::max(rect.GetHeight(), 0)));
}

void CArea2::FitAspect(float ratio)
{
    if (m_width == 0)
        return;
    const float current = float(m_height) / float(m_width);
    if (ratio > current)
        SetWidth(ToSize(float(m_width) * current / ratio));
    else if (ratio < current)
        SetHeight(ToSize(float(m_height) * ratio / current));
}

CRect CArea2::GetClientRect() const
{
    CRect rect = GetLocalRect();
    rect.Shrink(kClientMargin);
    return rect;
}

void CArea2::ArrangeRects(const std::vector<CRect*>& rects, const CRect& bounds, uint32_t gap, bool sideBySide)
{
    if (bounds.GetWidth() >= kMaxPosition || bounds.GetHeight() < kMinArrangeHeight)
        return;
    const std::vector<CRect> shares = EqualShares(rects.size(), bounds, gap, sideBySide);
    for (size_t i = 0; i < rects.size(); ++i)
        if (rects[i])
            *rects[i] = shares[i];
}

void CArea2::ArrangeEvenly(const std::vector<CArea2*>& areas, const CRect& bounds, uint32_t gap, bool sideBySide)
{
    if (bounds.GetWidth() > kMaxEvenlyWidth || bounds.GetHeight() < kMinArrangeHeight)
        return;
    const std::vector<CRect> shares = EqualShares(areas.size(), bounds, gap, sideBySide);
    for (size_t i = 0; i < areas.size(); ++i)
        if (areas[i])
            areas[i]->SetRect(shares[i]);
}

void CArea2::ArrangeInRows(const std::vector<CArea2*>& areas, const CRect& bounds, uint32_t gap)
{
    if (bounds.GetWidth() > kMaxRowsWidth || bounds.GetHeight() < kMinArrangeHeight)
        return;
    const int64_t rowHeight = std::max<int64_t>(0, (int64_t(bounds.GetHeight()) - int64_t(kRows - 1) * gap) / kRows);
    for (uint32_t row = 0; row < kRows && row * kPerRow < areas.size(); ++row)
    {
        const size_t first = row * kPerRow;
        const size_t end = std::min(areas.size(), first + kPerRow);
        const std::vector<CArea2*> items(areas.begin() + long(first), areas.begin() + long(end));
        const CRect rowRect(bounds.GetX(), int32_t(bounds.GetY() + int64_t(row) * (rowHeight + gap)), bounds.GetWidth(),
                            int32_t(rowHeight));
        ArrangeEvenly(items, rowRect, gap, true);
    }
}

// Colours and font

void CArea2::SetColour(CRgbaColour colour)
{
    if (colour != m_colour)
    {
        m_colour = colour;
        SetDirty();
    }
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->SetColour(colour);
}

void CArea2::SetBackgroundColour(CRgbaColour colour)
{
    if (colour != m_backgroundColour)
    {
        m_backgroundColour = colour;
        SetDirty();
    }
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->SetBackgroundColour(colour);
}

void CArea2::SetTextColour(CRgbaColour colour)
{
    if (colour != m_textColour)
    {
        m_textColour = colour;
        SetDirty();
    }
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->SetTextColour(colour);
}

void CArea2::SetFontSize(uint32_t size)
{
    if (size == m_fontSize)
        return;
    m_fontSize = size;
    m_font = FontAt(size);
    SetDirty();
}

TTF_Font* CArea2::FontAt(uint32_t fontSize) const
{
    return CFontManager::Instance().GetFont(m_fontName, int32_t(fontSize));
}

// State

void CArea2::SetVisible(bool visible)
{
    const bool changed = visible != m_visible;
    if (changed)
    {
        m_visible = visible;
        Refresh(false);
        if (!visible && m_parent)
            m_parent->SetDirty();
    }
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->SetVisible(m_visible);
    if (changed)
        OnVisibleChanged();
}

void CArea2::SetEnabled(bool enabled)
{
    if (enabled != m_enabled)
    {
        m_enabled = enabled;
        SetDirty();
    }
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->SetEnabled(m_enabled);
}

void CArea2::SetDirty()
{
    m_dirty = true;
    MarkForRender();
}

void CArea2::MarkForRender()
{
    for (CArea2* area = this; area; area = area->m_parent)
        area->m_renderBelow = true;
}

void CArea2::Refresh(bool force)
{
    // A hidden area's background would be copied again before it is drawn: showing it refreshes it.
    if (m_ownSurface && m_parent && m_visible)
        m_parent->CopyBackgroundTo(this);
    if (m_visible || force)
    {
        Layout();
        SetDirty();
    }
}

void CArea2::ResizeOwnImage()
{
    m_ownImageWidth = m_width;
    m_ownImageHeight = m_height;
    m_ownImageResizePending = true;
}

CZevralImage& CArea2::GetOwnImage()
{
    return const_cast<CZevralImage&>(static_cast<const CArea2*>(this)->GetOwnImage());
}

const CZevralImage& CArea2::GetOwnImage() const
{
    if (m_ownImageResizePending)
    {
        m_ownImage.Resize(m_ownImageWidth, m_ownImageHeight, true);
        m_ownImageResizePending = false;
    }
    return m_ownImage;
}

// Dialogs and tick

CArea2* CArea2::OpenModal(std::unique_ptr<CArea2> dialog, uint8_t placement, DialogClosed closed)
{
    if (!dialog)
        return nullptr;
    // Owned already (the open dialog shown again): nothing moves.
    if (IsOwnedHere(dialog.get()))
    {
        dialog.release();
        return nullptr;
    }
    // The host may open another dialog while hearing of the old one; that one is closed in turn,
    // and the host is drawn again under the new one in case the old one was larger.
    if (m_modal)
        SetDirty();
    // A dialog replaced from its own handler goes once the handler has returned.
    while (m_modal)
        Discard(CloseModal());
    CArea2* shown = dialog.get();
    m_modal = std::move(dialog);
    m_modalClosed = std::move(closed);
    m_modalFresh = true;
    shown->m_parent = this;
    MarkForTick();
    MarkForRender();
    m_placement = placement;
    PlaceDialog();
    shown->SetVisible(m_visible);
    return shown;
}

void CArea2::PlaceDialog()
{
    if (!m_modal)
        return;
    if (m_placement != kPlaceCentred)
    {
        m_modal->SetRect(GetLocalRect());
        return;
    }
    const uint32_t highest = m_height > kDialogMargin ? m_height - kDialogMargin : 0;
    if (m_modal->GetHeight() > highest)
        m_modal->SetHeight(highest);
    const int32_t x = int32_t(m_width / 2) - int32_t(m_modal->GetWidth() / 2);
    const int32_t y = int32_t(m_height / 2) - int32_t(m_modal->GetHeight() / 2);
    m_modal->SetPosition(CPoint(x, y));
}

void CArea2::Tick(float seconds)
{
    const CEventScope event;
    if (m_modal)
    {
        m_modal->Tick(seconds);
        // Nothing runs in the dialog once its tick has returned: it goes at once.
        if (m_modal && m_modal->GetResult() != kResultOpen)
        {
            CloseModal();
            SetDirty();
        }
    }
    if (m_ticking)
        OnTick(seconds);
    if (!m_tickBelow)
        return;
    // Cleared first: a tick below that gives this subtree new work marks it again.
    m_tickBelow = false;
    for (size_t i = 0; i < m_children.size(); ++i)
    {
        if (m_children[i]->HasTickWork())
            m_children[i]->Tick(seconds);
        // The child may have gone in its tick: whatever stands at its place now is asked.
        if (i < m_children.size() && m_children[i]->HasTickWork())
            m_tickBelow = true;
    }
}

void CArea2::SetTicking(bool ticking)
{
    m_ticking = ticking;
    if (ticking)
        MarkForTick();
}

void CArea2::MarkForTick()
{
    for (CArea2* area = this; area; area = area->m_parent)
        area->m_tickBelow = true;
}

std::unique_ptr<CArea2> CArea2::CloseModal()
{
    // The dialog leaves the modal place before its host hears of it, so that a dialog the host
    // opens meanwhile stays.
    std::unique_ptr<CArea2> dialog = std::move(m_modal);
    const DialogClosed closed = std::move(m_modalClosed);
    m_modalClosed = nullptr;
    ForgetChild(dialog.get());
    // The shade the dialog laid over the whole canvas goes with it: everything is painted again,
    // dimmed only by the dialogs still open.
    CArea2* top = this;
    while (top->m_parent)
        top = top->m_parent;
    top->SetDirty();
    const uint32_t result = dialog->GetResult();
    if (closed)
        closed(*dialog, result);
    OnDialogClosed(dialog.get(), result);
    return dialog;
}

// The base's handlers do nothing.

void CArea2::OnPointerDown(const CPoint&, uint32_t, bool*) {}
void CArea2::OnPointerMove(const CPoint&) {}
void CArea2::OnPointerUp(const CPoint&, bool*) {}
void CArea2::OnDoubleClick(const CPoint&, uint32_t, bool*) {}
void CArea2::OnWheel(const CPoint&, int32_t, bool*) {}
void CArea2::OnGesture(const CPoint&, bool*) {}
void CArea2::OnKeyDown(uint32_t, bool*) {}
void CArea2::OnKeyUp(uint32_t, bool*) {}
void CArea2::OnTextInput(const std::string&, bool*) {}
void CArea2::OnKeyRepeat(uint32_t, bool*) {}
void CArea2::OnTick(float)
{
    // Nothing to do in any frame.
    m_ticking = false;
}
void CArea2::Layout() {}
void CArea2::Paint(CTextureAdapter&) {}
void CArea2::OnVisibleChanged() {}
void CArea2::OnDialogClosed(CArea2*, uint32_t) {}
void CArea2::OnCommand(uint32_t, bool*) {}
