#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

// FFmpeg's libraries write their log to stderr unless told otherwise. The
// first TFfmpegLog puts one callback in place for the whole process; from
// then on, what the libraries say on a thread where a TFfmpegLog lives is
// kept by it, and everything else is dropped, so nothing reaches the
// terminal. A failure then names FFmpeg's own reason.
class TFfmpegLog {
public:
    TFfmpegLog();
    ~TFfmpegLog();
    TFfmpegLog(const TFfmpegLog&) = delete;
    TFfmpegLog& operator=(const TFfmpegLog&) = delete;

    // Forgets what was said so far: a step that may fail calls it first, so
    // that an error already recovered from is not taken for its reason.
    void Forget();
    // The reason for an FFmpeg error code: the last error line said since
    // Forget, else the code's own text.
    std::string Detail(int error) const;

private:
    static void Receive(void* object, int level, const char* format, va_list arguments);
    void Take(int level, std::string_view text);

    TFfmpegLog* previous_;
    std::string pending_;
    int pendingLevel_ = 0;
    std::string lastError_;
};
