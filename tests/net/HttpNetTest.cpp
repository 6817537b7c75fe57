// HttpGet against in-test HTTP and HTTPS servers inside the sandbox.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdarg>
#include <chrono>
#include <mutex>
#include <vector>

#include "TestServers.h"
#include "net/Base64.h"
#include "net/CurlLibrary.h"
#include "net/HttpGet.h"

using namespace vrx::net;
using namespace vrx::net::test;
using namespace std::chrono_literals;

namespace {

class HttpGetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HttpGet::ForgetPeers();  // each test meets its servers for the first time
    auto server = std::make_unique<httplib::Server>();
    server->Get("/echo-auth", [this](const httplib::Request& req, httplib::Response& res) {
      Record(req);
      res.set_content("ok", "text/plain");
    });
    server->Get("/basic-camera", [this](const httplib::Request& req, httplib::Response& res) {
      Record(req);
      if (req.get_header_value("Authorization") == "Basic " + Base64Encode("admin:secret")) {
        res.set_content("welcome", "text/plain");
      } else {
        res.status = 401;
        res.set_header("WWW-Authenticate", "Basic realm=\"cam\"");
      }
    });
    server->Get("/digest", [this](const httplib::Request& req, httplib::Response& res) {
      Record(req);
      if (blankDigest_.Admit(req, res)) res.set_content("digest ok", "text/plain");
    });
    server->Get("/digest-camera", [this](const httplib::Request& req, httplib::Response& res) {
      ++cameraRequests_;
      if (cameraDigest_.Admit(req, res)) res.set_content("camera ok", "text/plain");
    });
    server->Get("/conflict", [](const httplib::Request&, httplib::Response& res) { res.status = 409; });
    server->Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("nope", "text/plain");
    });
    server->Get("/body", [](const httplib::Request& req, httplib::Response& res) {
      const std::size_t n = std::stoul(req.get_param_value("n"));
      std::string body(n, '\0');
      for (std::size_t i = 0; i < n; ++i) body[i] = char('a' + i % 26);
      res.set_content(body, "text/plain");
    });
    server->Get("/image/jpeg.cgi", [](const httplib::Request&, httplib::Response& res) {
      // A picture stream that never ends: 1 MB of picture data, the JPEG end marker, then more forever.
      res.set_chunked_content_provider("image/jpeg", [sent = std::size_t(0)](std::size_t, httplib::DataSink& sink) mutable {
        std::string piece(10000, '\x11');
        for (std::size_t i = 0; i < piece.size(); ++i) {
          if (sent + i == (1u << 20) - 1) piece[i] = '\xFF';
          if (sent + i == (1u << 20)) piece[i] = '\xD9';
        }
        sent += piece.size();
        return sink.write(piece.data(), piece.size());
      });
    });
    server->Get("/slow", [](const httplib::Request&, httplib::Response& res) {
      std::this_thread::sleep_for(1500ms);
      res.set_content("late", "text/plain");
    });
    server->Get("/cookies", [](const httplib::Request& req, httplib::Response& res) {
      res.set_header("Set-Cookie", req.get_param_value("first"));
      res.set_header("Set-Cookie", "second=2");
      res.set_header("WWW-Authenticate", req.get_param_value("auth"));
      res.set_content("", "text/plain");
    });
    server->Post("/form", [this](const httplib::Request& req, httplib::Response& res) {
      Record(req);
      res.set_content("posted", "text/plain");
    });
    http_ = std::make_unique<RunningServer>(std::move(server), "127.0.0.1");
  }

  void Record(const httplib::Request& req) {
    std::lock_guard lock(mutex_);
    requests_.push_back(req);
  }
  std::vector<httplib::Request> Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  bool Connect(HttpGet& client, const std::string& user, const std::string& password, int timeoutMs = 5000) {
    return client.Connect("127.0.0.1", user, password, timeoutMs, false, http_->Port());
  }
  std::string Body(HttpGet& client) { return ReadWholeBody(client); }

  DigestGate blankDigest_{"admin", ""};
  DigestGate cameraDigest_{"admin", "secret"};
  std::atomic<int> cameraRequests_{0};
  std::mutex mutex_;
  std::vector<httplib::Request> requests_;
  std::unique_ptr<RunningServer> http_;
};

}  // namespace

