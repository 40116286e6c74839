#pragma once

#include <cfloat>
#include <climits>
#include <string>

class CProfile;

// One key of a settings file as the program stores it: its section, its name as written when the key is
// new (reads match any case, and a key already in the file keeps its own spelling), its default, and
// what a value read from the file becomes when it lies outside the range the program can use. The
// settings files are read and written through these keys, so that each key is spelled, and its default
// and range given, in one place.

// What a value outside the key's range becomes.
enum class OutOfRange {
    UseDefault, // the default: such a value is no setting anyone made
    HoldAtEnd,  // the nearest end of the range
};

struct IntKey {
    const char* section;
    const char* name;
    int defaultValue;
    int lowest = INT_MIN;
    int highest = INT_MAX;
    OutOfRange outOfRange = OutOfRange::UseDefault;
};

// Written "%.6f". A read value is always a finite number (see CProfile::getFloat).
struct FloatKey {
    const char* section;
    const char* name;
    float defaultValue;
    float lowest = -FLT_MAX;
    float highest = FLT_MAX;
    OutOfRange outOfRange = OutOfRange::UseDefault;
};

struct TextKey {
    const char* section;
    const char* name;
    const char* defaultValue = "";
};

// The key of the same name in another section: a device's keys live in the section of the device.
template <typename Key> constexpr Key inSection(Key key, const char* section)
{
    key.section = section;
    return key;
}

// The key with another default, for a reader that has always used its own.
template <typename Key, typename Value> constexpr Key withDefault(Key key, Value defaultValue)
{
    key.defaultValue = defaultValue;
    return key;
}

int corrected(const IntKey& key, int value);
float corrected(const FloatKey& key, float value);

// The value as stored, for a dialog that shows what the file holds; the default when the file or the key
// is missing.
float storedSetting(const CProfile& file, const FloatKey& key);

// The stored value, corrected to the key's range; the default when the file or the key is missing.
int readSetting(const CProfile& file, const IntKey& key);
float readSetting(const CProfile& file, const FloatKey& key);
// The whole text, however long.
std::string readSetting(const CProfile& file, const TextKey& key);
// The text into a field of size bytes: at most size - 1 bytes, the rest of the field zero.
void readSetting(const CProfile& file, const TextKey& key, char* field, int size);

bool writeSetting(CProfile& file, const IntKey& key, int value);
bool writeSetting(CProfile& file, const FloatKey& key, float value);
bool writeSetting(CProfile& file, const TextKey& key, const char* value);
