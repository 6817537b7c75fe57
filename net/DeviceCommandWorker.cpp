#include "net/DeviceCommandWorker.h"

#include <arpa/inet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "net/Base64.h"
#include "net/ReplyParsers.h"
#include "net/RequestLog.h"

namespace vrx::net {
namespace {

using std::chrono::milliseconds;

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

std::string ReplacePlus(const std::string& email) {
  std::string out;
  for (char c : email) out += c == '+' ? std::string("%2B") : std::string(1, c);
  return out;
}

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

}  // namespace

DeviceCommandWorker::DeviceCommandWorker() = default;

DeviceCommandWorker::~DeviceCommandWorker() {
  Stop();
  replyTimer_.Cancel();
  if (endpoint_) endpoint_->Close();
}

std::string DeviceCommandWorker::Slot(int slot) const {
  return slot >= 0 && slot < kSlotCount ? slots_[slot] : std::string();
}

void DeviceCommandWorker::SetSlot(int slot, std::string value) {
  if (slot >= 0 && slot < kSlotCount) slots_[slot] = std::move(value);
}

// ---- HTTP commands ---------------------------------------------------------------------------------------------

void DeviceCommandWorker::JoinCommandThread(bool waitForFinish) {
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

bool DeviceCommandWorker::StartHttp(int command, const std::string& host, int port, const std::string& user,
                                    const std::string& password, int timeoutMs, bool secure) {
  command_ = command;
  slots_[kSlotHost] = host;
  slots_[kSlotUser] = user;
  slots_[kSlotUserPassword] = password;
  const int effectivePort = secure ? 443 : port;
  slots_[kSlotPort] = std::to_string(effectivePort);
  if (!http_.Connect(host, user, password, timeoutMs, secure, effectivePort)) {
    Finish(kFailed);  // a start that returns false must not leave the pages waiting on "busy"
    return false;
  }
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
  Finish(kBusy);
  return StartHttp(kFormatDisk, r.ip, r.httpPort, r.user, r.password, 6000, false);
}

bool DeviceCommandWorker::PollFormat(const RecorderEndpoint& r) {
  JoinCommandThread(false);
  Finish(kBusy);
  return StartHttp(kPollFormat, r.ip, r.httpPort, r.user, r.password, 6000, false);
}

bool DeviceCommandWorker::AddCamera(const RecorderEndpoint& r, const CameraToAdd& c) {
  JoinCommandThread(false);
  slots_[kSlotAvDevId] = std::to_string(c.avdevid);
  slots_[kSlotAvDevName] = c.avdevname;
  slots_[kSlotHostName] = c.hostname;
  slots_[kSlotHostId] = c.hostid;
  slots_[kSlotProtocol] = "1";
  slots_[kSlotProtocolType] = std::to_string(c.protocoltype);
  slots_[kSlotAccount] = Base64Encode(c.account);
  slots_[kSlotPass] = Base64Encode(c.pass);
  slots_[kSlotBrand] = c.brand;
  slots_[kSlotProduct] = c.product;
  Finish(kBusy);
  return StartHttp(kAddCamera, r.ip, r.httpPort, r.user, r.password, 6000, false);
}

bool DeviceCommandWorker::DeleteCamera(const RecorderEndpoint& r, int avdevid) {
  JoinCommandThread(false);
  slots_[kSlotAvDevId] = std::to_string(avdevid);
  Finish(kBusy);
  return StartHttp(kDeleteCamera, r.ip, r.httpPort, r.user, r.password, 6000, false);
}

bool DeviceCommandWorker::SetCloudRegStatus(const RecorderEndpoint& r) {
  JoinCommandThread(false);
  slots_[kSlotRegStatus] = "1";
  Finish(kBusy);
  return StartHttp(kSetCloudRegStatus, r.ip, r.httpPort, r.user, r.password, 15000, false);
}

bool DeviceCommandWorker::ReadCloudPortal(const RecorderEndpoint& r) {
  JoinCommandThread(false);
  for (int i = 0; i < 6; ++i) slots_[kSlotPortalFirst + i].clear();
  Finish(kBusy);
  return StartHttp(kReadCloudPortal, r.ip, r.httpPort, r.user, r.password, 15000, false);
}

bool DeviceCommandWorker::SendCloudRegInfo(const RecorderEndpoint& r, const std::string& email,
                                           const std::string& accountPassword) {
  JoinCommandThread(false);
  slots_[kSlotRegEmail] = email;
  slots_[kSlotRegPassword] = accountPassword;
  Finish(kBusy);
  return StartHttp(kSendCloudRegInfo, r.ip, 443, r.user, r.password, 15000, true);
}

bool DeviceCommandWorker::ListCameras(const RecorderEndpoint& r) {
  JoinCommandThread(false);
  for (int i = 0; i < kMaxListItems; ++i) slots_[kListFirstSlot + i].clear();
  Finish(kBusy);
  return StartHttp(kListCameras, r.ip, 443, r.user, r.password, 30000, true);
}

bool DeviceCommandWorker::SetCameraPassword(const std::string& host, int port, const std::string& user,
                                            const std::string& password, const std::string& newPassword) {
  JoinCommandThread(false);
  http_.Close();
  newCameraPassword_ = newPassword;
  Finish(kBusy);
  return StartHttp(kSetCameraPassword, host, port, user, password, 30000, false);
}

bool DeviceCommandWorker::CheckCameraPassword(const std::string& host, int port, const std::string& user,
                                              const std::string& password) {
  JoinCommandThread(false);
  http_.Close();
  Finish(kBusy);
  return StartHttp(kCheckCameraPassword, host, port, user, password, 30000, false);
}

bool DeviceCommandWorker::SignUp(const std::string& host, const std::string& client, const std::string& wizardVersion,
                                 const std::string& lang, const std::string& email, const std::string& password,
                                 const std::string& passwordVerify, const std::string& nameFirst,
                                 const std::string& nameLast) {
  JoinCommandThread(false);
  slots_[kSlotCloudHost] = host;
  slots_[kSlotClient] = client;
  slots_[kSlotWizardVersion] = wizardVersion;
  slots_[kSlotLang] = lang;
  slots_[kSlotEmail] = ReplacePlus(email);
  slots_[kSlotPassword] = password;
  slots_[kSlotPasswordVerify] = passwordVerify;
  slots_[kSlotNameFirst] = nameFirst;
  slots_[kSlotNameLast] = nameLast;
  Finish(kBusy);
  return StartHttp(kCloudSignUp, host, 443, "", "", 15000, true);
}

bool DeviceCommandWorker::SignIn(const std::string& host, const std::string& client, const std::string& wizardVersion,
                                 const std::string& lang, const std::string& email, const std::string& password) {
  JoinCommandThread(false);
  slots_[kSlotCloudHost] = host;
  slots_[kSlotClient] = client;
  slots_[kSlotWizardVersion] = wizardVersion;
  slots_[kSlotLang] = lang;
  slots_[kSlotEmail] = ReplacePlus(email);
  slots_[kSlotPassword] = password;
  Finish(kBusy);
  return StartHttp(kCloudSignIn, host, 443, "", "", 15000, true);
}

bool DeviceCommandWorker::Bind(const std::string& host, const std::string& client, const std::string& wizardVersion,
                               const std::string& lang, const std::string& nuvelNo, const std::string& devicePassword,
                               const std::string& dfp) {
  JoinCommandThread(false);
  slots_[kSlotCloudHost] = host;
  slots_[kSlotClient] = client;
  slots_[kSlotWizardVersion] = wizardVersion;
  slots_[kSlotLang] = lang;
  slots_[kSlotNuvelNo] = nuvelNo;
  slots_[kSlotPassword] = devicePassword;
  slots_[kSlotDfp] = dfp;
  Finish(kBusy);
  return StartHttp(kCloudBind, host, 443, "", "", 15000, true);
}

void DeviceCommandWorker::Stop() {
  JoinCommandThread(true);
  std::this_thread::sleep_for(milliseconds(50));
  http_.CloseRequest();
  http_.Close();
}

bool DeviceCommandWorker::Get(const std::string& path, std::string& reply) { return http_.GetText(path, reply); }

void DeviceCommandWorker::RunCommand() {
  std::this_thread::sleep_for(milliseconds(100));
  const int command = command_.load();
  int status = kFailed;
  if (command >= kCloudSignUp && command <= kCloudBind) {
    status = RunCloudCommand(command);
  } else {
    std::string reply;
    status = RunRecorderCommand(command, reply);
  }
  if (status != kIdle) Finish(status);  // results are in place: publish them
  http_.Close();
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
      formatProgress_ = std::atoi(ReplyValue(reply, "status").c_str());
      return kDone;
    case kAddCamera: {
      const std::string p = "/config/addavdev?avdevid=" + slots_[kSlotAvDevId] + "&avdevname=" + slots_[kSlotAvDevName] +
                            "&hostname=" + slots_[kSlotHostName] + "&hostid=" + slots_[kSlotHostId] +
                            "&protocol=" + slots_[kSlotProtocol] + "&protocoltype=" + slots_[kSlotProtocolType] +
                            "&account=" + slots_[kSlotAccount] + "&pass=" + slots_[kSlotPass] +
                            "&brand=" + slots_[kSlotBrand] + "&product=" + slots_[kSlotProduct];
      return Get(p, reply) ? kDone : kFailed;
    }
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
      return Get("/config/kelvaroreginfo?email=" + slots_[kSlotRegEmail] + "&password=" + slots_[kSlotRegPassword] +
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
      if (!Get("/system.cgi?AdminID=admin&AdminPassword=" + newCameraPassword_ + "&ConfigReboot=No", reply))
        return kFailed;
      const std::string expected = "AdminPassword=" + newCameraPassword_;
      return reply.substr(0, 128).find(expected) != std::string::npos ? kDone : kFailed;
    }
    case kCheckCameraPassword:
      if (!http_.SendGet("/userlist.cgi?")) return kFailed;
      return http_.QueryStatus() == 200 ? kDone : kFailed;
    default:
      return kIdle;  // not a command of ours: nothing happens
  }
}

int DeviceCommandWorker::RunCloudCommand(int command) {
  std::string path, headers, body;
  const std::string errCount = std::to_string(cloudErrors_.load());
  const auto& s = slots_;
  switch (command) {
    case kCloudSignUp:
      path = "/signin";
      headers = "Content-Type: application/x-www-form-urlencoded; charset=utf-8";
      body = "client=" + s[kSlotClient] + "&wizard_version=" + s[kSlotWizardVersion] + "&lang=" + s[kSlotLang] +
             "&action=sign-up&accept=accept&email=" + s[kSlotEmail] + "&password=" + s[kSlotPassword] +
             "&password_verify=" + s[kSlotPasswordVerify] + "&name_first=" + s[kSlotNameFirst] +
             "&name_last=" + s[kSlotNameLast] + "&err_count=" + errCount + "\r\n\r\n";
      break;
    case kCloudSignIn:
      path = "/account/?signin";
      headers = "Content-Type: application/x-www-form-urlencoded";
      body = "client=" + s[kSlotClient] + "&wizard_version=" + s[kSlotWizardVersion] + "&lang=" + s[kSlotLang] +
             "&email=" + s[kSlotEmail] + "&password=" + s[kSlotPassword] + "&err_count=" + errCount + "\r\n\r\n";
      break;
    default:
      path = "/account/?add";
      headers = "Content-Type: application/x-www-form-urlencoded\r\nCookie: kelvaro=" + s[kSlotCloudCookie] + ";\r\n";
      body = "client=" + s[kSlotClient] + "&wizard_version=" + s[kSlotWizardVersion] + "&lang=" + s[kSlotLang] +
             "&nuvel_no=" + s[kSlotNuvelNo] + "&device_password=" + s[kSlotPassword] + "&dfp=" + s[kSlotDfp] +
             "&err_count=" + errCount + "\r\n\r\n";
      break;
  }
  http_.SetAuthMode(HttpGet::kAuthNone);
  if (!http_.PostForm(path, headers, body)) return kFailed;

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
    slots_[kSlotCloudCookie] = CookieValue(setCookie, "kelvaro");
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
  replyTimer_.Cancel();
  if (endpoint_) endpoint_->Close();
  endpoint_ = std::make_unique<DatagramSocket>(
      0, [this](DatagramSocket& endpoint, const sockaddr_in& sender, std::span<const std::uint8_t> data) {
        const int before = Status();
        OnDatagram(data);
        if (before == kBusy && Status() != kBusy)
          ReportDatagramReply(endpoint, sender, data, Status(), AccountCheckResult());
      });
  const bool opened = endpoint_->Open(localAddress);
  if (!opened) endpoint_.reset();
  Finish(opened ? kDone : kIdle);
  return opened;
}

std::uint16_t DeviceCommandWorker::DatagramLocalPort() const { return endpoint_ ? endpoint_->LocalPort() : 0; }

bool DeviceCommandWorker::CheckAccount(const std::string& deviceAddress, std::uint16_t port, const MacAddress& mac,
                                       const std::string& user, const std::string& password) {
  if (Status() == kIdle || !endpoint_) return false;
  targetMac_ = PackMac(mac);
  datagramUser_ = user;
  datagramPassword_ = password;
  return SendDatagram(BuildCheckAccount({deviceAddress, mac, sequence_}, user, password), deviceAddress, port);
}

bool DeviceCommandWorker::ChangePassword(const std::string& deviceAddress, std::uint16_t port, const MacAddress& mac,
                                         const std::string& user, const std::string& currentPassword,
                                         const std::string& newPassword) {
  if (Status() == kIdle || !endpoint_) return false;
  targetMac_ = PackMac(mac);
  datagramUser_ = user;
  datagramPassword_ = currentPassword;
  datagramNewPassword_ = newPassword;
  return SendDatagram(BuildChangePassword({deviceAddress, mac, sequence_}, user, currentPassword, newPassword),
                      deviceAddress, port);
}

bool DeviceCommandWorker::SendDatagram(const std::optional<Bytes>& datagram, const std::string& deviceAddress,
                                       std::uint16_t port) {
  replyTimer_.Cancel();
  const std::string local = endpoint_->LocalAddress();
  if (!datagram) {  // a text too long for its field is refused, never cut or overflowed
    Finish(kFailed);
    ReportDatagram({"account request", deviceAddress, local, "not sent: a text does not fit its field"});
    return false;
  }
  const std::string command = DatagramCommandName(*datagram);
  // Busy and the reply timer are armed before sending: on a fast link the answer can beat the send's return.
  Finish(kBusy);
  replyTimer_.Start(milliseconds(kReplyTimeoutMs), [this, command, deviceAddress, local] {
    int busy = kBusy;
    if (status_.compare_exchange_strong(busy, kTimedOut, std::memory_order_acq_rel))
      ReportDatagram({command, deviceAddress, local, "no answer in 3 s"});
  });
  const bool sent = endpoint_->Send(deviceAddress, port, *datagram);
  ++sequence_;
  if (!sent) {
    replyTimer_.Cancel();
    Finish(kFailed);
  }
  ReportDatagram({command, deviceAddress, local, sent ? "sent" : "send failed"});
  return sent;
}

void DeviceCommandWorker::OnDatagram(std::span<const std::uint8_t> data) {
  if (Status() != kBusy) return;  // only a waiting command looks at datagrams
  const DatagramVerdict verdict = ClassifyDatagramReply(data, UnpackMac(targetMac_.load()));
  if (verdict.action == DatagramVerdict::Action::Ignore) return;
  switch (verdict.store) {
    case DatagramVerdict::Store::AccountResult:
      accountResult_ = verdict.accountResult;
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
  int busy = kBusy;
  const int outcome = verdict.action == DatagramVerdict::Action::Done ? kDone : kFailed;
  if (status_.compare_exchange_strong(busy, outcome, std::memory_order_acq_rel) && outcome == kDone)
    replyTimer_.Cancel();
}

Bytes DeviceCommandWorker::DiscoveryReply() const { return Bytes(discoveryReply_.begin(), discoveryReply_.end()); }
Bytes DeviceCommandWorker::SecondReply() const { return Bytes(secondReply_.begin(), secondReply_.end()); }

}  // namespace vrx::net
