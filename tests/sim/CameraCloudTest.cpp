// The cameras (password check and change behind Basic or Digest, moving JPEG pictures) and the kelvaro account
// service (sign-up, sign-in, binding with the login cookie) over HTTPS with the test CA.
#include "Clients.h"
#include "SimProcess.h"

#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <jpeglib.h>

using namespace simtest;
using vrx::test::SimProcess;

namespace {

class CameraCloudTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { sim_ = new SimProcess("default.json"); }
  static void TearDownTestSuite() { delete sim_; }
  void SetUp() override { ASSERT_TRUE(sim_->ready()) << sim_->error(); }
  static SimProcess *sim_;
};
SimProcess *CameraCloudTest::sim_ = nullptr;

// Width and height of a JPEG that libjpeg decodes to the end, or {0, 0}.
std::pair<int, int> decode(const std::string &jpeg) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr err{};
  info.err = jpeg_std_error(&err);
  err.error_exit = [](j_common_ptr) { throw std::runtime_error("bad jpeg"); };
  try {
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(jpeg.data()), jpeg.size());
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    std::vector<unsigned char> row(info.output_width * info.output_components);
    while (info.output_scanline < info.output_height) {
      JSAMPROW r = row.data();
      jpeg_read_scanlines(&info, &r, 1);
    }
    jpeg_finish_decompress(&info);
    std::pair<int, int> size{int(info.output_width), int(info.output_height)};
    jpeg_destroy_decompress(&info);
    return size;
  } catch (const std::exception &) {
    jpeg_destroy_decompress(&info);
    return {0, 0};
  }
}

struct CameraCase {
  std::string address;
  bool digest;
  std::string password;
};

class CameraAuthTest : public CameraCloudTest, public ::testing::WithParamInterface<CameraCase> {};

