// The media module's entry: the joiner behind a plain function, with every
// failure turned into words the program raises again on its side.
#include "media/EMediaJoin.h"
#include "media/JoinInProcess.h"
#include "media/MediaModuleEntry.h"

#include "runtime/Exception.h"

#include <exception>

extern "C" __attribute__((visibility("default"))) TModuleOutcome
SkerrowJoinMedia(const TJoinRequest* request, TJoinOutcome* outcome, TModuleFailure* failure)
{
    try {
        *outcome = JoinMediaInProcess(*request);
        return moJoined;
    } catch (const EMediaJoin& joinFailure) {
        failure->Wording = joinFailure.Wording();
        failure->Arguments = joinFailure.Arguments();
        return moJoinFailed;
    } catch (const EAbort&) {
        return moCancelled;
    } catch (const std::exception& other) {
        failure->Message = other.what();
        return moOtherFailure;
    }
}
