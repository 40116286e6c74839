#pragma once

#include "RecordingView.h"
#include "platform/Hooks.h"

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

// Collects the texts of the message boxes shown while it lives.
class MessageBoxes {
public:
    std::vector<std::string> texts;

    MessageBoxes()
    {
        platform::Hooks hooks;
        hooks.messageBox = [this](const std::string& text, const std::string&, unsigned) {
            texts.push_back(text);
            return platform::IDOK;
        };
        platform::installHooks(hooks);
    }
    ~MessageBoxes() { platform::resetHooks(); }
};

// Sets the time zone for the life of the object.
class TimeZone {
public:
    explicit TimeZone(const char* zone) { setZone(zone); }
    ~TimeZone() { setZone(nullptr); }

private:
    static void setZone(const char* zone)
    {
        zone ? ::setenv("TZ", zone, 1) : ::unsetenv("TZ");
        ::tzset();
    }
};

// A local time in the current time zone.
inline std::time_t localTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}
