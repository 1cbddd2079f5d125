// The program's command line as the class library reads it: the switches that
// start it for embedding or automation, and the rest as one document path.
#pragma once

#include "platform/core/cstring.h"
#include "platform/core/types.h"

class CCommandLineInfo {
public:
    enum { FileNew = 0, FileOpen = 1 };

    // Takes one word. "-Embedding", "/Embedding", "-Automation" and
    // "/Automation" (any case) are the switches; every other word belongs to
    // the document path, so a path that the shell split at its blanks is
    // joined again with single blanks, and an absolute path is never taken
    // for a switch unless it is one of those four words exactly.
    void ParseParam(const char* param);

    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    // FileOpen when there is a path. Empty words are skipped.
    int m_nShellCommand = FileNew;
    CString m_strFileName;
};

// Parses the words after the program's name (argv[0] is skipped).
void ParseCommandLine(int argc, const char* const* argv, CCommandLineInfo& info);
