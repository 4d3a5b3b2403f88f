#include "app/reference_documents.h"
#include "app/reference_texts.h"
#include "platform/text.h"

namespace {

// How the value of an option is completed.
enum class ValueKind { kNone, kWords, kFiles, kFolders };

ValueKind valueKind(const OptionRow& row) {
  if (!acceptedValues(row).empty()) return ValueKind::kWords;
  if (row.shortName == "-o") return ValueKind::kFolders;
  if (row.valueHint == "FILE") return ValueKind::kFiles;
  return ValueKind::kNone;
}

bool takesValue(const OptionRow& row) {
  return !row.valueHint.empty() || row.kind == OptionKind::kKeyword;
}

std::string names(const OptionRow& row) {
  std::string text(row.longName);
  if (!row.shortName.empty()) text = std::string(row.shortName) + "|" + text;
  return text;
}

std::string joined(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += (text.empty() ? "" : " ") + value;
  return text;
}

constexpr char kHead[] = R"(# bash completion for pellucidcmd; generated from its option table.
_pellucidcmd_reply() {
    # $1: prefix kept before each candidate; the rest: candidates.
    local prefix=$1 candidate
    shift
    COMPREPLY=()
    for candidate in "$@"; do COMPREPLY+=("$prefix$candidate"); done
}

_pellucidcmd() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev= option= value= prefix=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD-1]}
    # "=" is a word of its own when it is in COMP_WORDBREAKS (the default).
    if [[ $cur == "=" ]]; then
        option=$prev
    elif [[ $prev == "=" ]] && ((COMP_CWORD > 1)); then
        option=${COMP_WORDS[COMP_CWORD-2]} value=$cur
    elif [[ $cur == --*=* ]]; then
        option=${cur%%=*} value=${cur#*=} prefix="${cur%%=*}="
    elif [[ $prev == -[iIoOcC] ]]; then
        option=$prev value=$cur
    fi
    if [[ -n $option ]]; then
        local words= kind=
        case ${option,,} in
)";

constexpr char kTail[] = R"(            *) return 0 ;;
        esac
        case $kind in
            files)
                local IFS=$'\n'
                compopt -o filenames 2>/dev/null
                _pellucidcmd_reply "$prefix" $(compgen -f -- "$value") ;;
            folders)
                local IFS=$'\n'
                compopt -o filenames 2>/dev/null
                _pellucidcmd_reply "$prefix" $(compgen -d -- "$value") ;;
            words)
                _pellucidcmd_reply "$prefix" $(compgen -W "$words" -- "${value,,}") ;;
        esac
        return 0
    fi
    if [[ $cur == -* ]]; then
        _pellucidcmd_reply "" $(compgen -W "$_pellucidcmd_options" -- "$cur")
        [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null
    fi
    return 0
}
complete -F _pellucidcmd pellucidcmd
)";

}  // namespace

std::string bashCompletion() {
  std::string options;
  std::string cases;
  for (const OptionRow& row : optionTable()) {
    for (std::string_view name : {row.shortName, row.aliasName}) {
      if (!name.empty() && name != "-?") options += std::string(name) + " ";
    }
    options += std::string(row.longName) + (takesValue(row) ? "=" : "") + " ";
    switch (valueKind(row)) {
      case ValueKind::kWords:
        cases += "            " + names(row) + ") kind=words words=\"" +
                 joined(acceptedValues(row)) + "\" ;;\n";
        break;
      case ValueKind::kFiles:
        cases += "            " + names(row) + ") kind=files ;;\n";
        break;
      case ValueKind::kFolders:
        cases += "            " + names(row) + ") kind=folders ;;\n";
        break;
      case ValueKind::kNone:
        break;
    }
  }
  return "_pellucidcmd_options=\"" + trimRight(options) + "\"\n" + kHead + cases + kTail;
}
