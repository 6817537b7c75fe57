#include "AnswerFile.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "PasswordRules.h"
#include "SecretSources.h"
#include "net/DiscoveryProtocol.h"
#include "net/PeerText.h"

namespace vrx::provision {

namespace {

FilePlace PlaceOf(const toml::source_region& region) { return {int(region.begin.line), int(region.begin.column)}; }

// What the whole reading shares: the errors so far, the environment, and where the answer file is.
struct ReadingContext {
  std::vector<AnswerError> errors;
  Environment environment;
  std::filesystem::path folder;  // secret files are found relative to the answer file
  std::string inlineFault;       // empty when the answer file may hold inline secrets

  void Error(FilePlace place, std::string key, std::string message) {
    errors.push_back({place, std::move(key), std::move(message)});
  }
};

// One TOML table as it is read: each key read is remembered, so that every other key can be refused as
// unknown at the end.
class TableReader {
 public:
  TableReader(const toml::table& table, std::string path, ReadingContext& context)
      : table_(table), path_(std::move(path)), context_(context) {}

  FilePlace Place() const { return PlaceOf(table_.source()); }
  std::string KeyPath(std::string_view key) const {
    return path_.empty() ? std::string(key) : path_ + "." + std::string(key);
  }
  void Error(std::string_view key, std::string message) {
    context_.Error(PlaceOfKey(key), KeyPath(key), std::move(message));
  }
  void Missing(std::string_view key, std::string message = "missing: the answer is required") {
    context_.Error(Place(), KeyPath(key), std::move(message));
  }
  ReadingContext& Context() { return context_; }

  const toml::node* Node(std::string_view key) {
    read_.insert(std::string(key));
    return table_.get(key);
  }
  bool Has(std::string_view key) const { return table_.contains(key); }

  FilePlace PlaceOfKey(std::string_view key) const {
    for (auto&& [k, v] : table_)
      if (k.str() == key) return PlaceOf(k.source());
    return Place();
  }

