// What the account service and the recorder answer about the cloud: the e-mail check, the reply verdicts, the
// row a message belongs to, the recorder's registration (kelvaroreginfo) and its portal values. The first byte
// splits the input into a reply and a second text (portal number, address).
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include <QString>

#include "pages/cloud/KelvaroRules.h"
#include "steps/PeerQText.h"
#include "steps/cloud/CloudRules.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string all(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t cut = std::min<std::size_t>(data[0], all.size());
  const std::string reply = all.substr(cut), other = all.substr(0, cut);
  const QString replyText = QString::fromStdString(reply), otherText = QString::fromStdString(other);

  for (const QString& address : {replyText, otherText}) {
    if (!steps::IsValidEmail(address)) continue;
    if (!address.contains(u'@')) __builtin_trap();
    for (QChar c : address)
      if (c.unicode() < 32 || c.unicode() > 126) __builtin_trap();  // controls, DEL and non-ASCII are refused
  }
  (void)kelvaro::RowForServiceText(replyText, kelvaro::Row::None);
  if (steps::IsSuccess(replyText) && !steps::IsUsableAnswer(replyText)) __builtin_trap();  // "success" is 7
  if (steps::BindNamesRecorder(replyText, otherText) && (otherText.isEmpty() || !replyText.contains(otherText)))
    __builtin_trap();

  const steps::CloudRegistration registration = steps::ParseRegistration(reply);
  // Cleaned and bounded as they come in: at most kPeerTextMaxChars characters each. Counted in characters, not
  // against the reply's bytes: the cleaner makes each invalid byte one U+FFFD, three bytes in UTF-8.
  for (const QString* v : {&registration.status, &registration.email})
    if (v->size() > steps::kPeerTextMaxChars) __builtin_trap();
  const std::string_view password = registration.password.View();
  if (QString::fromUtf8(password.data(), qsizetype(password.size())).size() > steps::kPeerTextMaxChars)
    __builtin_trap();
  if (const auto values = steps::SplitPortalResult(reply)) {
    for (std::size_t i = 0; i + 1 < values->size(); ++i)
      if ((*values)[i].contains(u'&')) __builtin_trap();  // only the last value takes the rest of the text
  }
  return 0;
}
