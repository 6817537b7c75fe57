#pragma once
// What the recorder search page decides without a window: which discovery replies become rows, and how the
// MAC popup shows the chosen recorder's MAC address.

#include <QString>
#include <vector>

#include "net/DiscoveryProtocol.h"

namespace vrx {

inline constexpr char kRecorderModel[] = "VRX-410Q";

struct NvrRow {
  int number = 0;  // running number from 1
  QString ip;      // dotted IPv4 text
  QString mac;     // "00:1b:2c:3d:4e:5f"
};

// The rows for the search results, in result order: replies of the product's own model (exact,
// case-sensitive) with an address other than 0.0.0.0, numbered from 1. A repeated reply of a device already
// listed (same MAC and address, heard again or on a second adapter) is not listed twice.
std::vector<NvrRow> ListRecorders(const std::vector<net::DiscoveredDevice>& results);

// The popup's MAC text: upper case without colons ("001B2C3D4E5F"), or sixteen "x" when no row is chosen.
QString MacDisplayText(const QString& macOrEmpty);

}  // namespace vrx
