// DeviceCommandWorker's HTTP commands and the cloud account posts, against an in-test recorder (plain HTTP and
// HTTPS on port 443) and an in-test account service, inside the sandbox. The HTTPS certificate is trusted
// through VRX_EXTRA_CA_FILE, so the posts run with their full certificate checks.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>

#include "TestServers.h"
#include "UdpPeer.h"
#include "net/Base64.h"
#include "net/DeviceCommandWorker.h"
#include "net/RequestLog.h"
#include "net/UrlText.h"

using namespace vrx::net;
using namespace vrx::net::test;
using namespace std::chrono_literals;
using W = DeviceCommandWorker;

namespace {

const std::filesystem::path kCertDir =
    std::filesystem::temp_directory_path() / ("vrx-net-worker-" + std::to_string(::getpid()));

class TrustedCertificate : public ::testing::Environment {
 public:
  void SetUp() override {
    cert = MakeCertificate(kCertDir, "service");
    ::setenv("VRX_EXTRA_CA_FILE", cert.certPath.c_str(), 1);
    ::setenv("VRX_EXTRA_CLOUD_HOSTS", kServiceHosts, 1);  // the in-test service, and an address where none runs
  }
  static constexpr const char* kServiceHosts = "127.0.0.1,127.0.0.8";
  void TearDown() override { std::filesystem::remove_all(kCertDir); }
  static inline TestCertificate cert;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new TrustedCertificate);

int WaitWhileBusy(const W& worker) {
  for (int i = 0; i < 600 && worker.Status() == W::kBusy; ++i) std::this_thread::sleep_for(50ms);
  return worker.Status();
}

class WorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HttpGet::ForgetPeers();
    auto plain = std::make_unique<httplib::Server>();
    plain->Get(R"(/config/.*)", [this](const httplib::Request& req, httplib::Response& res) { Answer(req, res); });
    plain->Get("/system.cgi", [this](const httplib::Request& req, httplib::Response& res) { Answer(req, res); });
    plain->Get("/userlist.cgi", [this](const httplib::Request& req, httplib::Response& res) {
      Record(req);
      if (camera_.Admit(req, res)) res.set_content("user=admin\r\n", "text/plain");
    });
    http_ = std::make_unique<RunningServer>(std::move(plain), "127.0.0.1");

    auto secure = std::make_unique<httplib::SSLServer>(TrustedCertificate::cert.certPath.c_str(),
                                                        TrustedCertificate::cert.keyPath.c_str());
    secure->Get(R"(/config/.*)", [this](const httplib::Request& req, httplib::Response& res) { Answer(req, res); });
    secure->Post(R"(/signin|/account/)", [this](const httplib::Request& req, httplib::Response& res) { Answer(req, res); });
    https_ = std::make_unique<RunningServer>(std::move(secure), "127.0.0.1", 443);
  }

  // Replies queued per path are used in order; the last one stays.
  void Queue(const std::string& path, const std::string& body, const std::string& setCookie = "") {
    std::lock_guard lock(mutex_);
    replies_[path].push_back({body, setCookie});
  }
  void Answer(const httplib::Request& req, httplib::Response& res) {
    Record(req);
    std::lock_guard lock(mutex_);
    auto& queue = replies_[req.path];
    if (queue.empty()) {
      res.status = 404;
      return;
    }
    const auto [body, cookie] = queue.front();
    if (queue.size() > 1) queue.pop_front();
    if (body == "<stall>") {  // a recorder that takes its time
      mutex_.unlock();
      std::this_thread::sleep_for(2500ms);
      mutex_.lock();
    }
    if (!cookie.empty()) res.set_header("Set-Cookie", cookie);
    res.set_content(body == "<echo>" ? "AdminPassword=" + req.get_param_value("AdminPassword") : body, "text/plain");
  }
  void Record(const httplib::Request& req) {
    std::lock_guard lock(mutex_);
    seen_.push_back(req);
  }
  std::vector<httplib::Request> Seen() {
    std::lock_guard lock(mutex_);
    return seen_;
  }
  int Port() const { return http_->Port(); }

  std::mutex mutex_;
  std::map<std::string, std::deque<std::pair<std::string, std::string>>> replies_;
  std::vector<httplib::Request> seen_;
  DigestGate camera_{"admin", "cam-secret"};
  std::unique_ptr<RunningServer> http_, https_;
  W worker_;
};

}  // namespace

