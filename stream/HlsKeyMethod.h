#pragma once

#include "stream/HlsAttributes.h"
#include "stream/StreamTypes.h"

// What an EXT-X-KEY or EXT-X-SESSION-KEY asks for: spNone for METHOD=NONE,
// spAes128 for AES-128 under the "identity" key format (or none named),
// spDrm for sample encryption or a key format of a licence server. Raises
// EStreamManifest for a method no reader knows.
TStreamProtection KeyProtection(const THlsAttributes& key);
