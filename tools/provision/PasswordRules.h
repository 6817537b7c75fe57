#pragma once
// The rules the wizard's pages apply to what a person types, for the answer file's values: checked by `check`
// before any device is touched. The rules themselves live with the steps the pages run (steps/recorder,
// steps/cameras, steps/cloud); this is the answer file's door to them, so there is one copy of each rule.
#include <optional>
#include <string>
#include <string_view>

namespace vrx::provision {

// nullopt when the password may become the recorder's administrator password, else what is wrong.
std::optional<std::string> AdminPasswordFault(std::string_view password);
// nullopt when the password may be given to a camera in its factory state, else what is wrong.
std::optional<std::string> NewCameraPasswordFault(std::string_view password);
// The cloud page's e-mail check.
bool IsCloudEmail(std::string_view address);

// The account datagram's user and password fields hold 48 bytes.
inline constexpr std::size_t kMaxAccountFieldBytes = 48;

}  // namespace vrx::provision