TEST_F(WorkerTest, RecorderCommandsReadTheirReplies) {
  Queue("/config/storageformatpoll", "status=42\r\nother=1\r\n");
  ASSERT_TRUE(worker_.PollFormat(vrx::net::RecorderEndpoint{"127.0.0.1", "", Port(), "admin", vrx::net::Secret("pw")}));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(worker_.FormatProgress(), 42);
  EXPECT_EQ(worker_.Slot(W::kSlotPort), std::to_string(Port()));

  Queue("/config/kelvaroportal",
        "status=1\r\naccess=0\r\nportal_url=127.0.0.1\r\nportal_number=NV-0042\r\nportal_dfp=ab12\r\n"
        "model=VRX-410Q\r\nlocalhyperlink=http://127.0.0.1/\r\n");
  ASSERT_TRUE(worker_.ReadCloudPortal(vrx::net::RecorderEndpoint{"127.0.0.1", "", Port(), "admin", vrx::net::Secret("pw")}));
  EXPECT_EQ(worker_.PortalResult(), "");  // busy
  EXPECT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(worker_.PortalResult(), "1&0&127.0.0.1&NV-0042&ab12&VRX-410Q&http://127.0.0.1/");

  Queue("/config/addavdev", "ok");
  W::CameraToAdd cam{2, "Porch", "127.0.0.21", "cam-7", 0, "admin", "p@ss", "acme", "IPC-1"};
  ASSERT_TRUE(worker_.AddCamera(vrx::net::RecorderEndpoint{"127.0.0.1", "", Port(), "admin", vrx::net::Secret("pw")}, cam));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(Seen().back().target, "/config/addavdev?avdevid=2&avdevname=Porch&hostname=127.0.0.21&hostid=cam-7"
                                  "&protocol=1&protocoltype=0&account=" + PercentEncode(Base64Encode("admin")) +
                                      "&pass=" + PercentEncode(Base64Encode("p@ss")) + "&brand=acme&product=IPC-1");
  EXPECT_EQ(Seen().back().get_param_value("pass"), Base64Encode("p@ss"));  // '=' padding decodes back

  Queue("/config/storageformat", "");
  ASSERT_TRUE(worker_.FormatDisk(vrx::net::RecorderEndpoint{"127.0.0.1", "", Port(), "admin", vrx::net::Secret("pw")}, 1, 2, 3));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(Seen().back().target, "/config/storageformat?storageid=1&partition=2&fs=3");
}

TEST_F(WorkerTest, RegistrationStatusGetsOneSecondChance) {
  struct Case {
    std::vector<std::string> replies;
    int status;
    std::size_t requests;
  };
  const Case cases[] = {{{"status=1"}, W::kDone, 1}, {{"status=0", "status=1"}, W::kDone, 2},
                        {{"status=0", "status=0"}, W::kFailed, 2}};
  for (const Case& c : cases) {
    replies_.clear();
    const std::size_t before = Seen().size();
    for (const auto& r : c.replies) Queue("/config/kelvaroregstatus", r);
    ASSERT_TRUE(worker_.SetCloudRegStatus(vrx::net::RecorderEndpoint{"127.0.0.1", "", Port(), "admin", vrx::net::Secret("pw")}));
    EXPECT_EQ(WaitWhileBusy(worker_), c.status);
    EXPECT_EQ(Seen().size() - before, c.requests);
    EXPECT_EQ(Seen().back().target, "/config/kelvaroregstatus?status=1");
  }
}

