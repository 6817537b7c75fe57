#pragma once
// What a peer sends, made safe before it is used or shown: an address check for the cameras and the recorder,
// and a cleaner for every text a peer names (model names, addresses, portal texts) before it is shown on a
// page or written to the log.
#include <string>
#include <string_view>

namespace vrx::net {

// True for a dotted IPv4 address ("192.168.1.20": four decimal parts 0-255, no sign, no leading zero but a lone
// "0"), optionally followed by ":" and a port 1-65535. Anything else ("10.0.0.5@127.0.0.99", "127.0.0.31/../x",
// a name, a blank) is not an address the wizard contacts.
bool IsDeviceAddress(std::string_view text);

// The text as it may be shown: well-formed UTF-8 (each broken sequence becomes U+FFFD), with control characters
// (C0, DEL, C1) and the bidirectional controls (U+061C, U+200E, U+200F, U+202A-U+202E, U+2066-U+2069) left out,
// so a peer can neither reorder what the user reads nor send terminal escapes.
std::string CleanPeerText(std::string_view utf8);

}  // namespace vrx::net
