// Which requests change something on a peer: a password, the zone, a disk, the recorder's camera table, its
// cloud registration, an account or binding at the service. Tests use it to assert that a read-only run (a
// plan, a second apply) sent none; the request log marks every entry with it.
#pragma once
#include <string>

namespace sim {

// `kind` is the log's "udp", "http" or "https"; `request` its request text ("0x00a4", "GET /config/...").
// A write is a write whatever its outcome: a refused one was still sent.
bool isWriteRequest(const std::string &kind, const std::string &request);

}  // namespace sim
