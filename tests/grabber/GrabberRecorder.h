#pragma once

#include "grabber/TJvCustomUrlGrabber.h"
#include "grabber/TJvCustomUrlGrabberThread.h"
#include "grabber/TJvProxyingUrlGrabber.h"
#include "runtime/TThread.h"
#include "support/ScratchFolder.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

// A grabber that saves to target without a proxy, continues a part an
// earlier run kept, and tries five times, each second of waiting lasting a
// millisecond.
inline void SaveWithQuickRetries(TJvProxyingUrlGrabber& grabber, const std::string& target)
{
    grabber.SetProxyMode(pmNoProxy);
    grabber.SetFileName(target);
    grabber.SetRetries(5);
    grabber.SetRetrySecond(std::chrono::milliseconds(1));
    grabber.SetResumeMode(rmContinue);
}

// Binds every event of a grabber and writes down what it saw, in order, as
// short lines ("done 5000", "error HTTP 404 Not Found", "closed", ...).
struct GrabberRecorder {
    explicit GrabberRecorder(TJvCustomUrlGrabber& watched) : grabber(watched)
    {
        grabber.OnProgress = [this](TObject*, std::int64_t position, std::int64_t total, const std::string&,
                                    bool& Continue) {
            positions.push_back(position);
            totals.push_back(total);
            if (onProgress)
                onProgress(position, Continue);
        };
        grabber.OnDoneFile = [this](TObject*, const std::string&, std::int64_t size, const std::string&) {
            events.push_back("done " + std::to_string(size));
        };
        grabber.OnDoneStream = [this](TObject*, TStream& stream, std::int64_t size, const std::string&) {
            std::string bytes(static_cast<std::size_t>(size), '\0');
            stream.ReadBuffer(bytes.data(), size);
            streamed = bytes;
            events.push_back("stream " + std::to_string(size));
        };
        grabber.OnError = [this](TObject*, const std::string& message) { events.push_back("error " + message); };
        // The network layer's own "connection closed" notice raises the same
        // event just before the run's end does; one line stands for both.
        grabber.OnConnectionClosed = [this](TObject*) {
            if (grabber.Status() == gsStopped && !grabber.ContentStream())
                ++runsClosed;
            if (events.empty() || events.back() != "closed")
                events.push_back("closed");
        };
        grabber.OnRedirect = [this](TObject*) { ++redirects; };
        grabber.OnStatusChange = [this](TObject*) { statuses.push_back(grabber.Worker()->LastStatus); };
    }

    // Starts a run and serves its hand-overs until the worker has ended.
    void Run()
    {
        grabber.Start();
        grabber.Worker()->WaitFor();
    }

    // Serves hand-overs until the predicate holds (or five seconds pass).
    template <typename Predicate>
    bool ServeUntil(Predicate done)
    {
        for (int turn = 0; turn < 500 && !done(); ++turn)
            CheckSynchronize(10);
        return done();
    }

    // What the runs came to: the events without the closing notices, which
    // every attempt and every extra connection raises.
    std::vector<std::string> Outcome() const
    {
        std::vector<std::string> outcome;
        std::copy_if(events.begin(), events.end(), std::back_inserter(outcome),
                     [](const std::string& event) { return event != "closed"; });
        return outcome;
    }

    bool Saw(const std::string& prefix) const
    {
        return std::any_of(events.begin(), events.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    }
    bool SawStatus(std::uint32_t status) const
    {
        return std::find(statuses.begin(), statuses.end(), status) != statuses.end();
    }

    TJvCustomUrlGrabber& grabber;
    std::vector<std::string> events;
    std::vector<std::int64_t> positions;
    std::vector<std::int64_t> totals;
    std::vector<std::uint32_t> statuses;
    std::string streamed;
    int redirects = 0;
    // Runs whose end was announced (counts the worker frame's event only
    // when the run did not fail).
    int runsClosed = 0;
    std::function<void(std::int64_t position, bool& Continue)> onProgress;
};
