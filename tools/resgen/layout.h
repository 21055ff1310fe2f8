#pragma once

#include <vector>

// Where the pages put their widgets (768 x 1024 window). The backgrounds draw around these
// places, and the previews put the pictures on them to judge the pages whole.
namespace resgen::layout {

struct Box
{
    int x = 0, y = 0, w = 0, h = 0;
    int Right() const { return x + w; }
    int Bottom() const { return y + h; }
};

inline Box FromCorners(int x1, int y1, int x2, int y2) { return Box{x1, y1, x2 - x1 + 1, y2 - y1 + 1}; }

// n equal shares of a length with a gap; the outer two keep the exact share and the rest of
// the remainder is spread over the middle ones (as the pages lay out rows and columns).
inline std::vector<Box> Share(const Box& bounds, int n, int gap, bool sideBySide)
{
    std::vector<Box> out;
    if (n <= 0) {
        return out;
    }
    const int length = sideBySide ? bounds.w : bounds.h;
    const int origin = sideBySide ? bounds.x : bounds.y;
    std::vector<int> start(n), size(n);
    if (n == 1) {
        start[0] = origin;
        size[0] = length;
    } else {
        const int share = (length - (n - 1) * gap) / n;
        start[0] = origin;
        size[0] = share;
        start[n - 1] = origin + length - share;
        size[n - 1] = share;
        for (int i = 1; i < n - 1; ++i) {
            const int prevEnd = start[i - 1] + size[i - 1];
            start[i] = prevEnd + gap;
            size[i] = (start[n - 1] - prevEnd - (n - i) * gap) / (n - 1 - i);
        }
    }
    for (int i = 0; i < n; ++i) {
        out.push_back(sideBySide ? Box{start[i], bounds.y, size[i], bounds.h}
                                 : Box{bounds.x, start[i], bounds.w, size[i]});
    }
    return out;
}

// 8 rows of 8 with no gap.
inline std::vector<Box> Rows(const Box& bounds)
{
    std::vector<Box> cells;
    const int rowHeight = bounds.h / 8;
    for (int r = 0; r < 8; ++r) {
        const Box row{bounds.x, bounds.y + r * rowHeight, bounds.w, rowHeight};
        for (const Box& cell : Share(row, 8, 0, true)) {
            cells.push_back(cell);
        }
    }
    return cells;
}

// Shared by every page.
constexpr int kWidth = 768;
constexpr int kHeight = 1024;
constexpr int kHeaderBottom = 78;
inline const Box kPatch{1, 25, 98, 48};
inline const Box kOptions{103, 25, 97, 48};
inline const Box kBack{3, 25, 98, 48};
inline const Box kLamp{197, 43, 18, 18};
constexpr int kTitleX = 228;

// Playback page.
inline const Box kPlaybackGrid = FromCorners(8, 78, 758, 669);
constexpr int kModeX[5] = {382, 460, 535, 610, 685};  // edit, release, rename, swap, props
// The heading of the mode keys sits centred over them at row 13, in a gap this far either side.
constexpr int kModeHeadingHalf = 50;
constexpr int kStripPitch = 94;
inline Box Knob(int i) { return Box{8 + kStripPitch * i, 683, 94, 77}; }
inline Box Fader(int i) { return Box{17 + kStripPitch * i, 760, 76, 200}; }
inline Box Flash(int i) { return Box{22 + kStripPitch * i, 957, 72, 60}; }
// Cap geometry: top -9 at full, 112 at zero; the cap's value line lies 33 rows below its top.
constexpr int kCapTopFull = -9;
constexpr int kCapTopZero = 112;
constexpr int kCapValueLine = 33;

// Patch page.
inline const Box kPatchTiles = FromCorners(9, 105, 758, 822);
inline const Box kPersonality{17, 847, 115, 38};
inline const Box kPatchRename{17, 890, 115, 38};
inline const Box kPatchAddress{17, 928, 115, 38};
inline const Box kClear{141, 847, 100, 38};
constexpr int kOptionX[4] = {378, 444, 507, 570};  // invert pan, invert tilt, swap, dimmer
constexpr int kOptionY = 935;

// Edit page.
inline const Box kCueGrid{10, 106, 642, 94};
constexpr int kCueButtonX = 659;
constexpr int kCueButtonY[9] = {99, 152, 250, 304, 353, 402, 618, 673, 723};
inline const Box kEditTiles = FromCorners(8, 255, 655, 773);
// The pad reaches below the faders, over the width they leave it, for its handles' strips.
inline const Box kPad{8, 822, 198, 194};
inline const Box kFaderBand{kPad.x + kPad.w, 822, 758 - kPad.x - kPad.w, 174};
constexpr int kSoftStripY = 790;

// Settings page.
constexpr int kSideButtonX = 659;
constexpr int kDeviceButtonY[4] = {99, 153, 202, 251};
constexpr int kFileButtonY[5] = {575, 629, 678, 727, 776};
inline const Box kDeviceList{10, 106, 643, 419};
inline const Box kLanguageList{10, 582, 204, 419};
inline const Box kFileList{232, 582, 420, 419};
constexpr int kDeviceColumns[6] = {0, 182, 297, 397, 506, 584};  // starts within the list
constexpr int kFileColumns[3] = {0, 170, 320};
inline const Box kLock{619, 491, 32, 32};
inline const Box kVersion{664, 980, 100, 15};

}  // namespace resgen::layout
