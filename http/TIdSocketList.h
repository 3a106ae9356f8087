#pragma once

#include <vector>

// A set of socket handles to wait on for read readiness.
class TIdSocketList {
public:
    void Add(int handle);
    void Remove(int handle);
    void Clear() { handles_.clear(); }
    int Count() const { return static_cast<int>(handles_.size()); }
    bool Contains(int handle) const;

    // Waits until one of the sockets is readable (a closed or failed
    // connection counts as readable) or timeoutMs pass; -1 waits without
    // limit. True when one is readable.
    bool SelectRead(int timeoutMs) const;

private:
    std::vector<int> handles_;
};
