#pragma once

// What several benchmarks stand on: the run-time data beside the program, and a window-sized page
// picture under a root area.
#include "graphics/zevral_image.h"
#include "screens/pages/area_image.h"
#include "widgets/area.h"

#include <unistd.h>

#include <memory>
#include <string>

namespace bench
{
// <build>/Resources, beside the benchmark's bin folder.
inline std::string ResourcesFolder()
{
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    std::string exe(path, length > 0 ? size_t(length) : 0);
    for (int i = 0; i < 2 && exe.find('/') != std::string::npos; ++i)
        exe.erase(exe.rfind('/'));
    return exe + "/Resources";
}

// A shown root of the window's size holding a dark page picture of the same size.
struct CPictureRoot
{
    CPictureRoot() : root(std::make_unique<CArea2>(nullptr, false, 768, 1024))
    {
        root->SetVisible(true);
        CZevralImage picture(768, 1024);
        picture.Fill(CRgbaColour(30, 32, 36, 255));
        auto made = std::make_unique<CAreaImage>(root.get(), picture, false);
        made->SetSize(768, 1024);
        page = root->AddChild(std::move(made));
    }

    std::unique_ptr<CArea2> root;
    CAreaImage* page = nullptr;
};
}  // namespace bench
