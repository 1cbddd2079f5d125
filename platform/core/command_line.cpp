#include "platform/core/command_line.h"

void CCommandLineInfo::ParseParam(const char* param)
{
    const CString word(param);
    if (word.IsEmpty())
        return;
    if (word.GetLength() > 1 && (word[0] == '-' || word[0] == '/')) {
        const CString name = word.Mid(1);
        if (name.CompareNoCase("Embedding") == 0) {
            m_bRunEmbedded = TRUE;
            return;
        }
        if (name.CompareNoCase("Automation") == 0) {
            m_bRunAutomated = TRUE;
            return;
        }
    }
    if (!m_strFileName.IsEmpty())
        m_strFileName += ' ';
    m_strFileName += word;
    m_nShellCommand = FileOpen;
}

void ParseCommandLine(int argc, const char* const* argv, CCommandLineInfo& info)
{
    for (int i = 1; argv && i < argc; ++i)
        if (argv[i])
            info.ParseParam(argv[i]);
}
