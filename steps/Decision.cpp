#include "steps/Decision.h"

#include "net/PeerText.h"

namespace vrx::steps {

std::string ShownPeerText(const std::string& peerText) {
  constexpr std::size_t kShownBytes = 64;
  std::string clean = net::CleanPeerText(peerText);
  if (clean.size() > kShownBytes) {
    std::size_t cut = kShownBytes;
    while (cut > 0 && (static_cast<unsigned char>(clean[cut]) & 0xC0) == 0x80) --cut;  // a whole character
    clean = clean.substr(0, cut) + "...";
  }
  return "\"" + clean + "\"";
}

Verdict Worse(Verdict a, Verdict b) { return int(a) >= int(b) ? a : b; }

}  // namespace vrx::steps
