// langtool: turns a language file's UTF-8 source (res/lang/src/<file>.txt, what people edit and review)
// into the file the wizard carries: UTF-16LE with a byte-order mark and CR LF line ends.
//
//   langtool <source.txt> <output.ini>
//
// Fails (exit 1) on unreadable input or text that is not valid UTF-8, so a broken source stops the build.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "i18n/ProfileReader.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: langtool <source.txt> <output.ini>\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "langtool: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);

  const std::u16string text = vrx::i18n::DecodeProfileText(bytes);
  if (text.find(u'\xFFFD') != std::u16string::npos) {
    std::cerr << "langtool: " << argv[1] << " is not valid UTF-8\n";
    return 1;
  }

  std::string out("\xFF\xFE", 2);
  auto put = [&out](char16_t c) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r') continue;  // line ends are written as CR LF below, whatever the source used
    if (c == u'\n') put(u'\r');
    put(c);
  }
  if (!text.empty() && text.back() != u'\n') {
    put(u'\r');
    put(u'\n');
  }

  std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  if (!file) {
    std::cerr << "langtool: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
