#include "Codec.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <array>
#include <cctype>

namespace sim {
namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string toHex(const unsigned char *data, size_t n) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(n * 2);
  for (size_t i = 0; i < n; ++i) {
    out += digits[data[i] >> 4];
    out += digits[data[i] & 15];
  }
  return out;
}
}  // namespace

std::string base64Encode(std::string_view data) {
  std::string out;
  out.reserve((data.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < data.size(); i += 3) {
    unsigned v = (unsigned char)data[i] << 16 | (unsigned char)data[i + 1] << 8 | (unsigned char)data[i + 2];
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (size_t rest = data.size() - i; rest > 0) {
    unsigned v = (unsigned char)data[i] << 16 | (rest == 2 ? (unsigned char)data[i + 1] << 8 : 0);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::optional<std::string> base64Decode(std::string_view text) {
  while (!text.empty() && text.back() == '=') text.remove_suffix(1);
  if (text.size() % 4 == 1) return std::nullopt;
  std::string out;
  unsigned acc = 0;
  int bits = 0;
  for (char c : text) {
    int v = base64Value(c);
    if (v < 0) return std::nullopt;
    acc = (acc << 6) | unsigned(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += char((acc >> bits) & 0xFF);
    }
  }
  return out;
}

std::string md5Hex(std::string_view data) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int len = 0;
  EVP_Digest(data.data(), data.size(), digest.data(), &len, EVP_md5(), nullptr);
  return toHex(digest.data(), len);
}

std::string randomHex(size_t bytes) {
  std::string raw(bytes, '\0');
  RAND_bytes(reinterpret_cast<unsigned char *>(raw.data()), int(bytes));
  return toHex(reinterpret_cast<const unsigned char *>(raw.data()), bytes);
}

std::string percentDecode(std::string_view text, bool plusIsSpace) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%' && i + 2 < text.size()) {
      int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += char(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += (plusIsSpace && c == '+') ? ' ' : c;
  }
  return out;
}

std::map<std::string, std::string> splitQuery(std::string_view query, bool plusIsSpace) {
  std::map<std::string, std::string> out;
  for (const std::string &piece : splitString(query, '&')) {
    if (piece.empty()) continue;
    size_t eq = piece.find('=');
    std::string key = percentDecode(std::string_view(piece).substr(0, eq), plusIsSpace);
    std::string value = eq == std::string::npos ? "" : percentDecode(std::string_view(piece).substr(eq + 1), plusIsSpace);
    out.emplace(std::move(key), std::move(value));  // emplace keeps the first value
  }
  return out;
}

std::string_view queryOf(std::string_view target) {
  size_t q = target.find('?');
  return q == std::string_view::npos ? std::string_view{} : target.substr(q + 1);
}

std::vector<std::string> splitString(std::string_view text, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t pos = text.find(sep, start);
    out.emplace_back(text.substr(start, pos == std::string_view::npos ? std::string_view::npos : pos - start));
    if (pos == std::string_view::npos) break;
    start = pos + 1;
  }
  return out;
}

std::string toLower(std::string_view text) {
  std::string out(text);
  for (char &c : out) c = char(std::tolower((unsigned char)c));
  return out;
}

}  // namespace sim
