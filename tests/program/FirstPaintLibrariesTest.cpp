// The program up to the welcome page's first paint, as started by a person: it maps no part of the network
// stack (libcurl and the TLS, Kerberos, LDAP, SSH libraries under it come with the first request), and it
// writes nothing into the user's folders but its session log.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

#include <unistd.h>

namespace {

struct ProgramRun {
  std::string output;  // stdout and the loader's trace
  int status = -1;
};

ProgramRun StartToFirstPaint(const std::filesystem::path& home) {
  const std::string program = std::string(std::getenv("VRX_BUILD_DIR")) + "/app/vrx-setup-wizard";
  const std::string command = "env -i PATH=/usr/bin:/bin HOME='" + home.string() +
                              "' XDG_DATA_HOME='" + home.string() + "/share' QT_QPA_PLATFORM=offscreen "
                              "VRX_EXIT_AFTER_FIRST_PAINT=1 LD_DEBUG=files '" + program + "' 2>&1";
  ProgramRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> chunk{};
  while (std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe)) run.output.append(chunk.data(), n);
  run.status = ::pclose(pipe);
  return run;
}

TEST(FirstPaintTest, NoNetworkLibraryAndNoIconFileBeforeThePageIsShown) {
  const std::filesystem::path home = std::filesystem::temp_directory_path() / ("vrx-first-paint." + std::to_string(::getpid()));
  std::filesystem::create_directories(home);
  const ProgramRun run = StartToFirstPaint(home);
  ASSERT_EQ(run.status, 0) << run.output.substr(run.output.size() > 3000 ? run.output.size() - 3000 : 0);
  ASSERT_NE(run.output.find("first-paint-ms="), std::string::npos) << "the welcome page was never painted";

  // "file=libcurl.so.4 [0];  needed by ..." or "... dynamically loaded by ..." for every library mapped.
  const std::regex network(R"(file=(lib(curl|ssl|crypto|gssapi|krb5|ldap|ssh|rtmp|gnutls|nghttp)[^ ]*))");
  std::smatch hit;
  EXPECT_FALSE(std::regex_search(run.output, hit, network)) << hit.str(1) << " was loaded before the first paint";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home))
    EXPECT_NE(entry.path().filename(), "VRX-410Q.ico") << "the icon file was written at start: " << entry.path();
  std::filesystem::remove_all(home);
}

}  // namespace
