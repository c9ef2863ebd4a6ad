// The names a XAML document gives its elements and resources.
//
// WPF refuses a whole document when an x:Name is not an identifier, so every
// name part taken from the scene (the title, character, model, material and
// animation names) is made one: the characters of the letter, letter-number,
// mark and decimal-digit categories (Lu Ll Lt Lm Lo Nl Mn Mc Nd) and '_' stay,
// every other character becomes '_'. Within one list a part equal to an
// earlier one takes the first free suffix "_2", "_3", ... Scene names are
// CP932 and are converted to UTF-8 first (an undecodable sequence becomes
// U+FFFD, which is then replaced like any other character).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantomo {

// `utf8` with every character outside the categories above replaced by '_';
// a malformed sequence counts as one such character. An identifier comes out
// byte for byte as it went in.
std::string ToXamlIdentifier(std::string_view utf8);

// The parts of one list of CP932 names, in list order, each an identifier and
// unique within the list.
std::vector<std::string> XamlNameParts(const std::vector<std::string>& cp932Names);

// The title part: the file name of `path` (UTF-8) without its last extension,
// as an identifier; "Scene" when that is empty.
std::string XamlTitlePart(std::string_view path);

// `text` with & < > " written as character references, for an attribute value.
std::string XmlEscapeAttribute(std::string_view text);

// A file name as a relative URI: '#', '%', space and control bytes written as
// %XX, so the name cannot be read as a fragment or an escape.
std::string PercentEncodeFileName(std::string_view name);

} // namespace vantomo
