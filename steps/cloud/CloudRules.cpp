#include "steps/cloud/CloudRules.h"

#include <QLatin1StringView>

#include "net/ReplyParsers.h"
#include "steps/PeerQText.h"

namespace vrx::steps {
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

std::optional<CloudValues> SplitPortalResult(const std::string& result) {
  if (result.empty() || result == "-1") return std::nullopt;
  const QString text = QString::fromStdString(result);
  CloudValues values;
  int from = 0;
  for (int i = 0; i < kCloudValueCount; ++i) {
    const int amp = i + 1 < kCloudValueCount ? text.indexOf(QLatin1Char('&'), from) : -1;
    if (amp < 0) {
      values[std::size_t(i)] = from <= text.size() ? text.mid(from) : QString();
      from = text.size() + 1;
    } else {
      values[std::size_t(i)] = text.mid(from, amp - from);
      from = amp + 1;
    }
  }
  return values;
}

CloudRegistration ParseRegistration(const std::string& reply) {
  auto value = [&reply](const char* key) { return PeerQText(net::ReplyValue(reply, key)); };
  CloudRegistration r{value("status"), value("email"), {}};
  std::string password = value("password").toStdString();
  r.password = net::Secret::Taking(password);
  return r;
}

bool IsUsableAnswer(const QString& reply) { return reply.size() >= kShortestAnswer; }

bool IsSuccess(const QString& reply) { return reply.contains(QLatin1StringView("success")); }

bool BindNamesRecorder(const QString& reply, const QString& portalNumber) {
  return !portalNumber.isEmpty() && reply.contains(portalNumber) && reply.contains(QLatin1StringView(kRecorderModel));
}

CloudOffer OfferOf(const CloudValues& values) {
  return {values[kCloudAccess] == QLatin1String("1"), values[kCloudStatus] == QLatin1String("1")};
}

bool AsksForAccount(const CloudValues& values) {
  const CloudOffer offer = OfferOf(values);
  return offer.offered && !offer.registered;
}

CloudValues SkippedCloud(CloudValues values) {
  if (AsksForAccount(values)) values[kCloudAccess].clear();
  return values;
}

Decision DecideCloud(CloudWish wish, const std::string& email, const CloudValues& values,
                     const QString& registeredEmail) {
  const CloudOffer offer = OfferOf(values);
  const std::string registered = registeredEmail.toStdString();
  const std::optional<std::string> now = offer.registered ? std::optional(registered) : std::nullopt;
  if (wish == CloudWish::Skip) {
    const char* what = offer.registered ? "skipped; the recorder is registered already"
                       : offer.offered  ? "skipped; the launcher opens the recorder's own link"
                                        : "skipped; the recorder does not offer the service";
    return {Verdict::Unchanged, "", what, now, now};
  }
  if (offer.registered) {
    if (registered == email) return {Verdict::Unchanged, "", "registered to " + ShownPeerText(email), now, now};
    return {Verdict::Refused, "registered_elsewhere", "registered to another account, " + ShownPeerText(registered),
            now, std::nullopt};
  }
  if (!offer.offered)
    return {Verdict::Refused, "not_offered", "the recorder does not offer the cloud service", std::nullopt,
            std::nullopt};
  return {Verdict::WouldChange, "not_registered",
          std::string(wish == CloudWish::SignUp ? "sign up " : "sign in as ") + ShownPeerText(email) +
              ", bind the recorder",
          std::nullopt, email};
}

}  // namespace vrx::steps
