#pragma once

#include "grabber/TJvUrlGrabberClass.h"

#include <cstddef>
#include <string>
#include <vector>

// The grabber classes the process knows, registered on first use: FTP,
// HTTP, HTTPS and local files, in that order.
class TJvUrlGrabberClassList {
public:
    static TJvUrlGrabberClassList& Instance();

    void Add(const TJvUrlGrabberClass& type) { classes_.push_back(&type); }
    std::size_t Count() const { return classes_.size(); }
    const TJvUrlGrabberClass& Items(std::size_t index) const;
    // The first class that can grab url, or none.
    const TJvUrlGrabberClass* ClassFor(const std::string& url) const;

private:
    TJvUrlGrabberClassList();
    std::vector<const TJvUrlGrabberClass*> classes_;
};