TEST_F(WorkerTest, CameraListKeepsTheFirst256Items) {
  std::string list;
  for (int i = 0; i < 300; ++i) list += "cam" + std::to_string(i) + ";127.0.0.1;80;a;b;c;d;e;f\r\n";
  Queue("/config/supportservices", "kelvaro=1");
  Queue("/config/kelvarodiscovery", list);
  EXPECT_EQ(worker_.NextListItem(), "");
  ASSERT_TRUE(worker_.ListCameras(vrx::net::RecorderEndpoint{"127.0.0.1", "", 0, "admin", vrx::net::Secret("pw")}));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(worker_.Slot(W::kSlotPort), "443");
  ASSERT_EQ(worker_.ListCount(), 256);
  for (int pass = 0; pass < 2; ++pass) {  // an empty item ends one pass; the next pass starts over
    int n = 0;
    for (std::string item = worker_.NextListItem(); !item.empty(); item = worker_.NextListItem(), ++n)
      ASSERT_EQ(item, "cam" + std::to_string(n) + ";127.0.0.1;80;a;b;c;d;e;f");
    EXPECT_EQ(n, 256);
  }
  const auto seen = Seen();
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[seen.size() - 2].path, "/config/supportservices");
}

TEST_F(WorkerTest, CameraPasswordCommands) {
  Queue("/system.cgi", "<echo>");
  ASSERT_TRUE(worker_.SetCameraPassword("127.0.0.1", Port(), "admin", "", "n3w"));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(Seen().back().target, "/system.cgi?AdminID=admin&AdminPassword=n3w&ConfigReboot=No");

  replies_.clear();
  Queue("/system.cgi", "AdminPassword=other");  // the camera echoes a different password
  ASSERT_TRUE(worker_.SetCameraPassword("127.0.0.1", Port(), "admin", "", "n3w"));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kFailed);

  replies_.clear();
  Queue("/system.cgi", std::string(128, 'x') + "AdminPassword=n3w");  // only the first 128 bytes count
  ASSERT_TRUE(worker_.SetCameraPassword("127.0.0.1", Port(), "admin", "", "n3w"));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kFailed);

  ASSERT_TRUE(worker_.CheckCameraPassword("127.0.0.1", Port(), "admin", "cam-secret"));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kDone);
  ASSERT_TRUE(worker_.CheckCameraPassword("127.0.0.1", Port(), "admin", "wrong"));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kFailed);  // the camera answers 401
}

TEST_F(WorkerTest, FailuresEndWithStatusFour) {
  // Nothing listens on port 1; the recorder replies 404 with an empty body to an unknown path.
  ASSERT_TRUE(worker_.DeleteCamera(vrx::net::RecorderEndpoint{"127.0.0.1", "", 1, "admin", vrx::net::Secret("pw")}, 3));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kFailed);
  ASSERT_TRUE(worker_.PollFormat(vrx::net::RecorderEndpoint{"127.0.0.1", "", 1, "admin", vrx::net::Secret("pw")}));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kFailed);
  EXPECT_EQ(worker_.PortalResult(), "-1");
  EXPECT_FALSE(worker_.PollFormat(vrx::net::RecorderEndpoint{"", "", Port(), "admin", vrx::net::Secret("pw")}));
  EXPECT_EQ(worker_.Status(), W::kFailed);
}

TEST_F(WorkerTest, ANewCommandReplacesOneStillRunning) {
  Queue("/config/storageformatpoll", "<stall>");
  Queue("/config/delavdev", "ok");
  ASSERT_TRUE(worker_.PollFormat(vrx::net::RecorderEndpoint{"127.0.0.1", "", Port(), "admin", vrx::net::Secret("pw")}));
  std::this_thread::sleep_for(300ms);  // the first command now waits for its answer
  ASSERT_TRUE(worker_.DeleteCamera(vrx::net::RecorderEndpoint{"127.0.0.1", "", Port(), "admin", vrx::net::Secret("pw")}, 3));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(worker_.CommandCode(), W::kDeleteCamera);
  EXPECT_EQ(Seen().back().target, "/config/delavdev?avdevid=3");
  std::this_thread::sleep_for(2500ms);  // the stalled answer arrives: it must not touch the new status
  EXPECT_EQ(worker_.Status(), W::kDone);
}


