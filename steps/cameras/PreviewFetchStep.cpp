#include "steps/cameras/PreviewFetchStep.h"

#include <cstring>

namespace vrx::steps {

PreviewPictureFetch::PreviewPictureFetch()
    : answer_(std::make_unique_for_overwrite<std::uint8_t[]>(kAnswerLimit)),
      chunk_(std::make_unique_for_overwrite<std::uint8_t[]>(kReadSize)) {}

bool PreviewPictureFetch::Connect(const std::string& host, int port, const std::string& user,
                                  const net::Secret& password) {
  const auto connect = [&] { return http_.Connect(host, user, password.View(), kTimeoutMs, false, port); };
  return connect() || connect();
}

PreviewPictureFetch::Fetched PreviewPictureFetch::FetchOnce(const FindPicture& find) {
  if (!http_.SendGet(kPicturePath)) return {Outcome::RequestFailed, {}};
  Fetched fetched{Outcome::NoPicture, {}};
  std::size_t fill = 0;
  for (;;) {
    std::size_t got = 0;
    if (!http_.ReadChunk(chunk_.get(), kReadSize, got) || got == 0) break;  // cut off, or no picture
    if (fill + got > kAnswerLimit) {
      fetched.outcome = Outcome::TooLong;
      break;
    }
    std::memcpy(answer_.get() + fill, chunk_.get(), got);
    fill += got;
    const std::optional<Span> where = find(answer_.get(), fill);
    if (!where) continue;
    const std::size_t length = where->end - where->begin;
    if (length > kPictureLimit) {
      fetched.outcome = Outcome::TooLong;
    } else {
      fetched = {Outcome::Picture, std::span<const std::uint8_t>(answer_.get() + where->begin, length)};
    }
    break;
  }
  http_.CloseRequest();
  return fetched;
}

}  // namespace vrx::steps
