#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text is UTF-8 everywhere in the program. Case mapping covers all of Unicode
// (so "été" upper-cases to "ÉTÉ"); bytes that are not valid UTF-8 pass through.
std::string toUpperText(std::string_view text);
std::string toLowerText(std::string_view text);

// First character upper case, the rest lower case.
std::string toTitleText(std::string_view text);

// Removes the given characters from both ends (default: spaces only).
std::string trimText(std::string_view text, std::string_view characters = " ");
std::string trimLeft(std::string_view text, std::string_view characters = " ");
std::string trimRight(std::string_view text, std::string_view characters = " ");

// A count written as decimal digits only (no sign, space or prefix) that fits
// in int32_t; nullopt for anything else, the empty text included.
std::optional<int32_t> parseDecimalCount(std::string_view text);

bool startsWith(std::string_view text, std::string_view prefix);
bool endsWith(std::string_view text, std::string_view suffix);

// Replaces every occurrence of pattern (an ASCII text, letters compared without
// regard to case) by
// replacement. Scanning resumes after each inserted replacement.
std::string replaceAllIgnoringCase(const std::string& text, const std::string& pattern,
                                   const std::string& replacement);

// Number of occurrences of pattern, compared without regard to case.
size_t countIgnoringCase(const std::string& text, const std::string& pattern);

// Each byte is one ISO-8859-1 character.
std::string latin1ToUtf8(std::string_view bytes);

// UTF-16 or UTF-32 code units (little or big endian) to UTF-8; unpaired
// surrogates and invalid code points become U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);
std::string utf32ToUtf8(std::string_view bytes, bool bigEndian);

// Decodes the UTF-8 sequence at text[i] into *codePoint and returns its
// length; 0 when the bytes there are no valid UTF-8 (cut, overlong, a
// surrogate or past U+10FFFF).
size_t decodeUtf8Sequence(std::string_view text, size_t i, char32_t* codePoint);

// Appends the UTF-8 form of c; a surrogate or a value past U+10FFFF becomes
// U+FFFD.
void appendUtf8(std::string& out, char32_t c);

// The code points of a text for drawing: a byte that does not start a valid
// sequence becomes U+FFFD, so any text can be drawn.
std::vector<char32_t> decodeUtf8(std::string_view text);

// The text with every invalid sequence replaced by U+FFFD (for libraries that
// refuse invalid UTF-8 outright).
std::string sanitizeUtf8(std::string_view text);

// Text as the report prints a path or a typed value: one line of valid UTF-8.
// Control characters become "\n", "\r", "\t" or "\x1b" style escapes, bytes
// that are not UTF-8 "\xff" style, a backslash "\\"; every other character,
// non-ASCII ones included, stays as it is.
std::string escapeForDisplay(std::string_view text);