// A time limit lands while the recorder's own thread stops its worker: both Stops return, whatever the order,
// and a third afterwards too (one of them joins the command thread; joining it twice hangs or aborts).
TEST_F(WorkerTest, StopFromTwoThreadsAtOnceReturns) {
  const vrx::net::RecorderEndpoint recorder{"127.0.0.1", "", Port(), "admin", vrx::net::Secret("pw")};
  Queue("/config/storageformatpoll", "status=3\r\n");
  for (int round = 0; round < 10; ++round) {
    ASSERT_TRUE(worker_.PollFormat(recorder));
    std::thread other([&] { worker_.Stop(); });
    worker_.Stop();
    other.join();
  }
  worker_.Stop();
  EXPECT_NE(worker_.Status(), W::kBusy);
}

// The abort hook of a road cut short: the stalled command fails at once and nothing is joined by the caller.
TEST_F(WorkerTest, AbortTransferEndsTheRunningCommandWithoutStoppingTheWorker) {
  Queue("/config/storageformatpoll", "<stall>");
  Queue("/config/storageformatpoll", "status=7\r\n");
  const vrx::net::RecorderEndpoint recorder{"127.0.0.1", "", Port(), "admin", vrx::net::Secret("pw")};
  ASSERT_TRUE(worker_.PollFormat(recorder));
  std::this_thread::sleep_for(300ms);  // its request is out, the recorder sits on it
  worker_.AbortTransfer();
  EXPECT_EQ(WaitWhileBusy(worker_), W::kFailed);  // the stalled answer would have made it 2
  ASSERT_TRUE(worker_.PollFormat(recorder));  // the worker still runs commands
  EXPECT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(worker_.FormatProgress(), 7);
}
// ---- Cloud account posts -------------------------------------------------------------------------------------