  std::optional<std::string> String(std::string_view key) {
    const toml::node* n = Node(key);
    if (!n) return std::nullopt;
    if (const auto* s = n->as_string()) return s->get();
    Error(key, "must be a string");
    return std::nullopt;
  }
  std::optional<bool> Bool(std::string_view key) {
    const toml::node* n = Node(key);
    if (!n) return std::nullopt;
    if (const auto* b = n->as_boolean()) return b->get();
    Error(key, "must be true or false");
    return std::nullopt;
  }
  std::optional<long long> Integer(std::string_view key, long long low, long long high) {
    const toml::node* n = Node(key);
    if (!n) return std::nullopt;
    const auto* i = n->as_integer();
    if (!i || i->get() < low || i->get() > high) {
      Error(key, "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
      return std::nullopt;
    }
    return i->get();
  }
  const toml::table* Table(std::string_view key) {
    const toml::node* n = Node(key);
    if (!n) return nullptr;
    if (const auto* t = n->as_table()) return t;
    Error(key, "must be a table");
    return nullptr;
  }
  // An array of tables ([[recorder.camera]]); empty when absent or of another kind (then an error).
  std::vector<const toml::table*> Tables(std::string_view key) {
    std::vector<const toml::table*> tables;
    const toml::node* n = Node(key);
    if (!n) return tables;
    const auto* array = n->as_array();
    if (!array || !array->is_array_of_tables()) {
      Error(key, std::string("must be written as [[") + KeyPath(key) + "]] tables");
      return tables;
    }
    for (const toml::node& element : *array) tables.push_back(element.as_table());
    return tables;
  }

  // A secret given as `<name>`, `<name>_file` or `<name>_env`: exactly one of them.
  std::optional<net::Secret> Secret(const std::string& name, bool required) {
    const std::string fileKey = name + "_file", envKey = name + "_env";
    const int given = int(Has(name)) + int(Has(fileKey)) + int(Has(envKey));
    if (given > 1) {
      Error(name + (Has(name) ? "" : "_file"), "give only one of " + name + ", " + fileKey + " and " + envKey);
      Node(name), Node(fileKey), Node(envKey);
      return std::nullopt;
    }
    if (given == 0) {
      if (required) Missing(name, "missing: give " + fileKey + ", " + envKey + " or " + name);
      return std::nullopt;
    }
    if (auto file = String(fileKey)) return FromFile(fileKey, *file);
    if (auto variable = String(envKey)) return FromEnvironment(envKey, *variable);
    if (auto text = String(name)) return Inline(name, *text);
    return std::nullopt;
  }

  // Every key of the table that was not read.
  void RefuseUnknownKeys() {
    for (auto&& [k, v] : table_)
      if (!read_.contains(std::string(k.str()))) context_.Error(PlaceOf(k.source()), KeyPath(k.str()), "unknown key");
  }

 private:
  std::optional<net::Secret> FromFile(const std::string& key, const std::string& name) {
    if (name.empty()) {
      Error(key, "must name a file");
      return std::nullopt;
    }
    const std::filesystem::path path = context_.folder / name;
    SecretOrFault got = ReadSecretFile(path.string(), net::CleanPeerText(name));
    if (auto* fault = std::get_if<std::string>(&got)) {
      Error(key, *fault);
      return std::nullopt;
    }
    return std::move(std::get<net::Secret>(got));
  }
  std::optional<net::Secret> FromEnvironment(const std::string& key, const std::string& variable) {
    if (variable.empty()) {
      Error(key, "must name an environment variable");
      return std::nullopt;
    }
    std::optional<std::string> value = context_.environment(variable);
    const std::string shown = net::CleanPeerText(variable);
    if (!value) {
      Error(key, "environment variable " + shown + " is not set");
      return std::nullopt;
    }
    if (value->empty()) {
      Error(key, "environment variable " + shown + " is empty");
      return std::nullopt;
    }
    if (value->size() > kMaxSecretBytes) {
      net::WipeString(*value);
      Error(key, "environment variable " + shown + " is longer than a password");
      return std::nullopt;
    }
    return net::Secret::Taking(*value);
  }
  std::optional<net::Secret> Inline(const std::string& key, std::string text) {
    if (!context_.inlineFault.empty()) {
      net::WipeString(text);
      Error(key, "an inline secret needs an answer file nobody else can read: " + context_.inlineFault + " (or use " +
                     key + "_file or " + key + "_env)");
      return std::nullopt;
    }
    if (text.empty()) {
      Error(key, "must not be empty");
      return std::nullopt;
    }
    return net::Secret::Taking(text);
  }

  const toml::table& table_;
  std::string path_;
  ReadingContext& context_;
  std::set<std::string> read_;
};

// ---------------------------------------------------------------------------------------------------------------

struct Defaults {
  std::optional<ZoneAnswer> zone;
  std::optional<bool> shortcut;
  std::optional<CloudAnswer> cloud;
};

struct NamedValue {
  const char* name;
  int value;
};
constexpr NamedValue kIfSetUpNames[] = {{"stop", int(IfSetUp::Stop)}, {"reconfigure", int(IfSetUp::Reconfigure)}};
constexpr NamedValue kCloudModeNames[] = {
    {"skip", int(CloudMode::Skip)}, {"sign_in", int(CloudMode::SignIn)}, {"sign_up", int(CloudMode::SignUp)}};

template <std::size_t N>
std::optional<int> Choice(TableReader& t, std::string_view key, const NamedValue (&names)[N]) {
  const std::optional<std::string> text = t.String(key);
  if (!text) return std::nullopt;
  std::string allowed;
  for (const NamedValue& n : names) {
    if (*text == n.name) return n.value;
    allowed += std::string(allowed.empty() ? "\"" : ", \"") + n.name + "\"";
  }
  t.Error(key, "must be one of " + allowed);
  return std::nullopt;
}

// time_zone or time_zone_number, not both; nullopt when neither is given.
std::optional<ZoneAnswer> ReadZone(TableReader& t) {
  const std::optional<std::string> name = t.String("time_zone");
  const std::optional<long long> number = t.Integer("time_zone_number", 1, 999);
  if (name && number) {
    t.Error("time_zone_number", "give time_zone or time_zone_number, not both");
    return std::nullopt;
  }
  if (name) {
    if (name->empty()) {
      t.Error("time_zone", "must not be empty");
      return std::nullopt;
    }
    return ZoneAnswer{*name, 0};
  }
  if (number) return ZoneAnswer{{}, int(*number)};
  return std::nullopt;
}

std::optional<CloudAnswer> ReadCloud(const toml::table& table, const std::string& path, ReadingContext& context) {
  TableReader t(table, path, context);
  CloudAnswer cloud;
  const std::optional<int> mode = Choice(t, "mode", kCloudModeNames);
  if (!mode && !t.Has("mode")) t.Missing("mode", "missing: \"skip\", \"sign_in\" or \"sign_up\"");
  bool ok = mode.has_value();
  if (mode) cloud.mode = CloudMode(*mode);
  const bool account = ok && cloud.mode != CloudMode::Skip;
  if (account) {
    if (auto email = t.String("email")) {
      if (IsCloudEmail(*email))
        cloud.email = *email;
      else
        t.Error("email", "is not an e-mail address the cloud page accepts"), ok = false;
    } else if (!t.Has("email")) {
      t.Missing("email"), ok = false;
    }
    if (auto password = t.Secret("password", true))
      cloud.password = std::move(*password);
    else
      ok = false;
  }
  if (ok && cloud.mode == CloudMode::SignUp) {
    for (auto [key, field] : {std::pair{"first_name", &cloud.firstName}, std::pair{"last_name", &cloud.lastName}}) {
      if (auto text = t.String(key); text && !text->empty())
        *field = *text;
      else if (!t.Has(key))
        t.Missing(key, "missing: sign_up needs it"), ok = false;
      else
        t.Error(key, "must not be empty"), ok = false;
    }
  }
  // Keys of the other modes are not silently ignored.
  if (ok && cloud.mode != CloudMode::SignUp)
    for (const char* key : {"first_name", "last_name"})
      if (t.Has(key)) t.Node(key), t.Error(key, "is read only with mode = \"sign_up\"");
  if (ok && !account)
    for (const char* key : {"email", "password", "password_file", "password_env"})
      if (t.Has(key)) t.Node(key), t.Error(key, "is read only with mode = \"sign_in\" or \"sign_up\"");
  t.RefuseUnknownKeys();
  if (!ok) return std::nullopt;
  return cloud;
}

Defaults ReadDefaults(TableReader& top) {
  Defaults d;
  const toml::table* table = top.Table("defaults");
  if (!table) return d;
  TableReader t(*table, "defaults", top.Context());
  d.zone = ReadZone(t);
  d.shortcut = t.Bool("shortcut");
  if (const toml::table* cloud = t.Table("cloud")) d.cloud = ReadCloud(*cloud, "defaults.cloud", top.Context());
  t.RefuseUnknownKeys();
  return d;
}

std::optional<DiskAnswer> ReadDisk(const toml::table& table, ReadingContext& context) {
  TableReader t(table, "recorder.disk", context);
  DiskAnswer disk;
  disk.place = t.Place();
  const auto bay = t.Integer("bay", 1, 2);
  if (!bay && !t.Has("bay")) t.Missing("bay", "missing: 1 (HD1) or 2 (HD2)");
  const auto model = t.String("model");
  if (!model && !t.Has("model")) t.Missing("model", "missing: the model the recorder reports for the bay");
  if (model && model->empty()) t.Error("model", "must not be empty");
  disk.sizeMb = t.Integer("size_mb", 1, 1LL << 40);
  disk.format = t.Bool("format").value_or(false);
  t.RefuseUnknownKeys();
  if (!bay || !model || model->empty()) return std::nullopt;
  disk.bay = int(*bay);
  disk.model = *model;
  return disk;
}

std::optional<CameraAnswer> ReadCamera(const toml::table& table, ReadingContext& context) {
  TableReader t(table, "recorder.camera", context);
  CameraAnswer camera;
  camera.place = t.Place();
  const auto address = t.String("address");
  const auto id = t.String("id");
  bool ok = true;
  if (address && id)
    t.Error("id", "give address or id, not both"), ok = false;
  else if (!address && !id && !t.Has("address") && !t.Has("id"))
    t.Missing("address", "missing: give address or id"), ok = false;
  if (address && !net::IsDeviceAddress(*address))
    t.Error("address", "is not an IPv4 address (a.b.c.d or a.b.c.d:port)"), ok = false;
  if (id && id->empty()) t.Error("id", "must not be empty"), ok = false;
  camera.create = t.Bool("create").value_or(false);
  std::optional<net::Secret> password;
  if (camera.create) {
    password = t.Secret("new_password", true);
    if (password)
      if (auto fault = NewCameraPasswordFault(password->View())) {
        t.Error(t.Has("new_password")        ? "new_password"
                : t.Has("new_password_file") ? "new_password_file"
                                             : "new_password_env",
                *fault);
        password.reset();
      }
    for (const char* key : {"password", "password_file", "password_env"})
      if (t.Has(key)) t.Node(key), t.Error(key, "a camera with create = true takes new_password");
  } else {
    password = t.Secret("password", true);
    for (const char* key : {"new_password", "new_password_file", "new_password_env"})
      if (t.Has(key)) t.Node(key), t.Error(key, "is read only with create = true");
  }
  t.RefuseUnknownKeys();
  if (!ok || !password || !(address || id)) return std::nullopt;
  camera.address = address.value_or("");
  camera.id = id.value_or("");
  camera.password = std::move(*password);
  return camera;
}

// The secret key that was given of a name's three forms, for an error about its value.
std::string GivenForm(const TableReader& t, const std::string& name) {
  for (const std::string& key : {name, name + "_file", name + "_env"})
    if (t.Has(key)) return key;
  return name;
}

std::optional<RecorderAnswer> ReadRecorder(const toml::table& table, const Defaults& defaults, ReadingContext& context,
                                           std::set<std::string>& macs) {
  TableReader t(table, "recorder", context);
  RecorderAnswer r;
  r.place = t.Place();
  const std::size_t errorsBefore = context.errors.size();

  if (auto mac = t.String("mac")) {
    if (auto bytes = net::ParseMacText(*mac)) {
      r.mac = net::FormatMac(bytes->data());
      if (!macs.insert(r.mac).second) t.Error("mac", r.mac + " is listed twice");
    } else {
      t.Error("mac", "is not a MAC address (six pairs of hex digits separated by \":\")");
    }
  } else if (!t.Has("mac")) {
    t.Missing("mac", "missing: the MAC on the recorder's label");
  }

  if (auto choice = Choice(t, "if_set_up", kIfSetUpNames)) r.ifSetUp = IfSetUp(*choice);
  if (auto password = t.Secret("admin_password", true)) {
    if (auto fault = AdminPasswordFault(password->View()))
      t.Error(GivenForm(t, "admin_password"), *fault);
    else
      r.adminPassword = std::move(*password);
  }
  if (r.ifSetUp == IfSetUp::Reconfigure) {
    if (auto current = t.Secret("current_admin_password", true)) {
      if (current->size() > kMaxAccountFieldBytes)
        t.Error(GivenForm(t, "current_admin_password"), "is longer than the recorder's account field (48 bytes)");
      else
        r.currentAdminPassword = std::move(*current);
    }
  } else {
    for (const char* key : {"current_admin_password", "current_admin_password_file", "current_admin_password_env"})
      if (t.Has(key)) t.Node(key), t.Error(key, "is read only with if_set_up = \"reconfigure\"");
  }

  if (auto zone = ReadZone(t))
    r.zone = *zone;
  else if (defaults.zone)
    r.zone = *defaults.zone;
  else if (!t.Has("time_zone") && !t.Has("time_zone_number"))
    t.Missing("time_zone", "missing: give time_zone or time_zone_number here or in [defaults]");

  if (auto shortcut = t.Bool("shortcut"))
    r.shortcut = *shortcut;
  else if (defaults.shortcut)
    r.shortcut = *defaults.shortcut;
  else if (!t.Has("shortcut"))
    t.Missing("shortcut", "missing: true or false, here or in [defaults]");

  r.removeUnlistedCameras = t.Bool("remove_unlisted_cameras").value_or(false);

  std::set<int> bays;
  for (const toml::table* disk : t.Tables("disk"))
    if (auto d = ReadDisk(*disk, context)) {
      if (!bays.insert(d->bay).second)
        context.Error(d->place, "recorder.disk.bay", "bay " + std::to_string(d->bay) + " is listed twice");
      r.disks.push_back(std::move(*d));
    }

  const std::vector<const toml::table*> cameras = t.Tables("camera");
  std::set<std::string> names;
  for (std::size_t i = 0; i < cameras.size(); ++i) {
    if (int(i) == kMaxCameras) {
      context.Error(PlaceOf(cameras[i]->source()), "recorder.camera",
                    "at most " + std::to_string(kMaxCameras) + " cameras per recorder");
      break;
    }
    if (auto c = ReadCamera(*cameras[i], context)) {
      if (!names.insert(c->Name()).second) context.Error(c->place, "recorder.camera", c->Name() + " is listed twice");
      r.cameras.push_back(std::move(*c));
    }
  }

  if (const toml::table* cloud = t.Table("cloud")) {
    if (auto c = ReadCloud(*cloud, "recorder.cloud", context)) r.cloud = std::move(*c);
  } else if (defaults.cloud) {
    r.cloud = defaults.cloud->Copy();
  } else if (!t.Has("cloud")) {
    t.Missing("cloud", "missing: a [recorder.cloud] or [defaults.cloud] table (mode = \"skip\" to leave it)");
  }

  t.RefuseUnknownKeys();
  if (context.errors.size() != errorsBefore) return std::nullopt;
  return r;
}

std::optional<toml::table> Parse(const std::string& path, ReadingContext& context) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    context.Error({1, 1}, "file", "cannot read the answer file");
    return std::nullopt;
  }
  // Read in pieces up to one byte past the limit: a small file costs its own size, not the limit's. The room is
  // made once, so no copy of an inline secret is left behind in a grown buffer.
  std::error_code unknown;
  const std::uintmax_t size = std::filesystem::file_size(path, unknown);
  std::string text;
  text.reserve(std::size_t(std::min<std::uintmax_t>(unknown ? 0 : size, kMaxAnswerFileBytes)) + 1);
  char piece[16384];
  while (text.size() <= kMaxAnswerFileBytes && in.read(piece, sizeof piece).gcount() > 0)
    text.append(piece, std::size_t(in.gcount()));
  net::WipeBytes(piece, sizeof piece);
  if (text.size() > kMaxAnswerFileBytes) {
    context.Error({1, 1}, "file", "the answer file is larger than 1 MB");
    return std::nullopt;
  }
  try {
    toml::table table = toml::parse(text, path);
    net::WipeString(text);  // it may hold inline secrets
    return table;
  } catch (const toml::parse_error& e) {
    net::WipeString(text);
    // The parser's own words, which name a key or a character of the file but never a value.
    context.Error(PlaceOf(e.source()), "syntax", net::CleanPeerText(e.description()));
    return std::nullopt;
  }
}

}  // namespace