TEST_F(HttpGetTest, AutomaticModeAuthorization) {
  struct Case {
    const char* user;
    const char* password;
    const char* path;
    bool succeeds;
    const char* headerSeen;  // Authorization of the last request the server saw
  };
  const Case cases[] = {
      {"admin", "", "/echo-auth", true, "Basic YWRtaW46"},  // an empty password: "user:" up front
      {"", "", "/echo-auth", true, ""},                     // no user: no header
      {"admin", "secret", "/basic-camera", true, "Basic YWRtaW46c2VjcmV0"},  // answers the Basic challenge
      {"admin", "wrong", "/basic-camera", false, "Basic YWRtaW46d3Jvbmc="},
  };
  for (const Case& c : cases) {
    HttpGet client;
    ASSERT_TRUE(Connect(client, c.user, c.password));
    EXPECT_EQ(client.SendGet(c.path), c.succeeds) << c.user << ":" << c.password;
    ASSERT_FALSE(Requests().empty());
    EXPECT_EQ(Requests().back().get_header_value("Authorization"), c.headerSeen) << c.user << ":" << c.password;
    EXPECT_EQ(Requests().back().get_header_value("User-Agent"), "InetURL/1.0");
  }
}

TEST_F(HttpGetTest, AnEmptyPasswordAnswersADigestChallengeInTheSameCallAndCountsItsNonces) {
  HttpGet client;
  ASSERT_TRUE(Connect(client, "admin", ""));
  ASSERT_TRUE(client.SendGet("/digest"));  // "admin:" in Basic, a 401 with a challenge, then its answer
  EXPECT_EQ(client.QueryStatus(), 200);
  EXPECT_EQ(Body(client), "digest ok");
  ASSERT_EQ(client.AuthMode(), HttpGet::kAuthDigest);
  EXPECT_EQ(client.Digest().realm, "VRX");
  EXPECT_EQ(client.Digest().nonce, DigestGate::kNonce);
  const std::string cnonce = client.Digest().cnonce;
  ASSERT_EQ(cnonce.size(), 32u);
  EXPECT_EQ(cnonce.find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyz"), std::string::npos);
  const auto sent = Requests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].get_header_value("Authorization"), "Basic YWRtaW46");
  EXPECT_EQ(sent[1].get_header_value("Authorization").rfind("Digest ", 0), 0u);

  ASSERT_TRUE(client.SendGet("/digest"));
  const auto admitted = blankDigest_.Admitted();  // the server checked each response
  ASSERT_EQ(admitted.size(), 2u);
  EXPECT_EQ(admitted[0].at("nc"), "00000001");
  EXPECT_EQ(admitted[1].at("nc"), "00000002");
  EXPECT_EQ(admitted[0].at("cnonce"), cnonce);
  EXPECT_EQ(admitted[0].at("uri"), "/digest");

  // A new connection starts in the automatic mode again, and the host, known for Digest, gets no Basic.
  ASSERT_TRUE(Connect(client, "admin", ""));
  EXPECT_EQ(client.AuthMode(), HttpGet::kAuthAutomatic);
  ASSERT_TRUE(client.SendGet("/digest"));
  EXPECT_EQ(Body(client), "digest ok");
  for (std::size_t i = 2; i < Requests().size(); ++i)
    EXPECT_NE(Requests()[i].get_header_value("Authorization").rfind("Basic", 0), 0u) << i;
}

