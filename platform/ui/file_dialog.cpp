#include "platform/ui/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include "platform/core/find_file.h"
#include "platform/ui/app.h"
#include "platform/ui/window_peer.h"

namespace platform {

BOOL ChooseSavePath(CWnd* owner, const char* title, const char* filter, const char* extension, CString& path)
{
    EnsureToolkit();
    // The layer's own dialog, never a desktop portal that may not answer.
    QFileDialog dialog(owner ? owner->GetSafeHwnd() : nullptr, QString::fromUtf8(title ? title : ""),
                       QString::fromUtf8(NativePath(path.c_str()).c_str()),
                       QString::fromUtf8(filter ? filter : ""));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString suffix = QString::fromUtf8(extension ? extension : "");
    if (suffix.startsWith('.'))
        dialog.setDefaultSuffix(suffix.mid(1));
    ModalScope modal;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return FALSE;
    const QString chosen = dialog.selectedFiles().front();
    if (chosen.isEmpty() || QFileInfo(chosen).fileName().isEmpty())
        return FALSE;
    path = chosen.toUtf8().constData();
    return TRUE;
}

}  // namespace platform
