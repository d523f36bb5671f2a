#pragma once

#include "core/database/PlistValue.h"
#include "core/support/Bytes.h"

namespace tandrel::sample {

enum class PlistFormat { binary, xml };

// Writes a value as a property list through the property-list library. Integers are written
// as their 64-bit pattern; UIDs as references (in XML as {"CF$UID": n}); the null marker as an
// empty string, since property lists have no null.
Bytes writePlist(const PlistValue &value, PlistFormat format = PlistFormat::binary);

} // namespace tandrel::sample