TEST_F(HttpGetTest, AnEmptyPasswordRefusedByADigestHostIsAnsweredOnce) {
  HttpGet client;
  ASSERT_TRUE(Connect(client, "admin", ""));
  EXPECT_FALSE(client.SendGet("/digest-camera"));  // the camera has a password of its own
  EXPECT_EQ(client.QueryStatus(), 401);
  EXPECT_EQ(client.AuthMode(), HttpGet::kAuthDigest);  // the latest challenge is kept for a later request
  EXPECT_EQ(cameraRequests_.load(), 2);
}

TEST_F(HttpGetTest, CredentialsAnswerADigestCameraAndA401Or409Fails) {
  HttpGet client;
  ASSERT_TRUE(Connect(client, "admin", "secret"));
  ASSERT_TRUE(client.SendGet("/digest-camera"));
  EXPECT_EQ(client.QueryStatus(), 200);
  EXPECT_EQ(Body(client), "camera ok");
  ASSERT_TRUE(Connect(client, "admin", "wrong"));
  EXPECT_FALSE(client.SendGet("/digest-camera"));
  EXPECT_FALSE(client.SendGet("/conflict"));
  EXPECT_TRUE(client.SendGet("/missing"));  // any other status is the caller's to judge
  EXPECT_EQ(client.QueryStatus(), 404);
  EXPECT_EQ(Body(client), "nope");
}

TEST_F(HttpGetTest, GetToBufferKeepsWhatFitsTheBuffer) {
  struct Case {
    std::size_t bodySize, capacity;
  };
  // Pieces of at most 8200 bytes; a piece that would reach the capacity is dropped with the rest, so a body
  // that fills the buffer exactly or more comes back shorter than the buffer, and a smaller one whole.
  const Case cases[] = {{0, 64000}, {5000, 64000}, {63999, 64000}, {64000, 64000}, {100000, 64000}, {99, 100}};
  for (const Case& c : cases) {
    HttpGet client;
    ASSERT_TRUE(Connect(client, "", ""));
    std::vector<std::uint8_t> buffer(c.capacity, 0);
    std::size_t size = buffer.size();
    ASSERT_TRUE(client.GetToBuffer("/body?n=" + std::to_string(c.bodySize), buffer.data(), size)) << c.bodySize;
    EXPECT_LT(size, c.capacity);
    EXPECT_LE(size, c.bodySize);
    if (c.bodySize + 1 < c.capacity) {
      EXPECT_EQ(size, c.bodySize);
    }
    for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(buffer[i], std::uint8_t('a' + i % 26)) << i;
  }
}

TEST_F(HttpGetTest, ReadChunkFollowsABodyThatNeverEnds) {
  HttpGet client;
  ASSERT_TRUE(Connect(client, "", ""));
  ASSERT_TRUE(client.SendGet("/image/jpeg.cgi"));
  std::vector<std::uint8_t> picture;
  std::uint8_t buf[4096];
  bool complete = false;
  while (!complete && picture.size() < (4u << 20)) {
    std::size_t got = 0;
    ASSERT_TRUE(client.ReadChunk(buf, sizeof buf, got));
    ASSERT_GT(got, 0u);
    for (std::size_t i = 0; i < got && !complete; ++i) {
      picture.push_back(buf[i]);
      complete = picture.size() >= 2 && picture[picture.size() - 2] == 0xFF && picture.back() == 0xD9;
    }
  }
  EXPECT_TRUE(complete);
  EXPECT_EQ(picture.size(), 1u << 20 | 1u);  // the marker's second byte is at offset 1 MB
  client.Close();  // ends the endless transfer
}

TEST_F(HttpGetTest, PostSendsTheUtf8BodyWithItsByteLength) {
  HttpGet client;
  ASSERT_TRUE(Connect(client, "admin", "pw"));
  client.SetAuthMode(HttpGet::kAuthNone);
  const std::string body = "name_first=Jörg&name_last=Ωmega&city=東京\r\n\r\n";
  ASSERT_TRUE(client.PostForm("/form", "Content-Type: application/x-www-form-urlencoded\r\nCookie: kelvaro=;\r\n", body));
  EXPECT_EQ(Body(client), "posted");
  const auto req = Requests().back();
  EXPECT_EQ(req.body, body);
  EXPECT_EQ(req.get_header_value("Content-Length"), std::to_string(body.size()));
  EXPECT_EQ(req.get_header_value("Cookie"), "kelvaro=;");
  EXPECT_FALSE(req.has_header("Authorization"));

  client.SetAuthMode(HttpGet::kAuthAutomatic);  // mode 0 posts always carry Basic user:password
  ASSERT_TRUE(client.PostForm("/form", "", "x=1"));
  EXPECT_EQ(Requests().back().get_header_value("Authorization"), "Basic " + Base64Encode("admin:pw"));
}

