#pragma once
// What the cloud page's tests share: a recorder that offers the cloud service and a kelvaro service with one
// account, a host that has passed the camera page (cloud values and account set as that page leaves them),
// and the cloud page shown in it with the summary page behind it.
#include <QtTest>
#include <memory>
#include <string>

#include "PageRig.h"
#include "PopupWatch.h"
#include "SimProcess.h"
#include "WizardTestSupport.h"
#include "app/InterDialog.h"
#include "app/PageRegistry.h"
#include "pages/cloud/CloudPages.h"
#include "pages/cloud/KelvaroServiceDlg.h"
#include "pages/intro/IntroOverlays.h"
#include "pages/summary/SummaryPages.h"
#include "ui/Buttons.h"
#include "ui/EditCtrl.h"

namespace cloudtest {

using namespace vrx;

constexpr const char* kRecorderIp = "127.0.16.1";
constexpr const char* kRecorderMac = "00:1d:4f:a0:16:01";
constexpr const char* kKelvaroIp = "127.0.36.1";
constexpr const char* kPortalNumber = "K4R7M2Q9";
constexpr const char* kDfp = "5f1c0e9a7b3d4c28";
constexpr const char* kAdminPassword = "Admin123";
constexpr const char* kOwner = "owner@kelvaro.test";
constexpr const char* kOwnerPassword = "kelvaro1";

// The recorder (not registered yet) and the service. bindOmitsDevice: the service's bind reply names neither
// the device number nor the model.
inline std::string Scenario(bool bindOmitsDevice = false) {
  return std::string(R"({"name": "cloud", "recorder": {"address": "127.0.16.1", "mac": "00:1d:4f:a0:16:01",
    "auth": "basic", "admin_password": "Admin123", "disks": [],
    "cloud": {"access": "1", "registered": false, "portal_number": "K4R7M2Q9", "dfp": "5f1c0e9a7b3d4c28"}},
    "kelvaro": {"address": "127.0.36.1", "bind_omits_device": )") +
         (bindOmitsDevice ? "true" : "false") +
         R"(, "accounts": [{"email": "owner@kelvaro.test", "password": "kelvaro1", "first_name": "Ada",
    "last_name": "Moss"}]}})";
}

// The host as the camera page leaves it: the recorder, its admin account and its seven cloud values.
inline void PrepareHost(CInterDialog& host, const QString& status = "0", const QString& access = "1") {
  ClearPageRegistry();
  RegisterCloudPages();
  RegisterSummaryPages();
  RegisterIntroOverlays();  // the terms link opens the agreement
  host.SetRecorderIp(kRecorderIp);
  host.SetRecorderMac(kRecorderMac);
  host.SetAdminUser("admin");
  host.SetAdminPassword(net::Secret(kAdminPassword));
  const QString values[] = {status, access, kKelvaroIp, kPortalNumber, kDfp, "VRX-410Q", "http://127.0.16.1/"};
  for (int i = 0; i < steps::kCloudValueCount; ++i) host.SetCloudValue(i, values[i]);
}

// Walks the host forward to the cloud page as Next on each page does (only pages 11 and 12 are registered).
inline QWidget* WalkToCloudPage(CInterDialog& host) {
  host.show();
  vrx::test::GoTo(host, kPageCloudService);
  return host.currentPage();
}

inline CKelvaroServiceDlg* ShowCloudPage(CInterDialog& host) {
  PrepareHost(host);
  return qobject_cast<CKelvaroServiceDlg*>(WalkToCloudPage(host));
}

inline void Choose(CKelvaroServiceDlg* page, int choice) {
  QTest::mouseClick(page->choiceButton(choice), Qt::LeftButton);
  QTRY_COMPARE(page->choice(), choice);
}

inline void Type(CKelvaroServiceDlg* page, CKelvaroServiceDlg::Entry entry, const QString& text) {
  page->entry(entry)->setFocus();
  QTest::keyClicks(page->entry(entry), text);
}

inline void AcceptTerms(CKelvaroServiceDlg* page) {
  QTest::mouseClick(page->termsBox(), Qt::LeftButton);
  QTRY_VERIFY(page->termsAccepted());
}

inline void SignUpForm(CKelvaroServiceDlg* page, const QString& email, const QString& password,
                       const QString& confirm) {
  Choose(page, kelvaro::kSignUp);
  Type(page, CKelvaroServiceDlg::kEmail, email);
  Type(page, CKelvaroServiceDlg::kPassword, password);
  Type(page, CKelvaroServiceDlg::kConfirm, confirm);
  Type(page, CKelvaroServiceDlg::kFirstName, "Lin");
  Type(page, CKelvaroServiceDlg::kLastName, "Park");
}

using CloudPageRig = vrx::test::PageRig<CKelvaroServiceDlg>;

// A fresh simulator of Scenario(bindOmitsDevice), its service trusted, and a fresh host on the cloud page.
// Tests open one per test function: simulators are not shared, as each binding changes the service's state.
inline void OpenCloudPage(CloudPageRig& rig, bool bindOmitsDevice = false) {
  rig.Start(Scenario(bindOmitsDevice), CloudPageRig::Service::Trusted);
  rig.Show(ShowCloudPage);
}

}  // namespace cloudtest
