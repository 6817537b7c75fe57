// Linked into every network test: before main() runs, the test re-executes itself inside scripts/sandbox (a
// fresh network namespace with only loopback, plus 127.0.0.2 as a second "adapter"). Under ctest it is
// already inside one; the nested call then only adds the address. It never runs in the machine's namespace.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::vector<std::string> OwnArguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  std::string current;
  for (char c : all) {
    if (c == '\0') {
      args.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  return args;
}

struct EnterSandbox {
  EnterSandbox() {
    if (const char* entered = std::getenv("VRX_NET_TEST_ENTERED"); entered && std::string(entered) == "1") {
      if (const char* inside = std::getenv("VRX_SANDBOX"); inside && std::string(inside) == "1") return;
      std::fprintf(stderr, "network test: not inside the sandbox, refusing to run\n");
      std::_Exit(2);
    }
    ::setenv("VRX_NET_TEST_ENTERED", "1", 1);
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) std::_Exit(2);
    self[n] = '\0';
    std::vector<std::string> args = {VRX_SANDBOX_SCRIPT, "--addr", "127.0.0.2", "--", self};
    const auto own = OwnArguments();
    for (std::size_t i = 1; i < own.size(); ++i) args.push_back(own[i]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    std::perror("network test: cannot enter the sandbox");
    std::_Exit(2);
  }
} enterSandbox;

}  // namespace
