#pragma once
// Texts that go into URLs and form bodies.
#include <string>
#include <string_view>

namespace vrx::net {

// RFC 3986 unreserved characters (A-Z a-z 0-9 - . _ ~) stay, every other byte of the UTF-8 text becomes %XX:
// a standard query or form decoder on the other side gets back exactly the text we were given.
std::string PercentEncode(std::string_view text);

// True for a bare DNS name or dotted IPv4 address: letters, digits, '-' and '.', labels of 1-63 characters
// that neither begin nor end with '-', 253 characters at most. A scheme, path, user, port, query or fragment
// ("/", "@", ":", "?", "#") and blanks are refused.
bool IsBareHostName(std::string_view host);

}  // namespace vrx::net
