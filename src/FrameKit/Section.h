#pragma once

#include <memory>
#include <vector>

// One line of a section: key=value, or a draw line Name(arguments).
class ZAV_Key
{
public:
    ZAV_Key(const char* name, const char* value, bool isDrawLine);
    virtual ~ZAV_Key() = default;

    bool NameEquals(const char* name) const;
    void GetName(char* buffer, int size) const;
    void GetValue(char* buffer, int size, bool stripQuotes) const;
    int GetKind() const { return isDrawLine; }
    int DrawKind() const;

    unsigned char isDrawLine = 0;
    char name[65] = {};
    char value[513] = {};
};

// One bracketed section of a parsed frame file, its keys in file order.
class ZAV_Section
{
public:
    explicit ZAV_Section(const char* name, int tag = 0);
    virtual ~ZAV_Section() = default;

    bool NameEquals(const char* name) const;
    void AddKey(const char* name, const char* value, bool isDrawLine);
    bool FindValue(const char* keyName, char* buffer, int size, int occurrence, bool stripQuotes) const;
    bool GetDrawLine(int index, char* buffer, int size, int* kind) const;
    int KeyCount() const { return static_cast<int>(keys.size()); }

    char name[65] = {};
    int reserved = 0;
    int tag = 0;
    std::vector<std::unique_ptr<ZAV_Key>> keys;
};
