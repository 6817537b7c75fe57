#pragma once
// Runs one numbered device command at a time in the background and reports through a status that the pages
// poll: an HTTP request to the recorder, a camera or the cloud account service on a thread of its own, or a
// unicast account datagram to the recorder or a camera answered on the worker's datagram endpoint.
//
// Status: 0 idle, 1 busy, 2 done, 3 the datagram reply timed out, 4 failed. Results (the fields and the text
// slots) are written before status 2 is published; read them only after seeing status 2.
//
// Values typed by the user or supplied by a peer are percent-encoded where they go into a URL or a form, so
// callers pass plain texts. A datagram ends a command only while a datagram command is pending, and only when
// it comes from the device's address and port and echoes the request's sequence number. Passwords and the
// service's cookie live in their slots as Secrets (Slot() never hands them out; SecretSlot() reads them), and
// passwords are wiped from the slots and the client when a command ends. Cloud commands go only to a bare
// host name (no scheme, path, port or user part) and honour the user's proxy settings; recorder and camera
// requests never use a proxy.
//
// Read-only (SetReadOnly): the worker refuses to start any command that changes a device or the account
// service (the command table in the .cpp decides each); such a start sends nothing, returns false and leaves
// status 5 (refused), which a caller tells apart from a failure. Reads run as before.
#include <array>
#include <initializer_list>
#include <span>
#include <string_view>
#include <utility>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "net/DatagramSocket.h"
#include "net/DiscoveryProtocol.h"
#include "net/HttpGet.h"
#include "net/PendingDatagram.h"
#include "net/RecorderEndpoint.h"
#include "net/Secret.h"
#include "net/Timer.h"

namespace vrx::net {

struct FormField;

class DeviceCommandWorker {
 public:
  enum Status : int { kIdle = 0, kBusy = 1, kDone = 2, kTimedOut = 3, kFailed = 4, kRefused = 5 };
  enum Command : int {
    kCloudSignUp = 1000,
    kCloudSignIn = 1001,
    kCloudBind = 1002,
    kFormatDisk = 2006,
    kPollFormat = 2007,
    kAddCamera = 2009,
    kDeleteCamera = 2010,
    kSetCloudRegStatus = 2011,
    kReadCloudPortal = 2012,
    kSendCloudRegInfo = 2014,
    kListCameras = 2015,
    kSetCameraPassword = 2017,
    kCheckCameraPassword = 2018,
    // The account datagrams, named by their opcodes (they have no number of their own).
    kCheckAccountDatagram = OP_CHECK_ACCOUNT,
    kChangePasswordDatagram = OP_CHANGE_PASSWORD,
  };

  // Text slots.
  static constexpr int kSlotCount = 300;
  static constexpr int kListFirstSlot = 0, kMaxListItems = 256;
  static constexpr int kSlotAvDevName = 256, kSlotHostName = 257, kSlotHostId = 258, kSlotAccount = 259,
                       kSlotPass = 260, kSlotBrand = 261, kSlotProduct = 262, kSlotAvDevId = 263,
                       kSlotProtocol = 264, kSlotProtocolType = 265;
  static constexpr int kSlotPortalFirst = 266;  // status, access, portal_url, portal_number, portal_dfp, model,
                                                // localhyperlink
  static constexpr int kSlotRegStatus = 273, kSlotRegEmail = 274, kSlotRegPassword = 275;
  static constexpr int kSlotCloudHost = 282, kSlotClient = 283, kSlotWizardVersion = 284, kSlotLang = 285,
                       kSlotEmail = 286, kSlotPassword = 287, kSlotPasswordVerify = 288, kSlotNameFirst = 289,
                       kSlotNameLast = 290, kSlotNuvelNo = 291, kSlotDfp = 292, kSlotCloudReply = 293,
                       kSlotCloudCookie = 294;
  static constexpr int kSlotUser = 295, kSlotUserPassword = 296, kSlotHost = 297, kSlotPort = 299;

  static constexpr int kReplyTimeoutMs = 3000;
  static constexpr std::size_t kReplyBufferSize = 64000;
  static constexpr int kThreadWaitMs = 3000;
  static constexpr int kStartPauseMs = 50;     // when a command starts, before the previous handles close
  static constexpr int kCommandPauseMs = 100;  // before each command's thread starts its work
  static constexpr int kStopPauseMs = 50;      // after the command thread has ended, before the connection closes

  struct CameraToAdd {
    int avdevid = 0;
    std::string avdevname, hostname, hostid;
    int protocoltype = 0;
    std::string account, pass;  // plain text; sent as Base64
    std::string brand, product;
  };

