#pragma once
// The XML form of a property list ("<plist version=…>"), read through
// libplist and re-encoded as a binary property list, so that one decoder
// serves both forms. UIDs, written in XML as {"CF$UID": n}, become real UIDs;
// a real becomes a 32-bit real when a float holds it exactly (libplist's own
// rule when it writes binary), so float amounts read as floats.

#include "core/archive/damage.h"

#include <QByteArray>

namespace quandor::archive {

// Damage::None and the binary form in `out`, or the damage.
Damage xmlToBinary(const QByteArray& xml, QByteArray* out);

}  // namespace quandor::archive
