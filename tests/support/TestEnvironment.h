#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// Qt wants a private runtime folder; CI and bare shells have none. A
// per-user folder under /tmp keeps the test output free of its warnings.
inline void ProvideRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    std::string folder = "/tmp/skerrow-runtime-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    ::chmod(folder.c_str(), 0700);
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder));
}