  DeviceCommandWorker();
  ~DeviceCommandWorker();
  DeviceCommandWorker(const DeviceCommandWorker&) = delete;
  DeviceCommandWorker& operator=(const DeviceCommandWorker&) = delete;

  // HTTP commands to the recorder (its web port; 2014 and 2015 over HTTPS on 443). Each returns false
  // (status 4) when the client cannot be set up.
  bool FormatDisk(const RecorderEndpoint& recorder, int storageId, int partition, int fileSystem);  // 2006
  bool PollFormat(const RecorderEndpoint& recorder);                                                 // 2007
  bool AddCamera(const RecorderEndpoint& recorder, const CameraToAdd& camera);                       // 2009
  bool DeleteCamera(const RecorderEndpoint& recorder, int avdevid);                                  // 2010
  bool SetCloudRegStatus(const RecorderEndpoint& recorder);                                          // 2011
  bool ReadCloudPortal(const RecorderEndpoint& recorder);                                            // 2012
  bool SendCloudRegInfo(const RecorderEndpoint& recorder, const std::string& email,
                        std::string_view accountPassword);                                           // 2014
  bool ListCameras(const RecorderEndpoint& recorder);                                                // 2015

  // HTTP commands to a camera at host:port (0 = 80) with the camera's account.
  bool SetCameraPassword(const std::string& host, int port, const std::string& user, const std::string& password,
                         const std::string& newPassword);                                             // 2017
  bool CheckCameraPassword(const std::string& host, int port, const std::string& user,
                           const std::string& password);                                              // 2018

  // Cloud account posts over HTTPS to the service host (the recorder's portal_url); `lang` is the language code.
  bool SignUp(const std::string& host, const std::string& client, const std::string& wizardVersion,
              const std::string& lang, const std::string& email, std::string_view password,
              std::string_view passwordVerify, const std::string& nameFirst, const std::string& nameLast);  // 1000
  bool SignIn(const std::string& host, const std::string& client, const std::string& wizardVersion,
              const std::string& lang, const std::string& email, std::string_view password);                // 1001
  bool Bind(const std::string& host, const std::string& client, const std::string& wizardVersion,
            const std::string& lang, const std::string& nuvelNo, std::string_view devicePassword,
            const std::string& dfp);                                                                       // 1002

  // Datagram channel: OpenDatagram binds the endpoint to the local address through which the device answered
  // the search (status 2 when open, else 0). The requests do nothing unless the status is non-zero; a text that
  // does not fit its 64-byte field, or a failed send, ends with status 4 and false.
  bool OpenDatagram(const std::string& localAddress);
  bool CheckAccount(const std::string& deviceAddress, std::uint16_t port, const MacAddress& mac,
                    const std::string& user, const std::string& password);
  bool ChangePassword(const std::string& deviceAddress, std::uint16_t port, const MacAddress& mac,
                      const std::string& user, const std::string& currentPassword, const std::string& newPassword);
  std::uint16_t DatagramLocalPort() const;

  // Waits up to 3 s for the command thread (then cancels its transfer), then closes the connection. Safe from
  // any thread, any number of times, also while another thread stops or starts a command: one of them joins
  // the command thread, the others wait for that.
  void Stop();
  // Makes the running command's transfer fail at once, from any thread, without waiting for anything: the
  // command thread then ends by itself (status 4) and the next start or Stop joins it. For a caller that cuts a
  // recorder's road short from outside (a time limit) while the road's own thread goes on to Stop.
  void AbortTransfer() { http_.Abort(); }
  // For an owner that is leaving (a page closing, Back): a command whose request has not gone out yet (its host
  // is still being resolved, or connected to) ends at once, so the Stop that follows never waits on a name
  // server; a request already sent keeps Stop's wait.
  void AbandonUnsent() { http_.AbortUnsent(); }

  // Read-only: starts of commands that write are refused (status 5, nothing sent); reads still run. As every
  // start, a refused one first ends the command that was running. Also makes the worker's own client refuse
  // any request that is not a known read.
  void SetReadOnly(bool on);
  bool ReadOnly() const { return readOnly_.load(); }
  // True for a command that changes a device or the account service (and for a code the worker does not know).
  static bool Writes(int command);
  // A client for the requests a step sends outside the numbered commands (the zone list and zone set, the
  // account written straight into the recorder): read-only when this worker is, so a read-only run refuses
  // those writes in the same place, HttpGet, before anything is sent.
  std::unique_ptr<HttpGet> MakeDirectClient() const;