TEST_F(WorkerTest, SignUpPostsTheFormAndKeepsTheCookie) {
  Queue("/signin", "success", "kelvaro=c00kie42; path=/; secure");
  ASSERT_TRUE(worker_.SignUp("127.0.0.1", "wizard", "2.3.0", "pt", "ana+nvr@mail.test", "p&w=1", "p&w=1", "Ana",
                             "Lima"));
  EXPECT_EQ(worker_.CloudReplyOrError(), "");  // busy
  ASSERT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(worker_.CloudReplyOrError(), "success");
  EXPECT_EQ(worker_.SecretSlot(W::kSlotCloudCookie).View(), "c00kie42");
  EXPECT_EQ(worker_.Slot(W::kSlotCloudCookie), "");  // a secret slot is never handed out as text
  const auto req = Seen().back();
  EXPECT_EQ(req.path, "/signin");
  EXPECT_EQ(req.get_header_value("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");
  EXPECT_FALSE(req.has_header("Authorization"));
  EXPECT_EQ(req.body,
            "client=wizard&wizard_version=2.3.0&lang=pt&action=sign-up&accept=accept&email=ana%2Bnvr%40mail.test"
            "&password=p%26w%3D1&password_verify=p%26w%3D1&name_first=Ana&name_last=Lima&err_count=0\r\n\r\n");
  for (int slot : {W::kSlotPassword, W::kSlotPasswordVerify, W::kSlotUserPassword})
    EXPECT_TRUE(worker_.SecretSlot(slot).empty()) << slot;  // passwords do not outlive their command

  Queue("/account/", "success");
  ASSERT_TRUE(worker_.Bind("127.0.0.1", "wizard", "2.3.0", "pt", "NV-0042", "devpw", "ab12"));
  ASSERT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(Seen().back().get_header_value("Cookie"), "kelvaro=c00kie42;");
  EXPECT_EQ(Seen().back().target, "/account/?add");
  EXPECT_EQ(Seen().back().body, "client=wizard&wizard_version=2.3.0&lang=pt&nuvel_no=NV-0042&device_password=devpw"
                                "&dfp=ab12&err_count=0\r\n\r\n");
}

TEST_F(WorkerTest, BindWithoutSignInSendsAnEmptyCookie) {
  Queue("/account/", "BINDERR002");
  ASSERT_TRUE(worker_.Bind("127.0.0.1", "wizard", "2.3.0", "en", "NV-1", "pw", "dfp"));
  ASSERT_EQ(WaitWhileBusy(worker_), W::kDone);  // a service-side error still completes
  EXPECT_EQ(Seen().back().get_header_value("Cookie"), "kelvaro=;");
  EXPECT_EQ(worker_.CloudReply(), "BINDERR002");
  EXPECT_EQ(worker_.CloudErrorCount(), 1);
}

TEST_F(WorkerTest, ErrorCounterFollowsTheReplies) {
  struct Step {
    int command;
    const char* reply;
    int countSent;  // err_count in the form
    int countAfter;
  };
  const Step steps[] = {
      {W::kCloudSignUp, "SIGNUPERR003", 0, 1},   {W::kCloudSignIn, "SIGNINERR001", 1, 1},
      {W::kCloudSignIn, "SIGNINERR002", 1, 2},   {W::kCloudSignIn, "nothing known", 2, 2},
      {W::kCloudBind, "BINDERR001 success", 2, 3}, {W::kCloudSignIn, "SIGNUPERR001", 3, 3},
      {W::kCloudSignIn, "success", 3, 0},        {W::kCloudSignUp, "SIGNUPERR001", 0, 1},
  };
  for (const Step& s : steps) {
    replies_.clear();
    Queue(s.command == W::kCloudSignUp ? "/signin" : "/account/", s.reply, "kelvaro=k; path=/");
    const bool started =
        s.command == W::kCloudSignUp ? worker_.SignUp("127.0.0.1", "c", "v", "en", "a@b.test", "p", "p", "f", "l")
        : s.command == W::kCloudSignIn ? worker_.SignIn("127.0.0.1", "c", "v", "en", "a@b.test", "p")
                                       : worker_.Bind("127.0.0.1", "c", "v", "en", "n", "p", "d");
    ASSERT_TRUE(started);
    ASSERT_EQ(WaitWhileBusy(worker_), W::kDone) << s.reply;
    EXPECT_NE(Seen().back().body.find("err_count=" + std::to_string(s.countSent) + "\r\n"), std::string::npos)
        << s.reply;
    EXPECT_EQ(worker_.CloudErrorCount(), s.countAfter) << s.reply;
  }
}

TEST_F(WorkerTest, CloudFailuresKeepThePreviousReplyAndCookie) {
  Queue("/account/", "success", "kelvaro=first");
  ASSERT_TRUE(worker_.SignIn("127.0.0.1", "c", "v", "en", "a@b.test", "p"));
  ASSERT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(worker_.CloudReply(), "success");

  ASSERT_TRUE(worker_.SignIn("127.0.0.8", "c", "v", "en", "a@b.test", "p"));  // no service there
  EXPECT_EQ(WaitWhileBusy(worker_), W::kFailed);
  EXPECT_EQ(worker_.CloudReply(), "");
  EXPECT_EQ(worker_.CloudReplyOrError(), "-1");
  EXPECT_EQ(worker_.Slot(W::kSlotCloudReply), "success");
  EXPECT_EQ(worker_.SecretSlot(W::kSlotCloudCookie).View(), "first");
}

TEST_F(WorkerTest, OversizedCloudReplyIsCutToTheBuffer) {
  Queue("/account/", std::string(100000, 's') + "success", "kelvaro=" + std::string(300, 'k'));
  ASSERT_TRUE(worker_.SignIn("127.0.0.1", "c", "v", "en", "a@b.test", "p"));
  ASSERT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(worker_.Slot(W::kSlotCloudReply).size(), W::kReplyBufferSize);
  EXPECT_TRUE(worker_.SecretSlot(W::kSlotCloudCookie).empty());  // a Set-Cookie too long for its buffer is not read
  EXPECT_EQ(worker_.CloudErrorCount(), 0);
}

TEST_F(WorkerTest, ACloudHostThatIsNotABareNameStartsNoConnection) {
  Queue("/account/", "success");
  for (const char* portal : {"evil.test/x", "a@b", "h:1", "https://127.0.0.1", "127.0.0.1/", "a b", ""}) {
    const std::size_t before = Seen().size();
    EXPECT_FALSE(worker_.SignIn(portal, "c", "v", "en", "a@b.test", "secret")) << portal;
    EXPECT_EQ(worker_.Status(), W::kFailed) << portal;
    EXPECT_FALSE(worker_.Bind(portal, "c", "v", "en", "n", "devpw", "d")) << portal;
    EXPECT_EQ(Seen().size(), before) << portal;
  }
  ASSERT_TRUE(worker_.SignIn("127.0.0.1", "c", "v", "en", "a@b.test", "secret"));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kDone);
}

