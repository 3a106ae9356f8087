#pragma once

#include "app/VideoDownload.h"

#include <QObject>
#include <functional>
#include <memory>
#include <string>

// Resolves one watch-page address on a worker thread, so that the windows
// keep painting and answering meanwhile, and hands the outcome to OnResolved
// on the user-interface thread, its failure worded in the language of that
// moment. Destroying a lookup abandons it: its requests stop at their next
// wait, and nothing is handed over any more.
class TVideoLookup : public QObject {
public:
    using TResolvedEvent = std::function<void(TVideoLookup& Sender, TResolution Resolution)>;

    TVideoLookup(std::string watchAddress, TVideoQuality quality, std::string siteHost, TPageBounds bounds,
                 TResolvedEvent onResolved);
    ~TVideoLookup() override;

private:
    class TWorker;
    void Deliver();

    TResolvedEvent onResolved_;
    std::unique_ptr<TWorker> worker_;
};
