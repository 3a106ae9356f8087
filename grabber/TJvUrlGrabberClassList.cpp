#include "grabber/TJvUrlGrabberClassList.h"

#include "grabber/TJvFtpUrlGrabber.h"
#include "grabber/TJvHttpsUrlGrabber.h"
#include "grabber/TJvLocalFileUrlGrabber.h"
#include "runtime/Exception.h"

TJvUrlGrabberClassList& TJvUrlGrabberClassList::Instance()
{
    static TJvUrlGrabberClassList list;
    return list;
}

TJvUrlGrabberClassList::TJvUrlGrabberClassList()
{
    Add(TJvFtpUrlGrabber::ClassType());
    Add(TJvHttpUrlGrabber::ClassType());
    Add(TJvHttpsUrlGrabber::ClassType());
    Add(TJvLocalFileUrlGrabber::ClassType());
}

const TJvUrlGrabberClass& TJvUrlGrabberClassList::Items(std::size_t index) const
{
    if (index >= classes_.size())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return *classes_[index];
}

const TJvUrlGrabberClass* TJvUrlGrabberClassList::ClassFor(const std::string& url) const
{
    for (const TJvUrlGrabberClass* type : classes_)
        if (type->CanGrab(url))
            return type;
    return nullptr;
}
