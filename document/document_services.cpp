#include "document/document_services.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include <sys/stat.h>

#include "platform/core/find_file.h"
#include "platform/core/hooks.h"

void IDocumentShell::Say(const char* text, UINT type)
{
    AfxMessageBox(text, type);
}

namespace {

IDocumentShell* g_shell = nullptr;

CHeadlessDocumentShell& HeadlessShell()
{
    static CHeadlessDocumentShell shell;
    return shell;
}

bool Exists(const CString& path)
{
    struct stat status {};
    return ::stat(platform::NativePath(path).c_str(), &status) == 0;
}

}  // namespace

IDocumentShell* GetDocumentShell()
{
    return g_shell ? g_shell : &HeadlessShell();
}

void SetDocumentShell(IDocumentShell* shell)
{
    g_shell = shell;
}

CString CHeadlessDocumentShell::GetNewDocumentPath()
{
    return MakeNewDocumentPath(m_strUserFolder, m_strLocation, std::time(nullptr));
}

CString MakeNewDocumentPath(const char* userFolder, const char* location, std::time_t now)
{
    CString folder = userFolder;
    if (folder.IsEmpty())
        folder = location;
    // A bare name lands in the current folder; "\" + name would be the root.
    CString prefix = folder;
    if (!prefix.IsEmpty() && prefix[prefix.GetLength() - 1] != '\\' && prefix[prefix.GetLength() - 1] != '/')
        prefix += '\\';
    // The names are the time's low 32 bits, as the user folders are.
    auto seconds = static_cast<unsigned long>(static_cast<uint32_t>(now));
    // Bounded, so that a folder gone strange cannot hold the program here.
    for (int attempt = 0; attempt < 100000; ++attempt) {
        char name[16];
        std::snprintf(name, sizeof name, "%lx", seconds);
        const CString stem = prefix + name;
        if (!Exists(stem + ".brk") && !Exists(stem + ".pbk"))
            return stem + ".brk";
        seconds = static_cast<uint32_t>(seconds + 1);
    }
    return CString();
}
