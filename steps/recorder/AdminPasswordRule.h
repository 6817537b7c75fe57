#pragma once
// The recorder's rule for a new administrator password, without its messages (those are the page's):
// 6 to 31 characters, each an ASCII digit or an ASCII letter; letter case counts.

#include <QStringView>
#include <string_view>

namespace vrx::steps {

inline constexpr int kMinAdminPasswordLength = 6;
inline constexpr int kMaxAdminPasswordLength = 31;

// The same rule for the text as typed (UTF-16) and as held in a net::Secret (UTF-8): any character outside
// ASCII breaks it, so code units and characters count alike wherever the rule holds.
bool KeepsAdminPasswordRule(QStringView password);
bool KeepsAdminPasswordRule(std::string_view utf8Password);

enum class NewPasswordFault {
  None,      // the password keeps the rule and the confirmation equals it
  Rule,      // the password breaks the rule
  Mismatch,  // the password keeps the rule, the confirmation differs (case-sensitive)
};

NewPasswordFault CheckNewAdminPassword(QStringView password, QStringView confirmation);

}  // namespace vrx::steps
