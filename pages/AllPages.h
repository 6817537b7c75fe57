#pragma once

namespace vrx {
// Registers a factory for every page type with the host's page registry; called once by main.
void RegisterAllPages();
}  // namespace vrx