TEST_F(HttpGetTest, HeaderQueriesFitTheirBuffers) {
  HttpGet client;
  ASSERT_TRUE(Connect(client, "", ""));
  const std::string longCookie = "kelvaro=" + std::string(300, 'c');
  ASSERT_TRUE(client.SendGet("/cookies?first=kelvaro%3Dabc%3B%20path%3D%2F&auth=Digest%20realm%3Dx"));
  std::string value;
  EXPECT_TRUE(client.QuerySetCookie(value));
  EXPECT_EQ(value, "kelvaro=abc; path=/");  // the first Set-Cookie
  EXPECT_TRUE(client.QueryAuthenticate(value));
  EXPECT_EQ(value, "Digest realm=x");
  ASSERT_TRUE(client.SendGet("/cookies?first=" + longCookie + "&auth=" + std::string(256, 'a')));
  EXPECT_FALSE(client.QuerySetCookie(value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(client.QueryAuthenticate(value));
}

TEST_F(HttpGetTest, FailuresComeBackAsData) {
  HttpGet client;
  std::uint8_t buf[16];
  std::size_t got = 0;
  EXPECT_FALSE(client.SendGet("/echo-auth"));  // never connected
  EXPECT_FALSE(client.PostForm("/form", "", ""));
  EXPECT_FALSE(client.ReadChunk(buf, sizeof buf, got));

  ASSERT_TRUE(Connect(client, "", "", 300));
  EXPECT_FALSE(client.SendGet("/slow"));  // no answer within the time-out
  EXPECT_EQ(client.LastError().curlCode, 28);

  ASSERT_TRUE(client.Connect("127.0.0.1", "", "", 2000, false, 1));  // nothing listens there
  EXPECT_FALSE(client.SendGet("/"));
  EXPECT_EQ(client.LastError().curlCode, 7);
  EXPECT_FALSE(client.LastError().message.empty());
}

TEST_F(HttpGetTest, AbortFromAnotherThreadEndsTheWait) {
  HttpGet client;
  ASSERT_TRUE(Connect(client, "", "", 0));
  std::thread aborter([&] {
    std::this_thread::sleep_for(200ms);
    client.Abort();
  });
  EXPECT_FALSE(client.SendGet("/slow"));
  aborter.join();
}

TEST(HttpsSelfSigned, GetSucceedsAfterTheResendWhilePostFails) {
  const auto dir = std::filesystem::temp_directory_path() / ("vrx-net-tls-" + std::to_string(::getpid()));
  const TestCertificate cert = MakeCertificate(dir, "self-signed");
  auto server = std::make_unique<httplib::SSLServer>(cert.certPath.c_str(), cert.keyPath.c_str());
  std::atomic<int> gets{0}, posts{0};
  server->Get("/config/supportservices", [&](const httplib::Request&, httplib::Response& res) {
    ++gets;
    res.set_content("ok", "text/plain");
  });
  server->Post("/signin", [&](const httplib::Request&, httplib::Response& res) {
    ++posts;
    res.set_content("success", "text/plain");
  });
  RunningServer running(std::move(server), "127.0.0.1");

  HttpGet client;
  ASSERT_TRUE(client.Connect("127.0.0.1", "", "", 5000, true, running.Port()));
  ASSERT_TRUE(client.SendGet("/config/supportservices"));
  EXPECT_EQ(client.QueryStatus(), 200);
  EXPECT_EQ(gets, 1);
  EXPECT_FALSE(client.PostForm("/signin", "", "a=b\r\n\r\n"));
  EXPECT_TRUE(IsCertificateError(client.LastError().curlCode)) << client.LastError().message;
  EXPECT_EQ(posts, 0);
  std::filesystem::remove_all(dir);
}

namespace {

// A libcurl that refuses one option: every other one reaches the real curl_easy_setopt. Each option takes one
// argument of pointer size (long, pointer or curl_off_t on this platform), forwarded as it came.
CURLoption gRefusedOption = CURLoption(0);
decltype(&curl_easy_setopt) gRealSetopt = nullptr;
CURLcode RefusingSetopt(CURL* easy, CURLoption option, ...) {
  if (option == gRefusedOption) return CURLE_UNKNOWN_OPTION;
  va_list args;
  va_start(args, option);
  void* value = va_arg(args, void*);
  va_end(args);
  return gRealSetopt(easy, option, value);
}

class RefusedOption {
 public:
  explicit RefusedOption(CURLoption option) : library_(*CurlLibrary::LoadForTests()) {
    gRealSetopt = library_.curl_easy_setopt;
    gRefusedOption = option;
    library_.curl_easy_setopt = RefusingSetopt;
  }
  ~RefusedOption() { library_.curl_easy_setopt = gRealSetopt; }

 private:
  CurlLibrary& library_;
};

}  // namespace

// Every option that keeps the credentials from the wrong peer, refused by libcurl: the request is not sent at
// all (the recorder's Basic credentials included), and the error names the option.
TEST(ProtectiveOptions, ARefusedOptionSendsNothing) {
  const auto dir = std::filesystem::temp_directory_path() / ("vrx-net-options-" + std::to_string(::getpid()));
  const TestCertificate cert = MakeCertificate(dir, "self-signed");
  auto server = std::make_unique<httplib::SSLServer>(cert.certPath.c_str(), cert.keyPath.c_str());
  std::atomic<int> gets{0};
  server->Get("/config/supportservices", [&](const httplib::Request&, httplib::Response& res) {
    ++gets;
    res.set_content("ok", "text/plain");
  });
  RunningServer running(std::move(server), "127.0.0.1");
  ASSERT_NE(CurlLibrary::LoadForTests(), nullptr);

  struct Case {
    CURLoption option;
    const char* name;
    bool pinnedFirst;  // the recorder's key is pinned by an earlier request
  };
  const Case cases[] = {
      {CURLOPT_PINNEDPUBLICKEY, "PINNEDPUBLICKEY", true}, {CURLOPT_SSL_VERIFYPEER, "SSL_VERIFYPEER", false},
      {CURLOPT_SSL_VERIFYHOST, "SSL_VERIFYHOST", true},   {CURLOPT_PROTOCOLS_STR, "PROTOCOLS_STR", false},
      {CURLOPT_FOLLOWLOCATION, "FOLLOWLOCATION", true},   {CURLOPT_PROXY, "PROXY", false},
      {CURLOPT_CERTINFO, "CERTINFO", false},              {CURLOPT_HTTPAUTH, "HTTPAUTH", false},
  };
  for (const Case& c : cases) {
    HttpGet::ForgetPeers();
    HttpGet client;
    ASSERT_TRUE(client.Connect("127.0.0.1", "admin", "secret", 5000, true, running.Port())) << c.name;
    if (c.pinnedFirst) ASSERT_TRUE(client.SendGet("/config/supportservices")) << c.name;
    const int before = gets;
    {
      RefusedOption refused(c.option);
      EXPECT_FALSE(client.SendGet("/config/supportservices")) << c.name;
    }
    EXPECT_EQ(gets, before) << c.name;
    EXPECT_NE(client.LastError().message.find(std::string("CURLOPT_") + c.name), std::string::npos)
        << c.name << ": " << client.LastError().message;
  }
  std::filesystem::remove_all(dir);
}
