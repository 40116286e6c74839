#pragma once

#include <string>
#include <vector>

// Typed access to one INI file of the program folder: the one way the program reads and writes its
// settings. The accessor knows nothing of sections or keys; the owner of each file does. Until the owner sets
// a path, it reads and writes VARENK98.INI in the program folder. Floats are written as "%.6f" and read back
// independently of the process's locale.
class CProfile {
public:
    CProfile();

    void setPath(const char* path);
    const char* path() const { return path_.c_str(); }

    int getInt(const char* section, const char* key, int defaultValue) const;
    bool setInt(const char* section, const char* key, int value);
    // Reads at most 19 characters of the value; a value that is not a finite number gives 0, one beyond the
    // float range is held at its ends.
    float getFloat(const char* section, const char* key, float defaultValue) const;
    bool setFloat(const char* section, const char* key, float value);
    // Zero-fills all of out, then reads at most size - 1 characters; returns the characters read. A null
    // key reads the section's key names, each ending in NUL, with one more NUL after the last.
    int getString(const char* section, const char* key, char* out, int size, const char* defaultValue) const;
    void getStringObj(const char* section, const char* key, std::string& out, const char* defaultValue) const;
    // Reads the raw text and decodes its backslash escapes into out, at most size - 1 bytes: \\ \n \r, \b as
    // 0x07, \xHH (a zero value adds nothing), any other escaped character as a lone backslash.
    void getEscapedString(const char* section, const char* key, char* out, int size,
                          const char* defaultValue) const;
    // The whole value, however long, or defaultValue without its trailing blanks when there is none.
    std::string getText(const char* section, const char* key, const char* defaultValue) const;
    // The key names of the section in file order.
    std::vector<std::string> keyNames(const char* section) const;
    // A null text removes the key, a null key the whole section.
    bool setString(const char* section, const char* key, const char* text);

private:
    std::string path_;
};
