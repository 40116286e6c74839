#pragma once

#include <string>
#include <type_traits>

// Appends a value's bytes to a key: two keys are equal when every value they were made of is.
template <typename T> void appendKeyBytes(std::string& key, const T& value)
{
    static_assert(std::is_trivially_copyable_v<T>);
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
}