TEST_P(CameraAuthTest, UserListNeedsTheCamerasOwnSchemeAndPassword) {
  const CameraCase &c = GetParam();
  std::string url = "http://" + c.address + "/userlist.cgi?";
  EXPECT_EQ(get(url, c.password, c.digest).status, 200);
  EXPECT_EQ(get(url, c.password + "x", c.digest).status, 401);
  CurlResult otherScheme = get(url, c.password, !c.digest);
  EXPECT_EQ(otherScheme.status, 401) << "a camera accepts only its own scheme";
  CurlResult none = curl({url});
  EXPECT_EQ(none.status, 401);
  EXPECT_EQ(none.header("WWW-Authenticate").rfind(c.digest ? "Digest " : "Basic ", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CameraAuthTest,
                         ::testing::Values(CameraCase{"127.0.20.1", true, "door4321"},
                                           CameraCase{"127.0.20.2", false, "garage77"},
                                           CameraCase{"127.0.20.3", false, "yard2468"},
                                           CameraCase{"127.0.20.5", false, ""}));

// The value of name="..." in a challenge (the simulator's values hold no escapes).
static std::string quotedParam(const std::string &header, const std::string &name) {
  const size_t start = header.find(name + "=\"");
  if (start == std::string::npos) return {};
  const size_t value = start + name.size() + 2;
  return header.substr(value, header.find('"', value) - value);
}

TEST_F(CameraCloudTest, DigestRefusesAnUnknownNonceAndAForeignUri) {
  CurlResult challenge = curl({"http://127.0.20.1/userlist.cgi?"});
  std::string header = challenge.header("WWW-Authenticate");
  ASSERT_EQ(header.rfind("Digest ", 0), 0u);
  EXPECT_NE(header.find("realm=\"HVC-2230\""), std::string::npos);
  EXPECT_NE(header.find("qop=\"auth,auth-int\""), std::string::npos);
  std::string nonce = quotedParam(header, "nonce"), opaque = quotedParam(header, "opaque");
  EXPECT_FALSE(opaque.empty());

  // A correct answer computed by hand, but for a nonce the camera never issued: refused.
  auto authorization = [&opaque](const std::string &nonce, const std::string &uri) {
    return "Authorization: Digest username=\"admin\",realm=\"HVC-2230\",nonce=\"" + nonce + "\",uri=\"" + uri +
           "\",cnonce=\"0a4f113b\",nc=00000001,algorithm=MD5,response=\"00000000000000000000000000000000\",qop=\"auth\"" +
           ",opaque=\"" + opaque + "\"";
  };
  CurlResult forged = curl({"-H", authorization("feedfacefeedfacefeedfacefeedface", "/userlist.cgi?"),
                            "http://127.0.20.1/userlist.cgi?"});
  EXPECT_EQ(forged.status, 401);
  CurlResult wrongResponse = curl({"-H", authorization(nonce, "/userlist.cgi?"), "http://127.0.20.1/userlist.cgi?"});
  EXPECT_EQ(wrongResponse.status, 401);
  nlohmann::json log = sim_->log();
  bool sawUnknownNonce = false;
  for (const auto &e : log) sawUnknownNonce |= e["outcome"].get<std::string>().find("unknown nonce") != std::string::npos;
  EXPECT_TRUE(sawUnknownNonce);
}

std::string md5(const std::string &text) {
  unsigned char d[EVP_MAX_MD_SIZE];
  unsigned int n = 0;
  EVP_Digest(text.data(), text.size(), d, &n, EVP_md5(), nullptr);
  std::string hex;
  char buf[3];
  for (unsigned i = 0; i < n; ++i) std::snprintf(buf, sizeof buf, "%.2x", d[i]), hex += buf;
  return hex;
}

// The wizard writes its Digest answer without blanks after the commas and with qop quoted, and counts nc up
// on one nonce; the camera must take that form, request after request.
TEST_F(CameraCloudTest, DigestAnswerInTheWizardsOwnFormIsAcceptedWithARisingNonceCount) {
  const std::string uri = "/userlist.cgi?";
  std::string header = curl({"http://127.0.20.1" + uri}).header("WWW-Authenticate");
  std::string nonce = quotedParam(header, "nonce"), opaque = quotedParam(header, "opaque");
  const std::string cnonce = "0123456789abcdefghijklmnopqrstuv";
  for (const char *nc : {"00000001", "00000002"}) {
    std::string ha1 = md5("admin:HVC-2230:door4321"), ha2 = md5("GET:" + uri);
    std::string response = md5(ha1 + ":" + nonce + ":" + nc + ":" + cnonce + ":auth:" + ha2);
    std::string authorization = "Authorization: Digest username=\"admin\",realm=\"HVC-2230\",nonce=\"" + nonce +
                                "\",uri=\"" + uri + "\",cnonce=\"" + cnonce + "\",nc=" + nc +
                                ",algorithm=MD5,response=\"" + response + "\",qop=\"auth\",opaque=\"" + opaque + "\"";
    EXPECT_EQ(curl({"-H", authorization, "http://127.0.20.1" + uri}).status, 200) << nc;
    // Without the opaque value the camera gave, the same answer is refused.
    const std::string withoutOpaque = authorization.substr(0, authorization.find(",opaque="));
    EXPECT_EQ(curl({"-H", withoutOpaque, "http://127.0.20.1" + uri}).status, 401) << nc;
    // The same answer for another URI is refused.
    EXPECT_EQ(curl({"-H", authorization, "http://127.0.20.1/image/jpeg.cgi"}).status, 401) << nc;
  }
}

TEST_F(CameraCloudTest, PasswordChangeEchoesTheNewPasswordAndTakesEffect) {
  CurlResult set = get("http://127.0.20.5/system.cgi?AdminID=admin&AdminPassword=hall9876&ConfigReboot=No", "", false);
  ASSERT_EQ(set.status, 200);
  EXPECT_NE(set.body.substr(0, 128).find("AdminPassword=hall9876"), std::string::npos);
  EXPECT_EQ(get("http://127.0.20.5/userlist.cgi?", "", false).status, 401);
  EXPECT_EQ(get("http://127.0.20.5/userlist.cgi?", "hall9876", false).status, 200);
  EXPECT_EQ(get("http://127.0.20.5/system.cgi?AdminID=admin&AdminPassword=&ConfigReboot=No", "hall9876", false).status, 400);
  EXPECT_EQ(get("http://127.0.20.5/system.cgi?AdminID=admin&AdminPassword=x&ConfigReboot=No", "wrong", false).status, 401);
}

TEST_F(CameraCloudTest, EveryPictureIsAFreshCompleteJpeg) {
  CurlResult first = get("http://127.0.20.2/image/jpeg.cgi", "garage77");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  CurlResult second = get("http://127.0.20.2/image/jpeg.cgi", "garage77");
  ASSERT_EQ(first.status, 200);
  ASSERT_EQ(second.status, 200);
  EXPECT_EQ(first.header("Content-Type"), "image/jpeg");
  for (const CurlResult *r : {&first, &second}) {
    ASSERT_GT(r->body.size(), 4u);
    EXPECT_EQ((unsigned char)r->body[0], 0xFF);
    EXPECT_EQ((unsigned char)r->body[1], 0xD8);
    EXPECT_EQ((unsigned char)r->body[r->body.size() - 2], 0xFF);
    EXPECT_EQ((unsigned char)r->body[r->body.size() - 1], 0xD9);
    EXPECT_EQ(decode(r->body), (std::pair<int, int>{640, 360}));
  }
  EXPECT_NE(first.body, second.body);
  EXPECT_EQ(get("http://127.0.20.2/image/jpeg.cgi", "wrong").status, 401);
}

TEST_F(CameraCloudTest, OfflineCameraRefusesConnectionsUntilItIsBack) {
  ASSERT_TRUE(sim_->setCameraOnline("127.0.20.2", false));
  EXPECT_EQ(get("http://127.0.20.2/userlist.cgi?", "garage77").exitCode, 7);
  ASSERT_TRUE(sim_->setCameraOnline("127.0.20.2", true));
  EXPECT_EQ(get("http://127.0.20.2/userlist.cgi?", "garage77").status, 200);
}

// The kelvaro service, verified against the test CA (no -k): the certificate must match 127.0.30.1.
CurlResult post(const std::string &path, const std::string &body, const std::string &cookie = "") {
  const char *ca = std::getenv("VRX_EXTRA_CA_FILE");
  std::vector<std::string> args = {"--cacert", ca ? ca : "", "-H", "Content-Type: application/x-www-form-urlencoded",
                                   "--data-binary", body};
  if (!cookie.empty()) args.insert(args.end(), {"-H", "Cookie: kelvaro=" + cookie + ";"});
  args.push_back("https://127.0.30.1" + path);
  return curl(args);
}

std::string cookieOf(const CurlResult &r) {
  std::string c = r.header("Set-Cookie");
  size_t at = c.find("kelvaro=");
  return at == std::string::npos ? "" : c.substr(at + 8, c.find(';', at) - at - 8);
}

std::string signUpBody(const std::string &email, const std::string &pw, const std::string &verify,
                       const std::string &first = "Ada", const std::string &accept = "accept") {
  return "client=VRX-410Q_V 2.03.00&wizard_version=V 2.03.00&lang=en&action=sign-up&accept=" + accept +
         "&email=" + email + "&password=" + pw + "&password_verify=" + verify + "&name_first=" + first +
         "&name_last=Moss&err_count=0\r\n\r\n";
}

struct SignUpCase {
  std::string body;
  std::string word;
};

class SignUpTest : public CameraCloudTest, public ::testing::WithParamInterface<SignUpCase> {};

TEST_P(SignUpTest, AnswersTheErrorWordForEachFault) {
  sim_->exportCaFile();
  CurlResult r = post("/signin", GetParam().body);
  ASSERT_EQ(r.exitCode, 0) << "TLS with the test CA";
  EXPECT_EQ(r.body.rfind(GetParam().word, 0), 0u) << r.body;
  EXPECT_EQ(r.header("Set-Cookie"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Errors, SignUpTest,
    ::testing::Values(SignUpCase{signUpBody("owner@kelvaro.test", "abcdef1", "abcdef1"), "SIGNUPERR001"},
                      SignUpCase{signUpBody("new1@kelvaro.test", "abc", "abc"), "SIGNUPERR002"},
                      SignUpCase{signUpBody("new2@kelvaro.test", "abcdef1", "abcdef2"), "SIGNUPERR003"},
                      SignUpCase{signUpBody("new3@kelvaro.test", std::string(40, 'p'), std::string(40, 'p')), "SIGNUPERR004"},
                      SignUpCase{signUpBody("new4@kelvaro.test", "abcdef1", "abcdef1", "", "accept"), "SIGNUPERR005"},
                      SignUpCase{signUpBody("new5@kelvaro.test", "abcdef1", "abcdef1", "Ada", "no"), "SIGNUPERR005"},
                      SignUpCase{signUpBody("not-an-address", "abcdef1", "abcdef1"), "SIGNUPERR006"}));

TEST_F(CameraCloudTest, SignUpSignInAndBindWithTheLoginCookie) {
  sim_->exportCaFile();
  // A '+' sent as %2B is kept; a bare '+' would read as a blank.
  CurlResult up = post("/signin", signUpBody("sam%2Bcam@kelvaro.test", "secret99", "secret99", "Sam"));
  ASSERT_EQ(up.exitCode, 0);
  EXPECT_NE(up.body.find("success"), std::string::npos) << up.body;
  EXPECT_FALSE(cookieOf(up).empty());

  std::string signIn = "client=VRX-410Q_V 2.03.00&wizard_version=V 2.03.00&lang=en&email=%s&password=%s&err_count=0\r\n\r\n";
  auto signInBody = [&](const std::string &email, const std::string &pw) {
    std::string b = signIn;
    b.replace(b.find("%s"), 2, email);
    b.replace(b.find("%s"), 2, pw);
    return b;
  };
  EXPECT_EQ(post("/account/?signin", signInBody("", "")).body.rfind("SIGNINERR001", 0), 0u);
  EXPECT_EQ(post("/account/?signin", signInBody("nobody@kelvaro.test", "x")).body.rfind("SIGNINERR002", 0), 0u);
  EXPECT_EQ(post("/account/?signin", signInBody("sam%2Bcam@kelvaro.test", "wrong")).body.rfind("SIGNINERR003", 0), 0u);
  CurlResult in = post("/account/?signin", signInBody("sam%2Bcam@kelvaro.test", "secret99"));
  EXPECT_NE(in.body.find("success"), std::string::npos) << in.body;
  std::string cookie = cookieOf(in);
  ASSERT_FALSE(cookie.empty());

  auto bindBody = [](const std::string &number, const std::string &devicePassword, const std::string &dfp) {
    return "client=VRX-410Q_V 2.03.00&wizard_version=V 2.03.00&lang=en&nuvel_no=" + number + "&device_password=" +
           devicePassword + "&dfp=" + dfp + "&err_count=0\r\n\r\n";
  };
  const std::string good = bindBody("K4R7M2Q9", "", "5f1c0e9a7b3d4c28");
  EXPECT_EQ(post("/account/?add", good).body.rfind("BINDERR001", 0), 0u) << "no cookie";
  EXPECT_EQ(post("/account/?add", good, "0123").body.rfind("BINDERR001", 0), 0u) << "unknown cookie";
  EXPECT_EQ(post("/account/?add", bindBody("ZZZ", "", "5f1c0e9a7b3d4c28"), cookie).body.rfind("BINDERR002", 0), 0u);
  EXPECT_EQ(post("/account/?add", bindBody("K4R7M2Q9", "", "bad"), cookie).body.rfind("BINDERR003", 0), 0u);
  EXPECT_EQ(post("/account/?add", bindBody("K4R7M2Q9", "pw", "5f1c0e9a7b3d4c28"), cookie).body.rfind("BINDERR004", 0), 0u);
  CurlResult bound = post("/account/?add", good, cookie);
  EXPECT_NE(bound.body.find("success"), std::string::npos) << bound.body;
  EXPECT_NE(bound.body.find("K4R7M2Q9"), std::string::npos);
  EXPECT_NE(bound.body.find("VRX-410Q"), std::string::npos);

  // Another account cannot take the device over.
  CurlResult owner = post("/account/?signin", signInBody("owner@kelvaro.test", "kelvaro1"));
  EXPECT_EQ(post("/account/?add", good, cookieOf(owner)).body.rfind("BINDERR005", 0), 0u);
  EXPECT_EQ(sim_->state()["kelvaro"]["bindings"]["K4R7M2Q9"], "sam+cam@kelvaro.test");

  // The log shows each post as it arrived: its body and its Cookie header.
  nlohmann::json log = sim_->log();
  auto bind = std::find_if(log.rbegin(), log.rend(), [](const nlohmann::json &e) {
    return e["request"] == "POST /account/?add" && e.contains("headers") && e["headers"].contains("Cookie");
  });
  ASSERT_NE(bind, log.rend());
  EXPECT_NE((*bind)["body"].get<std::string>().find("nuvel_no=K4R7M2Q9"), std::string::npos);
  EXPECT_EQ((*bind)["headers"]["Content-Type"], "application/x-www-form-urlencoded");
}

TEST_F(CameraCloudTest, UntrustedWithoutTheTestCaAndUnreachableWhenDown) {
  CurlResult noCa = curl({"--data-binary", "x", "https://127.0.30.1/signin"});
  EXPECT_EQ(noCa.exitCode, 60);
  ASSERT_TRUE(sim_->setCloudDown(true));
  sim_->exportCaFile();
  EXPECT_EQ(post("/signin", signUpBody("a@kelvaro.test", "abcdef1", "abcdef1")).exitCode, 7);
  ASSERT_TRUE(sim_->setCloudDown(false));
  EXPECT_EQ(post("/signin", "x").exitCode, 0);
}

}  // namespace
