#pragma once
// The maker's own addresses: the ones the wizard holds itself instead of learning them from a peer.
//
// The account requests carry the user's e-mail and passwords (the account's and the recorder's admin
// password) to the host the recorder names as its portal_url, which the recorder reports over plain HTTP. So
// that a spoofed recorder cannot name a host of its own, those requests go only to a host of the service's own
// domain: the domain itself or a name below it, matched label by label (never as a substring).
#include <string_view>

namespace vrx::net {

// Our support address: what a launcher opens when the recorder gave no usable link.
inline constexpr const char* kSupportAddress = "https://support.halvik.example/vrx-410q";
// The kelvaro account service's domain.
inline constexpr std::string_view kServiceDomain = "kelvaro.example";

// True for a bare host name (IsBareHostName) that is kServiceDomain or ends in "." + kServiceDomain, compared
// without regard to case; in test and demo builds also for a host listed in VRX_EXTRA_CLOUD_HOSTS
// (net/TestTrust.h). "evilkelvaro.example" and "kelvaro.example.evil.test" are not service hosts.
bool IsServiceHost(std::string_view host);

}  // namespace vrx::net
