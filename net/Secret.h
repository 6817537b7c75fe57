#pragma once
// A password or token held in memory: its bytes live in one buffer of their own, which is overwritten before it
// is let go (Wipe, assignment, destruction), so no copy of it stays behind in freed memory. It moves (the
// buffer changes hands) but is copied only when asked (Copy()); it has no conversion to a string and cannot be
// streamed, so it is never logged or printed by accident. Read it where it is needed (View(), c_str()).
//
//   net::Secret password(typed);        // the text's bytes, copied once
//   http.Connect(host, user, password, ...);
//   password.Wipe();                    // or let it go out of scope
#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace vrx::net {

class Secret {
 public:
  Secret() = default;
  explicit Secret(std::string_view text);
  // Takes a text that was made only to become a secret and overwrites the source.
  static Secret Taking(std::string& text);
  ~Secret() { Release(); }

  Secret(Secret&& other) noexcept;
  Secret& operator=(Secret&& other) noexcept;
  Secret(const Secret&) = delete;
  Secret& operator=(const Secret&) = delete;
  Secret Copy() const { return Secret(View()); }

  std::string_view View() const { return {data_ ? data_.get() : "", size_}; }
  const char* c_str() const { return data_ ? data_.get() : ""; }  // zero-terminated
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // Overwrites the bytes with zeros and empties the secret; its buffer stays until the secret goes.
  void Wipe();

  friend bool operator==(const Secret& a, const Secret& b) { return a.View() == b.View(); }

 private:
  void Release();
  std::unique_ptr<char[]> data_;  // size_ bytes and a zero
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;      // what data_ holds, wiped whole
};

// Never printed: writing one to a stream does not compile.
std::ostream& operator<<(std::ostream&, const Secret&) = delete;

// Overwrites bytes with zeros that the compiler may not leave out, though nothing reads them afterwards.
void WipeBytes(void* bytes, std::size_t size);

// Overwrites a string's bytes before it is cleared (for the texts a secret is made from or put into).
void WipeString(std::string& text);

}  // namespace vrx::net
