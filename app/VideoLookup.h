#pragma once

#include "app/VideoDownload.h"

#include <functional>
#include <memory>
#include <string>

class QObject;

// Resolves one address of any kind (see ResolveVideo) on a worker thread, so
// that the windows keep painting and answering meanwhile, and hands the
// outcome to OnResolved through the event loop of context, its failure
// worded in the language of that moment. Destroying a lookup abandons it:
// its requests stop at their next wait, and nothing is handed over any more.
// Nor is anything once the context is gone.
class TVideoLookup {
public:
    using TResolvedEvent = std::function<void(TVideoLookup& Sender, TResolution Resolution)>;

    TVideoLookup(QObject& context, TVideoAddress address, TVideoQuality quality, std::string language,
                 std::string siteHost, TPageBounds bounds, TResolvedEvent onResolved);
    ~TVideoLookup();
    TVideoLookup(const TVideoLookup&) = delete;
    TVideoLookup& operator=(const TVideoLookup&) = delete;

private:
    class TWorker;
    void Deliver();

    TResolvedEvent onResolved_;
    // What the posted hand-over reaches the lookup through, while it lives.
    std::shared_ptr<TVideoLookup*> self_;
    std::unique_ptr<TWorker> worker_;
};
