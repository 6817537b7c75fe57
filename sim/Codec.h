// Small text codecs the simulated peers need: Base64 (datagram fields, Basic credentials), MD5 hex (Digest),
// percent-decoding and query/form splitting that keep '+' as sent (Base64 values travel in query strings).
#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

std::string base64Encode(std::string_view data);
// nullopt for characters outside the alphabet or a bad length; padding is optional.
std::optional<std::string> base64Decode(std::string_view text);

std::string md5Hex(std::string_view data);
std::string randomHex(size_t bytes);

// %XX -> byte (malformed escapes are kept literally); '+' becomes a blank only when plusIsSpace.
std::string percentDecode(std::string_view text, bool plusIsSpace);

// "a=1&b=2": first value wins for a repeated key, pieces without '=' map to an empty value.
std::map<std::string, std::string> splitQuery(std::string_view query, bool plusIsSpace);

// The query part of a request target ("/p?x=1" -> "x=1").
std::string_view queryOf(std::string_view target);

std::vector<std::string> splitString(std::string_view text, char sep);
std::string toLower(std::string_view text);

}  // namespace sim
