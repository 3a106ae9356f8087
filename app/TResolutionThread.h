#pragma once

#include "app/VideoDownload.h"
#include "runtime/TThread.h"

#include <string>

// Resolves one address (see ResolveVideo) on a thread of its own, so that
// the caller can go on answering the user meanwhile. Destroying it gives the
// resolution up: its requests stop at their next wait.
class TResolutionThread : public TThread {
public:
    // The language chooses a stream's audio: the interface's when the
    // lookup starts (the engine answers on its own thread only).
    TResolutionThread(TVideoAddress address, TVideoQuality quality, std::string language, std::string siteHost,
                      TPageBounds bounds);
    ~TResolutionThread() override;

    // What the resolution came to, once Finished(), its failure worded in
    // the language of the calling thread: the translation engine serves only
    // its own thread, so messages made on the worker came out in English.
    TResolution TakeResolution();

protected:
    void Execute() override;

private:
    const TVideoAddress address_;
    const TVideoQuality quality_;
    const std::string language_;
    const std::string siteHost_;
    const TPageBounds bounds_;
    TResolution resolution_;
};
