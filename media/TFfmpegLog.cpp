#include "media/TFfmpegLog.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace {

// Log lines can carry bytes of the input (tags, names); a line is kept
// short and printable.
constexpr std::size_t kLineLimit = 300;

thread_local TFfmpegLog* current = nullptr;

} // namespace

TFfmpegLog::TFfmpegLog() : previous_(current)
{
    static std::once_flag installed;
    std::call_once(installed, [] { av_log_set_callback(&TFfmpegLog::Receive); });
    current = this;
}

TFfmpegLog::~TFfmpegLog()
{
    current = previous_;
}

void TFfmpegLog::Forget()
{
    pending_.clear();
    lastError_.clear();
}

std::string TFfmpegLog::Detail(int error) const
{
    if (!lastError_.empty())
        return lastError_;
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

void TFfmpegLog::Receive(void*, int level, const char* format, va_list arguments)
{
    if (!current || level > AV_LOG_WARNING)
        return;
    char text[1024];
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    if (length > 0)
        current->Take(level, std::string_view(text, std::min<std::size_t>(length, sizeof text - 1)));
}

// FFmpeg sometimes says one line in several calls; a line counts once its
// newline arrives.
void TFfmpegLog::Take(int level, std::string_view text)
{
    if (pending_.empty())
        pendingLevel_ = level;
    for (char c : text) {
        if (c == '\n') {
            if (pendingLevel_ <= AV_LOG_ERROR && !pending_.empty())
                lastError_ = pending_;
            pending_.clear();
            pendingLevel_ = level;
        } else if (pending_.size() < kLineLimit) {
            pending_ += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
}
