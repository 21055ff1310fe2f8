#include "graphics/picture_ahead.h"

#include "graphics/zevral_image.h"

#include <SDL_thread.h>

#include <future>
#include <map>
#include <mutex>

namespace
{
struct SPicturesAhead
{
    std::mutex mutex;
    std::map<std::string, std::future<CZevralImage>> pictures;
};

SPicturesAhead& PicturesAhead()
{
    // A picture nobody took is waited for as the process ends.
    static SPicturesAhead ahead;
    return ahead;
}
}  // namespace

void DecodePictureAhead(const std::string& path)
{
    SPicturesAhead& ahead = PicturesAhead();
    std::lock_guard<std::mutex> lock(ahead.mutex);
    if (ahead.pictures.count(path) != 0)
        return;
    ahead.pictures.emplace(path, std::async(std::launch::async, [path] {
                               CZevralImage image;
                               image.Load(path);
                               // SDL keeps an error text per thread; on a thread it did not make,
                               // only this lets it go.
                               SDL_TLSCleanup();
                               return image;
                           }));
}

bool TakePictureDecodedAhead(const std::string& path, CZevralImage& image)
{
    std::future<CZevralImage> picture;
    {
        SPicturesAhead& ahead = PicturesAhead();
        std::lock_guard<std::mutex> lock(ahead.mutex);
        const auto found = ahead.pictures.find(path);
        if (found == ahead.pictures.end())
            return false;
        picture = std::move(found->second);
        ahead.pictures.erase(found);
    }
    image = picture.get();
    return true;
}
