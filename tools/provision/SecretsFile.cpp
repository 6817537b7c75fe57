#include "SecretsFile.h"

#include <unistd.h>
#include <toml++/toml.h>

#include <cerrno>

#include "SecretSources.h"
#include "net/PeerText.h"

namespace vrx::provision {

namespace {

FilePlace PlaceOf(const toml::source_region& region) { return {int(region.begin.line), int(region.begin.column)}; }

// The values the parser keeps are wiped once they are taken or refused.
void WipeValues(toml::table& table) {
  for (auto&& [key, value] : table)
    if (auto* text = value.as_string()) net::WipeString(text->get());
}

}  // namespace

SecretsFileResult ReadSecretsFile(const std::string& path) {
  SecretsFileResult result;
  auto error = [&](FilePlace place, std::string key, std::string message) {
    result.errors.push_back({place, std::move(key), std::move(message)});
  };
  const bool standardInput = path == "-";
  FileHandle file(standardInput ? ::dup(STDIN_FILENO) : OpenToRead(path));
  if (file.fd() < 0) {
    error({1, 1}, "file", CannotRead("the secrets file", errno));
    return result;
  }
  if (!standardInput)
    if (std::string fault = PrivateFault(file.fd(), "the secrets file"); !fault.empty()) {
      error({1, 1}, "file", fault);
      return result;
    }
  std::optional<std::string> text = ReadUpTo(file.fd(), kMaxSecretsFileBytes);
  if (!text) {
    error({1, 1}, "file", CannotRead("the secrets file", errno));
    return result;
  }
  if (text->size() > kMaxSecretsFileBytes) {
    net::WipeString(*text);
    error({1, 1}, "file", "the secrets file is larger than 64 KB");
    return result;
  }
  toml::table table;
  try {
    table = toml::parse(*text, standardInput ? "-" : path);
    net::WipeString(*text);
  } catch (const toml::parse_error& e) {
    net::WipeString(*text);
    // Not the parser's words: they may quote a character of a value.
    error(PlaceOf(e.source()), "syntax", "not a NAME = \"value\" line");
    return result;
  }
  for (auto&& [key, value] : table) {
    const std::string name(key.str());
    const FilePlace place = PlaceOf(key.source());
    const std::string shown = net::CleanPeerText(name);
    auto* text = value.as_string();
    if (!text) {
      error(place, shown, "must be a quoted string");
    } else if (text->get().empty()) {
      error(place, shown, "must not be empty");
    } else if (text->get().size() > kMaxSecretBytes) {
      error(place, shown, "is longer than a password");
    } else {
      result.secrets.emplace(name, net::Secret(text->get()));
    }
  }
  WipeValues(table);
  if (!result.errors.empty()) result.secrets.clear();
  return result;
}

Environment WithSecrets(std::shared_ptr<const std::map<std::string, net::Secret>> secrets, Environment fallback) {
  return [secrets = std::move(secrets), fallback = std::move(fallback)](const std::string& name)
             -> std::optional<std::string> {
    if (const auto it = secrets->find(name); it != secrets->end()) return std::string(it->second.View());
    return fallback ? fallback(name) : std::nullopt;
  };
}

}  // namespace vrx::provision
