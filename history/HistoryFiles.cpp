#include "history/HistoryFiles.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
        return user->pw_dir;
    return {};
}

fs::path DataFolder()
{
    // XDG base directories must be absolute; a relative one is ignored.
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return data;
    std::string home = HomeFolder();
    return home.empty() ? fs::path() : fs::path(home) / ".local" / "share";
}

std::string DamagedName(const std::string& path, std::time_t now)
{
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    return path + ".damaged-" + stamp;
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return fs::exists(path, error) || error;
}

} // namespace

std::string DefaultHistoryPath()
{
    fs::path data = DataFolder();
    if (data.empty())
        return {};
    return (data / "skerrow" / "history.sqlite3").string();
}

std::string SetAsideDamaged(const std::string& path, std::time_t now)
{
    const std::string base = DamagedName(path, now);
    std::string aside = base;
    for (int number = 2; Exists(aside); ++number) {
        if (number > 100)
            return {};
        aside = base + "-" + std::to_string(number);
    }
    std::error_code error;
    fs::rename(path, aside, error);
    if (error)
        return {};
    // The log belongs to the damaged file; left here, it would be read into
    // the new one. The shared-memory index is rebuilt from the log anyway.
    fs::rename(path + "-wal", aside + "-wal", error);
    fs::remove(path + "-shm", error);
    return aside;
}
