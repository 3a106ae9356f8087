#include "runtime/ReplaceableFile.h"

#include <sys/stat.h>

bool IsReplaceableFile(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode);
}
