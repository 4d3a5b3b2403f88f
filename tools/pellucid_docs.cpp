// Writes a document made from the option table: "man" (the manual page),
// "bash" (the completion script) or "readme" (the README's option
// reference), to the file named after it or to standard output. The build
// runs it; scripts/readme_options.sh uses "readme".
#include <cstdio>
#include <string>

#include "app/reference_documents.h"

int main(int argc, char** argv) {
  const std::string kind = argc >= 2 ? argv[1] : "";
  std::string document;
  if (kind == "man") document = manualPage();
  if (kind == "bash") document = bashCompletion();
  if (kind == "readme") document = readmeReference();
  if (document.empty() || argc > 3) {
    std::fputs("usage: pellucid_docs man|bash|readme [output file]\n", stderr);
    return 2;
  }
  std::FILE* out = argc == 3 ? std::fopen(argv[2], "wb") : stdout;
  if (out == nullptr) {
    std::perror(argv[2]);
    return 1;
  }
  bool written = std::fwrite(document.data(), 1, document.size(), out) == document.size();
  written = (out == stdout ? std::fflush(out) : std::fclose(out)) == 0 && written;
  if (!written) std::fputs("pellucid_docs: write failed\n", stderr);
  return written ? 0 : 1;
}
