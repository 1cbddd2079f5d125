// The string class of the program's code: a byte string with the members the
// program uses. Comparison without case is ASCII-only, as file and resource
// names need.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/types.h"

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(const char* text, int length) : m_text(text ? std::string(text, length > 0 ? length : 0) : std::string()) {}
    CString(char ch, int repeat = 1) : m_text(repeat > 0 ? repeat : 0, ch) {}
    CString(std::string text) : m_text(std::move(text)) {}
    CString(std::string_view text) : m_text(text) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }

    operator const char*() const { return m_text.c_str(); }
    const char* c_str() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }

    // Out-of-range indexes give '\0' rather than reading past the end.
    char GetAt(int index) const;
    void SetAt(int index, char ch);
    char operator[](int index) const { return GetAt(index); }

    CString& operator=(const char* text);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_text + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_text); }
    friend CString operator+(const CString& a, char b) { return CString(a.m_text + b); }

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

    int Compare(const char* other) const;
    int CompareNoCase(const char* other) const;

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // -1 when not found.
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int Replace(char from, char to);

    void MakeUpper();
    void MakeLower();
    void TrimLeft();
    void TrimRight();

    // printf-style formatting.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // A writable buffer of at least minLength characters; ReleaseBuffer(-1)
    // takes the length up to the first zero.
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    // Loads a string of the program's string table (false when there is none).
    BOOL LoadString(UINT id);

private:
    std::string m_text;
};

// ASCII case-insensitive comparison of two zero-terminated strings.
int CompareNoCase(std::string_view a, std::string_view b);
