// The recorder's time-zone names in each language it knows, numbered 1.. in the same order for every language.
#pragma once
#include <string>
#include <vector>

namespace sim {

// Language ids the recorder understands: 4 English, 5 Spanish, 16 Portuguese, 19 Russian, 22 Simplified Chinese,
// 23 Traditional Chinese; any other id gets the English names.
const std::vector<std::string> &zoneNames(int languageId);
int zoneCount();

}  // namespace sim
