#pragma once
// How many cameras one recorder records at most: the camera page ticks no more, an answer file lists no
// more, and no run makes the recorder record more. Qt-free: the answer file's reader includes it.

namespace vrx::steps {

inline constexpr int kMaxCameras = 4;

}  // namespace vrx::steps
