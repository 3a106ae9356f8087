#include "app/VideoLookup.h"

#include "runtime/TThread.h"

#include <QMetaObject>
#include <QObject>

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
    } catch (...) {}
}

} // namespace

class TVideoLookup::TWorker : public TThread {
public:
    TWorker(QObject& context, std::weak_ptr<TVideoLookup*> lookup, TVideoAddress address, TVideoQuality quality,
            std::string siteHost, TPageBounds bounds)
        : context_(context), lookup_(std::move(lookup)), address_(std::move(address)), quality_(quality),
          siteHost_(std::move(siteHost)), bounds_(bounds)
    {}
    ~TWorker() override
    {
        Terminate();
        WaitFor();
    }

    TResolution Resolution;

protected:
    void Execute() override
    {
        Resolution = ResolveVideo(address_, quality_, siteHost_, bounds_);
        if (Terminated())
            return;
        // Posted, not waited for. The context drops the call if it goes
        // first; the lookup's weak hold tells whether it went first.
        QMetaObject::invokeMethod(
            &context_,
            [lookup = lookup_] {
                if (std::shared_ptr<TVideoLookup*> alive = lookup.lock())
                    (*alive)->Deliver();
            },
            Qt::QueuedConnection);
    }

private:
    QObject& context_;
    const std::weak_ptr<TVideoLookup*> lookup_;
    const TVideoAddress address_;
    const TVideoQuality quality_;
    const std::string siteHost_;
    const TPageBounds bounds_;
};

TVideoLookup::TVideoLookup(QObject& context, TVideoAddress address, TVideoQuality quality, std::string siteHost,
                           TPageBounds bounds, TResolvedEvent onResolved)
    : onResolved_(std::move(onResolved)), self_(std::make_shared<TVideoLookup*>(this)),
      worker_(std::make_unique<TWorker>(context, self_, std::move(address), quality, std::move(siteHost), bounds))
{
    worker_->Start();
}

TVideoLookup::~TVideoLookup()
{
    self_.reset();
}

// The handler may let the lookup go: nothing of it is touched afterwards.
void TVideoLookup::Deliver()
{
    TResolution resolution = std::move(worker_->Resolution);
    WordInCurrentLanguage(resolution.Failure);
    onResolved_(*this, std::move(resolution));
}
