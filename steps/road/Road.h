#pragma once
// The road, once: every piece of work the wizard does to a recorder, in the order its pages do it. A
// front-end that walks the road (vrx-provision's runner, the whole-road test) takes its order from here.
//
// A report names eight steps; a step may be made of several stages that are not next to each other: the
// camera page reads the recorder's cloud state before it sends the camera update (the cloud page needs that
// state, and the update must not run when it cannot be read), so the cloud step's read comes between the
// cameras' passwords and their update. The steps' order is the order their first stages come in.

#include <array>
#include <cstddef>
#include <string_view>

namespace vrx::steps::road {

// The report's steps.
enum class Step : int { Discover, Probe, Password, Zone, Disks, Cameras, Cloud, Launcher };
inline constexpr int kStepCount = 8;

// What each stage is, by the step that does it (see the steps' headers).
enum class Stage : int {
  FindRecorder,     // DiscoverRecorders, then FindRecorderByMac
  ProbeBlank,       // ProbeBlankPassword: is the recorder new?
  AdminPassword,    // CheckAdminPassword, SetAdminPassword
  ReadZones,        // ReadZones
  SetZone,          // SetZone: the zone, then manual recording
  ReadDisks,        // ReadDiskBays
  FormatDisks,      // FormatDisks
  ListCameras,      // ListCameras
  CameraPasswords,  // CheckCameraPassword, SetCameraPassword
  ReadCloud,        // ReadCloudStatus
  UpdateCameras,    // UpdateCameras
  JoinCloud,        // RegisterAccount (the cloud page's sequence); skipped: the access value emptied
  WriteLauncher,    // the launcher FINISH leaves on the desktop
};

struct StageOfRoad {
  Stage stage;
  Step step;
  bool writes;  // it changes the recorder, a camera, the service or the desktop
};

// The road in the wizard's order: pages 6 (search), 7 (password), 8 (time zone), 9 (disks), 10 (cameras),
// 11 (cloud) and 12 (summary, FINISH).
inline constexpr StageOfRoad kRoad[] = {
    {Stage::FindRecorder, Step::Discover, false},    {Stage::ProbeBlank, Step::Probe, false},
    {Stage::AdminPassword, Step::Password, true},    {Stage::ReadZones, Step::Zone, false},
    {Stage::SetZone, Step::Zone, true},              {Stage::ReadDisks, Step::Disks, false},
    {Stage::FormatDisks, Step::Disks, true},         {Stage::ListCameras, Step::Cameras, false},
    {Stage::CameraPasswords, Step::Cameras, true},   {Stage::ReadCloud, Step::Cloud, false},
    {Stage::UpdateCameras, Step::Cameras, true},     {Stage::JoinCloud, Step::Cloud, true},
    {Stage::WriteLauncher, Step::Launcher, true},
};

// The name a report gives a step.
constexpr std::string_view StepName(Step step) {
  constexpr std::string_view kNames[kStepCount] = {"discover", "probe",   "password", "zone",
                                                   "disks",    "cameras", "cloud",    "launcher"};
  return kNames[std::size_t(step)];
}

// The steps in the order their first stages come on the road.
constexpr std::array<Step, kStepCount> StepOrder() {
  std::array<Step, kStepCount> order{};
  std::array<bool, kStepCount> seen{};
  int n = 0;
  for (const StageOfRoad& s : kRoad)
    if (!seen[std::size_t(s.step)]) seen[std::size_t(s.step)] = true, order[std::size_t(n++)] = s.step;
  return order;
}
inline constexpr std::array<Step, kStepCount> kStepOrder = StepOrder();

}  // namespace vrx::steps::road
