#include "steps/recorder/AdminPasswordRule.h"

#include <algorithm>

namespace vrx::steps {
namespace {

constexpr bool IsAsciiLetterOrDigit(char32_t u) {
  return (u >= U'0' && u <= U'9') || (u >= U'A' && u <= U'Z') || (u >= U'a' && u <= U'z');
}

// `units` is a range of code units; `unit` turns one into its value.
template <typename Units, typename Unit>
bool KeepsRule(const Units& units, Unit unit) {
  const auto length = std::ranges::distance(units);
  if (length < kMinAdminPasswordLength || length > kMaxAdminPasswordLength) return false;
  return std::ranges::all_of(units, [&](auto u) { return IsAsciiLetterOrDigit(unit(u)); });
}

}  // namespace

bool KeepsAdminPasswordRule(QStringView password) {
  return KeepsRule(password, [](QChar c) { return char32_t(c.unicode()); });
}

bool KeepsAdminPasswordRule(std::string_view utf8Password) {
  return KeepsRule(utf8Password, [](char c) { return char32_t(static_cast<unsigned char>(c)); });
}

NewPasswordFault CheckNewAdminPassword(QStringView password, QStringView confirmation) {
  if (!KeepsAdminPasswordRule(password)) return NewPasswordFault::Rule;
  return password == confirmation ? NewPasswordFault::None : NewPasswordFault::Mismatch;
}

}  // namespace vrx::steps
