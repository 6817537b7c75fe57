#pragma once
// One picture of a camera's live preview: a GET of "/image/jpeg.cgi" with the camera's own account (Basic or
// Digest), read in pieces of 8200 bytes into an answer of at most 2,160,000 bytes until its first whole
// picture is in; a picture longer than 1,440,000 bytes is not handed on. The preview's job calls FetchOnce once
// per picture and decodes what it gets; finding where a picture ends is the caller's (it knows the format).
// Abort() (any thread) ends a transfer in flight: the read fails and FetchOnce returns.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "net/HttpGet.h"
#include "net/Secret.h"

namespace vrx::steps {

class PreviewPictureFetch {
 public:
  static constexpr const char* kPicturePath = "/image/jpeg.cgi";
  static constexpr std::size_t kReadSize = 8200;
  static constexpr std::size_t kAnswerLimit = 2'160'000;   // bytes kept of one answer
  static constexpr std::size_t kPictureLimit = 1'440'000;  // a longer picture is not shown
  static constexpr int kTimeoutMs = 3000;

  // Where the first whole picture lies in the answer so far ([begin, end)); called after every read with the
  // grown answer. nullopt while it is not complete.
  struct Span {
    std::size_t begin = 0, end = 0;
  };
  using FindPicture = std::function<std::optional<Span>(const std::uint8_t* answer, std::size_t size)>;

  enum class Outcome {
    Picture,        // the picture's bytes, valid until the next FetchOnce
    NoPicture,      // the answer ended (or was cut off) before a whole picture
    TooLong,        // no picture within the answer's limit, or the picture is longer than shown ones may be
    RequestFailed,  // the GET could not be sent
  };
  struct Fetched {
    Outcome outcome = Outcome::RequestFailed;
    std::span<const std::uint8_t> picture;
  };

  PreviewPictureFetch();

  // Connects to the camera (not secure; one retry).
  bool Connect(const std::string& host, int port, const std::string& user, const net::Secret& password);
  Fetched FetchOnce(const FindPicture& find);
  void Abort() { http_.Abort(); }
  void Close() { http_.Close(); }

 private:
  net::HttpGet http_;
  std::unique_ptr<std::uint8_t[]> answer_;  // kAnswerLimit bytes
  std::unique_ptr<std::uint8_t[]> chunk_;   // kReadSize bytes
};

}  // namespace vrx::steps
