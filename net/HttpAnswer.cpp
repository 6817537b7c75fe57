#include "net/HttpAnswer.h"

#include <cctype>
#include <charconv>

namespace vrx::net {
namespace {

bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
  if (line.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(line[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

std::string Trimmed(std::string_view v) {
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
  while (!v.empty() && (v.back() == '\r' || v.back() == '\n' || v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
  return std::string(v);
}

}  // namespace

bool HttpAnswer::Header(std::string_view line) {
  progress += line.size();
  if (line.starts_with("HTTP/")) {  // a new answer (an interim one or the one after an auth round)
    answerOffersDigest = false;
    setCookie.clear();
    wwwAuthenticate.clear();
    hasSetCookie = hasAuthenticate = false;
    pending.clear();
    pendingOffset = 0;
    const std::size_t sp = line.find(' ');
    status = 0;
    if (sp != std::string_view::npos) {
      const std::string_view code = line.substr(sp + 1, 3);
      long value = 0;
      if (std::from_chars(code.data(), code.data() + code.size(), value).ptr == code.data() + code.size())
        status = value;
    }
  } else if (line == "\r\n" || line == "\n") {
    const bool interim = status < 200;
    // A host that offered Digest and now asks for Basic only must not get the password: this 401 is the
    // answer, and the transfer stops before curl could reply to it.
    const bool refuseBasic = status == 401 && curlAuth && digestHost && !answerOffersDigest;
    const bool curlWillAnswer = status == 401 && curlAuth && unauthorizedSeen == 0 && !refuseBasic;
    if (status == 401) ++unauthorizedSeen;
    if (!interim && !curlWillAnswer) headersDone = true;
    if (answerOffersDigest) digestHost = true;
    if (refuseBasic) return false;
  } else if (StartsWithNoCase(line, "set-cookie:") && !hasSetCookie) {
    setCookie = Trimmed(line.substr(11));
    hasSetCookie = true;
  } else if (StartsWithNoCase(line, "www-authenticate:")) {
    const std::string value = Trimmed(line.substr(17));
    if (StartsWithNoCase(value, "digest")) offeredDigest = answerOffersDigest = true;
    if (!hasAuthenticate) {
      wwwAuthenticate = value;
      hasAuthenticate = true;
    }
  }
  return true;
}

bool HttpAnswer::Body(std::string_view data) {
  if (Unread() >= kMaxPendingBody) {
    paused = true;
    return false;
  }
  if (pendingOffset == pending.size()) {
    pending.clear();
    pendingOffset = 0;
  }
  pending.append(data);
  progress += data.size();
  // Body bytes mean the answer is the one we keep, except a first 401 that curl may still answer with the
  // connection's credentials: that one is known to be final only when the transfer ends.
  if (!(status == 401 && curlAuth && unauthorizedSeen <= 1)) headersDone = true;
  return true;
}

}  // namespace vrx::net