  int Status() const { return status_.load(std::memory_order_acquire); }
  int CommandCode() const { return command_.load(); }
  int FormatProgress() const { return formatProgress_.load(); }
  int AccountCheckResult() const { return accountResult_.load(); }
  int CloudErrorCount() const { return cloudErrors_.load(); }
  int ListCount() const { return listCount_; }
  std::string Slot(int slot) const;               // "" for a slot that holds a secret
  const Secret& SecretSlot(int slot) const;       // an empty secret for a slot that holds none
  void SetSlot(int slot, std::string value);      // the value is wiped once stored
  Bytes DiscoveryReply() const;  // 344 bytes: the device's 0x00A1 answer
  Bytes SecondReply() const;     // 548 bytes: a 0x00A6 answer
  std::string ModelName() const { return modelName_; }

  std::string PortalResult() const;       // status 2: slots 266-272 joined by "&"; 1: ""; else "-1"
  std::string NextListItem();             // status 2: the next list item, "" after the last (and wraps)
  std::string CloudReply() const;         // status 2: slot 293; else ""
  std::string CloudReplyOrError() const;  // status 2: slot 293; 1: ""; else "-1"

 private:
  // Values for slots, each written once: {{kSlotEmail, email}, {kSlotPassword, password}}.
  using SlotValues = std::initializer_list<std::pair<int, std::string_view>>;
  void Fill(SlotValues values);
  // The form of a command as "name=value&..." from its fields' slots, values percent-encoded.
  std::string Form(std::span<const FormField> fields) const;
  // What every cloud post carries besides its form: where it goes, who asks, in which language.
  struct CloudHeading {
    std::string_view host, client, wizardVersion, lang;
  };
  bool StartCloud(int command, const CloudHeading& heading, SlotValues form);
  bool StartHttp(int command, const std::string& host, int port, const std::string& user,
                 std::string_view password, int timeoutMs, bool secure);
  void BecomeBusyForHttp();
  // True (status 5, nothing sent) when the worker is read-only and `command` writes.
  bool RefuseWrite(int command);
  void WipeSecrets();
  // Takes controlMutex_ and joins the command thread (JoinLocked: with it held).
  void JoinCommandThread(bool waitForFinish);
  void JoinLocked(bool waitForFinish);
  void RunCommand();
  int RunRecorderCommand(int command, std::string& reply);
  int RunCloudCommand(int command);
  bool Get(const std::string& path, std::string& reply);
  bool GetWiping(std::string path, std::string& reply);  // a path that carries a password, wiped after
  std::string_view SlotText(int slot) const;
  bool SendDatagram(const std::optional<Bytes>& datagram, const std::string& deviceAddress, std::uint16_t port);
  void OnDatagram(const sockaddr_in& sender, std::span<const std::uint8_t> data);
  void Finish(int status) { status_.store(status, std::memory_order_release); }

  std::atomic<int> status_{kIdle};
  std::atomic<int> command_{0};
  std::atomic<int> accountResult_{0};
  std::atomic<int> formatProgress_{0};
  std::atomic<int> cloudErrors_{0};
  std::atomic<bool> readOnly_{false};
  int storageId_ = 0, partition_ = 0, fileSystem_ = 0;
  int listCount_ = 0, listCursor_ = 0;
  std::array<std::string, kSlotCount> slots_;
  std::array<Secret, kSlotCount> secrets_;  // the secret slots' values (the others stay empty)
  Secret newCameraPassword_;
  std::string modelName_ = "VRX-410Q";

  // Datagram side.
  std::atomic<std::uint64_t> targetMac_{0};  // six bytes, read by the receiving thread
  std::string datagramUser_;
  Secret datagramPassword_, datagramNewPassword_;
  std::array<std::uint8_t, kDiscoveryReplyBufferSize> discoveryReply_{};
  std::array<std::uint8_t, kSecondReplyBufferSize> secondReply_{};
  std::mutex datagramStartMutex_;  // one datagram start at a time (the probe thread and a page may both send)
  std::mutex pendingMutex_;        // guards pending_, sequence_ and the status changes that end a datagram command
  PendingDatagram pending_;
  std::uint16_t sequence_ = 0;
  std::unique_ptr<DatagramSocket> endpoint_;
  OneShotTimer replyTimer_;

  // HTTP side.
  HttpGet http_;
  // One start or stop at a time: guards thread_ (its start and its join) and the client between commands.
  std::mutex controlMutex_;
  std::thread thread_;
  std::mutex threadMutex_;
  std::condition_variable threadEnded_;
  bool threadRunning_ = false;  // guarded by threadMutex_
  std::atomic<bool> running_{false};
};

}  // namespace vrx::net
