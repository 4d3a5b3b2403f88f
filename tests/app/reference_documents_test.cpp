// The README reference, the installed manual page and the bash completion,
// all made from the option table.
#include "app/reference_documents.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/files.h"
#include "settings/keyword_tables.h"
#include "support/temp_dir.h"

namespace {

// Runs command with sh; returns its standard output, and its exit status
// through *status.
std::string shellOutput(const std::string& command, int* status) {
  std::string out;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) out.append(buffer, n);
  *status = pclose(pipe);
  return out;
}

// What the completion offers for the words typed so far (the last one is
// being completed), one candidate a line.
std::string complete(const std::string& script, const std::string& words) {
  int status = -1;
  std::string out = shellOutput("bash -c 'source \"$0\"; COMP_WORDS=(pellucidcmd " + words +
                                    "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _pellucidcmd; "
                                    "printf \"%s\\n\" \"${COMPREPLY[@]}\"' '" + script + "'",
                                &status);
  EXPECT_EQ(status, 0) << words;
  return out;
}

}  // namespace

TEST(ReferenceDocuments, ReadmeHoldsTheCurrentReference) {
  std::string readme;
  ASSERT_TRUE(readWholeFile(std::string(PELLUCID_SOURCE_DIR) + "/README.md", &readme));
  const size_t begin = readme.find("<!-- options:begin");
  const size_t end = readme.find("<!-- options:end -->\n");
  ASSERT_NE(begin, std::string::npos);
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(readme.substr(begin, end + 21 - begin), readmeReference())
      << "README.md is out of date: run scripts/readme_options.sh";
}

// Each script the README quotes is the file of the repository that the tests
// run, byte for byte, so the text users copy cannot drift from what is tested.
TEST(ReferenceDocuments, ReadmeQuotesExampleScriptsFromTheirFiles) {
  std::string readme;
  ASSERT_TRUE(readWholeFile(std::string(PELLUCID_SOURCE_DIR) + "/README.md", &readme));
  const std::string marker = "<!-- include:";
  const std::string end = "```\n<!-- include:end -->\n";
  int quoted = 0;
  for (size_t at = readme.find(marker); at != std::string::npos; at = readme.find(marker, at + 1)) {
    const size_t nameEnd = readme.find(" -->\n", at);
    ASSERT_NE(nameEnd, std::string::npos);
    const std::string name = readme.substr(at + marker.size(), nameEnd - at - marker.size());
    if (name == "end") continue;
    std::string script;
    ASSERT_TRUE(readWholeFile(std::string(PELLUCID_SOURCE_DIR) + "/" + name, &script)) << name;
    EXPECT_EQ(readme.compare(nameEnd + 5, 8 + script.size() + end.size(),
                             "```bash\n" + script + end),
              0)
        << name << " differs from its quote in README.md: run scripts/readme_options.sh";
    ++quoted;
  }
  EXPECT_GE(quoted, 1) << "README.md quotes the Slurm example";
}

TEST(ReferenceDocuments, InstallsProgramManualPageAndCompletion) {
  TempDir prefix;
  int status = -1;
  shellOutput("cmake --install '" + std::string(PELLUCID_BINARY_DIR) + "' --prefix '" +
                  prefix.path() + "' >/dev/null",
              &status);
  ASSERT_EQ(status, 0);
  const std::string page = prefix.path() + "share/man/man1/pellucidcmd.1";
  const std::string script = prefix.path() + "share/bash-completion/completions/pellucidcmd";
  EXPECT_TRUE(pathExists(prefix.path() + "bin/pellucidcmd"));
  ASSERT_TRUE(pathExists(page));
  ASSERT_TRUE(pathExists(script));

  std::string rendered = shellOutput("MANWIDTH=80 man --warnings -l '" + page +
                                         "' 2>&1 >/dev/null; echo end",
                                     &status);
  EXPECT_EQ(rendered, "end\n") << "man warns";
  rendered = shellOutput("MANWIDTH=80 man -l '" + page + "' 2>/dev/null", &status);
  for (const char* text : {"SYNOPSIS", "--jpg-quality=NUM", "bayer16, cluster6", "%filename[u]%",
                           "EXIT STATUS", "xpm", "Default: 95"}) {
    EXPECT_NE(rendered.find(text), std::string::npos) << text;
  }

  struct Case {
    std::string words;
    std::string offered;
  };
  const Case cases[] = {
      {"--jpg-q", "--jpg-quality=\n"},
      {"-c p", "pbm\npcx\npfm\npgm\npng\nppm\npsd\n"},
      {"--conversion = j", "j2k\njng\njp2\njpg\njxr\n"},
      {"--conversion=w", "--conversion=wbmp\n--conversion=webp\n"},
      {"--resize-algorithm = b", "box\nbilinear\nbspline\nbicubic\n"},
      {"--png-bpp = 4", "4\n48\n"},
      {"-i /nonexistent-folder/", "\n"},
      {"--invert", "--invert\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(complete(script, c.words), c.offered) << c.words;
  EXPECT_EQ(complete(script, "-o " + prefix.path() + "b"), prefix.path() + "bin\n");
  std::string dither;
  for (const std::string& keyword : KeywordList(kDitherTable)) dither += keyword + "\n";
  EXPECT_EQ(complete(script, "--dither ="), dither);
}
