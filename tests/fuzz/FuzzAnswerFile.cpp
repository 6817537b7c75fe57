// vrx-provision's answer file reader (the TOML parser, then the schema: defaults, recorders, disks, cameras,
// cloud, secrets as environment names or inline): any text gives either a plan or errors, never both and never
// neither, and no error names a secret's value. The text is written to a private file (owner-only, so inline
// secrets are read too), as the program reads it; every environment name has a value. A text that names a
// secret file (a *_file key) is left out: the reader would open whatever path it names on this machine.
#include <sys/stat.h>
#include <unistd.h>

#include <toml++/toml.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "AnswerFile.h"
#include "net/DiscoveryProtocol.h"

namespace {

// The value of every environment name: a password every rule of the file accepts.
constexpr std::string_view kSecret = "Fz9secretPw";

bool NamesASecretFile(const toml::node& node) {
  if (const toml::table* table = node.as_table()) {
    for (const auto& [key, value] : *table)
      if (key.str().ends_with("_file") || NamesASecretFile(value)) return true;
  } else if (const toml::array* array = node.as_array()) {
    for (const toml::node& element : *array)
      if (NamesASecretFile(element)) return true;
  }
  return false;
}

// A folder of this process, removed at exit, with the one answer file: in memory where there is a tmpfs (a disk
// file rewritten for every input costs the disk's time, not the reader's).
const std::string& AnswerPath() {
  static const std::string path = [] {
    static char folder[] = "/dev/shm/vrx-fuzz-answers-XXXXXX";
    static char onDisk[] = "/tmp/vrx-fuzz-answers-XXXXXX";
    if (!::mkdtemp(folder) && !::mkdtemp(std::strcpy(folder, onDisk))) std::abort();
    std::atexit([] {
      std::remove((std::string(folder) + "/site.toml").c_str());
      ::rmdir(folder);
    });
    return std::string(folder) + "/site.toml";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (size > vrx::provision::kMaxAnswerFileBytes) return 0;
  try {
    if (NamesASecretFile(toml::parse(text))) return 0;
  } catch (const toml::parse_error&) {
    // the reader reports it: still worth reading
  }
  const std::string& path = AnswerPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  ::chmod(path.c_str(), 0600);

  const vrx::provision::AnswerFileResult result =
      vrx::provision::ReadAnswerFile(path, [](const std::string&) { return std::optional<std::string>(kSecret); });
  if (result.plan.has_value() == !result.errors.empty()) __builtin_trap();
  // A secret's value is never shown (unless the text itself holds those characters, say as a key).
  if (text.find(kSecret) == std::string_view::npos)
    for (const vrx::provision::AnswerError& e : result.errors)
      if (vrx::provision::FormatAnswerError(path, e).find(kSecret) != std::string::npos) __builtin_trap();
  // A plan names at least one recorder, each by a MAC written as the search writes it, none twice.
  if (result.plan) {
    if (result.plan->recorders.empty()) __builtin_trap();
    std::set<std::string> macs;
    for (const auto& recorder : result.plan->recorders) {
      const auto mac = vrx::net::ParseMacText(recorder.mac);
      if (!mac || vrx::net::FormatMac(mac->data()) != recorder.mac || !macs.insert(recorder.mac).second)
        __builtin_trap();
    }
  }
  return 0;
}
