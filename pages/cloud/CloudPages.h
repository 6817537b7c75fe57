#pragma once

namespace vrx {
// Registers the cloud service page (type 11) with the host's page registry.
void RegisterCloudPages();
}  // namespace vrx
