#pragma once

#include <string>

class CZevralImage;

// Pictures decoded on a worker thread of their own ahead of their first use, so that start-up
// goes on with other work meanwhile (the start page's background is most of the decoding the
// first frame waits for). The worker touches nothing but the file and its own image.

// Starts decoding the file; nothing when it is already being decoded ahead.
void DecodePictureAhead(const std::string& path);
// The picture decoded ahead from the file, waited for if still being decoded; false when no
// decoding was started for it (or it was taken already).
bool TakePictureDecodedAhead(const std::string& path, CZevralImage& image);
