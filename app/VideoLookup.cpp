#include "app/VideoLookup.h"

#include "app/TResolutionThread.h"

#include <QMetaObject>
#include <QObject>

// The resolution, then the hand-over of its outcome.
class TVideoLookup::TWorker : public TResolutionThread {
public:
    TWorker(QObject& context, std::weak_ptr<TVideoLookup*> lookup, TVideoAddress address, TVideoQuality quality,
            std::string language, std::string siteHost, TPageBounds bounds)
        : TResolutionThread(std::move(address), quality, std::move(language), std::move(siteHost), bounds),
          context_(context), lookup_(std::move(lookup))
    {}
    ~TWorker() override
    {
        Terminate();
        WaitFor();
    }

protected:
    void Execute() override
    {
        TResolutionThread::Execute();
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
};

TVideoLookup::TVideoLookup(QObject& context, TVideoAddress address, TVideoQuality quality, std::string language,
                           std::string siteHost, TPageBounds bounds, TResolvedEvent onResolved)
    : onResolved_(std::move(onResolved)), self_(std::make_shared<TVideoLookup*>(this)),
      worker_(std::make_unique<TWorker>(context, self_, std::move(address), quality, std::move(language),
                                        std::move(siteHost), bounds))
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
    TResolution resolution = worker_->TakeResolution();
    onResolved_(*this, std::move(resolution));
}
