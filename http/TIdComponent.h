#pragma once

#include "http/TIdBaseComponent.h"

#include <cstdint>
#include <functional>
#include <string>

enum TIdStatus { hsResolving, hsConnecting, hsConnected, hsDisconnecting, hsDisconnected, hsStatusText };
enum TWorkMode { wmRead, wmWrite };

using TIdStatusEvent = std::function<void(TObject* Sender, TIdStatus status, const std::string& statusText)>;
using TWorkBeginEvent = std::function<void(TObject* Sender, TWorkMode workMode, std::int64_t workCountMax)>;
using TWorkEvent = std::function<void(TObject* Sender, TWorkMode workMode, std::int64_t workCount)>;
using TWorkEndEvent = std::function<void(TObject* Sender, TWorkMode workMode)>;

// A component that reports its status and the progress of its work. Work is
// counted per mode: begins and ends may nest, and only the outermost pair
// reaches the handlers; progress is reported while a work is open, as the
// count moved since its begin. Every such component holds a usage of the
// socket stack.
class TIdComponent : public TIdBaseComponent {
public:
    explicit TIdComponent(TComponent* owner = nullptr);
    ~TIdComponent() override;

    std::string ClassName() const override { return "TIdComponent"; }

    TIdStatusEvent OnStatus;
    TWorkBeginEvent OnWorkBegin;
    TWorkEvent OnWork;
    TWorkEndEvent OnWorkEnd;

    // The text is the status's own, with argument filled in where it takes one.
    void DoStatus(TIdStatus status, const std::string& argument = {});
    static std::string StatusText(TIdStatus status, const std::string& argument);

    void BeginWork(TWorkMode mode, std::int64_t size = 0);
    void DoWork(TWorkMode mode, std::int64_t count);
    void EndWork(TWorkMode mode);

private:
    struct WorkInfo {
        int level = 0;
        std::int64_t position = 0;
    };
    WorkInfo work_[2];
};
