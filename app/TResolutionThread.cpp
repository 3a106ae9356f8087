#include "app/TResolutionThread.h"

TResolutionThread::TResolutionThread(TVideoAddress address, TVideoQuality quality, std::string language,
                                     std::string siteHost, TPageBounds bounds)
    : address_(std::move(address)), quality_(quality), language_(std::move(language)), siteHost_(std::move(siteHost)),
      bounds_(bounds)
{}

TResolutionThread::~TResolutionThread()
{
    Terminate();
    WaitFor();
}

void TResolutionThread::Execute()
{
    resolution_ = ResolveVideo(address_, quality_, language_, siteHost_, bounds_);
}

TResolution TResolutionThread::TakeResolution()
{
    TResolution resolution = std::move(resolution_);
    if (!resolution.Failure)
        return resolution;
    try {
        std::rethrow_exception(resolution.Failure);
    } catch (Exception& error) {
        error.Reword();
    } catch (...) {}
    return resolution;
}
