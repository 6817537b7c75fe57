#include "pages/cloud/KelvaroRules.h"

#include <QLatin1StringView>
#include <array>

namespace vrx::kelvaro {
namespace {

struct RowWord {
  const char* word;
  Row row;
};
// The service's sign-up error words and the row each one concerns.
constexpr std::array<RowWord, 5> kRowWords{{
    {"SIGNUPERR001", Row::Email},     // the address already has an account
    {"SIGNUPERR006", Row::Email},     // the address is not valid
    {"SIGNUPERR002", Row::Password},  // too short
    {"SIGNUPERR003", Row::Password},  // confirmation differs
    {"SIGNUPERR004", Row::Password},  // too long
}};

}  // namespace

Row RowForServiceText(const QString& reply, Row fallback) {
  for (const RowWord& w : kRowWords)
    if (reply.contains(QLatin1StringView(w.word))) return w.row;
  return fallback;
}

}  // namespace vrx::kelvaro
