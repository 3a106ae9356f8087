#include "app/VideoLookup.h"

#include "runtime/TThread.h"

namespace {

// The translation engine serves only its own thread, so messages made on the
// worker came out in English; they are worded again here, on the engine's
// thread.
void WordInCurrentLanguage(const std::exception_ptr& failure)
{
    if (!failure)
        return;
    try {
        std::rethrow_exception(failure);
    } catch (Exception& error) {
        error.Reword();
    } catch (...) {
    }
}

} // namespace

class TVideoLookup::TWorker : public TThread {
public:
    TWorker(TVideoLookup& lookup, std::string watchAddress, TVideoQuality quality, std::string siteHost,
            TPageBounds bounds)
        : lookup_(lookup), watchAddress_(std::move(watchAddress)), quality_(quality), siteHost_(std::move(siteHost)),
          bounds_(bounds)
    {
    }
    ~TWorker() override
    {
        Terminate();
        WaitFor();
    }

    TResolution Resolution;

protected:
    void Execute() override
    {
        Resolution = ResolveVideo(watchAddress_, quality_, siteHost_, bounds_);
        if (Terminated())
            return;
        // Posted, not waited for: a lookup destroyed before its turn takes
        // the posted call with it.
        QMetaObject::invokeMethod(&lookup_, [lookup = &lookup_] { lookup->Deliver(); }, Qt::QueuedConnection);
    }

private:
    TVideoLookup& lookup_;
    const std::string watchAddress_;
    const TVideoQuality quality_;
    const std::string siteHost_;
    const TPageBounds bounds_;
};

TVideoLookup::TVideoLookup(std::string watchAddress, TVideoQuality quality, std::string siteHost, TPageBounds bounds,
                           TResolvedEvent onResolved)
    : onResolved_(std::move(onResolved)),
      worker_(std::make_unique<TWorker>(*this, std::move(watchAddress), quality, std::move(siteHost), bounds))
{
    worker_->Start();
}

TVideoLookup::~TVideoLookup() = default;

// The handler may let the lookup go: nothing of it is touched afterwards.
void TVideoLookup::Deliver()
{
    TResolution resolution = std::move(worker_->Resolution);
    WordInCurrentLanguage(resolution.Failure);
    onResolved_(*this, std::move(resolution));
}
