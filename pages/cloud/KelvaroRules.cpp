#include "pages/cloud/KelvaroRules.h"

#include <QLatin1StringView>
#include <array>

namespace vrx::kelvaro {
namespace {

constexpr QLatin1StringView kSpecials{"()<>@,;:\\\"[]"};

// Printable ASCII: above the blank, not DEL, nothing above 127.
bool Printable(QChar c) { return c.unicode() > 32 && c.unicode() < 127; }
bool Plain(QChar c) { return Printable(c) && !kSpecials.contains(c); }

// Reads the quoted string that opens at s[i] (a double quote); on success i is at its closing quote.
bool SkipQuoted(const QString& s, qsizetype& i) {
  for (++i; i < s.size() && s[i] != u'"'; ++i) {
    if (s[i] == u'\\') {
      if (++i >= s.size()) return false;
      if (s[i] != u' ' && !Printable(s[i])) return false;
    } else if (s[i] != u' ' && !Printable(s[i])) {
      return false;
    }
  }
  return i < s.size();
}

struct RowWord {
  const char* word;
  Row row;
};
// The service's error words and the row each one concerns.
constexpr std::array<RowWord, 7> kRowWords{{
    {"SIGNUPERR001", Row::Email},     // the address already has an account
    {"SIGNUPERR006", Row::Email},     // the address is not valid
    {"SIGNINERR002", Row::Email},     // no account for the address
    {"SIGNUPERR002", Row::Password},  // too short
    {"SIGNUPERR003", Row::Password},  // confirmation differs
    {"SIGNUPERR004", Row::Password},  // too long
    {"SIGNINERR003", Row::Password},  // wrong password
}};

}  // namespace

bool IsValidEmail(const QString& s) {
  if (s.isEmpty()) return false;
  qsizetype at = -1;
  for (qsizetype i = 0; i < s.size() && at < 0; ++i) {
    const QChar c = s[i];
    const bool opensQuote = c == u'"' && (i == 0 || s[i - 1] == u'.' || s[i - 1] == u'"');
    if (opensQuote) {
      if (!SkipQuoted(s, i) || i + 1 >= s.size()) return false;
      if (s[i + 1] == u'@') at = i + 1;
      else if (s[i + 1] != u'.') return false;
    } else if (c == u'@') {
      at = i;
    } else if (!Plain(c)) {
      return false;
    }
  }
  if (at <= 0 || s[at - 1] == u'.') return false;

  const qsizetype domain = at + 1;
  if (domain >= s.size()) return false;
  int dots = 0;
  for (qsizetype i = domain; i < s.size(); ++i) {
    if (s[i] == u'.') {
      if (i == domain || s[i - 1] == u'.') return false;
      ++dots;
    } else if (!Plain(s[i])) {
      return false;
    }
  }
  return dots > 0;
}

Row RowForServiceText(const QString& reply, Row fallback) {
  for (const RowWord& w : kRowWords)
    if (reply.contains(QLatin1StringView(w.word))) return w.row;
  return fallback;
}

bool IsUsableAnswer(const QString& reply) { return reply.size() >= kShortestAnswer; }

bool IsSuccess(const QString& reply) { return reply.contains(QLatin1StringView("success")); }

bool BindNamesRecorder(const QString& reply, const QString& portalNumber) {
  return !portalNumber.isEmpty() && reply.contains(portalNumber) && reply.contains(QLatin1StringView(kModel));
}

}  // namespace vrx::kelvaro
