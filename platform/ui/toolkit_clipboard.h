// The desktop's clipboard, shared with other programs. A registered format
// travels under a MIME type made from its name; the presentation picture
// ("PNG") travels as image/png and as an image, so that office documents and
// paint programs paste it.
#pragma once

#include <map>
#include <memory>

#include <QString>

#include "platform/core/clipboard.h"

class QMimeData;

namespace platform {

class ToolkitClipboard : public IClipboard {
public:
    ToolkitClipboard();
    ~ToolkitClipboard() override;
    ToolkitClipboard(const ToolkitClipboard&) = delete;
    ToolkitClipboard& operator=(const ToolkitClipboard&) = delete;

    bool Open(void* owner) override;
    // Publishes what was set since Open.
    void Close() override;
    void Empty() override;
    bool IsFormatAvailable(UINT format) override;
    bool SetData(UINT format, HGLOBAL data) override;
    HGLOBAL GetData(UINT format) override;

    // The MIME type a format travels under; empty for unnamed formats.
    static QString MimeType(UINT format);

private:
    void FreeBlocks(std::map<UINT, HGLOBAL>& blocks);

    std::map<UINT, HGLOBAL> m_set;   // set since Open, published on Close
    std::map<UINT, HGLOBAL> m_read;  // copies read from the desktop's clipboard
    bool m_bChanged = false;
};

// Installs the desktop's clipboard for the running program; Uninstall goes
// back to the in-memory one.
void InstallToolkitClipboard();
void UninstallToolkitClipboard();

}  // namespace platform
