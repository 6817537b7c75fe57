#pragma once
// A peer's text as the program holds it: cleaned (net::CleanPeerText: well-formed UTF-8, no control or
// bidirectional characters) and bounded, once, at the point where it enters from the recorder, a camera or
// the cloud service. Everything after that point (pages, summary, launcher, log) takes it as it is.
#include <QString>
#include <string_view>

namespace vrx::steps {

// The most characters any one peer text keeps; a longer one is cut (a zone name, a model, an e-mail, a
// portal host are all far shorter).
inline constexpr int kPeerTextMaxChars = 256;

QString PeerQText(std::string_view utf8, int maxChars = kPeerTextMaxChars);
QString PeerQText(const QString& text, int maxChars = kPeerTextMaxChars);

}  // namespace vrx::steps
