#pragma once
// Pure readers of what the recorder, the cameras and the account service send back. None of them can read
// outside the given text; all of them accept any bytes.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vrx::net {

// The recorder's reply format: "\r\n"-separated lines, each split at its first "="; lines without "=" are
// skipped. The value of the first line whose key equals `key` exactly, or "" when there is none.
std::string ReplyValue(std::string_view reply, std::string_view key);

// The reply split at "\r\n" into items (the camera list of the recorder, one camera per item), keeping at most
// `maxItems`. A trailing "\r\n" does not make an empty last item.
std::vector<std::string> SplitReplyItems(std::string_view reply, std::size_t maxItems);

// One line of the recorder's camera list split at ";" from the left into its nine fields (status, address,
// cameraId, brand, model, account, password, reserved, protocolType): missing fields stay empty, fields past
// the ninth are ignored.
std::array<std::string, 9> SplitCameraLine(std::string_view line);

// A Set-Cookie value split at "; " into key=value pairs: the value of `key`, or "" when there is none.
std::string CookieValue(std::string_view setCookie, std::string_view key);

// The text up to the first zero byte (a reply buffer read as text).
std::string_view UpToZero(std::string_view bytes);

}  // namespace vrx::net
