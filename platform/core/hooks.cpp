#include "platform/core/hooks.h"

#include <cstdio>
#include <utility>

namespace platform {
namespace {

// Without a window system the fallback is the terminal: the text must not be lost.
int DefaultMessageBox(const std::string& text, const std::string& caption, UINT type)
{
    std::fprintf(stderr, "%s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ", text.c_str());
    switch (type & 0x0F) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    default:
        return IDOK;
    }
}

MessageBoxHook& MessageBoxSlot()
{
    static MessageBoxHook hook = DefaultMessageBox;
    return hook;
}

BeepHook& BeepSlot()
{
    static BeepHook hook = [](UINT) {};
    return hook;
}

KeyStateHook& KeyStateSlot()
{
    static KeyStateHook hook = [](int) -> SHORT { return 0; };
    return hook;
}

CallerMessageHook& CallerMessageSlot()
{
    static CallerMessageHook hook;
    return hook;
}

WindowOnScreenHook& WindowOnScreenSlot()
{
    static WindowOnScreenHook hook;
    return hook;
}

}  // namespace

int CautiousAnswer(UINT type)
{
    switch (type & 0x0F) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
        return IDCANCEL;
    case MB_YESNO:
        return IDNO;
    default:
        return IDOK;
    }
}

CallerMessageHook SetCallerMessageHook(CallerMessageHook hook)
{
    return std::exchange(CallerMessageSlot(), std::move(hook));
}

WindowOnScreenHook SetWindowOnScreenHook(WindowOnScreenHook hook)
{
    return std::exchange(WindowOnScreenSlot(), std::move(hook));
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    return std::exchange(MessageBoxSlot(), hook ? std::move(hook) : MessageBoxHook(DefaultMessageBox));
}

BeepHook SetBeepHook(BeepHook hook)
{
    return std::exchange(BeepSlot(), hook ? std::move(hook) : BeepHook([](UINT) {}));
}

KeyStateHook SetKeyStateHook(KeyStateHook hook)
{
    return std::exchange(KeyStateSlot(), hook ? std::move(hook) : KeyStateHook([](int) -> SHORT { return 0; }));
}

}  // namespace platform

int AfxMessageBox(const char* text, UINT type)
{
    return MessageBoxA(nullptr, text, "dizado", type);
}

int MessageBoxA(void*, const char* text, const char* caption, UINT type)
{
    const std::string message = text ? text : "";
    if (platform::CallerMessageSlot() && !(platform::WindowOnScreenSlot() && platform::WindowOnScreenSlot()())) {
        std::fprintf(stderr, "%s\n", message.c_str());
        // A copy: the caller may take its hook away while it is told.
        const platform::CallerMessageHook caller = platform::CallerMessageSlot();
        caller(message);
        return platform::CautiousAnswer(type);
    }
    return platform::MessageBoxSlot()(message, caption ? caption : "", type);
}

BOOL MessageBeep(UINT type)
{
    platform::BeepSlot()(type);
    return TRUE;
}

SHORT GetKeyState(int virtualKey)
{
    return platform::KeyStateSlot()(virtualKey);
}

SHORT GetAsyncKeyState(int virtualKey)
{
    return platform::KeyStateSlot()(virtualKey);
}

namespace platform {

namespace {

WaitCursorHook& WaitCursorSlot()
{
    static WaitCursorHook hook;
    return hook;
}

}  // namespace

WaitCursorHook SetWaitCursorHook(WaitCursorHook hook)
{
    return std::exchange(WaitCursorSlot(), std::move(hook));
}

void CallWaitCursorHook(int delta)
{
    if (const WaitCursorHook& hook = WaitCursorSlot())
        hook(delta);
}

}  // namespace platform
