#include "platform/SettingKey.h"

#include "platform/CProfile.h"

namespace {

template <typename Key, typename Value> Value correctedValue(const Key& key, Value value)
{
    if (value >= key.lowest && value <= key.highest)
        return value;
    if (key.outOfRange == OutOfRange::UseDefault)
        return key.defaultValue;
    return value < key.lowest ? key.lowest : key.highest;
}

} // namespace

int corrected(const IntKey& key, int value) { return correctedValue(key, value); }

float corrected(const FloatKey& key, float value) { return correctedValue(key, value); }

float storedSetting(const CProfile& file, const FloatKey& key)
{
    return file.getFloat(key.section, key.name, key.defaultValue);
}

int readSetting(const CProfile& file, const IntKey& key)
{
    return corrected(key, file.getInt(key.section, key.name, key.defaultValue));
}

float readSetting(const CProfile& file, const FloatKey& key)
{
    return corrected(key, storedSetting(file, key));
}

std::string readSetting(const CProfile& file, const TextKey& key)
{
    return file.getText(key.section, key.name, key.defaultValue);
}

void readSetting(const CProfile& file, const TextKey& key, char* field, int size)
{
    file.getString(key.section, key.name, field, size, key.defaultValue);
}

bool writeSetting(CProfile& file, const IntKey& key, int value)
{
    return file.setInt(key.section, key.name, value);
}

bool writeSetting(CProfile& file, const FloatKey& key, float value)
{
    return file.setFloat(key.section, key.name, value);
}

bool writeSetting(CProfile& file, const TextKey& key, const char* value)
{
    return file.setString(key.section, key.name, value);
}
