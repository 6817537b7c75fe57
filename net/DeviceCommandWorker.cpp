#include "net/DeviceCommandWorker.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <vector>

#include "net/Base64.h"
#include "net/ReplyParsers.h"
#include "net/RequestLog.h"
#include "net/PeerText.h"
#include "net/ServiceAddresses.h"
#include "net/UrlText.h"

namespace vrx::net {

// A field of a command's query or form: its name and the slot it comes from, or a fixed value.
struct FormField {
  const char* name;
  int slot;
  const char* fixed = nullptr;
};

namespace {

using std::chrono::milliseconds;

// Every command the worker runs and whether it changes a device or the account service: a read-only worker
// starts only those that do not. One row per command; a code not listed counts as a write.
struct CommandRule {
  int command;
  bool writes;
};
constexpr CommandRule kCommandTable[] = {
    {DeviceCommandWorker::kCloudSignUp, true},             // creates an account at the service
    {DeviceCommandWorker::kCloudSignIn, true},             // sends the account password and opens a session:
                                                           // only ever the way to a bind
    {DeviceCommandWorker::kCloudBind, true},               // binds the recorder to the account
    {DeviceCommandWorker::kFormatDisk, true},              // erases a disk
    {DeviceCommandWorker::kPollFormat, false},             // reads a running format's progress
    {DeviceCommandWorker::kAddCamera, true},               // the recorder records a camera from now on
    {DeviceCommandWorker::kDeleteCamera, true},            // ... and stops recording one
    {DeviceCommandWorker::kSetCloudRegStatus, true},       // marks the recorder registered
    {DeviceCommandWorker::kReadCloudPortal, false},        // reads the recorder's portal values
    {DeviceCommandWorker::kSendCloudRegInfo, true},        // writes the account into the recorder
    {DeviceCommandWorker::kListCameras, false},            // reads the services and the camera list
    {DeviceCommandWorker::kSetCameraPassword, true},       // gives a camera a new password
    {DeviceCommandWorker::kCheckCameraPassword, false},    // tries a camera's password (the user list)
    {DeviceCommandWorker::kCheckAccountDatagram, false},   // tries the admin password (the blank-password probe)
    {DeviceCommandWorker::kChangePasswordDatagram, true},  // gives the recorder (or a camera) a new password
};

// The slots that hold a password (plain or Base64) or the service's session cookie: kept as Secrets.
constexpr int kSecretSlots[] = {DeviceCommandWorker::kSlotPass,         DeviceCommandWorker::kSlotRegPassword,
                                DeviceCommandWorker::kSlotPassword,     DeviceCommandWorker::kSlotPasswordVerify,
                                DeviceCommandWorker::kSlotCloudCookie,  DeviceCommandWorker::kSlotUserPassword};
bool IsSecretSlot(int slot) { return std::ranges::find(kSecretSlots, slot) != std::end(kSecretSlots); }

constexpr const char* kPortalKeys[] = {"status", "access", "portal_url", "portal_number",
                                       "portal_dfp", "model", "localhyperlink"};

std::uint64_t PackMac(const MacAddress& mac) {
  std::uint64_t bits = 0;
  for (std::uint8_t b : mac) bits = bits << 8 | b;
  return bits;
}

MacAddress UnpackMac(std::uint64_t bits) {
  MacAddress mac;
  for (int i = 5; i >= 0; --i, bits >>= 8) mac[i] = std::uint8_t(bits);
  return mac;
}

// A decimal number from a peer; 0 when the text does not start with one.
int PeerNumber(std::string_view text) {
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

using W = DeviceCommandWorker;

// Appends "name=value" (the value percent-encoded) to a "name=value&name=value..." text.
void AppendField(std::string& out, std::string_view name, std::string_view value) {
  if (!out.empty()) out += '&';
  out += name;
  out += '=';
  out += PercentEncode(value);
}

// "name=value&name=value..." with every value percent-encoded.
std::string EncodedFields(std::initializer_list<std::pair<const char*, std::string_view>> fields) {
  std::string out;
  for (const auto& [name, value] : fields) AppendField(out, name, value);
  return out;
}

// The parameters of command 2009, in the order the recorder reads them.
constexpr FormField kAddCameraFields[] = {
    {"avdevid", W::kSlotAvDevId}, {"avdevname", W::kSlotAvDevName}, {"hostname", W::kSlotHostName},
    {"hostid", W::kSlotHostId},   {"protocol", W::kSlotProtocol},   {"protocoltype", W::kSlotProtocolType},
    {"account", W::kSlotAccount}, {"pass", W::kSlotPass},           {"brand", W::kSlotBrand},
    {"product", W::kSlotProduct}};

// The cloud posts: where each goes and its form (the error count follows the fields).
struct CloudForm {
  int command;
  const char* path;
  const char* contentType;
  std::span<const FormField> fields;
};
constexpr FormField kSignUpFields[] = {
    {"client", W::kSlotClient},     {"wizard_version", W::kSlotWizardVersion},   {"lang", W::kSlotLang},
    {"action", -1, "sign-up"},      {"accept", -1, "accept"},                    {"email", W::kSlotEmail},
    {"password", W::kSlotPassword}, {"password_verify", W::kSlotPasswordVerify}, {"name_first", W::kSlotNameFirst},
    {"name_last", W::kSlotNameLast}};
constexpr FormField kSignInFields[] = {{"client", W::kSlotClient}, {"wizard_version", W::kSlotWizardVersion},
                                       {"lang", W::kSlotLang},     {"email", W::kSlotEmail},
                                       {"password", W::kSlotPassword}};
constexpr FormField kBindFields[] = {{"client", W::kSlotClient},       {"wizard_version", W::kSlotWizardVersion},
                                     {"lang", W::kSlotLang},           {"nuvel_no", W::kSlotNuvelNo},
                                     {"device_password", W::kSlotPassword}, {"dfp", W::kSlotDfp}};
constexpr CloudForm kCloudForms[] = {
    {W::kCloudSignUp, "/signin", "Content-Type: application/x-www-form-urlencoded; charset=utf-8", kSignUpFields},
    {W::kCloudSignIn, "/account/?signin", "Content-Type: application/x-www-form-urlencoded", kSignInFields},
    {W::kCloudBind, "/account/?add", "Content-Type: application/x-www-form-urlencoded", kBindFields}};

// The name of a datagram's command for the request log, from its opcode (bytes 4-5, little-endian).
std::string DatagramCommandName(std::span<const std::uint8_t> datagram) {
  const int opcode = datagram.size() >= 6 ? datagram[4] | datagram[5] << 8 : 0;
  switch (opcode) {
    case OP_DISCOVER: return "discover";
    case OP_CHECK_ACCOUNT: return "check-account";
    case OP_CHANGE_PASSWORD: return "change-password";
    default: {
      char name[16];
      std::snprintf(name, sizeof name, "op-%04x", opcode);
      return name;
    }
  }
}

// How a waiting account request ended, for the request log.
void ReportDatagramReply(const DatagramSocket& endpoint, const sockaddr_in& sender, std::span<const std::uint8_t> reply,
                         int status, int accountResult) {
  char peer[INET_ADDRSTRLEN] = "";
  ::inet_ntop(AF_INET, &sender.sin_addr, peer, sizeof peer);
  const std::string command = DatagramCommandName(reply);
  std::string outcome = status == DeviceCommandWorker::kDone ? "answered" : "refused";
  if (status == DeviceCommandWorker::kDone && command == "check-account")
    outcome += accountResult == 1 ? ": accepted" : ": not accepted";
  ReportDatagram({command + " reply", peer, endpoint.LocalAddress(), outcome});
}

// A portal host that is not the service's: logged with the host, as the recorder named it (cleaned and cut, it
// is a peer's text).
void ReportRefusedServiceHost(std::string_view host) {
  constexpr std::size_t kLongestHostShown = 253;
  ReportWarning("account request not sent: the recorder names \"" + CleanPeerText(host.substr(0, kLongestHostShown)) +
                "\" as the service's host, which is not a host of " + std::string(kServiceDomain));
}

// A datagram that carried a password, overwritten once sent.
void WipeDatagram(std::optional<Bytes>& datagram) {
  if (datagram) vrx::net::WipeBytes(datagram->data(), datagram->size());
}

}  // namespace

DeviceCommandWorker::DeviceCommandWorker() = default;

DeviceCommandWorker::~DeviceCommandWorker() {
  Stop();
  replyTimer_.Cancel();
  if (endpoint_) endpoint_->Close();
}

std::string DeviceCommandWorker::Slot(int slot) const {
  return slot >= 0 && slot < kSlotCount && !IsSecretSlot(slot) ? slots_[slot] : std::string();
}

const Secret& DeviceCommandWorker::SecretSlot(int slot) const {
  static const Secret none;
  return slot >= 0 && slot < kSlotCount && IsSecretSlot(slot) ? secrets_[slot] : none;
}

void DeviceCommandWorker::SetSlot(int slot, std::string value) {
  if (slot >= 0 && slot < kSlotCount) Fill({{slot, value}});
  WipeString(value);
}

std::string_view DeviceCommandWorker::SlotText(int slot) const {
  return IsSecretSlot(slot) ? secrets_[slot].View() : std::string_view(slots_[slot]);
}

// ---- HTTP commands ---------------------------------------------------------------------------------------------

void DeviceCommandWorker::JoinCommandThread(bool waitForFinish) {
  std::lock_guard control(controlMutex_);
  JoinLocked(waitForFinish);
}

void DeviceCommandWorker::JoinLocked(bool waitForFinish) {
  running_ = false;
  if (!thread_.joinable()) return;
  {
    std::unique_lock lock(threadMutex_);
    if (waitForFinish) threadEnded_.wait_for(lock, milliseconds(kThreadWaitMs), [&] { return !threadRunning_; });
  }
  // Past the wait the transfer is cancelled, so the thread ends promptly and never shares the client.
  http_.Abort();
  thread_.join();
}

void DeviceCommandWorker::BecomeBusyForHttp() {
  {
    // A datagram that arrives from now on must not end this command.
    std::lock_guard lock(pendingMutex_);
    pending_.Disarm();
    Finish(kBusy);
  }
  replyTimer_.Cancel();
}

bool DeviceCommandWorker::Writes(int command) {
  const auto rule = std::ranges::find(kCommandTable, command, &CommandRule::command);
  return rule == std::end(kCommandTable) || rule->writes;
}

void DeviceCommandWorker::SetReadOnly(bool on) {
  readOnly_ = on;
  http_.SetReadOnly(on);
}

std::unique_ptr<HttpGet> DeviceCommandWorker::MakeDirectClient() const {
  auto client = std::make_unique<HttpGet>();
  client->SetReadOnly(readOnly_);
  return client;
}

bool DeviceCommandWorker::RefuseWrite(int command) {
  if (!readOnly_ || !Writes(command)) return false;
  replyTimer_.Cancel();
  std::lock_guard lock(pendingMutex_);
  pending_.Disarm();
  Finish(kRefused);
  return true;
}

bool DeviceCommandWorker::StartHttp(int command, const std::string& host, int port, const std::string& user,
                                    std::string_view password, int timeoutMs, bool secure) {
  std::lock_guard control(controlMutex_);
  if (RefuseWrite(command)) {
    WipeSecrets();  // the start stored them; the previous command's thread has ended
    return false;
  }
  BecomeBusyForHttp();
  std::this_thread::sleep_for(milliseconds(kStartPauseMs));
  http_.Abandon();
  command_ = command;
  const int effectivePort = secure ? 443 : port;
  Fill({{kSlotHost, host}, {kSlotUser, user}, {kSlotUserPassword, password},
        {kSlotPort, std::to_string(effectivePort)}});
  const bool cloud = command >= kCloudSignUp && command <= kCloudBind;
  // The service's host comes from the recorder over plain HTTP and decides where the account passwords go:
  // any host outside the service's own domain is treated as a service that cannot be reached.
  const bool foreignHost = cloud && !IsServiceHost(host);
  if (foreignHost) ReportRefusedServiceHost(host);
  if (foreignHost || !http_.Connect(host, user, password, timeoutMs, secure, effectivePort)) {
    WipeSecrets();
    Finish(kFailed);  // a start that returns false must not leave the pages waiting on "busy"
    return false;
  }
  http_.UseEnvironmentProxy(cloud);
  {
    std::lock_guard lock(threadMutex_);
    threadRunning_ = true;
  }
  running_ = true;
  thread_ = std::thread(&DeviceCommandWorker::RunCommand, this);
  return true;
}

bool DeviceCommandWorker::FormatDisk(const RecorderEndpoint& r, int storageId, int partition, int fileSystem) {
  JoinCommandThread(false);
  storageId_ = storageId;
  partition_ = partition;
  fileSystem_ = fileSystem;
  return StartHttp(kFormatDisk, r.ip, r.httpPort, r.user, r.password.View(), 6000, false);
}

bool DeviceCommandWorker::PollFormat(const RecorderEndpoint& r) {
  JoinCommandThread(false);
  return StartHttp(kPollFormat, r.ip, r.httpPort, r.user, r.password.View(), 6000, false);
}

bool DeviceCommandWorker::AddCamera(const RecorderEndpoint& r, const CameraToAdd& c) {
  JoinCommandThread(false);
  std::string pass = Base64Encode(c.pass);
  Fill({{kSlotAvDevId, std::to_string(c.avdevid)}, {kSlotAvDevName, c.avdevname}, {kSlotHostName, c.hostname},
        {kSlotHostId, c.hostid}, {kSlotProtocol, "1"}, {kSlotProtocolType, std::to_string(c.protocoltype)},
        {kSlotAccount, Base64Encode(c.account)}, {kSlotPass, pass}, {kSlotBrand, c.brand},
        {kSlotProduct, c.product}});
  WipeString(pass);
  return StartHttp(kAddCamera, r.ip, r.httpPort, r.user, r.password.View(), 6000, false);
}

bool DeviceCommandWorker::DeleteCamera(const RecorderEndpoint& r, int avdevid) {
  JoinCommandThread(false);
  Fill({{kSlotAvDevId, std::to_string(avdevid)}});
  return StartHttp(kDeleteCamera, r.ip, r.httpPort, r.user, r.password.View(), 6000, false);
}

bool DeviceCommandWorker::SetCloudRegStatus(const RecorderEndpoint& r) {
  JoinCommandThread(false);
  Fill({{kSlotRegStatus, "1"}});
  return StartHttp(kSetCloudRegStatus, r.ip, r.httpPort, r.user, r.password.View(), 15000, false);
}

bool DeviceCommandWorker::ReadCloudPortal(const RecorderEndpoint& r) {
  JoinCommandThread(false);
  for (int i = 0; i < 6; ++i) slots_[kSlotPortalFirst + i].clear();
  return StartHttp(kReadCloudPortal, r.ip, r.httpPort, r.user, r.password.View(), 15000, false);
}

bool DeviceCommandWorker::SendCloudRegInfo(const RecorderEndpoint& r, const std::string& email,
                                           std::string_view accountPassword) {
  JoinCommandThread(false);
  Fill({{kSlotRegEmail, email}, {kSlotRegPassword, accountPassword}});
  return StartHttp(kSendCloudRegInfo, r.ip, 443, r.user, r.password.View(), 15000, true);
}

bool DeviceCommandWorker::ListCameras(const RecorderEndpoint& r) {
  JoinCommandThread(false);
  for (int i = 0; i < kMaxListItems; ++i) slots_[kListFirstSlot + i].clear();
  return StartHttp(kListCameras, r.ip, 443, r.user, r.password.View(), 30000, true);
}

bool DeviceCommandWorker::SetCameraPassword(const std::string& host, int port, const std::string& user,
                                            const std::string& password, const std::string& newPassword) {
  JoinCommandThread(false);
  http_.Close();
  newCameraPassword_ = Secret(newPassword);
  return StartHttp(kSetCameraPassword, host, port, user, password, 30000, false);
}

bool DeviceCommandWorker::CheckCameraPassword(const std::string& host, int port, const std::string& user,
                                              const std::string& password) {
  JoinCommandThread(false);
  http_.Close();
  return StartHttp(kCheckCameraPassword, host, port, user, password, 30000, false);
}

bool DeviceCommandWorker::SignUp(const std::string& host, const std::string& client, const std::string& wizardVersion,
                                 const std::string& lang, const std::string& email, std::string_view password,
                                 std::string_view passwordVerify, const std::string& nameFirst,
                                 const std::string& nameLast) {
  return StartCloud(kCloudSignUp, {host, client, wizardVersion, lang},
                    {{kSlotEmail, email}, {kSlotPassword, password}, {kSlotPasswordVerify, passwordVerify},
                     {kSlotNameFirst, nameFirst}, {kSlotNameLast, nameLast}});
}

bool DeviceCommandWorker::SignIn(const std::string& host, const std::string& client, const std::string& wizardVersion,
                                 const std::string& lang, const std::string& email, std::string_view password) {
  return StartCloud(kCloudSignIn, {host, client, wizardVersion, lang},
                    {{kSlotEmail, email}, {kSlotPassword, password}});
}

bool DeviceCommandWorker::Bind(const std::string& host, const std::string& client, const std::string& wizardVersion,
                               const std::string& lang, const std::string& nuvelNo, std::string_view devicePassword,
                               const std::string& dfp) {
  return StartCloud(kCloudBind, {host, client, wizardVersion, lang},
                    {{kSlotNuvelNo, nuvelNo}, {kSlotPassword, devicePassword}, {kSlotDfp, dfp}});
}

bool DeviceCommandWorker::StartCloud(int command, const CloudHeading& heading, SlotValues form) {
  JoinCommandThread(false);
  Fill({{kSlotCloudHost, heading.host},
        {kSlotClient, heading.client},
        {kSlotWizardVersion, heading.wizardVersion},
        {kSlotLang, heading.lang}});
  Fill(form);
  return StartHttp(command, std::string(heading.host), 443, "", "", 15000, true);
}

void DeviceCommandWorker::Fill(SlotValues values) {
  for (const auto& [slot, value] : values) {
    if (IsSecretSlot(slot))
      secrets_[slot] = Secret(value);
    else
      slots_[slot] = value;
  }
}

void DeviceCommandWorker::Stop() {
  std::lock_guard control(controlMutex_);
  JoinLocked(true);
  std::this_thread::sleep_for(milliseconds(kStopPauseMs));
  http_.Abandon();  // the pause is the one above: the handles close at once
}

bool DeviceCommandWorker::Get(const std::string& path, std::string& reply) { return http_.GetText(path, reply); }

bool DeviceCommandWorker::GetWiping(std::string path, std::string& reply) {
  const bool got = Get(path, reply);
  WipeString(path);
  return got;
}

void DeviceCommandWorker::WipeSecrets() {
  for (int slot : {kSlotUserPassword, kSlotRegPassword, kSlotPassword, kSlotPasswordVerify, kSlotPass})
    secrets_[slot].Wipe();
  newCameraPassword_.Wipe();
}

void DeviceCommandWorker::RunCommand() {
  std::this_thread::sleep_for(milliseconds(kCommandPauseMs));
  const int command = command_.load();
  int status = kFailed;
  if (command >= kCloudSignUp && command <= kCloudBind) {
    status = RunCloudCommand(command);
  } else {
    std::string reply;
    status = RunRecorderCommand(command, reply);
    WipeString(reply);  // a camera echoes its new password
  }
  WipeSecrets();
  if (status != kIdle) {
    // Results are in place: publish them, unless a datagram command has been started since. The pages read
    // the status without waiting for the connection to close.
    std::lock_guard lock(pendingMutex_);
    if (!pending_.Armed()) Finish(status);
  }
  http_.Abandon();  // the handles are closed at once; the pause comes before the next command's connection
  std::lock_guard lock(threadMutex_);
  threadRunning_ = false;
  threadEnded_.notify_all();
}

int DeviceCommandWorker::RunRecorderCommand(int command, std::string& reply) {
  char path[4096];
  switch (command) {
    case kFormatDisk:
      std::snprintf(path, sizeof path, "/config/storageformat?storageid=%d&partition=%d&fs=%d", storageId_,
                    partition_, fileSystem_);
      return Get(path, reply) ? kDone : kFailed;
    case kPollFormat:
      if (!Get("/config/storageformatpoll", reply)) return kFailed;
      formatProgress_ = PeerNumber(ReplyValue(reply, "status"));
      return kDone;
    case kAddCamera:
      return GetWiping("/config/addavdev?" + Form(kAddCameraFields), reply) ? kDone : kFailed;
    case kDeleteCamera:
      return Get("/config/delavdev?avdevid=" + slots_[kSlotAvDevId], reply) ? kDone : kFailed;
    case kSetCloudRegStatus: {
      const std::string p = "/config/kelvaroregstatus?status=" + slots_[kSlotRegStatus];
      for (int attempt = 0; attempt < 2; ++attempt) {
        if (!Get(p, reply)) return kFailed;
        if (reply.find('1') != std::string::npos) return kDone;
        if (attempt == 0) std::this_thread::sleep_for(milliseconds(100));
      }
      return kFailed;
    }
    case kReadCloudPortal:
      if (!Get("/config/kelvaroportal", reply)) return kFailed;
      for (int i = 0; i < 7; ++i) slots_[kSlotPortalFirst + i] = ReplyValue(reply, kPortalKeys[i]);
      return kDone;
    case kSendCloudRegInfo:
      return GetWiping("/config/kelvaroreginfo?" +
                           EncodedFields({{"email", SlotText(kSlotRegEmail)},
                                          {"password", SlotText(kSlotRegPassword)}}) +
                           "&status=1",
                       reply)
                 ? kDone
                 : kFailed;
    case kListCameras: {
      if (!http_.SendGet("/config/supportservices")) return kFailed;
      if (!Get("/config/kelvarodiscovery", reply)) return kFailed;
      const auto items = SplitReplyItems(reply, kMaxListItems);
      for (std::size_t i = 0; i < items.size(); ++i) slots_[kListFirstSlot + i] = items[i];
      listCount_ = int(items.size());
      listCursor_ = 0;
      return kDone;
    }
    case kSetCameraPassword: {
      if (!GetWiping("/system.cgi?AdminID=admin&" + EncodedFields({{"AdminPassword", newCameraPassword_.View()}}) +
                         "&ConfigReboot=No",
                     reply))
        return kFailed;
      std::string expected = "AdminPassword=" + std::string(newCameraPassword_.View());
      const bool echoed = reply.substr(0, 128).find(expected) != std::string::npos;
      WipeString(expected);
      return echoed ? kDone : kFailed;
    }
    case kCheckCameraPassword:
      if (!http_.SendGet("/userlist.cgi?")) return kFailed;
      return http_.QueryStatus() == 200 ? kDone : kFailed;
    default:
      return kIdle;  // not a command of ours: nothing happens
  }
}

int DeviceCommandWorker::RunCloudCommand(int command) {
  const CloudForm& form = *std::find_if(std::begin(kCloudForms), std::end(kCloudForms),
                                        [command](const CloudForm& f) { return f.command == command; });
  std::string headers = form.contentType;
  // The cookie is the service's own token, sent back as it came (a header, not a form field).
  if (command == kCloudBind)
    headers.append("\r\nCookie: kelvaro=").append(SlotText(kSlotCloudCookie)).append(";\r\n");
  std::string body = Form(form.fields);
  AppendField(body, "err_count", std::to_string(cloudErrors_.load()));
  body += "\r\n\r\n";
  http_.SetAuthMode(HttpGet::kAuthNone);
  const bool posted = http_.PostForm(form.path, headers, body);
  WipeString(headers);
  WipeString(body);
  if (!posted) return kFailed;

  // The whole body; what does not fit the reply buffer is not needed, so reading stops there.
  std::string reply;
  std::uint8_t piece[HttpGet::kGetChunkSize];
  for (;;) {
    std::size_t got = 0;
    if (!http_.ReadChunk(piece, sizeof piece, got)) return kFailed;
    if (got == 0) break;
    reply.append(reinterpret_cast<const char*>(piece), std::min(got, kReplyBufferSize - reply.size()));
    if (reply.size() == kReplyBufferSize) break;
  }
  reply = std::string(UpToZero(reply));

  if (command != kCloudBind) {
    std::string setCookie;
    http_.QuerySetCookie(setCookie);
    std::string cookie = CookieValue(setCookie, "kelvaro");
    secrets_[kSlotCloudCookie] = Secret::Taking(cookie);
    WipeString(setCookie);
  }
  slots_[kSlotCloudReply] = reply;

  const auto has = [&](const char* word) { return reply.find(word) != std::string::npos; };
  const char* errorWord = command == kCloudSignUp ? "SIGNUPERR" : command == kCloudSignIn ? "SIGNINERR" : "BINDERR";
  if (command == kCloudSignIn && has("SIGNINERR001")) {
    // an unknown account is not counted as a failed attempt
  } else if (has(errorWord)) {
    cloudErrors_ += 1;
  } else if (has("success")) {
    cloudErrors_ = 0;
  }
  return kDone;
}

// ---- Results ---------------------------------------------------------------------------------------------------

std::string DeviceCommandWorker::Form(std::span<const FormField> fields) const {
  std::string out;
  for (const FormField& f : fields) AppendField(out, f.name, f.fixed ? std::string_view(f.fixed) : SlotText(f.slot));
  return out;
}

std::string DeviceCommandWorker::PortalResult() const {
  const int status = Status();
  if (status == kBusy) return {};
  if (status != kDone) return "-1";
  std::string joined;
  for (int i = 0; i < 7; ++i) {
    if (i) joined += '&';
    joined += slots_[kSlotPortalFirst + i];
  }
  return joined;
}

std::string DeviceCommandWorker::NextListItem() {
  if (Status() != kDone) return {};
  if (listCursor_ < listCount_) return slots_[kListFirstSlot + listCursor_++];
  listCursor_ = 0;
  return {};
}

std::string DeviceCommandWorker::CloudReply() const { return Status() == kDone ? slots_[kSlotCloudReply] : ""; }

std::string DeviceCommandWorker::CloudReplyOrError() const {
  const int status = Status();
  if (status == kBusy) return {};
  return status == kDone ? slots_[kSlotCloudReply] : "-1";
}

// ---- Datagram commands -----------------------------------------------------------------------------------------

bool DeviceCommandWorker::OpenDatagram(const std::string& localAddress) {
  std::lock_guard start(datagramStartMutex_);
  replyTimer_.Cancel();
  if (endpoint_) endpoint_->Close();
  endpoint_ = std::make_unique<DatagramSocket>(
      0, [this](DatagramSocket& endpoint, const sockaddr_in& sender, std::span<const std::uint8_t> data) {
        const int before = Status();
        OnDatagram(sender, data);
        if (before == kBusy && Status() != kBusy)
          ReportDatagramReply(endpoint, sender, data, Status(), AccountCheckResult());
      });
  const bool opened = endpoint_->Open(localAddress);
  if (!opened) endpoint_.reset();
  std::lock_guard lock(pendingMutex_);
  pending_.Disarm();
  Finish(opened ? kDone : kIdle);
  return opened;
}

std::uint16_t DeviceCommandWorker::DatagramLocalPort() const { return endpoint_ ? endpoint_->LocalPort() : 0; }

bool DeviceCommandWorker::CheckAccount(const std::string& deviceAddress, std::uint16_t port, const MacAddress& mac,
                                       const std::string& user, const std::string& password) {
  std::lock_guard start(datagramStartMutex_);
  if (Status() == kIdle || !endpoint_) return false;
  targetMac_ = PackMac(mac);
  datagramUser_ = user;
  datagramPassword_ = Secret(password);
  std::uint16_t sequence;
  {
    std::lock_guard lock(pendingMutex_);
    sequence = sequence_++;
  }
  auto datagram = BuildCheckAccount({deviceAddress, mac, sequence}, user, password);
  const bool sent = SendDatagram(datagram, deviceAddress, port);
  WipeDatagram(datagram);
  datagramPassword_.Wipe();
  return sent;
}

bool DeviceCommandWorker::ChangePassword(const std::string& deviceAddress, std::uint16_t port, const MacAddress& mac,
                                         const std::string& user, const std::string& currentPassword,
                                         const std::string& newPassword) {
  std::lock_guard start(datagramStartMutex_);
  if (RefuseWrite(kChangePasswordDatagram)) {
    const std::string local = endpoint_ ? endpoint_->LocalAddress() : "";
    ReportDatagram({"change-password", deviceAddress, local, "refused: read-only"});
    return false;
  }
  if (Status() == kIdle || !endpoint_) return false;
  targetMac_ = PackMac(mac);
  datagramUser_ = user;
  datagramPassword_ = Secret(currentPassword);
  datagramNewPassword_ = Secret(newPassword);
  std::uint16_t sequence;
  {
    std::lock_guard lock(pendingMutex_);
    sequence = sequence_++;
  }
  auto datagram = BuildChangePassword({deviceAddress, mac, sequence}, user, currentPassword, newPassword);
  const bool sent = SendDatagram(datagram, deviceAddress, port);
  WipeDatagram(datagram);
  datagramPassword_.Wipe();
  datagramNewPassword_.Wipe();
  return sent;
}

bool DeviceCommandWorker::SendDatagram(const std::optional<Bytes>& datagram, const std::string& deviceAddress,
                                       std::uint16_t port) {
  replyTimer_.Cancel();
  const std::string local = endpoint_->LocalAddress();
  in_addr address{};
  if (!datagram || inet_pton(AF_INET, deviceAddress.c_str(), &address) != 1) {
    // a text too long for its field is refused, never cut or overflowed
    {
      std::lock_guard lock(pendingMutex_);
      pending_.Disarm();
      Finish(kFailed);
    }
    ReportDatagram({"account request", deviceAddress, local, "not sent: a text does not fit its field"});
    return false;
  }
  const std::string command = DatagramCommandName(*datagram);
  const std::uint16_t sequence = std::uint16_t((*datagram)[2] | (*datagram)[3] << 8);
  std::uint64_t generation;
  {
    // Busy and armed before sending: on a fast link the answer can beat the send's return.
    std::lock_guard lock(pendingMutex_);
    generation = pending_.Arm(address.s_addr, port, sequence, UnpackMac(targetMac_.load()));
    Finish(kBusy);
  }
  replyTimer_.Start(milliseconds(kReplyTimeoutMs), [this, generation, command, deviceAddress, local] {
    bool expired;
    {
      std::lock_guard lock(pendingMutex_);
      expired = pending_.Expire(generation);
      if (expired) Finish(kTimedOut);
    }
    if (expired) ReportDatagram({command, deviceAddress, local, "no answer in 3 s"});
  });
  const bool sent = endpoint_->Send(deviceAddress, port, *datagram);
  if (!sent) {
    replyTimer_.Cancel();
    std::lock_guard lock(pendingMutex_);
    pending_.Disarm();
    Finish(kFailed);
  }
  ReportDatagram({command, deviceAddress, local, sent ? "sent" : "send failed"});
  return sent;
}

void DeviceCommandWorker::OnDatagram(const sockaddr_in& sender, std::span<const std::uint8_t> data) {
  // Under the lock: a start that disarms the request cannot interleave with a reply that ends it.
  std::lock_guard lock(pendingMutex_);
  const auto verdict = pending_.Take(sender.sin_addr.s_addr, ntohs(sender.sin_port), data);
  if (!verdict) return;
  switch (verdict->store) {
    case DatagramVerdict::Store::AccountResult:
      accountResult_ = verdict->accountResult;
      break;
    case DatagramVerdict::Store::DiscoveryReply:
      discoveryReply_.fill(0);
      std::copy_n(data.begin(), std::min(data.size(), discoveryReply_.size()), discoveryReply_.begin());
      break;
    case DatagramVerdict::Store::SecondReply:
      secondReply_.fill(0);
      std::copy_n(data.begin(), std::min(data.size(), secondReply_.size()), secondReply_.begin());
      break;
    case DatagramVerdict::Store::Nothing:
      break;
  }
  // The reply timer of this request finds it no longer pending and does nothing; it is cancelled by the next
  // start (cancelling it here could catch the timer of a request started in the meantime).
  Finish(verdict->action == DatagramVerdict::Action::Done ? kDone : kFailed);
}

Bytes DeviceCommandWorker::DiscoveryReply() const { return Bytes(discoveryReply_.begin(), discoveryReply_.end()); }
Bytes DeviceCommandWorker::SecondReply() const { return Bytes(secondReply_.begin(), secondReply_.end()); }

}  // namespace vrx::net
