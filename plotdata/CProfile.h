#pragma once

#include <string>

// Typed access to one INI file of the program folder. The accessor knows nothing of sections or keys; the
// owner of each file does. Until the owner sets a path, it reads and writes VARENK98.INI in the program
// folder.
class CProfile {
public:
    CProfile();

    void setPath(const char* path);
    const char* path() const { return path_; }

    int getInt(const char* section, const char* key, int defaultValue) const;
    bool setInt(const char* section, const char* key, int value) const;
    float getFloat(const char* section, const char* key, float defaultValue) const;
    bool setFloat(const char* section, const char* key, float value) const;
    // Zero-fills all of out, then reads at most size - 1 characters; returns the characters read.
    int getString(const char* section, const char* key, char* out, int size, const char* defaultValue) const;
    void getStringObj(const char* section, const char* key, std::string& out, const char* defaultValue) const;
    // Reads the raw text and decodes its backslash escapes into out, at most size - 1 bytes.
    void getEscapedString(const char* section, const char* key, char* out, int size,
                          const char* defaultValue) const;
    bool setString(const char* section, const char* key, const char* text) const;

private:
    char path_[150] = {};
};
