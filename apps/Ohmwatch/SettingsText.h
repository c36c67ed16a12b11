#pragma once

#include <string>

struct Settings;

// Applies the whole content of a settings file, given as its bytes, line by
// line (ApplySettingsLine), in the encodings a text editor saves:
// - a file that starts with the UTF-16 little-endian mark (FF FE) is UTF-16
//   text; a last odd byte, half a character, is dropped;
// - otherwise the file is 8-bit text after an optional UTF-8 mark: a line
//   whose bytes are valid UTF-8 with at least one non-ASCII character is read
//   as UTF-8, any other line byte by byte, each byte the character of the
//   same code (Latin-1), so files of either kind work.
// Lines end at a line feed, and a carriage return right before it is
// dropped; a last line without a line feed still counts. Characters beyond
// U+FFFF become UTF-16 surrogate pairs whatever the width of wchar_t.
// echo receives each line read, the mark excluded, followed by a line feed:
// the line's own bytes for 8-bit text, UTF-8 for UTF-16 text (a lone
// surrogate as U+FFFD).
void ApplySettingsText(const std::string& bytes, Settings& settings, std::string& echo);
