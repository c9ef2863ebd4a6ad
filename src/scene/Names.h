// Name comparison and uniqueness for characters, models and materials.
//
// Names are CP932 bytes. Both comparisons walk the text character by
// character, so the trail byte of a double-byte character is never taken for
// an ASCII letter. Like the C strings the names once were, a name ends at its
// first NUL byte, and a lead byte with nothing after it ends the name too.
#pragma once

#include <string>
#include <string_view>

namespace vantomo {

class CTessaline;

// The comparison key of a name without regard to case: ASCII letters in lower
// case, double-byte characters in their upper-case form (full-width Latin,
// Greek, Cyrillic and Roman-numeral letters; a character that CP932 encodes
// twice takes its preferred code). Two names are equal without regard to case
// exactly when their keys are equal.
std::string NameFoldKey(std::string_view name);

// Multi-byte-aware comparison without regard to case.
bool NamesEqualNoCase(std::string_view a, std::string_view b);

// Multi-byte-aware exact comparison (used where default names are searched).
bool NamesEqualExact(std::string_view a, std::string_view b);

// Rename duplicates so that character names, model names and material names
// are each unique without regard to case, then refresh every model's
// m_parentName. Within a list, entries are visited from the last to the first;
// an entry equal to any other takes "%s_%d" of its original name with 2, 3, ...
// until it is unique. Earlier entries therefore keep their names: A, A, A
// becomes A, A_3, A_2. Runs in time linear in the number of names for any
// realistic input.
void MakeNamesUnique(CTessaline& scene);

} // namespace vantomo
