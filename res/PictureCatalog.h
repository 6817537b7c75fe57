// The catalogue of the wizard's pictures, generated from res/art/pictures.tsv: which resource ids exist,
// of which kind, at which size. The pictures themselves are the resources ":/png/<id>.png",
// ":/bmp/<id>.png" and ":/ico/<id>.ico" of this library.
#pragma once

#include <span>

namespace vrx::res {

struct PictureInfo {
  int id;
  const char* kind;  // "png", "bmp" or "ico"
  int width;
  int height;
};

std::span<const PictureInfo> AllPictures();

}  // namespace vrx::res
