#pragma once
// The text cleaning every text exporter applies before writing a file.

#include <QString>

namespace quandor {

// Removes from both ends of `text` every code point that is not an assigned
// Unicode character: unassigned code points, non-characters (U+FDD0–U+FDEF and
// the last two code points of every plane) and unpaired surrogates. Everything
// between the first and the last assigned character stays as it is, and so do
// control characters, line ends and white space at the ends.
QString zapGremlinsInString(const QString& text);

}  // namespace quandor
