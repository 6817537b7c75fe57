#pragma once
// What a step would do, decided before anything is written from what the step read and what is asked of it:
// nothing, a change, or a refusal (the step must not be done on this recorder). The decisions are pure
// functions beside their steps; vrx-provision's survey and plan are made of them, and a page calls the same
// function where it decides the same thing.
//
// `before` and `after` are the step's value as a report shows it (never a secret); `reason` is a short machine
// word for why it changes or is refused ("zone_differs", "disk_model_differs"), empty when unchanged;
// `detail` is one line of English for a person.

#include <optional>
#include <string>

namespace vrx::steps {

enum class Verdict { Unchanged, WouldChange, Refused };

struct Decision {
  Verdict verdict = Verdict::Unchanged;
  std::string reason;
  std::string detail;
  std::optional<std::string> before, after;

  bool changes() const { return verdict == Verdict::WouldChange; }
  bool refused() const { return verdict == Verdict::Refused; }
};

// A text a peer sent, as a decision's detail quotes it: cleaned, at most 64 bytes, in double quotes.
std::string ShownPeerText(const std::string& peerText);

// The worse of two verdicts, for a step of several parts (two disks, several cameras).
Verdict Worse(Verdict a, Verdict b);

}  // namespace vrx::steps
