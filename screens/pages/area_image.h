#pragma once

#include "graphics/zevral_image.h"
#include "widgets/area.h"
#include "widgets/callback.h"

#include <string>

// An area that shows one picture: a skin image, a glyph or an image handed in. The four pages are
// built on it with their skin backgrounds, and own-surface widgets on a page carry the part of the
// picture that lies under them. It can also stand alone as a small picture that reacts to a click.
class CAreaImage : public CArea2
{
public:
    // Callbacks run only when their context is set; they are told the area and the button.
    using ButtonCallback = void (*)(void* context, CAreaImage* area, uint32_t button, bool* handled);
    using ReleaseCallback = void (*)(void* context, CAreaImage* area, bool* handled);

    // The parent's size (100 x 100 without a parent), transparent around the skin image of that
    // name; with scaleToFit the area takes the picture's size and the picture is scaled to the
    // area when painted.
    CAreaImage(CArea2* parent, const std::string& skinImageName, bool scaleToFit);
    // 100 x 100 with the glyph of that page and name.
    CAreaImage(CArea2* parent, const std::string& glyphPage, const std::string& glyphName, bool scaleToFit);
    // 100 x 100 with a copy of the image, on dark grey.
    CAreaImage(CArea2* parent, const CZevralImage& image, bool scaleToFit);

    const CZevralImage& GetImage() const { return m_shared ? *m_shared : m_picture; }
    // A different picture repaints the area and gives it the picture's size.
    void SetImage(const CZevralImage& image);
    float GetBrightness() const { return m_brightness; }
    // Below 1 the picture is drawn darkened.
    void SetBrightness(float brightness);

    void SetClickCallback(void* context, ButtonCallback function) { m_click.Set(context, function); }
    void SetPressCallback(void* context, ButtonCallback function) { m_press.Set(context, function); }
    void SetReleaseCallback(void* context, ReleaseCallback function) { m_release.Set(context, function); }
    void SetDoubleClickCallback(void* context, ButtonCallback function) { m_doubleClick.Set(context, function); }
    // Runs the click callback and takes the event, when there is one.
    void OnClick(const CPoint& point, uint32_t button, bool* handled);

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnPointerUp(const CPoint& point, bool* handled) override;
    void OnDoubleClick(const CPoint& point, uint32_t button, bool* handled) override;
    void Paint(CTextureAdapter& canvas) override;
    // A picture copied as it is, at least the area's size.
    bool PaintsEveryPixel() const override;
    // The child's own image receives the picture under it, whatever this area's own surface.
    void CopyBackgroundTo(CArea2* child) override;

private:
    void Init(bool scaleToFit);

    // Runs the callback when it is set; the event is then taken.
    void Run(const CCallback<ButtonCallback>& callback, uint32_t button, bool* handled);

    // A skin picture is shown from the skin's own decoded copy, which lives as long as the skin:
    // a page background is the size of the window, and a copy of it per page would cost
    // megabytes. Any other picture is the area's own.
    const CZevralImage* m_shared = nullptr;
    CZevralImage m_picture;
    CCallback<ButtonCallback> m_click;
    CCallback<ButtonCallback> m_press;
    CCallback<ReleaseCallback> m_release;
    CCallback<ButtonCallback> m_doubleClick;
    bool m_scaleToFit = false;
    float m_brightness = 1.0f;
};
