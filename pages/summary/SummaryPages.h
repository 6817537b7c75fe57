#pragma once

namespace vrx {
// Registers the summary page (type 12) with the host's page registry.
void RegisterSummaryPages();
}  // namespace vrx
