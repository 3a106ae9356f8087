#pragma once

#include <string>

class TComponent;
class TJvCustomUrlGrabber;
class TJvCustomUrlGrabberThread;
class TJvCustomUrlGrabberDefaultProperties;

// What C++ lacks as class-level virtual operations: one record per grabber
// class with its class-level values and factories, reached from an instance
// through GrabberClass() and listed in the class list.
struct TJvUrlGrabberClass {
    std::string ClassName;
    std::string (*GetProtocolMarker)();
    std::string (*GetProtocolName)();
    bool (*CanGrab)(const std::string& url);
    // Null for the abstract base.
    TJvCustomUrlGrabberThread* (*GetThreadClass)(TJvCustomUrlGrabber* grabber);
    TJvCustomUrlGrabberDefaultProperties* (*GetDefaultPropertiesClass)();
    TJvCustomUrlGrabber* (*Create)(TComponent* owner);
};
