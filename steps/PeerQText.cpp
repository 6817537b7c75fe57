#include "steps/PeerQText.h"

#include "net/PeerText.h"

namespace vrx::steps {

QString PeerQText(std::string_view utf8, int maxChars) {
  QString text = QString::fromStdString(net::CleanPeerText(utf8));
  if (text.size() > maxChars) {
    int cut = maxChars;
    if (cut > 0 && text.at(cut - 1).isHighSurrogate()) --cut;  // never split a character in two
    text.truncate(cut);
  }
  return text;
}

QString PeerQText(const QString& text, int maxChars) { return PeerQText(text.toStdString(), maxChars); }

}  // namespace vrx::steps
