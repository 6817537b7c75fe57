#pragma once
// The recorder setup pages (types 6-9: search, administrator password, time zone, disks) and their popups.

namespace vrx {
// Registers the recorder pages and their overlay kinds; called by RegisterAllPages.
void RegisterRecorderPages();
}  // namespace vrx