// Records the warnings the network code gives.
class WarningLog : public RequestListener {
 public:
  WarningLog() { SetRequestListener(this); }
  ~WarningLog() override { SetRequestListener(nullptr); }
  void OnHttpRequest(const HttpRequestRecord&) override {}
  void OnDatagram(const DatagramRecord&) override {}
  void OnWarning(std::string_view text) override {
    std::lock_guard lock(mutex_);
    text_ += std::string(text) + "\n";
  }
  std::string Text() {
    std::lock_guard lock(mutex_);
    return text_;
  }

 private:
  std::mutex mutex_;
  std::string text_;
};

// A recorder that names a host of its own as the service (here the in-test service's address, no longer listed
// as a service host): no account request reaches it, and the commands end as a service that cannot be reached.
TEST_F(WorkerTest, ARecorderNamingAnotherHostGetsNoAccountRequest) {
  Queue("/account/", "success", "kelvaro=k");
  Queue("/signin", "success", "kelvaro=k");
  ::setenv("VRX_EXTRA_CLOUD_HOSTS", "127.0.0.8", 1);
  WarningLog log;
  const std::function<bool()> starts[] = {
      [&] { return worker_.SignIn("127.0.0.1", "c", "v", "en", "a@b.test", "account-pw"); },
      [&] { return worker_.SignUp("127.0.0.1", "c", "v", "en", "a@b.test", "account-pw", "account-pw", "A", "B"); },
      [&] { return worker_.Bind("127.0.0.1", "c", "v", "en", "NV-1", "admin-pw", "d"); },
  };
  for (const auto& start : starts) {
    EXPECT_FALSE(start());
    EXPECT_EQ(worker_.Status(), W::kFailed);
    EXPECT_EQ(worker_.CloudReplyOrError(), "-1");
  }
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(Seen().empty());
  EXPECT_NE(log.Text().find("\"127.0.0.1\""), std::string::npos) << log.Text();
  ::setenv("VRX_EXTRA_CLOUD_HOSTS", TrustedCertificate::kServiceHosts, 1);
  ASSERT_TRUE(worker_.SignIn("127.0.0.1", "c", "v", "en", "a@b.test", "account-pw"));
  EXPECT_EQ(WaitWhileBusy(worker_), W::kDone);
}

// Datagrams that reach the worker's endpoint while an HTTP command runs must not touch its status (nor let a
// page read the slots while the command thread still writes them).
TEST_F(WorkerTest, StrayDatagramsLeaveAnHttpCommandBusyUntilItsReply) {
  ASSERT_TRUE(worker_.OpenDatagram("127.0.0.1"));
  Queue("/config/kelvaroportal", "<stall>");
  ASSERT_TRUE(worker_.ReadCloudPortal(vrx::net::RecorderEndpoint{"127.0.0.1", "", Port(), "admin", vrx::net::Secret("pw")}));
  UdpPeer stray("127.0.0.1", 0, nullptr);
  Bytes header(22, 0);
  header[0] = header[1] = 0xFD;
  header[4] = 0xA2;
  Bytes account = header;
  account[4] = 0xA3;
  account.resize(26, 0);
  account[22] = 1;
  for (int round = 0; round < 20; ++round) {  // for about 2 s of the 2.5 s the recorder takes
    for (const Bytes& d : {Bytes{'y', 'e', 's', 'n', 'o'}, header, account})
      stray.SendTo("127.0.0.1", worker_.DatagramLocalPort(), d);
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(worker_.Status(), W::kBusy) << round;
  }
  EXPECT_EQ(WaitWhileBusy(worker_), W::kDone);
  EXPECT_EQ(worker_.CommandCode(), W::kReadCloudPortal);
  EXPECT_EQ(worker_.AccountCheckResult(), 0);
}