Environment ProcessEnvironment() {
  return [](const std::string& name) -> std::optional<std::string> {
    if (const char* value = std::getenv(name.c_str())) return std::string(value);
    return std::nullopt;
  };
}

AnswerFileResult ReadAnswerFile(const std::string& path, const Environment& environment) {
  ReadingContext context;
  context.environment = environment;
  context.folder = std::filesystem::path(path).parent_path();
  context.inlineFault = PrivateFileFault(path, "the answer file");

  AnswerFileResult result;
  std::optional<toml::table> table = Parse(path, context);
  if (!table) {
    result.errors = std::move(context.errors);
    return result;
  }
  TableReader top(*table, "", context);
  if (const toml::node* version = top.Node("version"); !version) {
    top.Missing("version", "missing: this program reads version = 1");
  } else if (const auto* number = version->as_integer(); !number || number->get() != kAnswerFileVersion) {
    top.Error("version", "must be 1 (the only version this program reads)");
  }
  const Defaults defaults = ReadDefaults(top);
  SitePlan plan;
  const std::vector<const toml::table*> recorders = top.Tables("recorder");
  if (recorders.empty() && !top.Has("recorder")) top.Missing("recorder", "missing: at least one [[recorder]] table");
  std::set<std::string> macs;
  for (const toml::table* recorder : recorders)
    if (auto r = ReadRecorder(*recorder, defaults, context, macs)) {
      r->index = int(plan.recorders.size());
      plan.recorders.push_back(std::move(*r));
    }
  top.RefuseUnknownKeys();

  std::stable_sort(context.errors.begin(), context.errors.end(), [](const AnswerError& a, const AnswerError& b) {
    return std::pair(a.place.line, a.place.column) < std::pair(b.place.line, b.place.column);
  });
  result.errors = std::move(context.errors);
  if (result.errors.empty()) result.plan = std::move(plan);
  return result;
}

std::string FormatAnswerError(const std::string& file, const AnswerError& error) {
  return file + ":" + std::to_string(error.place.line) + ":" + std::to_string(error.place.column) + ": " + error.key +
         ": " + error.message;
}

}  // namespace vrx::provision
