#pragma once
// The HTTP requests that only read: what a read-only client (HttpGet::SetReadOnly) may still send. Everything
// else (a zone set, a format, a camera added or removed, a password, a cloud registration, any POST) changes
// a device or the account service and is refused before anything leaves. A list of the reads rather than of
// the writes, so that a request nobody has judged is refused, never sent by mistake.
#include <string_view>

namespace vrx::net {

// `method` "GET" or "POST"; `path` with its query ("/config/datetime?timezone=3").
bool IsReadOnlyRequest(std::string_view method, std::string_view path);

}  // namespace vrx::net
