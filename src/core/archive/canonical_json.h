#pragma once
// The canonical JSON (docs/FILE_FORMAT.md, "The canonical JSON"): one line, no white space,
// UTF-8, object keys sorted by code point. `quandor-cli dump` and every
// command that prints records use it; tests compare it byte for byte.
//
// Choices the contract leaves open:
// - Strings escape only what JSON requires: '"' and '\' with a backslash,
//   control characters as \b \f \n \r \t or else \u00XX (lowercase hex), the
//   way Python's json.dumps(ensure_ascii=False) does. A lone UTF-16 surrogate
//   (possible only in a damaged file) is written as \uXXXX.
// - A real or a date that is not finite (NaN, infinity) prints as null.
// - Records print "properties" and their child lists as the writer writes
//   them (archive::writtenState): left out when missing, null when nil.

#include "core/value.h"

#include <QByteArray>

namespace quandor::archive {

QByteArray canonicalJson(const Value& value);

}  // namespace quandor::archive
