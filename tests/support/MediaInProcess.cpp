// Linked into the test programs that save streams: they join in their own
// process, with the joiner they link, instead of loading the module beside
// the program (which the built program's own tests use).
#include "media/JoinInProcess.h"

namespace {

const bool joinsHere = (JoinInThisProcess(), true);

} // namespace
