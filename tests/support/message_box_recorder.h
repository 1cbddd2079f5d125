// Records the message boxes raised while it lives, answering OK to each, so
// that tests run headless and can assert what was (or was not) shown.
#pragma once

#include <string>
#include <vector>

#include "platform/core/hooks.h"

class MessageBoxRecorder {
public:
    MessageBoxRecorder()
        : m_previous(platform::SetMessageBoxHook([this](const std::string& text, const std::string&, UINT) {
              texts.push_back(text);
              return IDOK;
          }))
    {
    }
    ~MessageBoxRecorder() { platform::SetMessageBoxHook(m_previous); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<std::string> texts;

private:
    platform::MessageBoxHook m_previous;
};
