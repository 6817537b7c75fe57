#pragma once
// The recorder's seven cloud values (command 2012, "/config/kelvaroportal"), in the order the recorder reports
// them: status, access, portal_url, portal_number, portal_dfp, model, localhyperlink. A front-end keeps all but
// kCloudModel.

#include <QString>
#include <array>

namespace vrx::steps {

enum CloudValueIndex : int {
  kCloudStatus = 0,          // "1": already registered
  kCloudAccess = 1,          // "1": the recorder reaches the service
  kCloudPortalUrl = 2,       // the service's host name
  kCloudPortalNumber = 3,    // the recorder's device number at the service
  kCloudPortalDfp = 4,
  kCloudModel = 5,
  kCloudLocalHyperlink = 6,  // the recorder's own link
  kCloudValueCount = 7,
};

using CloudValues = std::array<QString, kCloudValueCount>;

// What the values say of the service: the recorder offers it (access "1") and is registered (status "1").
struct CloudOffer {
  bool offered = false;
  bool registered = false;
};
CloudOffer OfferOf(const CloudValues& values);

// The cloud page asks for an account only on a recorder that offers the service and is not registered; any
// other recorder goes from the cameras straight to the summary.
bool AsksForAccount(const CloudValues& values);

// The values once the user skipped the cloud page: the skip empties the access value, so the launcher FINISH
// writes opens the recorder's own link rather than the portal. Values of a recorder the page is not shown for
// are kept (a registered one keeps its portal launcher).
CloudValues SkippedCloud(CloudValues values);

}  // namespace vrx::steps
