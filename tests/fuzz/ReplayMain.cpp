// A main() for the fuzz harnesses in the normal build: replays every seed file of the given folders, then a few
// thousand deterministic mutations of each (bit flips, byte changes, cuts, repeats, splices), so the harness
// code runs in every test run without clang or libFuzzer. A harness finding a fault traps and fails the test.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

struct XorShift {
  std::uint64_t s;
  std::uint64_t operator()() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return s;
  }
};

std::vector<std::uint8_t> Mutate(const std::vector<std::uint8_t>& seed, const std::vector<std::uint8_t>& other,
                                 XorShift& rng) {
  std::vector<std::uint8_t> m = seed;
  const int edits = 1 + int(rng() % 4);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = m.empty() ? 0 : rng() % m.size();
    switch (rng() % 6) {
      case 0:
        if (!m.empty()) m[at] ^= std::uint8_t(1u << (rng() % 8));
        break;
      case 1:
        if (!m.empty()) m[at] = std::uint8_t(rng());
        break;
      case 2:
        m.resize(at);
        break;
      case 3:
        m.insert(m.begin() + at, std::uint8_t("=\r\n;\" ,\xFD\0"[rng() % 9]));
        break;
      case 4:
        if (!m.empty()) m.insert(m.begin() + at, m.begin(), m.begin() + std::min(m.size(), std::size_t(rng() % 64)));
        break;
      default:
        m.insert(m.begin() + at, other.begin(), other.begin() + std::min(other.size(), std::size_t(rng() % 400)));
        break;
    }
  }
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::vector<std::uint8_t>> seeds;
  for (int i = 1; i < argc; ++i) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i])) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  if (seeds.empty()) {
    std::fprintf(stderr, "no seed files\n");
    return 1;
  }
  constexpr int kMutationsPerSeed = 3000;
  XorShift rng{0x9E3779B97F4A7C15ull};
  std::size_t runs = 0;
  for (const auto& seed : seeds) {
    LLVMFuzzerTestOneInput(seed.data(), seed.size());
    ++runs;
    for (int i = 0; i < kMutationsPerSeed; ++i) {
      const auto m = Mutate(seed, seeds[rng() % seeds.size()], rng);
      LLVMFuzzerTestOneInput(m.data(), m.size());
      ++runs;
    }
  }
  std::printf("%zu seeds, %zu inputs replayed\n", seeds.size(), runs);
  return 0;
}
